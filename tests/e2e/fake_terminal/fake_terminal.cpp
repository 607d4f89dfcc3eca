// A stand-in for a PuTTY window in the end-to-end tests.
//
// It is an ordinary top-level window of class "PuTTY" (or any class given)
// that writes every input message Tilewick may send it to a log file, one
// line per event, so a test can check exactly what arrived. Options:
//
//   --title TEXT        window caption (may be empty: --title "")
//   --title-file PATH   window caption read from a UTF-8 file (a command line
//                       from a Unix shell reaches Wine in the Unix locale's
//                       code page, which mangles Japanese unless that locale
//                       exists on the machine)
//   --class NAME        window class, default "PuTTY"
//   --log PATH          append events here (ASCII lines, see logEvent)
//   --show normal|min|max|hidden    initial show state, default normal
//   --pos X,Y,W,H       initial rectangle (default: the system's choice)
//   --paste-thread      paste as PuTTY does: the right button-up starts a
//                       reader thread that opens the clipboard once, gives up
//                       when somebody holds it, and otherwise keeps it open a
//                       moment while the window takes the text
//   --translate         run TranslateMessage in the loop, as a program that
//                       turns key-downs into WM_CHAR would
//   --hang-after MS     stop handling messages MS milliseconds after start
//   --hang-on-file PATH stop handling messages once PATH exists
//   (and the registered message "TilewickFakeTerminalHang" posted to the
//    window makes it stop at once; "TilewickFakeTerminalSleep" posted with
//    wParam MS makes it stop for MS milliseconds and then go on)
//
// Log lines (all text outside printable ASCII is written as \uXXXX, a
// backslash as \\, so every line is plain ASCII):
//   start pid=N hwnd=0xH class="..." title="..."
//   keydown wp=0xVK lp=0xLPARAM          (likewise keyup, char, syskeydown,
//                                          syskeyup, syschar, deadchar)
//   activate wp=0xW lp=0xL               (wp: WA_INACTIVE 0, WA_ACTIVE 1, ...)
//   rdown wp=0xW x=X y=Y
//   rup wp=0xW x=X y=Y paste="..."       (paste=none without text; with
//                                         --paste-thread no paste= here, but
//                                         later read paste="..." or read given-up)
//   hang
//   sleep ms=N, then wake               (around a stop of N milliseconds)
//   destroy

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

struct Options {
    std::wstring title = L"fake terminal";
    std::wstring className = L"PuTTY";
    std::wstring logPath;
    int show = SW_SHOWNORMAL;
    bool hasPos = false;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, w = 400, h = 300;
    bool translate = false;
    bool pasteThread = false;
    unsigned hangAfterMs = 0;
    std::wstring hangFile;
};

Options opts;
HANDLE logFile = INVALID_HANDLE_VALUE;
UINT hangMessage = 0;
UINT sleepMessage = 0;
std::wstring lastEvent;

const UINT_PTR kHangTimer = 1;
const UINT_PTR kHangFileTimer = 2;

std::string escape(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) {
        if (c == L'\\') {
            out += "\\\\";
        } else if (c == L'"') {
            out += "\\\"";
        } else if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c) & 0xffffu);
            out += buf;
        }
    }
    return out;
}

// One WriteFile per line, on a handle opened for appending: the line is in the
// file when the call returns, so a test reading the log never sees half of it.
void logLine(const std::string& line) {
    if (logFile == INVALID_HANDLE_VALUE)
        return;
    std::string withEol = line + "\r\n";
    DWORD written = 0;
    WriteFile(logFile, withEol.data(), static_cast<DWORD>(withEol.size()), &written, nullptr);
}

std::string hex(unsigned long long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llX", v);
    return buf;
}

std::string keyLine(const char* kind, WPARAM wp, LPARAM lp) {
    return std::string(kind) + " wp=" + hex(static_cast<unsigned long long>(wp)) +
           " lp=" + hex(static_cast<unsigned long long>(static_cast<DWORD>(lp)));
}

