// The window system as Tilewick's logic sees it.
//
// registry/, arrange/, broadcast/, settings/ and the portable parts of app/
// reach the desktop only through these calls. platform/win32 implements them
// over USER32 and friends; platform/fake implements them over an in-memory
// desktop for the host tests. Each call is one window-system operation and
// carries no policy: what to do with the answer is the caller's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// An HWND on Windows; an id into the fake desktop in host tests.
using WindowHandle = void*;

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct Point {
    std::int32_t x = 0, y = 0;
};

// Mirrors WINDOWPLACEMENT.
struct Placement {
    std::uint32_t flags = 0;
    std::uint32_t showCmd = 0;
    Point minPosition;
    Point maxPosition;
    Rect normalPosition;
};

// ShowWindow commands and placement show states, with their Win32 values.
enum ShowCommand : std::uint32_t {
    kHide = 0,
    kShowNormal = 1,
    kShowMinimized = 2,
    kShowMaximized = 3,
    kShow = 5,
    kMinimize = 6,
    kRestore = 9,
};

// --- Top-level windows -----------------------------------------------------

// EnumWindows: visits every top-level window; the visitor returns false to stop.
void enumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit);
// GetWindowTextW into a buffer of `capacity` units; returns the units copied.
int windowText(WindowHandle window, char16_t* buffer, int capacity);
// GetWindowTextLengthW.
int windowTextLength(WindowHandle window);
// GetClassNameW into a buffer of `capacity` units; returns the units copied.
int className(WindowHandle window, char16_t* buffer, int capacity);
// WM_SETTEXT.
void setWindowText(WindowHandle window, const char16_t* text);
// IsWindow.
bool windowExists(WindowHandle window);

void enableWindow(WindowHandle window, bool enabled);
void showWindow(WindowHandle window, ShowCommand command);
void setFocus(WindowHandle window);
WindowHandle focusedWindow();
void setActiveWindow(WindowHandle window);
void setForegroundWindow(WindowHandle window);
bool getWindowPlacement(WindowHandle window, Placement& placement);
bool setWindowPlacement(WindowHandle window, const Placement& placement);
// FlashWindowEx with FLASHW_CAPTION.
void flashCaption(WindowHandle window, unsigned count, unsigned intervalMs);
// SetLayeredWindowAttributes(window, 0xFFFFFF, alpha, LWA_ALPHA).
void setLayeredAlpha(WindowHandle window, std::uint8_t alpha);

void sleepMs(unsigned milliseconds);
// OutputDebugStringW.
void debugOutput(const char16_t* line);

// --- List box (extended selection) -----------------------------------------

void listReset(WindowHandle list);                          // LB_RESETCONTENT
void listAdd(WindowHandle list, const char16_t* text);      // LB_ADDSTRING
void listSetMark(WindowHandle list, int row, bool marked);  // LB_SETSEL; row -1 is every row
int listCount(WindowHandle list);                           // LB_GETCOUNT
bool listIsMarked(WindowHandle list, int row);              // LB_GETSEL > 0

// --- Combo box (drop-down list) ---------------------------------------------

void comboReset(WindowHandle combo);                      // CB_RESETCONTENT
void comboAdd(WindowHandle combo, const char16_t* text);  // CB_ADDSTRING
void comboSelect(WindowHandle combo, int index);          // CB_SETCURSEL
int comboSelection(WindowHandle combo);                   // CB_GETCURSEL, -1 for none

// --- Displays ---------------------------------------------------------------

int monitorCount();  // GetSystemMetrics(SM_CMONITORS)
// EnumDisplayMonitors with GetMonitorInfoW: the device name (empty when it
// cannot be read) and the full monitor rectangle of each display, in order.
void enumerateMonitors(const std::function<void(const char16_t* device, const Rect& area)>& visit);

// --- Messages to terminal windows ---------------------------------------------

