#pragma once

#include <QString>

#include <array>

namespace orv {

struct DocSnapshot;
class frmBrowser;

// Page zoom in fixed steps, applied by a script in the page, and the text
// size of a window's page in five steps (the page's default font size).

// The zoom levels of the View menu, in percent, in menu order.
inline constexpr std::array<int, 11> kZoomLevels = {100, 125, 150, 175, 200, 225,
                                                    250, 275, 300, 350, 400};
inline constexpr int kZoomNone = 100;
// The steps of the zoom keys (Ctrl+Plus, Ctrl+Minus) and of Ctrl+wheel.
inline constexpr std::array<int, 13> kZoomSteps = {50,  67,  75,  90,  100, 110, 125,
                                                   150, 175, 200, 250, 300, 400};
// A wheel notch.
inline constexpr int kWheelNotch = 120;

// The zoom one step up (direction > 0) or down (< 0) from `percent`: the
// nearest step beyond it (a level between steps goes to the next step), the
// end step where there is none beyond; 100 for direction 0.
int NextZoomStep(int percent, int direction);

// Text sizes 0 ("Minimal") to 4 ("Maximal"); 2 is the engine's default.
inline constexpr int kTextSizeMin = 0;
inline constexpr int kTextSizeMax = 4;
inline constexpr int kTextSizeNormal = 2;
// The default font size in pixels for a text size.
int FontSizeOfTextSize(int step);
// The text size of a default font size: the largest step whose size is not
// above it (the smallest step for anything smaller).
int TextSizeOfFontSize(int pixels);

// The script that zooms the page's body to `percent`.
QString ZoomScript(int percent);

// How a document is zoomed: not at all (a picture, a text file, a plug-in
// document, or nothing readable), by the script on its body, or, for a
// frameset, which has no body to zoom, by the engine's zoom factor.
enum class ZoomRoute { None, Script, Engine };
ZoomRoute ZoomRouteOf(const DocSnapshot& document);

// Steps the window's zoom as NextZoomStep says, from the zoom it has or is
// about to have; nothing when that is the step already.
void StepZoom(frmBrowser& window, int direction);

// Moves the window's text size one step at a time towards `target` (0..4):
// every step is one command to the page.
void StepTextSize(frmBrowser& window, int target);

} // namespace orv
