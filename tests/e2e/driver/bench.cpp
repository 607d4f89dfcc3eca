#include "bench.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#ifndef TWK_TILEWICK_EXE
#define TWK_TILEWICK_EXE ""
#endif
#ifndef TWK_FAKE_TERMINAL_EXE
#define TWK_FAKE_TERMINAL_EXE ""
#endif

namespace bench {

namespace {

std::wstring envVar(const wchar_t* name) {
    wchar_t buf[4096] = {};
    DWORD n = GetEnvironmentVariableW(name, buf, 4096);
    if (n == 0 || n >= 4096)
        return L"";
    return buf;
}

// Cross-process messages time out rather than hang the driver when the
// target stops answering (a hung terminal, a modal loop gone wrong).
LRESULT sendTimeout(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    LRESULT r =
        SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG | SMTO_BLOCK, 5000, &result);
    if (ok)
        *ok = r != 0;
    return static_cast<LRESULT>(result);
}

std::wstring quoteArg(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
        } else if (c == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
            out += c;
            backslashes = 0;
        } else {
            out.append(backslashes, L'\\');
            out += c;
            backslashes = 0;
        }
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

bool isExtendedKey(WORD vk) {
    switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_DIVIDE:
    case VK_NUMLOCK:
        return true;
    default:
        return false;
    }
}