std::string mouseLine(const char* kind, WPARAM wp, LPARAM lp) {
    int x = static_cast<short>(LOWORD(lp));
    int y = static_cast<short>(HIWORD(lp));
    return std::string(kind) + " wp=" + hex(static_cast<unsigned long long>(wp)) +
           " x=" + std::to_string(x) + " y=" + std::to_string(y);
}

// The clipboard may be held for a moment by whoever just filled it.
std::string clipboardText(HWND hwnd) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(hwnd)) {
            std::string result = "none";
            HANDLE data = GetClipboardData(CF_UNICODETEXT);
            if (data) {
                const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(data));
                if (text) {
                    result = "\"" + escape(text) + "\"";
                    GlobalUnlock(data);
                }
            }
            CloseClipboard();
            return result;
        }
        Sleep(20);
    }
    return "unavailable";
}

// One try, as PuTTY's own reader makes; the clipboard stays open while the
// window would take the text.
DWORD WINAPI pasteReader(LPVOID) {
    if (!OpenClipboard(nullptr)) {
        logLine("read given-up");
        return 0;
    }
    std::string result = "none";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            result = "\"" + escape(text) + "\"";
            GlobalUnlock(data);
        }
    }
    Sleep(30);
    CloseClipboard();
    logLine("read paste=" + result);
    return 0;
}

[[noreturn]] void hangForever(HWND hwnd) {
    KillTimer(hwnd, kHangTimer);
    KillTimer(hwnd, kHangFileTimer);
    logLine("hang");
    for (;;)
        Sleep(INFINITE);
}

void remember(HWND hwnd, const std::string& line) {
    logLine(line);
    lastEvent.assign(line.begin(), line.end());
    InvalidateRect(hwnd, nullptr, TRUE);
}

void paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH back = CreateSolidBrush(RGB(12, 12, 12));
    FillRect(dc, &rc, back);
    DeleteObject(back);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, RGB(0, 220, 0));
    std::wstring prompt = L"[" + opts.title + L"]$ ";
    TextOutW(dc, 6, 6, prompt.c_str(), static_cast<int>(prompt.size()));
    SetTextColor(dc, RGB(190, 190, 190));
    if (!lastEvent.empty())
        TextOutW(dc, 6, 26, lastEvent.c_str(), static_cast<int>(lastEvent.size()));
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hangMessage != 0 && msg == hangMessage)
        hangForever(hwnd);
    if (sleepMessage != 0 && msg == sleepMessage) {
        // Nothing is handled meanwhile: neither sent nor posted messages.
        logLine("sleep ms=" + std::to_string(static_cast<unsigned>(wp)));
        Sleep(static_cast<DWORD>(wp));
        logLine("wake");
        return 0;
    }
    switch (msg) {
    case WM_KEYDOWN:
        remember(hwnd, keyLine("keydown", wp, lp));
        return 0;
    case WM_KEYUP:
        remember(hwnd, keyLine("keyup", wp, lp));
        return 0;
    case WM_CHAR:
        remember(hwnd, keyLine("char", wp, lp));
        return 0;
    case WM_DEADCHAR:
        remember(hwnd, keyLine("deadchar", wp, lp));
        return 0;
    // System keys are logged and then handled as usual so that Alt+F4 and
    // the system menu keep working on the fake as on any window.
    case WM_SYSKEYDOWN:
        remember(hwnd, keyLine("syskeydown", wp, lp));
        break;
    case WM_SYSKEYUP:
        remember(hwnd, keyLine("syskeyup", wp, lp));
        break;
    case WM_SYSCHAR:
        remember(hwnd, keyLine("syschar", wp, lp));
        break;
    case WM_ACTIVATE:  // wp: WA_INACTIVE, WA_ACTIVE or WA_CLICKACTIVE
        logLine(keyLine("activate", wp, lp));
        break;
    case WM_RBUTTONDOWN:
        remember(hwnd, mouseLine("rdown", wp, lp));
        return 0;
    case WM_RBUTTONUP:
        if (opts.pasteThread) {
            remember(hwnd, mouseLine("rup", wp, lp));
            if (HANDLE reader = CreateThread(nullptr, 0, pasteReader, nullptr, 0, nullptr))
                CloseHandle(reader);
            return 0;
        }
        remember(hwnd, mouseLine("rup", wp, lp) + " paste=" + clipboardText(hwnd));
        return 0;
    case WM_TIMER:
        if (wp == kHangTimer)
            hangForever(hwnd);
        if (wp == kHangFileTimer &&
            GetFileAttributesW(opts.hangFile.c_str()) != INVALID_FILE_ATTRIBUTES)
            hangForever(hwnd);
        return 0;
    case WM_PAINT:
        paint(hwnd);
        return 0;
    case WM_DESTROY:
        logLine("destroy");
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

bool readTitleFile(const wchar_t* path, std::wstring* title) {
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    std::string bytes;
    char buf[1024];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    CloseHandle(f);
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r'))
        bytes.pop_back();
    title->clear();
    if (bytes.empty())
        return true;
    int n =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    title->resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &(*title)[0], n);
    return true;
}

