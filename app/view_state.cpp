#include "app/view_state.h"

#include "app/app_state.h"
#include "broadcast/key_state.h"

#include <algorithm>

namespace {

// One call per alpha from `target` up to opaque, or from opaque down to
// `target`. The direction is fixed by the caller, not by the two ends: a
// target above 255 then makes no call either way instead of stepping
// through values that wrap around in the byte-sized alpha.
void fadeUpFrom(int target) {
    for (int a = target; a <= kOpaqueAlpha; ++a)
        platform::setLayeredAlpha(app().mainWindow, static_cast<std::uint8_t>(a));
}

void fadeDownTo(int target) {
    for (int a = kOpaqueAlpha; a >= target; --a)
        platform::setLayeredAlpha(app().mainWindow, static_cast<std::uint8_t>(a));
}

// The controls compact mode hides, in the order they are hidden and shown.
// The group carries the display, area, grid and two button controls.
void showCompactHidden(platform::ShowCommand command) {
    const Controls& c = app().controls;
    for (auto control : {c.filterEdit, c.windowList, c.invertButton, c.flashButton,
                         c.windowOpsGroup, c.refreshButton, c.helpButton, c.countLabel})
        platform::showWindow(control, command);
}

// Moves only the bottom edge of the normal rectangle; a minimised window
// stays minimised and comes back at the new height.
void setNormalHeight(platform::Placement placement, int height) {
    placement.normalPosition.bottom = placement.normalPosition.top + height;
    platform::setWindowPlacement(app().mainWindow, placement);
}

}  // namespace

void toggleTranslucency() {
    AppState& a = app();
    // Signed on purpose: an alpha above 255 makes no call at all. One below
    // 0 fades to fully transparent instead of wrapping into a bright window.
    const int target = std::max(a.settings.alpha, 0);
    if (a.translucent)
        fadeUpFrom(target);
    else
        fadeDownTo(target);
    a.translucent = !a.translucent;
}

void toggleCompactMode() {
    AppState& a = app();
    a.compact = !a.compact;  // first, so the size limits already let 95 through
    showCompactHidden(a.compact ? platform::kHide : platform::kShow);
    platform::Placement placement;
    platform::getWindowPlacement(a.mainWindow, placement);
    if (a.compact) {
        a.savedNormalHeight = placement.normalPosition.bottom - placement.normalPosition.top;
        setNormalHeight(placement, scaleToDpi(kCompactHeight, a.dpi));
    } else {
        setNormalHeight(placement, a.savedNormalHeight);
    }
}

void restoreFromHotKey() {
    AppState& a = app();
    platform::setLayeredAlpha(a.mainWindow, kOpaqueAlpha);
    a.translucent = false;
    platform::showWindow(a.mainWindow, platform::kRestore);
    platform::setForegroundWindow(a.mainWindow);
    // The hot key's Ctrl and Shift went down in the window that was in front.
    forgetKeyStates();
}

void makeOpaqueForDialog() {
    platform::setLayeredAlpha(app().mainWindow, kOpaqueAlpha);
    app().translucent = false;
}

TrackLimits trackLimits(bool compact, unsigned dpi) {
    const int width = scaleToDpi(kMinTrackWidth, dpi);
    if (compact)
        return {width, scaleToDpi(kCompactHeight, dpi), scaleToDpi(kCompactHeight, dpi)};
    return {width, scaleToDpi(kMinTrackHeight, dpi), 0};
}

void adoptDpi(unsigned reported) {
    AppState& a = app();
    const unsigned dpi = usableDpi(reported);
    const long long saved = static_cast<long long>(a.savedNormalHeight) * dpi;
    a.savedNormalHeight = static_cast<int>((saved + a.dpi / 2) / a.dpi);
    a.dpi = dpi;
}

platform::Rect rectForNewDpi(platform::Rect suggested) {
    if (app().compact)
        suggested.bottom = suggested.top + scaleToDpi(kCompactHeight, app().dpi);
    return suggested;
}
