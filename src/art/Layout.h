#pragma once

#include "toolkit/Types.h"

// Where the main window's controls sit (left, top, right, bottom; right and
// bottom exclusive). The form places its controls from these, and the skin
// art is generated from the same numbers, so painted buttons and hot spots
// cannot drift apart.
namespace layout {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;

constexpr TRect Bounds(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

constexpr TRect kImage1 = Bounds(0, 1, 640, 480);
constexpr TRect kBexit = Bounds(349, 369, 40, 36);
constexpr TRect kBstop = Bounds(517, 124, 41, 27);
constexpr TRect kBprev = Bounds(515, 162, 42, 28);
constexpr TRect kBnext = Bounds(567, 125, 43, 28);
constexpr TRect kBreplay = Bounds(566, 162, 42, 28);
constexpr TRect kBsetup = Bounds(565, 243, 41, 29);
constexpr TRect kOk = Bounds(265, 367, 66, 41);
constexpr TRect kCancel = Bounds(193, 366, 64, 40);
constexpr TRect kBsave = Bounds(515, 202, 43, 26);
constexpr TRect kBload = Bounds(565, 202, 42, 26);
constexpr TRect kBhelp = Bounds(515, 244, 41, 28);
constexpr TRect kRemove = Bounds(51, 363, 64, 42);
constexpr TRect kLb2 = Bounds(168, 40, 142, 13);
constexpr TRect kLb3 = Bounds(314, 40, 292, 13);
constexpr TRect kLd1 = Bounds(13, 40, 147, 13);
constexpr TRect kLabel3D3 = Bounds(20, 172, 136, 13);
constexpr TRect kImage2 = Bounds(98, 54, 324, 243);
constexpr TRect kLsave = Bounds(515, 230, 42, 12);
constexpr TRect kLload = Bounds(564, 230, 43, 12);
constexpr TRect kTrackBar1 = Bounds(568, 391, 45, 86);
constexpr TRect kFl1 = Bounds(166, 56, 143, 112);
constexpr TRect kDl1 = Bounds(13, 58, 139, 111);
constexpr TRect kDc1 = Bounds(15, 170, 135, 19);
constexpr TRect kFc1 = Bounds(167, 170, 142, 21);
constexpr TRect kMp = Bounds(24, 205, 29, 30);
constexpr TRect kLb1 = Bounds(325, 58, 238, 267);
constexpr TRect kPanel1 = Bounds(3, 3, 11, 12);
constexpr TRect kMemo1 = Bounds(96, 54, 326, 243);

// The skin's screen; its inner picture area is exactly Image2's rectangle.
constexpr TRect kScreen = {45, 15, 478, 340};
// The two blank buttons at the foot of the right-hand column.
constexpr TRect kBlankLeft = Bounds(515, 284, 43, 28);
constexpr TRect kBlankRight = Bounds(565, 284, 43, 28);

// Points on which Next and Previous centre the video panel.
constexpr TPoint kNextCentre{253, 182};
constexpr TPoint kPrevCentre{313, 180};

}  // namespace layout
