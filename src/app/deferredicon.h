#pragma once

#include <QIcon>
#include <QString>
#include <functional>

// An icon whose pictures are made by `make` only when it is first drawn or measured, not when a
// widget or a window is given it: making some icons loads plugins or reads files, work that would
// otherwise wait in front of a window's first paint. `present` answers whether there is an icon
// at all without making it. Copies share what is made.
QIcon deferredIcon(QString key, std::function<QIcon()> make, std::function<bool()> present);