// What PostMessageW came to, from its result and GetLastError.
enum class PostResult {
    Posted,
    WindowGone,    // ERROR_INVALID_WINDOW_HANDLE
    AccessDenied,  // ERROR_ACCESS_DENIED: the window's process outranks ours (UIPI)
    Failed,        // any other error, such as ERROR_NOT_ENOUGH_QUOTA (its queue is full)
};
// PostMessageW(WM_KEYDOWN).
PostResult postKeyDown(WindowHandle window, std::uintptr_t virtualKey, std::intptr_t keyData);
// PostMessageW(WM_CHAR).
PostResult postChar(WindowHandle window, char16_t character, std::intptr_t keyData);
enum class MouseMessage { RightDown, RightUp };
// SendMessageTimeoutW(SMTO_ABORTIFHUNG) of WM_RBUTTONDOWN (MK_RBUTTON) or
// WM_RBUTTONUP (0) at client point (0, 0); false when it timed out or failed.
bool sendRightButton(WindowHandle window, MouseMessage message, unsigned timeoutMs);

// --- Keyboard -----------------------------------------------------------------

// The character a key produces under the calling thread's current keyboard
// state (ToUnicodeEx on a copy of that state, leaving dead-key state alone),
// and whether Shift, Ctrl, AltGr or Caps Lock took part in producing it.
struct TypedKey {
    int length = 0;  // units in `text`: 0 for none, negative for a dead key
    char16_t text[4] = {};
    bool modified = false;  // a modifier or Caps Lock changes what the key types
};
TypedKey typedKey(unsigned virtualKey, unsigned scanCode);

// --- Message box ---------------------------------------------------------------

// MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONWARNING).
void warningBox(const char16_t* text, const char16_t* caption);

// --- Clipboard -----------------------------------------------------------------

bool openClipboard(WindowHandle owner);
void closeClipboard();
// GetClipboardData(CF_UNICODETEXT), GlobalSize and GlobalLock: the text
// block and its size in bytes, or nullptr when there is no text.
const void* lockClipboardText(std::size_t& bytes);
void unlockClipboardText();

// --- Offering a paste to one reader at a time ------------------------------------

constexpr unsigned kUnicodeTextFormat = 13;  // CF_UNICODETEXT
// EmptyClipboard: the clipboard must be open; the window that opened it
// becomes its owner.
bool emptyClipboard();
// GetClipboardOwner.
WindowHandle clipboardOwner();
// EnumClipboardFormats over the open clipboard, in its order.
void enumerateClipboardFormats(const std::function<void(unsigned format)>& visit);
// GetClipboardData, GlobalSize and GlobalLock of a format held in global
// memory: its bytes, copied into `bytes`; false when it has none or they
// cannot be read. Only for formats whose data is a memory block.
bool copyClipboardBlock(unsigned format, std::vector<unsigned char>& bytes);
// GlobalAlloc of a block holding `bytes`, then SetClipboardData: the clipboard
// must be open, or the call made while handling WM_RENDERFORMAT.
bool setClipboardBlock(unsigned format, const void* bytes, std::size_t size);
// SetClipboardData(format, nullptr): offered, rendered when somebody asks
// for it (WM_RENDERFORMAT to the owner).
bool offerClipboardFormat(unsigned format);
// RegisterClipboardFormatW; 0 when it fails.
unsigned registerClipboardFormat(const char16_t* name);
// Waits at most `timeoutMs` for a message that another thread sends to this
// one, and handles every such message waiting (MsgWaitForMultipleObjectsEx on
// QS_SENDMESSAGE, PeekMessageW with PM_QS_SENDMESSAGE); posted messages and
// input stay queued for the loop.
void handleSentMessages(unsigned timeoutMs);
// GetTickCount64: milliseconds since the system started.
std::uint64_t tickCount();
// PostMessageW(WM_RBUTTONUP) at client point (0, 0): ends a click whose
// button-down the window took, without waiting for its thread.
PostResult postRightButtonUp(WindowHandle window);

// --- Settings file -------------------------------------------------------------

// SHGetFolderPathW(CSIDL_PERSONAL): the Documents folder into a 260-unit buffer.
bool documentsFolder(char16_t* buffer /* 260 units */);
int profileInt(const char16_t* section, const char16_t* key, int fallback, const char16_t* path);
int profileString(const char16_t* section, const char16_t* key, const char16_t* fallback,
                  char16_t* buffer, int capacity, const char16_t* path);
