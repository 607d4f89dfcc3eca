// The end-to-end test bench: runs inside the same Wine desktop as Tilewick,
// starts Tilewick and fake terminals, drives them with real input only
// (SendInput) and reads their state from outside, as a user's eyes would.
//
// Everything that waits polls a condition with a generous upper bound; the only
// fixed pauses are the ones the input system itself needs (separating clicks
// beyond the double-click time).
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
// Some tests talk to terminals over loopback sockets; winsock2.h must come
// before windows.h for that.
#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace bench {

using Millis = std::chrono::milliseconds;

// ---- Time -------------------------------------------------------------------

// The usual upper bound for a wait: 15 s, scaled by TWK_E2E_TIMEOUT_SCALE.
Millis defaultTimeout();

// Polls `condition` every 20 ms until it holds or `limit` has passed; returns
// whether it held. The condition is checked once more at the very end.
bool waitUntil(const std::function<bool()>& condition, Millis limit = defaultTimeout());

// ---- Text and paths ---------------------------------------------------------

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& text);  // UTF-8, for test messages

// "/work/x/y" -> "Z:\work\x\y"; Windows paths pass unchanged.
std::wstring toWindowsPath(const std::wstring& path);

std::wstring tilewickExe();
std::wstring fakeTerminalExe();

// A folder shared with the shell side of the bench (TWK_E2E_DIR), or the
// temporary folder when the driver runs without it.
std::wstring exchangeDir();
// A path in the exchange folder that no other call returned before.
std::wstring uniquePath(const std::wstring& stem, const std::wstring& extension);

// The user's Documents folder, where Tilewick keeps twk.ini and tw.chm.
std::wstring documentsDir();

bool fileExists(const std::wstring& path);
std::string readFile(const std::wstring& path);

// ---- Processes ----------------------------------------------------------------

class Process {
public:
    Process() = default;
    Process(HANDLE process, DWORD pid) : handle_(process), pid_(pid) {}
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    DWORD pid() const { return pid_; }
    HANDLE handle() const { return handle_; }
    bool running() const;
    // Exit code once the process has ended within `limit`; false otherwise.
    bool waitForExit(DWORD* exitCode, Millis limit = defaultTimeout());
    void terminate();

private:
    HANDLE handle_ = nullptr;
    DWORD pid_ = 0;
};

// Starts `exe` with the arguments (each quoted as needed). Null on failure.
std::shared_ptr<Process> launch(const std::wstring& exe, const std::vector<std::wstring>& args);

// Top-level windows of a process, optionally of one class only.
std::vector<HWND> topWindowsOf(DWORD pid, const wchar_t* className = nullptr);
// Every top-level window of the class, whoever owns it.
std::vector<HWND> topWindowsOfClass(const wchar_t* className);

// ---- Reading state ------------------------------------------------------------

std::wstring className(HWND hwnd);
std::wstring windowText(HWND hwnd);  // WM_GETTEXT, works across processes
RECT windowRect(HWND hwnd);
RECT clientRect(HWND hwnd);
// The window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND hwnd);
LONG style(HWND hwnd);
LONG exStyle(HWND hwnd);

std::vector<std::wstring> listRows(HWND listBox);
std::vector<bool> listMarks(HWND listBox);
int comboSelection(HWND combo);
std::vector<std::wstring> comboItems(HWND combo);

WINDOWPLACEMENT placement(HWND hwnd);
// Alpha of a layered window; false when the window has none set.
bool layeredAlpha(HWND hwnd, BYTE* alpha);
// The keyboard focus inside the thread that owns `anyWindowOfThread`.
HWND focusOf(HWND anyWindowOfThread);

// ---- Real input ----------------------------------------------------------------

// Keys: virtual-key codes; modifiers are pressed in order and released in reverse.
void keyDown(WORD vk);
void keyUp(WORD vk);
void tapKey(WORD vk, std::initializer_list<WORD> modifiers = {});
// Types text as Unicode key packets (what an IME would deliver).
void typeText(const std::wstring& text);

