#pragma once

#include "app/anchor.h"

#include <QRect>

// The main window's designed geometry in twips, with the way each control follows a resized
// window; Twips converts it to pixels.
namespace FormLayout {

constexpr int clientWidth = 11280;
constexpr int clientHeight = 9465;
// Small enough for a 1366 x 768 screen at 125 % with the title bar and a panel; the width is
// never less than designed.
constexpr int minimumClientHeight = 7200;

// The buttons keep their row; the panel keeps its width, so added width goes to the margins,
// and the viewport takes the added height.
constexpr Placement pushButton22 { { 120, 120, 11040, 400 }, Anchors::centredAtTop };
constexpr Placement pushButton6 { { 120, 630, 5400, 405 }, Anchors::centredAtTop };
constexpr Placement pushButton7 { { 5760, 630, 5400, 405 }, Anchors::centredAtTop };
constexpr Placement viewport { { 120, 1180, 11040, 8160 }, Anchors::centredTaller };
// Inside the viewport, which grows only in height.
constexpr Placement scrollBar { { 10695, 0, 285, 8100 }, Anchors::taller };
constexpr int panelLeft = 45;
constexpr int panelWidth = 10665;
constexpr int panelHeight = 22560;

// At the designed height; each twip the viewport grows takes one off.
constexpr int scrollMaximum = 14500;
constexpr int scrollArrowStep = 500;
constexpr int scrollPageStep = 1000;

// Inside the panel.
constexpr int frameLeft = 120;
constexpr int frameWidth = 10350;

// Inside a frame.
constexpr int textBoxWidth = 2250;
constexpr int textBoxHeight = 360;
constexpr int pickerHeight = 345;
constexpr int rightColumn = 7995;
constexpr int leftLabelColumn = 120;
constexpr int memberIndent = 500;
constexpr int labelGap = 60;
constexpr int headingHeight = 300;
constexpr int bracketOffset = 200;
constexpr int tickLength = 240;

// Placeholder slots sit on the window itself, left of its edge.
constexpr int placeholderLeft = -3000;

constexpr double fieldPointSize = 9.75;
constexpr double buttonPointSize = 11.25;

} // namespace FormLayout