// WritePrivateProfileSectionW. The call reads `body` as NUL-terminated lines
// up to an empty one, so the body must hold that double NUL; one without it
// is refused (false, nothing written) rather than read past its end.
bool writeProfileSection(const char16_t* section, std::u16string_view body, const char16_t* path);

// --- Typed text beyond key-downs, and who may receive it -----------------------

// Whether the process owning the window runs at a higher integrity level than
// this one (GetWindowThreadProcessId, OpenProcess with
// PROCESS_QUERY_LIMITED_INFORMATION, TokenIntegrityLevel of both tokens). A
// process that cannot be opened or read counts as higher; when this process
// has no level of its own, nothing does.
bool outranksOwnIntegrity(WindowHandle window);
// What the calling thread's TranslateMessage queued for the window from the
// key-down being handled: PeekMessageW(PM_NOREMOVE) of WM_CHAR .. WM_DEADCHAR.
enum class Translation { Nothing, Character, DeadCharacter };
Translation queuedTranslation(WindowHandle window);
// ImmGetCompositionStringW(GCS_RESULTSTR) of the window's input context, in
// UTF-16 units: with a null buffer the size of the committed result,
// otherwise the units copied into the buffer, at most `capacity`.
int imeResultText(WindowHandle window, char16_t* buffer, int capacity);

// --- Terminal windows that may not answer ----------------------------------------
//
// A window whose thread has stopped handling messages blocks every synchronous
// call that needs that thread. These are the forms that never wait for it.

// IsHungAppWindow: the system reports the window hung (its thread has not
// asked for a message for about five seconds).
bool windowIsHung(WindowHandle window);
// SendMessageTimeoutW(WM_NULL, SMTO_ABORTIFHUNG): whether the window's thread
// answered within `timeoutMs`; false at once for a window reported hung.
bool windowAnswers(WindowHandle window, unsigned timeoutMs);
// ShowWindowAsync: the command is queued to the window's thread.
void showWindowAsync(WindowHandle window, ShowCommand command);
// SetWindowPlacement with WPF_ASYNCWINDOWPLACEMENT added to the flags.
bool setWindowPlacementAsync(WindowHandle window, const Placement& placement);
// SetWindowPos(HWND_NOTOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_ASYNCWINDOWPOS):
// moves the top-left corner, raises the window above the non-topmost ones and
// activates it.
void moveToFrontAtAsync(WindowHandle window, int x, int y);
// SetWindowPos(nullptr, rect, SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS):
// position and size only.
void setWindowBoundsAsync(WindowHandle window, const Rect& bounds);

// --- Redraw suspension ------------------------------------------------------------

// WM_SETREDRAW: while off, the window's changes are not drawn.
void setRedraw(WindowHandle window, bool on);
// RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW): the
// whole window, frame and scroll bar included, drawn once before returning.
void redrawNow(WindowHandle window);

// --- Display scale and visible frames ---------------------------------------------

// GetDpiForWindow where the system has it (Windows 10 1607 and later),
// otherwise the screen's LOGPIXELSY; 0 when neither can be read.
unsigned windowDpi(WindowHandle window);
// GetWindowRect: the window's rectangle, invisible resize border included.
bool windowBounds(WindowHandle window, Rect& bounds);
// DwmGetWindowAttribute(DWMWA_EXTENDED_FRAME_BOUNDS): the frame the user sees,
// without the invisible resize border; false where it cannot be read (no DWM,
// as under Wine, or a window that has gone).
bool visibleFrameBounds(WindowHandle window, Rect& frame);
// MonitorFromRect(MONITOR_DEFAULTTONULL) and GetMonitorInfoW: the work area
// (the display without taskbar and desktop toolbars) of the display that
// holds `area`; false when no display does, as after it was removed.
bool workAreaOf(const Rect& area, Rect& workArea);

// --- Other threads' keyboard state, and whose window a message is for -------------

