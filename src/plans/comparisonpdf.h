#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

class Comparison;
struct ComparedPlan;

// The comparison table on one PDF page: a title, the date, the plans' names and every row,
// landscape when the plans make it wide, scaled down when it would not fit. The file is
// complete or untouched; AppError with the system's reason otherwise.
void writeComparisonPdf(const QString& path, const Comparison& comparison,
    const QVector<ComparedPlan>& plans, const QDateTime& made);
