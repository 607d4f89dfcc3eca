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

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <unordered_map>
#include <string>
#include <utility>
#include <vector>

namespace fake {

using platform::Placement;
using platform::Rect;
using platform::WindowHandle;

// A thread's keyboard state as GetKeyboardState reads it: the keys it saw go
// down and not up, and Caps Lock's toggle. It changes only with the real
// input that thread takes, and with a reset.
struct KeyState {
    std::set<unsigned> down;
    bool capsLock = false;
    bool operator==(const KeyState& o) const { return down == o.down && capsLock == o.capsLock; }
};

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
    // A per-monitor aware window (PuTTY is one): moved onto a display of
    // another DPI, it takes the rectangle WM_DPICHANGED suggests, its size
    // and its invisible border scaled by the ratio of the two DPIs.
    bool followsDpi = false;
    // WS_EX_TOPMOST: kept above every window without it, in zOrder too.
    bool topmost = false;
    // DWMWA_CLOAKED: on another virtual desktop, visible flag and all.
    bool cloaked = false;
    // An edge window of one of Tilewick's bands, and where UpdateLayeredWindow
    // last painted it: it shows nothing before, and stale pixels once resized
    // to another size.
    bool band = false;
    platform::Rect painted;
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
    // The window it is a child of; null for a top-level window, whose owner
    // (a dialog's, the help viewer's) is no parent.
    WindowHandle parent = nullptr;
    // Its thread's key state: every fake window stands for a thread of its own.
    KeyState keyState;
    // A busy thread: real input waits in `queuedKeys` until takeQueuedInput.
    bool busy = false;
    std::vector<std::pair<unsigned, bool>> queuedKeys;
    // PuTTY's paste: its right button-up starts a reader of its own, which
    // opens the clipboard once and pastes nothing when somebody holds it.
    bool readsPaste = true;
    std::vector<std::u16string> pastes;  // what its readers pasted
    int pastesGivenUp = 0;
    // Posted button-ups (WM_RBUTTONUP without waiting).
    int postedButtonUps = 0;
    // The process that owns it (GetWindowThreadProcessId).
    std::uint32_t processId = 0;
};

// A process started with startProcess.
struct Process {
    std::uint32_t id = 0;
    std::u16string application;
    std::u16string commandLine;
    bool running = true;
    bool released = false;  // its handle was closed
};

struct Monitor {
    Monitor(std::u16string device, Rect area, Rect work = {}, unsigned dpi = 96)
        : device(std::move(device)), area(area), work(work), dpi(dpi) {}
    std::u16string device;
    Rect area;
    // Without taskbar and toolbars; empty means the whole area. A placement's
    // normal rectangle counts from its corner (workspace coordinates).
    Rect work;
    unsigned dpi;
    const Rect& workArea() const { return work == Rect{} ? area : work; }
};

// A private-profile file: each section's lines, by section name.
using ProfileFile = std::map<std::u16string, std::vector<std::u16string>>;

struct PostedKey {
    WindowHandle window;
    bool isChar;
    std::uintptr_t code;
    std::intptr_t keyData;
    // What the receiving thread held when it took the message, under which it
    // types a key-down.
    KeyState receiverState;
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

    // The keys down on the keyboard, each with the sleptMs at which the user
    // lets go of it (kHeld: not by itself), as GetAsyncKeyState reads them.
    static constexpr unsigned kHeld = ~0u;
    std::map<unsigned, unsigned> keysHeld;
    // Real input: the key goes down or up, and only the foreground window's
    // thread takes it (a busy one later). Caps Lock toggles as it goes down.
    void realKey(unsigned vk, bool down);
    // A busy window's thread reads the input queued for it.
    void takeQueuedInput(WindowHandle h);