// What AttachThreadInput came to.
enum class KeyStateReset {
    Reset,
    WindowGone,  // no thread owns the handle any more
    Refused,     // the thread cannot be attached (another user's, a higher integrity level)
};
// AttachThreadInput of the window's thread to the calling thread, detached at
// once: the window's thread forgets every key it saw go down and not up, and
// every toggle. The calling thread's own key state is read before and put
// back after (GetKeyboardState, SetKeyboardState), for attaching resets it too.
KeyStateReset resetKeyboardState(WindowHandle window);
// GetAncestor(GA_ROOT): the top-level window the window belongs to; null for null.
WindowHandle rootWindow(WindowHandle window);
// GetAsyncKeyState: whether the key is down on the keyboard now.
bool keyIsDown(unsigned virtualKey);

// --- What the user confirmed, and code only from the system folder ------------------

// GetClipboardSequenceNumber: changes with every change of the clipboard's
// contents; 0 where this process may not read it.
std::uint32_t clipboardSequenceNumber();
// GetSystemDirectoryW into a 260-unit buffer; false (and empty) when it
// cannot be read or does not fit.
bool systemFolder(char16_t* buffer /* 260 units */);
// The default value of a key under HKEY_CLASSES_ROOT (which merges the
// user's own HKCU\Software\Classes), environment variables expanded for an
// expandable string, into a 260-unit buffer; false (and empty) when there is
// no such text value or it does not fit.
bool classesRootDefault(const char16_t* key, char16_t* buffer /* 260 units */);

}  // namespace platform

// --- Selection bands ----------------------------------------------------------------
//
// A band is made of Tilewick's own windows: disabled, click-through,
// never-activated tool popups (WS_POPUP | WS_DISABLED; WS_EX_LAYERED |
// WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE) that together draw
// a ring around a terminal. The reads below never wait on the terminal's thread.

namespace platform {

// A window's show state from one read of GWL_STYLE: WS_VISIBLE and WS_MINIMIZE.
struct ShowState {
    bool exists = false;
    bool visible = false;
    bool minimized = false;
};
ShowState windowShowState(WindowHandle window);
// GetWindow(GW_HWNDPREV): the window just above in the z-order, nullptr at the top.
WindowHandle windowAbove(WindowHandle window);

// GetWindowLongW(GWL_EXSTYLE) has WS_EX_TOPMOST: the window stays above every
// window without it.
bool windowIsTopmost(WindowHandle window);
// DwmGetWindowAttribute(DWMWA_CLOAKED) is non-zero: the window keeps
// WS_VISIBLE and its place but is not drawn, as on another virtual desktop.
// False where it cannot be read (no DWM, as under Wine).
bool windowIsCloaked(WindowHandle window);
// MonitorFromRect(MONITOR_DEFAULTTONEAREST) and GetDpiForMonitor
// (MDT_EFFECTIVE_DPI) where the system has it (Windows 8.1 and later),
// otherwise the screen's LOGPIXELSY: the scale of the display that shows
// most of `area`, whatever the DPI awareness of the window there. 0 when
// it cannot be read.
unsigned displayDpi(const Rect& area);

// A band is four edge windows along a terminal's frame: each holds a surface
// of its own size only, so a band costs the same on any size of terminal.
constexpr int kBandEdges = 4;
using BandEdges = WindowHandle[kBandEdges];
using BandEdgeRects = Rect[kBandEdges];

// CreateWindowExW of one hidden band edge of the registered class
// `className`, without owner; nullptr when it cannot be made. It shows
// nothing until painted.
WindowHandle createBandEdge(const char16_t* className);
// UpdateLayeredWindow(ULW_ALPHA, constant alpha 255) of a band edge over
// `rect`, all of it the colour `rgb` (0x00RRGGBB). The edge holds a surface
// of exactly its own size, and keeps showing it when moved by SetWindowPos;
// resized any other way it shows stale pixels. False when it cannot be painted.
bool paintBandEdge(WindowHandle edge, const Rect& rect, std::uint32_t rgb);
// Where a placed band goes in the z-order.
enum class BandOrder {
    Keep,        // SWP_NOZORDER
    Top,         // HWND_TOP: above the other windows of its kind (topmost or not)
    Topmost,     // HWND_TOPMOST: above every window, and topmost from now on
    NotTopmost,  // HWND_NOTOPMOST: no longer topmost, above every other such window
    Below,       // just below `insertAfter`: topmost as the windows around it are
};
// SetWindowPos(SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW) of each
// edge in turn over its rectangle, each with the same insert-after, so the
// first edge ends lowest. False, with the edges left wherever the calls left
// them, when `insertAfter` or an edge is no window.
bool placeBand(const BandEdges& edges, const BandEdgeRects& rects, BandOrder order,
               WindowHandle insertAfter = nullptr);
// SetWindowPos(SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER).
void hideBand(WindowHandle edge);
// DestroyWindow.
void destroyBand(WindowHandle edge);
// GetForegroundWindow.
WindowHandle foregroundWindow();
// SetWindowPos(HWND_TOP, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE): to the top
// of its z-order band (topmost or not), without activation.
void raiseWindow(WindowHandle window);
// Called on this thread's message loop with a top-level window of another
// process that was destroyed, shown, hidden, moved or sized, cloaked or
// uncloaked; with nullptr when windows changed places in the z-order or
// another came to the foreground.
using WindowChanged = void (*)(WindowHandle window);
// The hooks of one watch.
struct WindowWatch {
    void* hooks[4] = {};
};
// SetWinEventHook(WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS) of
// EVENT_OBJECT_DESTROY .. EVENT_OBJECT_REORDER, EVENT_OBJECT_LOCATIONCHANGE,
// EVENT_OBJECT_CLOAKED .. EVENT_OBJECT_UNCLOAKED and EVENT_SYSTEM_FOREGROUND,
// each passed to `changed` when it concerns a window itself (OBJID_WINDOW,
// CHILDID_SELF). Windows reports these for every process; Wine only the
// creation of another process's windows, so nothing arrives there. The
// process has one `changed` at a time: the hook procedure has no context.
WindowWatch watchWindowChanges(WindowChanged changed);
// UnhookWinEvent of each hook of the watch, which is left empty.
void stopWatchingWindowChanges(WindowWatch& watch);
// SetCoalescableTimer where the system has it (Windows 8 and later),
// otherwise SetTimer: WM_TIMER `id` to the window every `ms`, which the
// system may delay by up to `toleranceMs` to wake the processor less often.
void startTimer(WindowHandle window, std::uintptr_t id, unsigned ms, unsigned toleranceMs);
// KillTimer.
void stopTimer(WindowHandle window, std::uintptr_t id);

}  // namespace platform

