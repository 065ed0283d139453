#pragma once

#include "app/anchor.h"

// The preview window's designed geometry in twips, with the way each control follows a resized
// window: the viewport takes the room, its bars follow its right and bottom edges, the zoom frame
// and the two buttons under it stay at the bottom and stretch.
namespace Form2Layout {

constexpr int clientWidth = 9840;
constexpr int clientHeight = 9360;
// The viewport's sunken border: two pixels on each side.
constexpr int viewportBorder = 30;

constexpr Placement viewport { { 120, 90, 9330, 7425 }, Anchors::stretched };
constexpr Placement vScroll1 { { 9450, 120, 255, 7425 }, Anchors::rightTaller };
constexpr Placement hScroll1 { { 120, 7545, 9330, 255 }, Anchors::bottomWider };
constexpr Placement zoomOriginal { { 10320, 480, 735, 375 }, Anchors::topRight };
constexpr Placement frame1 { { 120, 7860, 9600, 855 }, Anchors::bottomWider };
// Inside the frame, which grows only in width.
constexpr Placement pushButton1 { { 240, 300, 4440, 405 }, Anchors::leftHalf };
constexpr Placement pushButton2 { { 4800, 300, 4560, 405 }, Anchors::rightHalf };
constexpr Placement pushButton8 { { 120, 8850, 4680, 405 }, Anchors::bottomLeftHalf };
constexpr Placement pushButton6 { { 4920, 8850, 4800, 405 }, Anchors::bottomRightHalf };

} // namespace Form2Layout
