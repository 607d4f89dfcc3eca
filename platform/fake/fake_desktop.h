// An in-memory desktop behind the platform calls, for the host tests.
//
// It keeps just enough window-system behaviour for the logic to be tested
// as it runs on Windows: list-box rows stay in the order added and marking
// them raises no notification; WM_SETTEXT on a window raises its text-change
// hook (the filter's EN_UPDATE); CB_SETCURSEL raises nothing. Every call that
// acts on a window is also written to `calls`, so tests can check sequences;
// list-box work is counted per window instead, and checked against redraw.
#pragma once

#include "platform/platform.h"

#include <functional>
#include <map>
#include <unordered_map>
#include <string>
#include <vector>

namespace fake {

using platform::Placement;
using platform::Rect;
using platform::WindowHandle;

struct Window {
    std::u16string className;
    std::u16string text;
    bool exists = true;
    bool enabled = true;
    bool visible = true;
    Placement placement;
    Rect bounds;
    int alpha = 255;
    // Under Wine SetWindowPlacement on another process's window fails.
    bool refusePlacement = false;
    // A terminal that stopped handling its messages: a synchronous call that
    // needs its thread never returns, an asynchronous one is queued and never
    // carried out.
    bool hung = false;
    // Its process runs at a higher integrity level than Tilewick: posts to it
    // are refused with ERROR_ACCESS_DENIED.
    bool elevated = false;
    // Its message queue is full: posts to it fail with ERROR_NOT_ENOUGH_QUOTA.
    bool queueFull = false;
    // IsHungAppWindow's answer, which comes only once a hung window has not
    // asked for a message for about five seconds.
    bool hungReported = false;
    // GetDpiForWindow's answer: the scale of the display the window is on.
    unsigned dpi = 96;
    // The invisible resize border Windows 10/11 keeps inside `bounds` on each
    // side, which DWMWA_EXTENDED_FRAME_BOUNDS leaves out; readable only where
    // the DWM answers (not under Wine).
    bool frameReadable = false;
    Rect invisibleBorder;
    // A band of Tilewick's: the width of its ring region (SetWindowRgn).
    bool band = false;
    int ring = 0;
    std::vector<std::u16string> rows;  // list box rows or combo items
    std::vector<bool> marks;           // list box marks
    int comboSelection = -1;
    bool redraw = true;  // WM_SETREDRAW
    // List box work, so tests can tell a rebuild done once and drawn once:
    // resets and rows added, and row or mark changes made while redraw was on.
    int resets = 0;
    int rowsAdded = 0;
    int changesDrawn = 0;
    std::function<void()> onTextChanged;  // e.g. EN_UPDATE of an edit
};

struct Monitor {
    std::u16string device;
    Rect area;
};

// A private-profile file: each section's lines, by section name.
using ProfileFile = std::map<std::u16string, std::vector<std::u16string>>;

struct PostedKey {
    WindowHandle window;
    bool isChar;
    std::uintptr_t code;
    std::intptr_t keyData;
};

struct Desktop {
    std::unordered_map<WindowHandle, Window> windows;
    std::vector<WindowHandle> zOrder;  // enumeration order of top-level windows
    std::vector<Monitor> monitors;
    std::vector<std::u16string> debugLines;
    std::vector<std::string> calls;
    std::vector<PostedKey> posted;
    std::vector<std::pair<WindowHandle, platform::MouseMessage>> mouse;
    std::vector<std::pair<std::u16string, std::u16string>> warnings;  // text, caption
    WindowHandle focus = nullptr;
    WindowHandle foreground = nullptr;
    unsigned sleptMs = 0;
    // Time-outs run out on windows that did not answer.
    unsigned waitedMs = 0;
    // Synchronous calls made on a hung window: each of them would never return.
    std::vector<std::string> blocked;

    // Runs after every caption read (GetWindowTextW) of a window, so a test
    // can close windows in the middle of an enumeration.
    std::function<void(WindowHandle)> afterTextRead;
    // Likewise after every class name read (GetClassNameW).
    std::function<void(WindowHandle)> afterClassRead;

    // Keyboard: what typedKey answers.
    std::function<platform::TypedKey(unsigned vk, unsigned scan)> keyboard;
    // What TranslateMessage made of the key-down being handled.
    platform::Translation queuedTranslation = platform::Translation::Nothing;
    // The IME's committed result string, as imeResultText reads it.
    std::u16string imeResult;
    // Calls of outranksOwnIntegrity: each opens a process and reads its token.
    int integrityLookups = 0;
    // Reads of a window's show state (GWL_STYLE): one per terminal polled.
    int showStateReads = 0;
    // SetWindowPos calls on bands that succeeded.
    int bandPlacements = 0;

    // Clipboard.
    bool clipboardBusy = false;  // held open by another program
    bool clipboardOpen = false;
    int clipboardOpens = 0;  // successful OpenClipboard calls
    bool hasText = false;
    std::vector<char> clipboardBlock;  // raw bytes of the CF_UNICODETEXT block
    // Trailing bytes of clipboardBlock that lie beyond the block GlobalSize
    // reports: memory a reader must never take as part of the text.
    std::size_t bytesBeyondBlock = 0;
    bool clipboardLocked = false;
    // When set, the size GlobalSize reports instead: a block too big to copy,
    // whose bytes are not there to be read.
    std::size_t claimedBlockBytes = 0;

    // Settings: the Documents folder and the profile files under it, by path.
    std::u16string documents = u"C:\\Users\\me\\Documents";
    bool documentsAvailable = true;
    std::map<std::u16string, ProfileFile> profiles;

    // Creates a window and returns its handle; top-level ones join zOrder.
    WindowHandle add(const std::u16string& className, const std::u16string& text,
                     bool topLevel = true);
    Window& operator[](WindowHandle h) { return windows.at(h); }
    // Closes a window: it stays known but IsWindow answers false.
    void close(WindowHandle h);
    // Sets the clipboard to a NUL-terminated UTF-16 text.
    void setClipboardText(const std::u16string& text);
    std::vector<std::string> callsFor(const std::string& prefix) const;
};

// The desktop the platform calls act on; reset() gives a fresh one.
Desktop& desktop();
void reset();

std::string narrow(const std::u16string& s);

}  // namespace fake
