#pragma once

#include <functional>

class QWidget;

// Runs `then` once the window has painted for the first time, after that paint has gone to the
// screen, or at the latest two seconds after this call (a window shown on a hidden desktop is
// never painted). Work that would compete with the first paint on two processors waits for it.
void afterFirstPaint(QWidget& window, std::function<void()> then);
