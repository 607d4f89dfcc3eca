// The baseline the benchmark holds Tilewick against: a small program doing
// the same window-system work on the same windows, and nothing else.
//
// A window of Tilewick's size, style and layout with a command edit, a filter
// edit and an extended-selection list box (common controls 6, as Tilewick).
// At creation it lists the "PuTTY" windows (class first, then the caption),
// sorted by title. F5 empties the filter and lists them again; a change of
// the filter text lists the matching titles; Alt+A selects every row; Alt+F
// and Alt+I move the focus; a key-down in the command edit runs the
// show-state guard's calls (IsWindow, GetWindowPlacement) and posts it to the
// selected windows; Alt+V runs the guard and the clipboard read and sends the
// right-button pair to each. The selection follows Tilewick's rules (pruned
// by the filter and by F5), so both mark the same rows.
//
//   list_baseline.exe plain | redraw-off | window
//     plain: the list draws after every row and mark
//     redraw-off: WM_SETREDRAW off during each rebuild, one RedrawWindow after
//     window: as redraw-off, in a window made as Tilewick makes its own: the
//       class with its icon, GDI+, all nineteen controls from Tilewick's own
//       table with their captions, cue banners, items and font, the two
//       pictures painted from their PNG resources, the system-menu items,
//       the display list, the disabled window-operation controls and the
//       hot key. What it leaves out is Tilewick's own logic, the accelerator
//       table and HTML Help.
#include "app/control_table.h"
#include "resources/ids.h"
#include "resources/images.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <unordered_set>
#include <vector>

namespace {

constexpr int kTitleUnits = 1024;
constexpr int kFilterId = 2000;
constexpr UINT kSendTimeoutMs = 3000;
constexpr UINT kProbeMs = 250;

struct Record {
    wchar_t title[kTitleUnits];
    HWND handle;
};

bool redrawOff = false;
bool wholeWindow = false;
HWND mainWindow, commandEdit, filterEdit, list;
WNDPROC commandEditProc;
std::vector<Record> all, filtered, selected;

struct Rebuild {
    Rebuild() {
        if (redrawOff)
            SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    }
    ~Rebuild() {
        if (!redrawOff)
            return;
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(list, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    }
};

BOOL CALLBACK visit(HWND window, LPARAM) {
    wchar_t cls[kTitleUnits] = {};
    GetClassNameW(window, cls, kTitleUnits);
    if (wcscmp(cls, L"PuTTY") != 0)
        return TRUE;
    Record r = {};
    GetWindowTextW(window, r.title, kTitleUnits);
    if (r.title[0]) {
        r.handle = window;
        all.push_back(r);
    }
    return TRUE;
}

std::unordered_set<HWND> handles(const std::vector<Record>& records) {
    std::unordered_set<HWND> set;
    for (const Record& r : records)
        set.insert(r.handle);
    return set;
}

void prune(const std::vector<Record>& reference) {
    const auto present = handles(reference);
    std::vector<Record> kept;
    for (const Record& r : selected)
        if (present.count(r.handle))
            kept.push_back(r);
    selected.swap(kept);
}

void fill(const std::vector<Record>& rows) {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const Record& r : rows)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r.title));
    const auto marked = handles(selected);
    for (size_t k = 0; k < rows.size(); ++k)
        SendMessageW(list, LB_SETSEL, marked.count(rows[k].handle) ? TRUE : FALSE, k);
}

void discover() {
    all.clear();
    EnumWindows(visit, 0);
    std::vector<size_t> order(all.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [](size_t a, size_t b) { return wcscmp(all[a].title, all[b].title) < 0; });
    std::vector<Record> sorted;
    sorted.reserve(all.size());
    for (size_t i : order)
        sorted.push_back(all[i]);
    all.swap(sorted);
}

const std::vector<Record>& shown() {
    return GetWindowTextLengthW(filterEdit) > 0 ? filtered : all;
}

bool refreshing = false;

void applyFilter() {
    if (refreshing)
        return;
    Rebuild rebuild;
    wchar_t filter[255] = {};
    GetWindowTextW(filterEdit, filter, 255);
    if (!filter[0]) {
        fill(all);
        return;
    }
    CharLowerW(filter);
    filtered.clear();
    for (const Record& r : all) {
        wchar_t lowered[kTitleUnits];
        wcscpy(lowered, r.title);
        CharLowerW(lowered);
        if (wcsstr(lowered, filter))
            filtered.push_back(r);
    }
    prune(filtered);
    fill(filtered);
}