bool parseRect(const wchar_t* s, Options& o) {
    int x, y, w, h;
    if (swscanf(s, L"%d,%d,%d,%d", &x, &y, &w, &h) != 4)
        return false;
    o.hasPos = true;
    o.x = x;
    o.y = y;
    o.w = w;
    o.h = h;
    return true;
}

bool parseArgs(Options& o) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return false;
    bool ok = true;
    for (int i = 1; i < argc && ok; ++i) {
        std::wstring a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == L"--translate") {
            o.translate = true;
        } else if (a == L"--paste-thread") {
            o.pasteThread = true;
        } else if (!hasValue) {
            ok = false;
        } else if (a == L"--title") {
            o.title = argv[++i];
        } else if (a == L"--title-file") {
            ok = readTitleFile(argv[++i], &o.title);
        } else if (a == L"--class") {
            o.className = argv[++i];
        } else if (a == L"--log") {
            o.logPath = argv[++i];
        } else if (a == L"--show") {
            std::wstring v = argv[++i];
            if (v == L"normal")
                o.show = SW_SHOWNORMAL;
            else if (v == L"min")
                o.show = SW_SHOWMINNOACTIVE;
            else if (v == L"max")
                o.show = SW_SHOWMAXIMIZED;
            else if (v == L"hidden")
                o.show = SW_HIDE;
            else
                ok = false;
        } else if (a == L"--pos") {
            ok = parseRect(argv[++i], o);
        } else if (a == L"--hang-after") {
            o.hangAfterMs = static_cast<unsigned>(std::wcstoul(argv[++i], nullptr, 10));
        } else if (a == L"--hang-on-file") {
            o.hangFile = argv[++i];
        } else {
            ok = false;
        }
    }
    LocalFree(argv);
    return ok;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (!parseArgs(opts))
        return 2;

    if (!opts.logPath.empty()) {
        logFile = CreateFileW(opts.logPath.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    hangMessage = RegisterWindowMessageW(L"TilewickFakeTerminalHang");
    sleepMessage = RegisterWindowMessageW(L"TilewickFakeTerminalSleep");

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = opts.className.c_str();
    if (!RegisterClassExW(&wc))
        return 3;

    HWND hwnd = CreateWindowExW(0, opts.className.c_str(), opts.title.c_str(),
                                WS_OVERLAPPEDWINDOW | WS_VSCROLL, opts.x, opts.y,
                                opts.hasPos ? opts.w : 400, opts.hasPos ? opts.h : 300, nullptr,
                                nullptr, instance, nullptr);
    if (!hwnd)
        return 4;

    logLine("start pid=" + std::to_string(GetCurrentProcessId()) +
            " hwnd=" + hex(reinterpret_cast<UINT_PTR>(hwnd)) + " class=\"" +
            escape(opts.className) + "\" title=\"" + escape(opts.title) + "\"");

    ShowWindow(hwnd, opts.show);
    UpdateWindow(hwnd);

    if (opts.hangAfterMs > 0)
        SetTimer(hwnd, kHangTimer, opts.hangAfterMs, nullptr);
    if (!opts.hangFile.empty())
        SetTimer(hwnd, kHangFileTimer, 50, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (opts.translate)
            TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (logFile != INVALID_HANDLE_VALUE)
        CloseHandle(logFile);
    return static_cast<int>(msg.wParam);
}
