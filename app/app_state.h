// The one application state: every handle, list and flag Tilewick keeps for
// the life of the process. Only the user-interface thread touches it.
#pragma once

#include "arrange/band_state.h"
#include "arrange/monitor_record.h"
#include "broadcast/key_state.h"
#include "broadcast/paste_offer.h"
#include "broadcast/typing_state.h"
#include "platform/platform.h"
#include "registry/window_record.h"
#include "sessions/opening_state.h"
#include "settings/settings.h"

#include <cstdint>
#include <map>
#include <vector>

constexpr int kPathUnits = 260;

struct Controls {
    platform::WindowHandle commandEdit = nullptr;
    platform::WindowHandle compactButton = nullptr;
    platform::WindowHandle listTitleLabel = nullptr;
    platform::WindowHandle filterEdit = nullptr;
    platform::WindowHandle windowList = nullptr;
    platform::WindowHandle invertButton = nullptr;
    platform::WindowHandle flashButton = nullptr;
    platform::WindowHandle windowOpsGroup = nullptr;
    platform::WindowHandle displayCombo = nullptr;
    platform::WindowHandle areaCombo = nullptr;
    platform::WindowHandle columnsLabel = nullptr;
    platform::WindowHandle columnsEdit = nullptr;
    platform::WindowHandle rowsLabel = nullptr;
    platform::WindowHandle rowsEdit = nullptr;
    platform::WindowHandle arrangeButton = nullptr;
    platform::WindowHandle hideOthersButton = nullptr;
    platform::WindowHandle refreshButton = nullptr;
    platform::WindowHandle helpButton = nullptr;
    platform::WindowHandle countLabel = nullptr;
};

struct AppState {
    platform::WindowHandle mainWindow = nullptr;
    Controls controls;
    // The main window's DPI: every length Tilewick draws is scaled from 96 to it.
    unsigned dpi = 96;

    WindowList allWindows;
    WindowList filteredWindows;
    WindowList selectedWindows;
    std::vector<MonitorRecord> monitors;
    // Rebuilds of windowList under way (ListRebuild); redraw is off while > 0.
    int listRebuilds = 0;
    // Set while refresh empties filterEdit: the EN_UPDATE that raises has
    // nothing to do, for refresh rebuilds the rows and marks right after.
    bool emptyingFilter = false;

    Settings settings;
    // Empty when the Documents path leaves no room for the file name: then
    // no settings are read or written and no help file is extracted.
    char16_t settingsPath[kPathUnits] = {};
    char16_t helpFilePath[kPathUnits] = {};
    // Set once this run has written the help file, so shutdown never deletes
    // a file of the same name that the user keeps there.
    bool helpFileWritten = false;

    bool translucent = false;
    bool compact = false;
    int savedNormalHeight = 340;  // at `dpi`
    bool hintLabels = false;

    std::uintptr_t helpCookie = 0;
    // Between HH_INITIALIZE and HH_UNINITIALIZE: the loop hands every message
    // to the help viewer first.
    bool helpInitialised = false;
    // The clipboard text while a paste waits for confirmation, and the
    // clipboard's sequence number when that text was read.
    std::vector<char16_t> clipboardCopy;
    std::uint32_t clipboardSequence = 0;
    // The clipboard lent to one terminal at a time while a paste runs.
    PasteOffer pasteOffer;

    TypingState typing;
    KeyStates keyStates;
    // Whether a terminal's process outranks Tilewick's integrity level, by
    // window handle: asked once per window, forgotten on refresh.
    std::map<platform::WindowHandle, bool> outranksUs;

    // The rings drawn around the selected terminals.
    BandState bands;

    // PuTTY sessions being opened, and the windows earlier opens made.
    OpeningState opening;
};

AppState& app();
// Fresh state, for the host tests.
void resetApp();