void refresh() {
    {
        Rebuild rebuild;
        refreshing = true;
        SetWindowTextW(filterEdit, L"");
        refreshing = false;
        discover();
        prune(all);
        fill(all);
    }
    SetFocus(commandEdit);
}

void selectAll() {
    {
        Rebuild rebuild;
        SendMessageW(list, LB_SETSEL, TRUE, -1);
    }
    selected = shown();
}

bool guardPasses() {
    bool normal = true;
    for (const Record& r : selected) {
        if (!IsWindow(r.handle))
            continue;
        WINDOWPLACEMENT p = {};
        p.length = sizeof p;
        GetWindowPlacement(r.handle, &p);
        normal = normal && p.showCmd == SW_SHOWNORMAL;
    }
    return normal;
}

void broadcastKey(WPARAM key, LPARAM data) {
    if (selected.empty() || !guardPasses())
        return;
    for (const Record& r : selected)
        PostMessageW(r.handle, WM_KEYDOWN, key, data);
}

void paste() {
    if (GetFocus() != commandEdit || selected.empty() || !guardPasses() ||
        !OpenClipboard(mainWindow))
        return;
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        if (GlobalLock(block)) {
            GlobalSize(block);
            GlobalUnlock(block);
        }
    }
    const DWORD seen = GetClipboardSequenceNumber();
    CloseClipboard();
    for (const Record& r : selected) {
        // The same probe and clipboard check as Tilewick's before each click.
        DWORD_PTR result;
        if (!SendMessageTimeoutW(r.handle, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kProbeMs, &result))
            continue;
        if (GetClipboardSequenceNumber() != seen)
            break;
        SendMessageTimeoutW(r.handle, WM_RBUTTONDOWN, MK_RBUTTON, 0, SMTO_ABORTIFHUNG,
                            kSendTimeoutMs, &result);
        SendMessageTimeoutW(r.handle, WM_RBUTTONUP, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                            &result);
    }
}

LRESULT CALLBACK commandProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        broadcastKey(wParam, lParam);
        return 0;
    }
    if (message == WM_KEYUP || message == WM_CHAR)
        return 0;
    return CallWindowProcW(commandEditProc, window, message, wParam, lParam);
}

HWND child(const wchar_t* cls, DWORD style, int id, const Box& box, HFONT font) {
    HWND w = CreateWindowExW(WS_EX_CLIENTEDGE, cls, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | style,
                             box.x, box.y, box.width, box.height, mainWindow,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return w;
}

// ---- The whole window (mode "window") ------------------------------------------

Controls controls;
WNDPROC buttonProcs[2];

HWND of(platform::WindowHandle h) {
    return static_cast<HWND>(h);
}

LRESULT CALLBACK pictureButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool help = button == controls.helpButton;
    if (message == WM_PAINT) {
        paintResourceImage(button, help ? IDP_HELP : IDP_CHEVRON_UP);
        if (help)
            return 0;
    }
    return CallWindowProcW(buttonProcs[help], button, message, wParam, lParam);
}

BOOL CALLBACK addDisplay(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFOEXW info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    SendMessageW(of(controls.displayCombo), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(info.szDevice));
    return TRUE;
}

void insertMenuItem(HMENU menu, UINT position, UINT type, UINT id, const wchar_t* text) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_TYPE;
    item.fType = type;
    item.wID = id;
    item.dwTypeData = const_cast<wchar_t*>(text);
    InsertMenuItemW(menu, position, TRUE, &item);
}