INPUT keyInput(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (isExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

// Keys pressed with keyDown and not yet released.
std::vector<WORD> heldKeys;

void sendKey(WORD vk, bool up) {
    INPUT in = keyInput(vk, up);
    SendInput(1, &in, sizeof in);
    auto it = std::find(heldKeys.begin(), heldKeys.end(), vk);
    if (up && it != heldKeys.end())
        heldKeys.erase(it);
    if (!up && it == heldKeys.end())
        heldKeys.push_back(vk);
}

// Absolute mouse coordinates run from 0 to 65535 over the primary screen and
// map back to pixels as floor(n * extent / 65536): rounding n up is what lands
// on the pixel asked for rather than one short of it.
LONG normalise(LONG pixel, int extent) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

INPUT mouseInput(POINT p, DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = normalise(p.x, GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = normalise(p.y, GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    return in;
}

void sendMouse(POINT p, DWORD flags) {
    INPUT in = mouseInput(p, flags);
    SendInput(1, &in, sizeof in);
}

// Presses and releases buttons in one batch, preceded by a repeat of every key
// still held. Wine's X11 driver takes the modifier state from the X server
// when it moves the X pointer, and the X server knows nothing of keys pressed
// with SendInput, so a Ctrl pressed before the cursor moved can read as
// released by the time the button goes down. A physically held key repeats
// anyway; repeating it right with the button keeps Ctrl-click a Ctrl-click.
void sendButtons(POINT p, const std::vector<DWORD>& buttonFlags) {
    std::vector<INPUT> batch;
    for (WORD vk : heldKeys) {
        batch.push_back(keyInput(vk, false));
    }
    for (DWORD f : buttonFlags)
        batch.push_back(mouseInput(p, f));
    SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
}

// Separate clicks must not pair into a double-click.
std::chrono::steady_clock::time_point lastClick;

void waitPastDoubleClickTime() {
    auto gap = Millis(GetDoubleClickTime() + 100);
    auto since = std::chrono::steady_clock::now() - lastClick;
    if (since < gap)
        std::this_thread::sleep_for(gap - since);
}

std::atomic<unsigned> uniqueCounter{0};

}  // namespace

// ---- Time ---------------------------------------------------------------------

Millis defaultTimeout() {
    double scale = 1.0;
    std::wstring s = envVar(L"TWK_E2E_TIMEOUT_SCALE");
    if (!s.empty())
        scale = std::wcstod(s.c_str(), nullptr);
    if (scale <= 0)
        scale = 1.0;
    return Millis(static_cast<long long>(15000 * scale));
}

bool waitUntil(const std::function<bool()>& condition, Millis limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(Millis(20));
    }
    return condition();
}

// ---- Text and paths -------------------------------------------------------------

std::wstring widen(const std::string& utf8) {
    if (utf8.empty())
        return L"";
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

std::string narrow(const std::wstring& text) {
    if (text.empty())
        return "";
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

std::wstring toWindowsPath(const std::wstring& path) {
    if (path.empty() || path[0] != L'/')
        return path;
    std::wstring out = L"Z:" + path;
    for (wchar_t& c : out)
        if (c == L'/')
            c = L'\\';
    return out;
}

std::wstring tilewickExe() {
    std::wstring fromEnv = envVar(L"TWK_TILEWICK_EXE");
    return toWindowsPath(fromEnv.empty() ? widen(TWK_TILEWICK_EXE) : fromEnv);
}

std::wstring fakeTerminalExe() {
    std::wstring fromEnv = envVar(L"TWK_FAKE_TERMINAL_EXE");
    return toWindowsPath(fromEnv.empty() ? widen(TWK_FAKE_TERMINAL_EXE) : fromEnv);
}

std::wstring exchangeDir() {
    std::wstring dir = envVar(L"TWK_E2E_DIR");
    if (!dir.empty()) {
        dir = toWindowsPath(dir);
        CreateDirectoryW(dir.c_str(), nullptr);
        return dir;
    }
    wchar_t tmp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, tmp);
    std::wstring t = tmp;
    if (!t.empty() && t.back() == L'\\')
        t.pop_back();
    return t;
}

std::wstring uniquePath(const std::wstring& stem, const std::wstring& extension) {
    wchar_t buf[64];
    std::swprintf(buf, 64, L"-%lu-%u", GetCurrentProcessId(), uniqueCounter.fetch_add(1));
    return exchangeDir() + L"\\" + stem + buf + extension;
}

std::wstring documentsDir() {
    wchar_t buf[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buf);
    return buf;
}

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string readFile(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return "";
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    CloseHandle(f);
    return out;
}

// ---- Processes --------------------------------------------------------------------

Process::~Process() {
    if (handle_)
        CloseHandle(handle_);
}

bool Process::running() const {
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

bool Process::waitForExit(DWORD* exitCode, Millis limit) {
    if (!handle_)
        return false;
    if (WaitForSingleObject(handle_, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(handle_, &code);
    if (exitCode)
        *exitCode = code;
    return true;
}

void Process::terminate() {
    if (running()) {
        TerminateProcess(handle_, 255);
        WaitForSingleObject(handle_, 10000);
    }
}

std::shared_ptr<Process> launch(const std::wstring& exe, const std::vector<std::wstring>& args) {
    std::wstring cmd = quoteArg(exe);
    for (const auto& a : args)
        cmd += L" " + quoteArg(a);
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return std::make_shared<Process>(pi.hProcess, pi.dwProcessId);
}

namespace {
struct EnumRequest {
    DWORD pid;
    const wchar_t* cls;
    std::vector<HWND>* out;
};

BOOL CALLBACK collectTop(HWND hwnd, LPARAM lp) {
    auto* req = reinterpret_cast<EnumRequest*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (req->pid != 0 && pid != req->pid)
        return TRUE;
    if (req->cls && className(hwnd) != req->cls)
        return TRUE;
    req->out->push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> topWindowsOf(DWORD pid, const wchar_t* cls) {
    std::vector<HWND> out;
    EnumRequest req{pid, cls, &out};
    EnumWindows(collectTop, reinterpret_cast<LPARAM>(&req));
    return out;
}

std::vector<HWND> topWindowsOfClass(const wchar_t* cls) {
    return topWindowsOf(0, cls);
}

// ---- Reading state ------------------------------------------------------------------

std::wstring className(HWND hwnd) {
    wchar_t buf[256] = {};
    GetClassNameW(hwnd, buf, 256);
    return buf;
}

std::wstring windowText(HWND hwnd) {
    LRESULT len = sendTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 64, L'\0');
    sendTimeout(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
    return buf.data();
}

RECT windowRect(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT clientRect(HWND hwnd) {
    RECT r = {};
    GetClientRect(hwnd, &r);
    return r;
}

RECT rectInParent(HWND hwnd) {
    RECT r = windowRect(hwnd);
    HWND parent = GetParent(hwnd);
    if (parent && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LONG style(HWND hwnd) {
    return GetWindowLongW(hwnd, GWL_STYLE);
}

LONG exStyle(HWND hwnd) {
    return GetWindowLongW(hwnd, GWL_EXSTYLE);
}

namespace {

// List boxes and combo boxes answer the same three questions under different message ids.
std::vector<std::wstring> itemTexts(HWND control, UINT countMsg, UINT lengthMsg, UINT textMsg) {
    std::vector<std::wstring> items;
    LRESULT n = sendTimeout(control, countMsg, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        LRESULT len = sendTimeout(control, lengthMsg, static_cast<WPARAM>(i), 0);
        if (len < 0)
            len = 0;
        std::vector<wchar_t> buf(static_cast<size_t>(len) + 2, L'\0');
        sendTimeout(control, textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf.data()));
        items.push_back(buf.data());
    }
    return items;
}

}  // namespace

std::vector<std::wstring> listRows(HWND listBox) {
    return itemTexts(listBox, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<bool> listMarks(HWND listBox) {
    std::vector<bool> marks;
    LRESULT n = sendTimeout(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i)
        marks.push_back(sendTimeout(listBox, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0);
    return marks;
}

int comboSelection(HWND combo) {
    return static_cast<int>(sendTimeout(combo, CB_GETCURSEL, 0, 0));
}

std::vector<std::wstring> comboItems(HWND combo) {
    return itemTexts(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

WINDOWPLACEMENT placement(HWND hwnd) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    GetWindowPlacement(hwnd, &wp);
    return wp;
}

bool layeredAlpha(HWND hwnd, BYTE* alpha) {
    COLORREF key = 0;
    BYTE a = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(hwnd, &key, &a, &flags) || !(flags & LWA_ALPHA))
        return false;
    *alpha = a;
    return true;
}

HWND focusOf(HWND anyWindowOfThread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD tid = GetWindowThreadProcessId(anyWindowOfThread, nullptr);
    if (!GetGUIThreadInfo(tid, &info))
        return nullptr;
    return info.hwndFocus;
}

// ---- Real input ---------------------------------------------------------------------

void keyDown(WORD vk) {
    sendKey(vk, false);
}

void keyUp(WORD vk) {
    sendKey(vk, true);
}

void tapKey(WORD vk, std::initializer_list<WORD> modifiers) {
    for (WORD m : modifiers)
        sendKey(m, false);
    sendKey(vk, false);
    sendKey(vk, true);
    for (auto it = modifiers.end(); it != modifiers.begin();) {
        --it;
        sendKey(*it, true);
    }
}

void typeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2] = {};
        for (int i = 0; i < 2; ++i) {
            in[i].type = INPUT_KEYBOARD;
            in[i].ki.wScan = c;
            in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(2, in, sizeof(INPUT));
    }
}

void moveMouse(POINT screen) {
    sendMouse(screen, 0);
    waitUntil(
        [&] {
            POINT p = cursorPos();
            return p.x == screen.x && p.y == screen.y;
        },
        Millis(2000));
}

POINT cursorPos() {
    POINT p = {};
    GetCursorPos(&p);
    return p;
}

void click(POINT screen, bool right) {
    waitPastDoubleClickTime();
    moveMouse(screen);
    sendButtons(screen, {DWORD(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                         DWORD(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
    lastClick = std::chrono::steady_clock::now();
}

void doubleClick(POINT screen) {
    waitPastDoubleClickTime();
    moveMouse(screen);
    sendButtons(screen, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                         MOUSEEVENTF_LEFTUP});
    lastClick = std::chrono::steady_clock::now();
}

void drag(POINT from, POINT to) {
    waitPastDoubleClickTime();
    moveMouse(from);
    sendMouse(from, MOUSEEVENTF_LEFTDOWN);
    // Move in steps so that the target sees a drag, not a jump.
    const int steps = 10;
    for (int i = 1; i <= steps; ++i) {
        POINT p = {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        sendMouse(p, 0);
        std::this_thread::sleep_for(Millis(15));
    }
    sendMouse(to, MOUSEEVENTF_LEFTUP);
    lastClick = std::chrono::steady_clock::now();
}

POINT centreOf(HWND hwnd) {
    RECT r = windowRect(hwnd);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// ---- Screenshots ----------------------------------------------------------------------

std::wstring screenshot(const std::wstring& name) {
    std::wstring dir = envVar(L"TWK_E2E_DIR");
    if (dir.empty())
        return L"";
    std::wstring shots = toWindowsPath(dir) + L"\\shots";
    CreateDirectoryW(shots.c_str(), nullptr);
    std::wstring done = shots + L"\\" + name + L".done";
    DeleteFileW(done.c_str());
    std::wstring req = shots + L"\\" + name + L".req";
    HANDLE f = CreateFileW(req.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return L"";
    CloseHandle(f);
    if (!waitUntil([&] { return fileExists(done); }, Millis(30000)))
        return L"";
    std::string path = readFile(done);
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
        path.pop_back();
    return widen(path);
}

// ---- Fake terminals ---------------------------------------------------------------------

namespace {
unsigned long parseHex(const std::string& line, const char* key) {
    size_t at = line.find(std::string(" ") + key + "=");
    if (at == std::string::npos)
        return 0;
    return std::strtoul(line.c_str() + at + std::strlen(key) + 2, nullptr, 0);
}

int parseInt(const std::string& line, const char* key) {
    size_t at = line.find(std::string(" ") + key + "=");
    if (at == std::string::npos)
        return 0;
    return std::atoi(line.c_str() + at + std::strlen(key) + 2);
}

std::wstring unescape(const std::string& s, size_t from, size_t* end) {
    std::wstring out;
    size_t i = from;
    while (i < s.size() && s[i] != '"') {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[i + 1];
            if (n == 'u' && i + 5 < s.size()) {
                out += static_cast<wchar_t>(std::strtoul(s.substr(i + 2, 4).c_str(), nullptr, 16));
                i += 6;
            } else {
                out += static_cast<wchar_t>(n);
                i += 2;
            }
        } else {
            out += static_cast<wchar_t>(s[i]);
            ++i;
        }
    }
    if (end)
        *end = i;
    return out;
}
}  // namespace

TerminalEvent parseEvent(const std::string& line) {
    TerminalEvent e;
    e.raw = line;
    e.kind = line.substr(0, line.find(' '));
    e.wp = parseHex(line, "wp");
    e.lp = parseHex(line, "lp");
    e.x = parseInt(line, "x");
    e.y = parseInt(line, "y");
    size_t at = line.find(" paste=\"");
    if (at != std::string::npos) {
        e.hasPaste = true;
        e.paste = unescape(line, at + 8, nullptr);
    }
    return e;
}

std::vector<TerminalEvent> FakeTerminal::events() const {
    std::vector<TerminalEvent> out;
    std::istringstream in(readFile(logPath_));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            out.push_back(parseEvent(line));
    }
    return out;
}

std::vector<TerminalEvent> FakeTerminal::events(const std::string& kind) const {
    std::vector<TerminalEvent> out;
    for (auto& e : events())
        if (e.kind == kind)
            out.push_back(e);
    return out;
}

void FakeTerminal::hang() {
    PostMessageW(hwnd_, RegisterWindowMessageW(L"TilewickFakeTerminalHang"), 0, 0);
}

void FakeTerminal::sleep(unsigned ms) {
    PostMessageW(hwnd_, RegisterWindowMessageW(L"TilewickFakeTerminalSleep"), ms, 0);
}

// ---- Tilewick ------------------------------------------------------------------------

bool findControls(HWND main, Controls* out, std::string* why) {
    Controls c;
    c.main = main;
    struct Slot {
        HWND* field;
        const wchar_t* cls;
        const char* name;
    };
    const Slot mainChildren[] = {
        {&c.commandEdit, L"Edit", "commandEdit"},
        {&c.compactButton, L"Button", "compactButton"},
        {&c.listTitleLabel, L"Static", "listTitleLabel"},
        {&c.filterEdit, L"Edit", "filterEdit"},
        {&c.windowList, L"ListBox", "windowList"},
        {&c.invertButton, L"Button", "invertButton"},
        {&c.flashButton, L"Button", "flashButton"},
        {&c.windowOpsGroup, L"Button", "windowOpsGroup"},
        {&c.refreshButton, L"Button", "refreshButton"},
        {&c.helpButton, L"Button", "helpButton"},
        {&c.countLabel, L"Static", "countLabel"},
    };
    const Slot groupChildren[] = {
        {&c.displayCombo, L"ComboBox", "displayCombo"},
        {&c.areaCombo, L"ComboBox", "areaCombo"},
        {&c.columnsLabel, L"Static", "columnsLabel"},
        {&c.columnsEdit, L"Edit", "columnsEdit"},
        {&c.rowsLabel, L"Static", "rowsLabel"},
        {&c.rowsEdit, L"Edit", "rowsEdit"},
        {&c.arrangeButton, L"Button", "arrangeButton"},
        {&c.hideOthersButton, L"Button", "hideOthersButton"},
    };
    auto walk = [&](HWND parent, const Slot* slots, size_t n) {
        HWND child = GetWindow(parent, GW_CHILD);
        for (size_t i = 0; i < n; ++i) {
            if (!child) {
                if (why)
                    *why = std::string("missing control ") + slots[i].name;
                return false;
            }
            if (_wcsicmp(className(child).c_str(), slots[i].cls) != 0) {
                if (why)
                    *why = std::string("control ") + slots[i].name + " has class " +
                           narrow(className(child));
                return false;
            }
            *slots[i].field = child;
            child = GetWindow(child, GW_HWNDNEXT);
        }
        return true;
    };
    if (!walk(main, mainChildren, sizeof mainChildren / sizeof mainChildren[0]))
        return false;
    if (!walk(c.windowOpsGroup, groupChildren, sizeof groupChildren / sizeof groupChildren[0]))
        return false;
    *out = c;
    return true;
}

// ---- The per-test bench ---------------------------------------------------------------

std::shared_ptr<Process> Bench::start(const std::wstring& exe,
                                      const std::vector<std::wstring>& args) {
    auto p = launch(exe, args);
    if (p)
        processes_.push_back(p);
    return p;
}

std::shared_ptr<FakeTerminal> Bench::startTerminal(const TerminalOptions& o, std::string* why) {
    std::wstring log = uniquePath(L"terminal", L".log");
    DeleteFileW(log.c_str());
    std::vector<std::wstring> args = {L"--title", o.title, L"--class", o.className, L"--log", log};
    if (!o.show.empty())
        args.insert(args.end(), {L"--show", o.show});
    if (o.hasRect) {
        wchar_t buf[80];
        std::swprintf(buf, 80, L"%ld,%ld,%ld,%ld", o.rect.left, o.rect.top,
                      o.rect.right - o.rect.left, o.rect.bottom - o.rect.top);
        args.insert(args.end(), {L"--pos", buf});
    }
    if (o.translate)
        args.push_back(L"--translate");
    if (o.pasteThread)
        args.push_back(L"--paste-thread");
    if (o.hangAfterMs)
        args.insert(args.end(), {L"--hang-after", std::to_wstring(o.hangAfterMs)});
    if (!o.hangFile.empty())
        args.insert(args.end(), {L"--hang-on-file", o.hangFile});

    auto p = start(fakeTerminalExe(), args);
    if (!p) {
        if (why)
            *why = "cannot start " + narrow(fakeTerminalExe());
        return nullptr;
    }
    HWND hwnd = nullptr;
    bool shown = waitUntil([&] {
        auto wins = topWindowsOf(p->pid(), o.className.c_str());
        if (wins.empty())
            return false;
        hwnd = wins.front();
        // Its start line is written once the window exists: from then on the
        // log is there for the test to read.
        return readFile(log).find("start ") != std::string::npos;
    });
    if (!shown) {
        if (why)
            *why = "fake terminal '" + narrow(o.title) + "' did not show its window";
        return nullptr;
    }
    WaitForInputIdle(p->handle(), 5000);
    auto t = std::make_shared<FakeTerminal>(p, hwnd, log);
    terminals_.push_back(t);
    return t;
}

bool Bench::startTilewick(Controls* controls, std::string* why) {
    std::wstring exe = tilewickExe();
    if (!fileExists(exe)) {
        *why = "Tilewick.exe not found at " + narrow(exe);
        return false;
    }
    tilewick_ = start(exe, {});
    if (!tilewick_) {
        *why = "cannot start " + narrow(exe);
        return false;
    }
    HWND main = nullptr;
    std::string lastWhy = "no TILEWICK window";
    bool ready = waitUntil([&] {
        auto wins = topWindowsOf(tilewick_->pid(), L"TILEWICK");
        if (wins.empty() || !IsWindowVisible(wins.front()))
            return false;
        main = wins.front();
        return findControls(main, controls, &lastWhy);
    });
    if (!ready) {
        *why = "Tilewick's main window did not come up: " + lastWhy;
        return false;
    }
    WaitForInputIdle(tilewick_->handle(), 5000);
    return true;
}

void Bench::killAll() {
    for (auto it = processes_.rbegin(); it != processes_.rend(); ++it)
        (*it)->terminate();
    processes_.clear();
    terminals_.clear();
    tilewick_.reset();
}

}  // namespace bench
