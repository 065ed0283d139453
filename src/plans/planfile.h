#pragma once

// Stand-in with the agreed interface until the plan file lands; replaced by that branch.

#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

struct Plan {
    QString path;
    QHash<QString, QString> inputs;
    QVector<QPair<QString, QString>> otherEntries;
};

namespace PlanFile {
inline const QString suffix = QStringLiteral("ferrowynd");
inline const QString mimeType = QStringLiteral("application/x-ferrowynd-plan");
QString nameFilter();
QStringList inputKeys();
QHash<QString, QString> firstStartInputs();
QHash<QString, QString> storedInputs();
Plan read(const QString& path);
void write(const QString& path, const Plan& plan);
QString displayName(const QString& path);
} // namespace PlanFile