void createWholeWindow(HWND window, HFONT font) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    for (const ControlRow& row : kControls) {
        const HWND parent = row.parent == kMain ? window : of(controls.windowOpsGroup);
        const HWND w = CreateWindowExW(
            row.exStyle, row.windowClass,
            (row.extras & kCountLabel) ? L"選択ウィンドウ数：  0  " : row.caption,
            WS_CHILD | WS_VISIBLE | row.style, row.x, row.y, row.width, row.height, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
        controls.*(row.field) = w;
        if (row.behaviour == ControlBehaviour::CompactButton ||
            row.behaviour == ControlBehaviour::HelpButton)
            buttonProcs[row.behaviour == ControlBehaviour::HelpButton] = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pictureButtonProc)));
        fillControl(w, row);
    }
    for (const ControlRow& row : kControls)
        if (row.extras & kUsesFont)
            SendMessageW(of(controls.*(row.field)), WM_SETFONT, reinterpret_cast<WPARAM>(font),
                         TRUE);
    const HMENU menu = GetSystemMenu(window, FALSE);
    insertMenuItem(menu, 7, MFT_SEPARATOR, IDM_OPTIONS, nullptr);
    insertMenuItem(menu, 8, MFT_STRING, IDM_OPTIONS, L"オプション(&O)");
    insertMenuItem(menu, 9, MFT_STRING, IDM_ABOUT, L"バージョン情報(&A)...");
    EnumDisplayMonitors(nullptr, nullptr, addDisplay, 0);
    SendMessageW(of(controls.displayCombo), CB_SETCURSEL, 0, 0);
    for (platform::WindowHandle w :
         {controls.displayCombo, controls.areaCombo, controls.columnsEdit, controls.rowsEdit,
          controls.arrangeButton, controls.hideOthersButton})
        EnableWindow(of(w), FALSE);
    RegisterHotKey(window, IDH_RESTORE, MOD_CONTROL | MOD_SHIFT, 'T');
    commandEdit = of(controls.commandEdit);
    filterEdit = of(controls.filterEdit);
    list = of(controls.windowList);
}

void placeWholeWindow(int width, int height) {
    const MainLayout l = computeLayout(width, height);
    HDWP batches[2] = {BeginDeferWindowPos(9), BeginDeferWindowPos(2)};
    for (const PlacedControl& p : kPlaced) {
        const Box& b = l.*(p.box);
        batches[p.parent] = DeferWindowPos(batches[p.parent], of(controls.*(p.field)), nullptr, b.x,
                                           b.y, b.width, b.height, SWP_NOZORDER);
    }
    for (HDWP batch : batches)
        EndDeferWindowPos(batch);
}

// ---- Creation --------------------------------------------------------------------

void create(HWND window) {
    mainWindow = window;
    RECT client;
    GetClientRect(window, &client);
    const MainLayout l = computeLayout(client.right, client.bottom);
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    const HFONT font = CreateFontIndirectW(&lf);
    if (wholeWindow) {
        createWholeWindow(window, font);
    } else {
        commandEdit = child(L"EDIT", 0, 0, l.commandEdit, font);
        filterEdit = child(L"EDIT", 0, kFilterId, l.filterEdit, font);
        list = child(L"LISTBOX", WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY, 0, l.windowList, font);
    }
    commandEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(commandEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(commandProc)));
    discover();
    Rebuild rebuild;
    fill(all);
}

LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        create(window);
        return 0;
    case WM_SIZE:
        if (wholeWindow)
            placeWholeWindow(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kFilterId && HIWORD(wParam) == EN_UPDATE)
            applyFilter();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(commandEdit);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The keys Tilewick takes through its accelerators, taken before dispatch.
bool shortcut(const MSG& m) {
    if (m.message == WM_KEYDOWN && m.wParam == VK_F5) {
        refresh();
        return true;
    }
    if (m.message != WM_SYSKEYDOWN)
        return false;
    switch (m.wParam) {
    case 'A':
        selectAll();
        return true;
    case 'F':
        SetFocus(filterEdit);
        return true;
    case 'I':
        SetFocus(commandEdit);
        return true;
    case 'V':
        paste();
        return true;
    default:
        return false;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
    wholeWindow = wcscmp(commandLine, L"window") == 0;
    redrawOff = wholeWindow || wcscmp(commandLine, L"redraw-off") == 0;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = mainProc;
    wc.hInstance = instance;
    if (wholeWindow) {
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TILEWICK));
        wc.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TILEWICK));
    }
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    wc.lpszClassName = L"TWKBASELINE";
    RegisterClassExW(&wc);
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    if (wholeWindow)
        Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    HWND window = CreateWindowExW(WS_EX_COMPOSITED | WS_EX_LAYERED, L"TWKBASELINE", L"baseline",
                                  WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX,
                                  CW_USEDEFAULT, 0, 420, 340, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    SetLayeredWindowAttributes(window, RGB(0xFF, 0xFF, 0xFF), 255, LWA_ALPHA);
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (shortcut(m))
            continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
