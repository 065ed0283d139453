#pragma once

#include "comparerunner.h"

#include <QVector>
#include <optional>

class QWidget;

// The fewest and most plans one comparison shows side by side.
namespace CompareChoice {
constexpr int fewest = 2;
constexpr int most = 6;
} // namespace CompareChoice

// Asks, through the dialog seam, for the plan files to compare and whether the current fields
// join them (as the first plan). Nothing when the user cancelled, or when the choice cannot be
// compared: then the reason was shown (too few or too many plans, a plan file refused).
std::optional<QVector<PlanToCompare>> choosePlansToCompare(QWidget* parent);