// Mouse: every event carries absolute screen coordinates.
void moveMouse(POINT screen);
POINT cursorPos();
void click(POINT screen, bool right = false);
void doubleClick(POINT screen);
void drag(POINT from, POINT to);
// Centre of a window in screen coordinates.
POINT centreOf(HWND hwnd);

// ---- Screenshots ----------------------------------------------------------------

// Asks the shell side for a picture of the whole desktop; returns the Unix path
// of the PNG, or an empty string when no screenshot service answers in time.
std::wstring screenshot(const std::wstring& name);

// ---- Fake terminals ------------------------------------------------------------

struct TerminalOptions {
    std::wstring title;
    std::wstring className = L"PuTTY";
    std::wstring show;         // "normal" (default), "min", "max", "hidden"
    bool hasRect = false;      // with rect: initial position and size
    RECT rect = {0, 0, 0, 0};  // left, top, right, bottom
    bool translate = false;    // TranslateMessage in its loop
    bool pasteThread = false;  // pastes from a reader thread, as PuTTY does
    unsigned hangAfterMs = 0;
    std::wstring hangFile;
};

// One event line of a fake terminal's log.
struct TerminalEvent {
    std::string kind;              // keydown, keyup, char, rdown, rup, activate, start, hang, ...
    unsigned long wp = 0, lp = 0;  // key events, rdown/rup wParam
    int x = 0, y = 0;              // rdown/rup
    bool hasPaste = false;         // rup: clipboard text was read
    std::wstring paste;
    std::string raw;
};

class FakeTerminal {
public:
    FakeTerminal(std::shared_ptr<Process> process, HWND hwnd, std::wstring logPath)
        : process_(std::move(process)), hwnd_(hwnd), logPath_(std::move(logPath)) {}
    HWND hwnd() const { return hwnd_; }
    Process& process() { return *process_; }
    const std::wstring& logPath() const { return logPath_; }
    std::vector<TerminalEvent> events() const;
    std::vector<TerminalEvent> events(const std::string& kind) const;
    // Makes the terminal stop handling messages (the hang message).
    void hang();
    // Makes it stop handling messages for `ms` milliseconds, then go on.
    void sleep(unsigned ms);

private:
    std::shared_ptr<Process> process_;
    HWND hwnd_;
    std::wstring logPath_;
};

TerminalEvent parseEvent(const std::string& line);

// ---- Tilewick ---------------------------------------------------------------

// Tilewick's controls, found by walking the children in creation order.
struct Controls {
    HWND main = nullptr;
    HWND commandEdit = nullptr, compactButton = nullptr, listTitleLabel = nullptr,
         filterEdit = nullptr, windowList = nullptr, invertButton = nullptr, flashButton = nullptr,
         windowOpsGroup = nullptr, refreshButton = nullptr, helpButton = nullptr,
         countLabel = nullptr;
    HWND displayCombo = nullptr, areaCombo = nullptr, columnsLabel = nullptr, columnsEdit = nullptr,
         rowsLabel = nullptr, rowsEdit = nullptr, arrangeButton = nullptr,
         hideOthersButton = nullptr;
};

// Fills every field or returns false (with what was missing in *why).
bool findControls(HWND main, Controls* out, std::string* why);

// ---- The per-test bench -------------------------------------------------------

// Owns every process a test starts and ends them all, also when the test fails.
class Bench {
public:
    Bench() = default;
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;
    ~Bench() { killAll(); }

    std::shared_ptr<Process> start(const std::wstring& exe, const std::vector<std::wstring>& args);
    // Starts a fake terminal and waits for its window (null on failure).
    std::shared_ptr<FakeTerminal> startTerminal(const TerminalOptions& options,
                                                std::string* why = nullptr);
    // Starts Tilewick, waits for its main window with all its controls.
    bool startTilewick(Controls* controls, std::string* why);
    Process* tilewick() { return tilewick_.get(); }
    void killAll();

private:
    std::vector<std::shared_ptr<Process>> processes_;
    std::vector<std::shared_ptr<FakeTerminal>> terminals_;
    std::shared_ptr<Process> tilewick_;
};

}  // namespace bench
