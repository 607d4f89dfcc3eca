// The two view states of the main window: translucent and compact.
#pragma once

constexpr int kOpaqueAlpha = 255;
constexpr int kCompactHeight = 95;
constexpr int kMinTrackWidth = 420;
constexpr int kMinTrackHeight = 340;

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
TrackLimits trackLimits(bool compact);
