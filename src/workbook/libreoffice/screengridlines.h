#pragma once

#include <QImage>

// The office draws a range's gridlines when the default page style asks for them on paper: in
// black, over everything, fills included, and not where text runs on over empty cells or
// cells are merged. The screen shows them grey, and not inside fills. Each line pixel lies on
// the first pixels of the cell to its right (or below, or both where lines cross): it takes
// that cell's colour, or grey where that cell or the one it parts from is blank.
// (A black border on a cell's edge passes for a gridline; the template has none.)
QImage withScreenGridlines(QImage drawn);
