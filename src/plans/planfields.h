#pragma once

#include "workbook/templatefields.h"

#include <QHash>
#include <QString>

// A plan's inputs as the template's figures: each field shows what the settings store would
// restore into it (an empty text box shows "0"), placeholders show "Dummy", and a picker's
// stored text is read back as a date.
class PlanFields final : public TemplateFields {
public:
    explicit PlanFields(QHash<QString, QString> inputs);

    QString fieldText(const QString& array, int index) const override;
    std::optional<QDate> pickerValue(const QString& picker) const override;

private:
    QHash<QString, QString> mInputs;
};
