#pragma once

#include <QString>
#include <QVector>

// Where the generation run puts each figure on the template's first worksheet. A field row
// covers `count` consecutive array elements from `firstIndex`, one sheet row each from
// `firstRow`; the index advances on every row, placeholder or not.
struct CellMapRow {
    enum class Source { Field, Today, Picker };

    int line; // the step's line in the run's error reports
    Source source;
    QString name; // array or picker name
    int firstIndex;
    int count;
    int firstRow;
    int column;
    bool skipPlaceholders;
};

namespace CellMap {

inline const QString placeholderText = QStringLiteral("Dummy");

// The map in the order the run writes it.
const QVector<CellMapRow>& rows();
// A placeholder slot shows "Dummy" once leading and trailing spaces are gone; letter case
// counts.
bool isPlaceholder(const QString& text);

} // namespace CellMap
