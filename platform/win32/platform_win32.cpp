// The platform calls over USER32, KERNEL32, SHELL32, ADVAPI32 and IMM32: one
// call each, no policy.
#include "platform/platform.h"
#include "platform/win32/win32_text.h"

#include <algorithm>
#include <imm.h>
#include <shlobj.h>

#include <cstring>
#include <exception>

namespace platform {

namespace {

RECT toRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}
Rect fromRect(const RECT& r) {
    return Rect{r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK visitWindow(HWND window, LPARAM context) {
    const auto& visit = *reinterpret_cast<const std::function<bool(WindowHandle)>*>(context);
    return visit(window) ? TRUE : FALSE;
}

BOOL CALLBACK visitMonitor(HMONITOR monitor, HDC, LPRECT area, LPARAM context) {
    const auto& visit =
        *reinterpret_cast<const std::function<void(const char16_t*, const Rect&)>*>(context);
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info))
        info.szDevice[0] = L'\0';
    visit(utf16(info.szDevice), fromRect(*area));
    return TRUE;
}

WINDOWPLACEMENT toPlacement(const Placement& p) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    wp.flags = p.flags;
    wp.showCmd = p.showCmd;
    wp.ptMinPosition = {p.minPosition.x, p.minPosition.y};
    wp.ptMaxPosition = {p.maxPosition.x, p.maxPosition.y};
    wp.rcNormalPosition = toRect(p.normalPosition);
    return wp;
}

HANDLE lockedClipboardBlock = nullptr;

PostResult postResult(BOOL posted) {
    if (posted)
        return PostResult::Posted;
    switch (GetLastError()) {
    case ERROR_INVALID_WINDOW_HANDLE:
        return PostResult::WindowGone;
    case ERROR_ACCESS_DENIED:
        return PostResult::AccessDenied;
    default:
        return PostResult::Failed;
    }
}

// The last sub-authority of the token's mandatory label: its integrity level.
bool integrityLevel(HANDLE process, DWORD& level) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return false;
    union {
        TOKEN_MANDATORY_LABEL label;
        BYTE bytes[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
    } info;
    DWORD size = 0;
    bool read = GetTokenInformation(token, TokenIntegrityLevel, &info, sizeof(info), &size) &&
                IsValidSid(info.label.Label.Sid) &&
                *GetSidSubAuthorityCount(info.label.Label.Sid) > 0;
    if (read)
        level = *GetSidSubAuthority(info.label.Label.Sid,
                                    *GetSidSubAuthorityCount(info.label.Label.Sid) - 1u);
    CloseHandle(token);
    return read;
}

}  // namespace

void enumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) {
    EnumWindows(visitWindow, reinterpret_cast<LPARAM>(&visit));
}

int windowText(WindowHandle w, char16_t* buffer, int capacity) {
    return GetWindowTextW(hwnd(w), wide(buffer), capacity);
}

int windowTextLength(WindowHandle w) {
    return GetWindowTextLengthW(hwnd(w));
}

int className(WindowHandle w, char16_t* buffer, int capacity) {
    return GetClassNameW(hwnd(w), wide(buffer), capacity);
}

void setWindowText(WindowHandle w, const char16_t* text) {
    SendMessageW(hwnd(w), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

bool windowExists(WindowHandle w) {
    return IsWindow(hwnd(w)) != FALSE;
}

void enableWindow(WindowHandle w, bool enabled) {
    EnableWindow(hwnd(w), enabled ? TRUE : FALSE);
}

void showWindow(WindowHandle w, ShowCommand command) {
    ShowWindow(hwnd(w), static_cast<int>(command));
}

void setFocus(WindowHandle w) {
    SetFocus(hwnd(w));
}

WindowHandle focusedWindow() {
    return GetFocus();
}

void setActiveWindow(WindowHandle w) {
    SetActiveWindow(hwnd(w));
}

void setForegroundWindow(WindowHandle w) {
    SetForegroundWindow(hwnd(w));
}

bool getWindowPlacement(WindowHandle w, Placement& p) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(hwnd(w), &wp))
        return false;
    p.flags = wp.flags;
    p.showCmd = wp.showCmd;
    p.minPosition = {wp.ptMinPosition.x, wp.ptMinPosition.y};
    p.maxPosition = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
    p.normalPosition = fromRect(wp.rcNormalPosition);
    return true;
}

