// The main window's nineteen controls as data: what createControls makes,
// in order, and what layoutControls moves. The benchmark's baseline window
// is built from the same rows, so both make the same windows.
#pragma once

#include "app/app_state.h"
#include "app/control_procs.h"
#include "app/layout.h"

#include <windows.h>

using ControlField = platform::WindowHandle Controls::*;

enum Parent { kMain, kGroup };

enum Extra {
    kNone = 0,
    kUsesFont = 1,
    kCueHiddenOnFocus = 2,  // EM_SETCUEBANNER with FALSE
    kCueShownOnFocus = 4,   // EM_SETCUEBANNER with TRUE
    kFillsAreas = 8,
    kGridField = 16,  // starts with "1"
    kCountLabel = 32,
    // The tooltip is handed the control's mouse messages by its replacement
    // procedure (TTM_RELAYEVENT) rather than subclassing the control itself:
    // under Wine a common-controls subclass costs two property look-ups in
    // the server for every message, and a rebuild sends the list two a row.
    kRelaysTip = 64,
};

struct ControlRow {
    ControlField field;
    const wchar_t* windowClass;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    int id;
    Parent parent;
    const wchar_t* caption;
    int x, y, width, height;
    int extras;
    ControlBehaviour behaviour;  // None: the control keeps its own procedure
    const wchar_t* cueBanner;
    const wchar_t* tooltip;  // none when null
    int tooltipWidth;
};

constexpr int kControlCount = 19;
// Creation order is also the order of the children, which the end-to-end
// tests walk; the tooltip rectangles are renewed in this order too.
extern const ControlRow kControls[kControlCount];

constexpr int kAreaItemCount = 5;
extern const wchar_t* const kAreaItems[kAreaItemCount];

// What a row asks for once its control exists: the cue banner, the area
// items with the first one selected, the grid field's "1".
void fillControl(HWND control, const ControlRow& row);

// A control the layout places, with its box; the others keep the place
// they were created at.
struct PlacedControl {
    ControlField field;
    Box MainLayout::*box;
    Parent parent;
};
constexpr int kPlacedCount = 11;
extern const PlacedControl kPlaced[kPlacedCount];
