#pragma once

#include "fieldcatalogue.h"

#include <QDate>
#include <QString>
#include <vector>

// The worked example household that "Load Sample/Example Data" puts into the window.
namespace SampleData {

// Nearest integer, a half going to the even neighbour: 112.5 gives 112, 127.5 gives 128.
long long roundHalfEven(double value);

// base + sign * (index / 2) * step, where the sign is minus for an index divisible by 3.
long long ruleValue(int index, double base, double step);

// One assignment of the example, with the line its failure is reported at.
struct Step {
    FieldCatalogue::Group group;
    int index;
    QString text; // for a text box
    QDate date; // for a date picker
    int line;
};

// Every assignment in the order the button makes them: the two dates first. Placeholder
// slots are never named.
std::vector<Step> steps();

} // namespace SampleData