    // Keyboard: what typedKey answers; once the queue has been looked at
    // (queuedTranslation), what it answers then, when set: under Wine the
    // key state catches up with input queued behind the key being handled.
    std::function<platform::TypedKey(unsigned vk, unsigned scan)> keyboard;
    std::function<platform::TypedKey(unsigned vk, unsigned scan)> keyboardAfterPeek;
    bool peeked = false;
    // What TranslateMessage made of the key-down being handled.
    platform::Translation queuedTranslation = platform::Translation::Nothing;
    // The IME's committed result string, as imeResultText reads it.
    std::u16string imeResult;
    // Calls of outranksOwnIntegrity: each opens a process and reads its token.
    int integrityLookups = 0;
    // Reads of a window's show state (GWL_STYLE): one per terminal polled;
    // of its visible frame (DWM), which cost several calls under Wine.
    int showStateReads = 0;
    int frameReads = 0;
    // As seen under Wine: of windows placed one by one after the same window,
    // the last placed may end lowest.
    bool lastEdgeEndsLowest = false;
    // SetWindowPos calls on band edges that succeeded.
    int bandPlacements = 0;
    // What watchWindowChanges was given, while it watches: a test calls it
    // as the system would report a change.
    platform::WindowChanged watcher = nullptr;
    // Running timers: the period of each, by window and id.
    std::map<std::pair<WindowHandle, std::uintptr_t>, unsigned> timers;

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
    // GetClipboardSequenceNumber: one more on every write of the clipboard.
    std::uint32_t clipboardSequence = 1;
    // Who opened it last and owns what it holds: a window of Tilewick's, or
    // null for another program.
    WindowHandle clipboardOpener = nullptr;
    WindowHandle clipboardOwner = nullptr;
    // CF_UNICODETEXT offered for delayed rendering and not rendered yet.
    bool textOffered = false;
    // Formats besides the text, by number: memory blocks, and formats whose
    // data is a GDI handle, which are listed but cannot be copied.
    std::map<unsigned, std::vector<unsigned char>> clipboardFormats;
    std::set<unsigned> handleFormats;
    // The owner's WM_RENDERFORMAT, and whether one is being handled.
    std::function<void(unsigned format)> renderFormat;
    bool rendering = false;
    // Readers started by right clicks and not run yet: they run when
    // Tilewick waits for sent messages, or when a test runs them. Readers
    // that run together overlap: the first holds the clipboard and every
    // other gives up, as PuTTY's do.
    std::vector<WindowHandle> readers;
    void runReaders();
    // GetTickCount64: moves on with every wait.
    std::uint64_t clockMs = 0;

    // Settings: the Documents folder and the profile files under it, by path.
    std::u16string documents = u"C:\\Users\\me\\Documents";
    bool documentsAvailable = true;
    std::map<std::u16string, ProfileFile> profiles;

    // GetSystemDirectoryW's answer (empty: it fails), and the default values
    // of keys under HKEY_CLASSES_ROOT, already expanded.
    std::u16string systemFolder = u"C:\\Windows\\system32";
    std::map<std::u16string, std::u16string> classesRoot;

    // HKEY_CURRENT_USER: the subkey names under each key path.
    std::map<std::u16string, std::vector<std::u16string>> userRegistry;
    // The system's ANSI code page, as iconv names it ("CP932", "CP1252").
    std::string ansiCodePage = "CP1252";
    std::map<std::u16string, std::u16string> environment;
    // Files on disk by full path; those in `programs` are executables, the
    // rest CreateProcessW refuses (ERROR_BAD_EXE_FORMAT).
    std::set<std::u16string> files;
    std::set<std::u16string> programs;
    std::u16string programFolder = u"C:\\Tools";
    // Processes started, in order; the ids count from 1000.
    std::vector<Process> processes;
    // Milliseconds the tick count stands beyond the sleeps and waits.
    std::uint64_t now = 0;
    // The process opens its top-level window of class "PuTTY".
    WindowHandle showProcessWindow(std::size_t process, const std::u16string& title);

    // Runs inside the platform calls that name a window (given the call's
    // name and the window), before they return: what a nested message loop
    // may do on Windows while such a call waits (a refresh, a selection
    // change). Not run again from inside itself.
    std::function<void(const std::string& call, WindowHandle)> duringCall;
    bool inCall = false;

    // Creates a window and returns its handle; top-level ones join zOrder.
    WindowHandle add(const std::u16string& className, const std::u16string& text,
                     bool topLevel = true);
    Window& operator[](WindowHandle h) { return windows.at(h); }
    // Closes a window: it stays known but IsWindow answers false.
    void close(WindowHandle h);
    // Sets the clipboard to a NUL-terminated UTF-16 text (a write: the
    // sequence number moves on).
    void setClipboardText(const std::u16string& text);
    // Another program empties the clipboard.
    void emptyClipboard();
    // The text up to its NUL, as a reader pastes it.
    std::u16string clipboardText() const;
    std::vector<std::string> callsFor(const std::string& prefix) const;
};

// The desktop the platform calls act on; reset() gives a fresh one.
Desktop& desktop();
void reset();

std::string narrow(const std::u16string& s);

}  // namespace fake
