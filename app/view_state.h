// The two view states of the main window: translucent and compact.
#pragma once

#include "arrange/dpi.h"
#include "platform/platform.h"

constexpr int kOpaqueAlpha = 255;
// Heights and widths at 96 DPI; the window uses them at its own DPI.
constexpr int kCompactHeight = 95;
constexpr int kMinTrackWidth = 420;
constexpr int kMinTrackHeight = 340;
constexpr int kInitialWidth = 420;
constexpr int kInitialHeight = 340;

// Fades the main window to the other end (configured alpha or opaque), one
// alpha call per step, and flips the translucent state.
void toggleTranslucency();
// Enters or leaves compact mode, moving only the bottom edge.
void toggleCompactMode();
// The restore hot key: opaque, translucent state off, restored, in front.
void restoreFromHotKey();
// The system-menu dialogs start from an opaque window.
void makeOpaqueForDialog();

struct TrackLimits {
    int minWidth;
    int minHeight;
    int maxHeight;  // 0: as the system proposes
};
TrackLimits trackLimits(bool compact, unsigned dpi = kBaseDpi);

// The main window's DPI, first read or changed: the state follows it (the
// saved normal height is rescaled). An unusable reading counts as 96.
void adoptDpi(unsigned reported);
// The rectangle the main window takes for its new DPI: the one the system
// suggests, except that compact mode keeps the strip's height.
platform::Rect rectForNewDpi(platform::Rect suggested);