// --- Saved sessions, programs and the processes Tilewick starts ---------------------

namespace platform {

// RegOpenKeyExW under HKEY_CURRENT_USER and RegEnumKeyExW: every subkey's
// name, in the registry's order; false when the key cannot be opened.
bool userRegistrySubkeys(const char16_t* path, const std::function<void(const char16_t*)>& visit);
// MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS): bytes in the system's
// ANSI code page as UTF-16; false when they are not valid in that code page.
bool ansiToText(std::string_view bytes, std::u16string& text);
// GetEnvironmentVariableW; empty when it is not set.
std::u16string environmentVariable(const char16_t* name);
// GetFileAttributesW: a file (not a folder) is there.
bool fileExists(const char16_t* path);
// GetModuleFileNameW(nullptr) without its last component: Tilewick.exe's folder.
std::u16string programFolder();

// A process Tilewick started: its handle (a HANDLE on Windows) and id.
struct Process {
    void* handle = nullptr;
    std::uint32_t id = 0;
};
// CreateProcessW(application, commandLine, ...) with nothing inherited; on
// failure an empty Process and GetLastError in `error`.
Process startProcess(const char16_t* application, const std::u16string& commandLine,
                     std::uint32_t& error);
// WaitForSingleObject(handle, 0) == WAIT_TIMEOUT.
bool processRunning(const Process& process);
// CloseHandle: the process goes on; Tilewick stops following it.
void releaseProcess(const Process& process);
// GetWindowThreadProcessId: the id of the process owning the window, 0 when none.
std::uint32_t windowProcessId(WindowHandle window);

// GetPrivateProfileSectionW: the section's "key=value" lines as they stand in
// the file, in order, duplicates and lines without "=" included.
std::vector<std::u16string> profileSectionLines(const char16_t* section, const char16_t* path);
// WritePrivateProfileStringW; a null value deletes the key.
bool writeProfileString(const char16_t* section, const char16_t* key, const char16_t* value,
                        const char16_t* path);

}  // namespace platform