bool setWindowPlacement(WindowHandle w, const Placement& p) {
    const WINDOWPLACEMENT wp = toPlacement(p);
    return SetWindowPlacement(hwnd(w), &wp) != FALSE;
}

void flashCaption(WindowHandle w, unsigned count, unsigned intervalMs) {
    FLASHWINFO flash = {};
    flash.cbSize = sizeof(flash);
    flash.hwnd = hwnd(w);
    flash.dwFlags = FLASHW_CAPTION;
    flash.uCount = count;
    flash.dwTimeout = intervalMs;
    FlashWindowEx(&flash);
}

void setLayeredAlpha(WindowHandle w, std::uint8_t alpha) {
    SetLayeredWindowAttributes(hwnd(w), RGB(0xFF, 0xFF, 0xFF), alpha, LWA_ALPHA);
}

void sleepMs(unsigned milliseconds) {
    Sleep(milliseconds);
}

void debugOutput(const char16_t* line) {
    OutputDebugStringW(wide(line));
}

void listReset(WindowHandle list) {
    SendMessageW(hwnd(list), LB_RESETCONTENT, 0, 0);
}

void listAdd(WindowHandle list, const char16_t* text) {
    SendMessageW(hwnd(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void listSetMark(WindowHandle list, int row, bool marked) {
    SendMessageW(hwnd(list), LB_SETSEL, marked ? TRUE : FALSE, static_cast<LPARAM>(row));
}

int listCount(WindowHandle list) {
    return static_cast<int>(SendMessageW(hwnd(list), LB_GETCOUNT, 0, 0));
}

bool listIsMarked(WindowHandle list, int row) {
    return SendMessageW(hwnd(list), LB_GETSEL, static_cast<WPARAM>(row), 0) > 0;
}

void comboReset(WindowHandle combo) {
    SendMessageW(hwnd(combo), CB_RESETCONTENT, 0, 0);
}

void comboAdd(WindowHandle combo, const char16_t* text) {
    SendMessageW(hwnd(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void comboSelect(WindowHandle combo, int index) {
    SendMessageW(hwnd(combo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int comboSelection(WindowHandle combo) {
    return static_cast<int>(SendMessageW(hwnd(combo), CB_GETCURSEL, 0, 0));
}

int monitorCount() {
    return GetSystemMetrics(SM_CMONITORS);
}

void enumerateMonitors(const std::function<void(const char16_t*, const Rect&)>& visit) {
    EnumDisplayMonitors(nullptr, nullptr, visitMonitor, reinterpret_cast<LPARAM>(&visit));
}

PostResult postKeyDown(WindowHandle w, std::uintptr_t virtualKey, std::intptr_t keyData) {
    return postResult(PostMessageW(hwnd(w), WM_KEYDOWN, virtualKey, keyData));
}

PostResult postChar(WindowHandle w, char16_t character, std::intptr_t keyData) {
    return postResult(PostMessageW(hwnd(w), WM_CHAR, character, keyData));
}

bool sendRightButton(WindowHandle w, MouseMessage message, unsigned timeoutMs) {
    const bool down = message == MouseMessage::RightDown;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd(w), down ? WM_RBUTTONDOWN : WM_RBUTTONUP, down ? MK_RBUTTON : 0,
                               0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

TypedKey typedKey(unsigned virtualKey, unsigned scanCode) {
    // Flag 4 keeps ToUnicodeEx from touching the keyboard's dead-key state.
    constexpr UINT kKeepKeyboardState = 4;
    TypedKey typed;
    BYTE state[256] = {};
    if (!GetKeyboardState(state))
        return typed;
    const HKL layout = GetKeyboardLayout(0);
    wchar_t text[4] = {};
    const int length =
        ToUnicodeEx(virtualKey, scanCode, state, text, 4, kKeepKeyboardState, layout);
    if (length <= 0) {
        typed.length = length;
        return typed;
    }
    BYTE plain[256];
    CopyMemory(plain, state, sizeof(plain));
    for (int vk : {VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, VK_MENU,
                   VK_LMENU, VK_RMENU, VK_CAPITAL})
        plain[vk] = 0;
    wchar_t plainText[4] = {};
    const int plainLength =
        ToUnicodeEx(virtualKey, scanCode, plain, plainText, 4, kKeepKeyboardState, layout);
    typed.length = length > 4 ? 4 : length;
    for (int i = 0; i < typed.length; ++i)
        typed.text[i] = static_cast<char16_t>(text[i]);
    typed.modified =
        plainLength != length ||
        CompareStringOrdinal(text, length, plainText, plainLength, FALSE) != CSTR_EQUAL;
    return typed;
}

void warningBox(const char16_t* text, const char16_t* caption) {
    MessageBoxW(nullptr, wide(text), wide(caption), MB_OK | MB_ICONWARNING);
}

bool openClipboard(WindowHandle owner) {
    return OpenClipboard(hwnd(owner)) != FALSE;
}

void closeClipboard() {
    CloseClipboard();
}

const void* lockClipboardText(std::size_t& bytes) {
    bytes = 0;
    lockedClipboardBlock = GetClipboardData(CF_UNICODETEXT);
    if (!lockedClipboardBlock)
        return nullptr;
    const void* data = GlobalLock(lockedClipboardBlock);
    if (!data) {
        lockedClipboardBlock = nullptr;
        return nullptr;
    }
    bytes = GlobalSize(lockedClipboardBlock);
    return data;
}

void unlockClipboardText() {
    if (lockedClipboardBlock)
        GlobalUnlock(lockedClipboardBlock);
    lockedClipboardBlock = nullptr;
}

bool emptyClipboard() {
    return EmptyClipboard() != FALSE;
}

WindowHandle clipboardOwner() {
    return GetClipboardOwner();
}

void enumerateClipboardFormats(const std::function<void(unsigned)>& visit) {
    for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format))
        visit(format);
}

bool copyClipboardBlock(unsigned format, std::vector<unsigned char>& bytes) {
    bytes.clear();
    const HANDLE block = GetClipboardData(format);
    if (!block)
        return false;
    const void* data = GlobalLock(block);
    if (!data)
        return false;
    const SIZE_T size = GlobalSize(block);
    bool copied = true;
    try {
        bytes.assign(static_cast<const unsigned char*>(data),
                     static_cast<const unsigned char*>(data) + size);
    } catch (const std::exception&) {  // no memory for a copy: nothing may throw with it locked
        copied = false;
    }
    GlobalUnlock(block);
    return copied;
}

bool setClipboardBlock(unsigned format, const void* bytes, std::size_t size) {
    // GMEM_MOVEABLE, as SetClipboardData requires; a block of 0 bytes cannot
    // be locked, so an empty one gets one byte.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (!block)
        return false;
    if (void* data = GlobalLock(block)) {
        if (size)
            std::memcpy(data, bytes, size);
        else
            *static_cast<char*>(data) = 0;
        GlobalUnlock(block);
    }
    if (SetClipboardData(format, block))
        return true;  // the system owns the block now
    GlobalFree(block);
    return false;
}

bool offerClipboardFormat(unsigned format) {
    // An offer returns no handle on success either: only the error tells.
    SetLastError(ERROR_SUCCESS);
    SetClipboardData(format, nullptr);
    return GetLastError() == ERROR_SUCCESS;
}

unsigned registerClipboardFormat(const char16_t* name) {
    return RegisterClipboardFormatW(wide(name));
}

void handleSentMessages(unsigned timeoutMs) {
    const DWORD woke =
        MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) {
        // Peeking handles every sent message waiting and removes nothing.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

std::uint64_t tickCount() {
    return GetTickCount64();
}

PostResult postRightButtonUp(WindowHandle w) {
    return postResult(PostMessageW(hwnd(w), WM_RBUTTONUP, 0, 0));
}

bool documentsFolder(char16_t* buffer) {
    ZeroMemory(buffer, MAX_PATH * sizeof(char16_t));
    return SUCCEEDED(
        SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, wide(buffer)));
}

int profileInt(const char16_t* section, const char16_t* key, int fallback, const char16_t* path) {
    return static_cast<int>(GetPrivateProfileIntW(wide(section), wide(key), fallback, wide(path)));
}

int profileString(const char16_t* section, const char16_t* key, const char16_t* fallback,
                  char16_t* buffer, int capacity, const char16_t* path) {
    return static_cast<int>(GetPrivateProfileStringW(wide(section), wide(key), wide(fallback),
                                                     wide(buffer), capacity, wide(path)));
}

bool writeProfileSection(const char16_t* section, std::u16string_view body, const char16_t* path) {
    if (body.find(std::u16string_view(u"\0\0", 2)) == std::u16string_view::npos)
        return false;
    return WritePrivateProfileSectionW(wide(section), wide(body.data()), wide(path)) != FALSE;
}

bool outranksOwnIntegrity(WindowHandle w) {
    DWORD own = 0, theirs = 0, pid = 0;
    // A system without integrity levels gives this process none to outrank.
    if (!integrityLevel(GetCurrentProcess(), own))
        return false;
    if (!GetWindowThreadProcessId(hwnd(w), &pid))
        return true;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return true;
    const bool read = integrityLevel(process, theirs);
    CloseHandle(process);
    return !read || theirs > own;
}

Translation queuedTranslation(WindowHandle w) {
    MSG next;
    if (!PeekMessageW(&next, hwnd(w), WM_CHAR, WM_DEADCHAR, PM_NOREMOVE | PM_NOYIELD))
        return Translation::Nothing;
    return next.message == WM_DEADCHAR ? Translation::DeadCharacter : Translation::Character;
}

int imeResultText(WindowHandle w, char16_t* buffer, int capacity) {
    const HIMC context = ImmGetContext(hwnd(w));
    if (!context)
        return 0;
    const DWORD bytes = buffer && capacity > 0 ? static_cast<DWORD>(capacity) * sizeof(wchar_t) : 0;
    const LONG got =
        ImmGetCompositionStringW(context, GCS_RESULTSTR, bytes ? buffer : nullptr, bytes);
    ImmReleaseContext(hwnd(w), context);
    return got > 0 ? static_cast<int>(got / static_cast<LONG>(sizeof(wchar_t))) : 0;
}

bool windowIsHung(WindowHandle w) {
    return IsHungAppWindow(hwnd(w)) != FALSE;
}

bool windowAnswers(WindowHandle w, unsigned timeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd(w), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

void showWindowAsync(WindowHandle w, ShowCommand command) {
    ShowWindowAsync(hwnd(w), static_cast<int>(command));
}

bool setWindowPlacementAsync(WindowHandle w, const Placement& p) {
    WINDOWPLACEMENT wp = toPlacement(p);
    wp.flags |= WPF_ASYNCWINDOWPLACEMENT;
    return SetWindowPlacement(hwnd(w), &wp) != FALSE;
}

void moveToFrontAtAsync(WindowHandle w, int x, int y) {
    SetWindowPos(hwnd(w), HWND_NOTOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
}

void setWindowBoundsAsync(WindowHandle w, const Rect& r) {
    SetWindowPos(hwnd(w), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

void setRedraw(WindowHandle w, bool on) {
    SendMessageW(hwnd(w), WM_SETREDRAW, on ? TRUE : FALSE, 0);
}

void redrawNow(WindowHandle w) {
    RedrawWindow(hwnd(w), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

namespace {

// The screen's LOGPIXELSY: the system's one DPI; 0 when it cannot be read.
unsigned screenDpi() {
    const HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 0;
}

// DwmGetWindowAttribute: S_OK when read; E_NOTIMPL where there is no DWM.
HRESULT dwmAttribute(HWND w, DWORD attribute, void* value, DWORD size) {
    // dwmapi.dll is no KnownDLL: loaded from the system folder only, never
    // from beside the exe, and only when first needed.
    using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    static const auto getAttribute = [] {
        const HMODULE dwm = LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return dwm ? reinterpret_cast<DwmGetWindowAttributeFn>(
                         reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")))
                   : nullptr;
    }();
    return getAttribute ? getAttribute(w, attribute, value, size) : E_NOTIMPL;
}

}  // namespace

unsigned windowDpi(WindowHandle w) {
    // Looked up, not imported: older systems lack it, and the program must start there.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow)
        return getDpiForWindow(hwnd(w));
    return screenDpi();
}

bool windowBounds(WindowHandle w, Rect& bounds) {
    RECT r;
    if (!GetWindowRect(hwnd(w), &r))
        return false;
    bounds = fromRect(r);
    return true;
}

bool visibleFrameBounds(WindowHandle w, Rect& frame) {
    constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
    RECT r;
    if (dwmAttribute(hwnd(w), kExtendedFrameBounds, &r, sizeof(r)) != S_OK)
        return false;
    frame = fromRect(r);
    return true;
}

KeyStateReset resetKeyboardState(WindowHandle w) {
    const DWORD theirs = GetWindowThreadProcessId(hwnd(w), nullptr);
    if (!theirs)
        return KeyStateReset::WindowGone;
    const DWORD ours = GetCurrentThreadId();
    if (theirs == ours)
        return KeyStateReset::Refused;
    BYTE own[256] = {};
    const bool kept = GetKeyboardState(own) != FALSE;
    // Theirs joins ours rather than ours theirs: the foreground, the active
    // window and the focus stay with this thread throughout. (Joined to an
    // idle thread of ours instead, a terminal under Wine now and then kept
    // the Ctrl it held.)
    if (!AttachThreadInput(theirs, ours, TRUE))
        return KeyStateReset::Refused;
    AttachThreadInput(theirs, ours, FALSE);
    if (kept)
        SetKeyboardState(own);
    return KeyStateReset::Reset;
}

WindowHandle rootWindow(WindowHandle w) {
    return w ? GetAncestor(hwnd(w), GA_ROOT) : nullptr;
}

bool keyIsDown(unsigned virtualKey) {
    return (GetAsyncKeyState(static_cast<int>(virtualKey)) & 0x8000) != 0;
}

std::uint32_t clipboardSequenceNumber() {
    return GetClipboardSequenceNumber();
}

bool systemFolder(char16_t* buffer) {
    ZeroMemory(buffer, MAX_PATH * sizeof(char16_t));
    const UINT units = GetSystemDirectoryW(wide(buffer), MAX_PATH);
    if (units > 0 && units < MAX_PATH)
        return true;
    ZeroMemory(buffer, MAX_PATH * sizeof(char16_t));
    return false;
}

bool classesRootDefault(const char16_t* keyName, char16_t* buffer) {
    ZeroMemory(buffer, MAX_PATH * sizeof(char16_t));
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, wide(keyName), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    wchar_t value[MAX_PATH] = {};
    DWORD type = 0;
    DWORD bytes = sizeof(value) - sizeof(wchar_t);  // the zero fill keeps it terminated
    const LONG read =
        RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(key);
    bool found = false;
    if (read == ERROR_SUCCESS && type == REG_EXPAND_SZ) {
        const DWORD units = ExpandEnvironmentStringsW(value, wide(buffer), MAX_PATH);
        found = units > 0 && units <= MAX_PATH;
    } else if (read == ERROR_SUCCESS && type == REG_SZ) {
        lstrcpynW(wide(buffer), value, MAX_PATH);
        found = true;
    }
    if (!found)
        ZeroMemory(buffer, MAX_PATH * sizeof(char16_t));
    return found && buffer[0];
}

bool workAreaOf(const Rect& area, Rect& workArea) {
    const RECT r = {area.left, area.top, area.right, area.bottom};
    const HMONITOR monitor = MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        return false;
    workArea = fromRect(info.rcWork);
    return true;
}

// --- Selection bands ---

ShowState windowShowState(WindowHandle w) {
    // One read: a style of 0 is told from a window that has gone by the error.
    SetLastError(0);
    const LONG style = GetWindowLongW(hwnd(w), GWL_STYLE);
    if (style == 0 && GetLastError() != 0)
        return {};
    return {true, (style & WS_VISIBLE) != 0, (style & WS_MINIMIZE) != 0};
}

WindowHandle windowAbove(WindowHandle w) {
    return GetWindow(hwnd(w), GW_HWNDPREV);
}

bool windowIsTopmost(WindowHandle w) {
    return (GetWindowLongW(hwnd(w), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool windowIsCloaked(WindowHandle w) {
    constexpr DWORD kCloaked = 14;  // DWMWA_CLOAKED
    constexpr HRESULT kNoComposition =
        static_cast<HRESULT>(0x80263001);  // DWM_E_COMPOSITIONDISABLED
    // A system without cloaking says so on every call, at a cost (Wine logs
    // each one): asked once.
    static bool cloakingExists = true;
    if (!cloakingExists)
        return false;
    DWORD cloaked = 0;
    const HRESULT result = dwmAttribute(hwnd(w), kCloaked, &cloaked, sizeof(cloaked));
    if (result == E_NOTIMPL || result == kNoComposition)
        cloakingExists = false;
    return result == S_OK && cloaked != 0;
}

unsigned displayDpi(const Rect& area) {
    // shcore.dll is no KnownDLL, and older systems lack it: looked up in the
    // system folder only, when first needed.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = [] {
        const HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    const RECT r = {area.left, area.top, area.right, area.bottom};
    const HMONITOR monitor = MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST);
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    if (getDpiForMonitor && monitor && getDpiForMonitor(monitor, kEffectiveDpi, &x, &y) == S_OK)
        return y;
    return screenDpi();
}

WindowHandle createBandEdge(const char16_t* className) {
    const HWND edge =
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                        wide(className), L"", WS_POPUP | WS_DISABLED, 0, 0, 0, 0, nullptr, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    return edge;
}

bool paintBandEdge(WindowHandle edge, const Rect& rect, std::uint32_t rgb) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap =
        dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool painted = false;
    if (bitmap && bits) {
        std::fill_n(static_cast<std::uint32_t*>(bits), static_cast<std::size_t>(width) * height,
                    rgb | 0xFF000000u);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        POINT source = {0, 0}, at = {rect.left, rect.top};
        SIZE size = {width, height};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, 0};
        painted = UpdateLayeredWindow(hwnd(edge), nullptr, &at, &size, dc, &source, 0, &blend,
                                      ULW_ALPHA) != FALSE;
        SelectObject(dc, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
    return painted;
}

bool placeBand(const BandEdges& edges, const BandEdgeRects& rects, BandOrder order,
               WindowHandle insertAfter) {
    UINT flags = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW;
    HWND after = nullptr;
    switch (order) {
    case BandOrder::Keep:
        flags |= SWP_NOZORDER;
        break;
    case BandOrder::Top:
        after = HWND_TOP;
        break;
    case BandOrder::Topmost:
        after = HWND_TOPMOST;
        break;
    case BandOrder::NotTopmost:
        after = HWND_NOTOPMOST;
        break;
    case BandOrder::Below:
        after = hwnd(insertAfter);
        break;
    }
    bool placed = true;
    for (int i = 0; i < kBandEdges; ++i) {
        const Rect& r = rects[i];
        placed &= SetWindowPos(hwnd(edges[i]), after, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, flags) != FALSE;
    }
    return placed;
}

void hideBand(WindowHandle edge) {
    SetWindowPos(hwnd(edge), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

void destroyBand(WindowHandle edge) {
    DestroyWindow(hwnd(edge));
}

WindowHandle foregroundWindow() {
    return GetForegroundWindow();
}

void raiseWindow(WindowHandle w) {
    SetWindowPos(hwnd(w), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void startTimer(WindowHandle w, std::uintptr_t id, unsigned ms, unsigned toleranceMs) {
    // Looked up, not imported: Windows 7 lacks it, and the program must start there.
    using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
    static const auto setCoalescableTimer =
        reinterpret_cast<SetCoalescableTimerFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetCoalescableTimer")));
    if (setCoalescableTimer)
        setCoalescableTimer(hwnd(w), id, ms, nullptr, toleranceMs);
    else
        SetTimer(hwnd(w), id, ms, nullptr);
}

void stopTimer(WindowHandle w, std::uintptr_t id) {
    KillTimer(hwnd(w), id);
}

namespace {

// The hook procedure gets no context of its own: the one callback of the
// process's watch.
WindowChanged watcher = nullptr;

void CALLBACK windowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
    if (!watcher)
        return;
    if (event == EVENT_OBJECT_REORDER || event == EVENT_SYSTEM_FOREGROUND)
        watcher(nullptr);
    else if (object == OBJID_WINDOW && child == CHILDID_SELF && window)
        watcher(window);
}

}  // namespace

WindowWatch watchWindowChanges(WindowChanged changed) {
    constexpr DWORD kCloaked = 0x8017, kUncloaked = 0x8018;  // EVENT_OBJECT_(UN)CLOAKED
    const DWORD ranges[][2] = {{EVENT_OBJECT_DESTROY, EVENT_OBJECT_REORDER},
                               {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE},
                               {kCloaked, kUncloaked},
                               {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND}};
    watcher = changed;
    WindowWatch watch;
    for (int i = 0; i < 4; ++i)
        watch.hooks[i] = SetWinEventHook(ranges[i][0], ranges[i][1], nullptr, windowEvent, 0, 0,
                                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    return watch;
}

void stopWatchingWindowChanges(WindowWatch& watch) {
    for (void*& hook : watch.hooks) {
        if (hook)
            UnhookWinEvent(static_cast<HWINEVENTHOOK>(hook));
        hook = nullptr;
    }
}

}  // namespace platform

namespace platform {

bool userRegistrySubkeys(const char16_t* path, const std::function<void(const char16_t*)>& visit) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(path), 0, KEY_ENUMERATE_SUB_KEYS, &key) !=
        ERROR_SUCCESS)
        return false;
    // A key name holds at most 255 units.
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD units = 256;
        const LONG result =
            RegEnumKeyExW(key, index, name, &units, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            visit(utf16(name));
    }
    RegCloseKey(key);
    return true;
}

bool ansiToText(std::string_view bytes, std::u16string& text) {
    text.clear();
    if (bytes.empty())
        return true;
    const int size = static_cast<int>(bytes.size());
    const int units =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (units <= 0)
        return false;
    text.resize(static_cast<std::size_t>(units));
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, wide(text.data()),
                               units) == units;
}

std::u16string environmentVariable(const char16_t* name) {
    const DWORD units = GetEnvironmentVariableW(wide(name), nullptr, 0);
    if (units == 0)
        return {};
    std::u16string value(units, u'\0');
    const DWORD copied = GetEnvironmentVariableW(wide(name), wide(value.data()), units);
    value.resize(copied < units ? copied : 0);
    return value;
}

bool fileExists(const char16_t* path) {
    const DWORD attributes = GetFileAttributesW(wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string programFolder() {
    std::u16string path(32768, u'\0');
    const DWORD units = GetModuleFileNameW(nullptr, wide(path.data()), 32768);
    path.resize(units < 32768 ? units : 0);
    const auto slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

Process startProcess(const char16_t* application, const std::u16string& commandLine,
                     std::uint32_t& error) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::u16string line = commandLine;  // CreateProcessW may write into it
    if (!CreateProcessW(wide(application), wide(line.data()), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        error = GetLastError();
        return {};
    }
    CloseHandle(info.hThread);
    error = 0;
    return {info.hProcess, info.dwProcessId};
}

bool processRunning(const Process& process) {
    return process.handle && WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT;
}

void releaseProcess(const Process& process) {
    if (process.handle)
        CloseHandle(process.handle);
}

std::uint32_t windowProcessId(WindowHandle window) {
    DWORD id = 0;
    GetWindowThreadProcessId(hwnd(window), &id);
    return id;
}

std::vector<std::u16string> profileSectionLines(const char16_t* section, const char16_t* path) {
    // The call cuts the section to the buffer, returning its size less two:
    // grow until it fits.
    std::u16string buffer(4096, u'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD units =
            GetPrivateProfileSectionW(wide(section), wide(buffer.data()), size, wide(path));
        if (units + 2 < size) {
            buffer.resize(units);
            break;
        }
        buffer.assign(buffer.size() * 4, u'\0');
    }
    std::vector<std::u16string> lines;
    for (std::size_t start = 0; start < buffer.size();) {
        const std::size_t end = std::min(buffer.find(u'\0', start), buffer.size());
        lines.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool writeProfileString(const char16_t* section, const char16_t* key, const char16_t* value,
                        const char16_t* path) {
    return WritePrivateProfileStringW(wide(section), wide(key), value ? wide(value) : nullptr,
                                      wide(path)) != FALSE;
}

}  // namespace platform
