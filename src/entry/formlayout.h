#pragma once

#include <QRect>

// The main window's designed geometry in twips; Twips converts it to pixels.
namespace FormLayout {

constexpr int clientWidth = 11280;
constexpr int clientHeight = 9465;

constexpr QRect pushButton22 { 120, 120, 11040, 400 };
constexpr QRect pushButton6 { 120, 630, 5400, 405 };
constexpr QRect pushButton7 { 5760, 630, 5400, 405 };
constexpr QRect viewport { 120, 1180, 11040, 8160 };
// Inside the viewport.
constexpr QRect scrollBar { 10695, 0, 285, 8100 };
constexpr int panelLeft = 45;
constexpr int panelWidth = 10665;
constexpr int panelHeight = 22560;

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
