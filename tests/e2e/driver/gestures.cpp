#include "gestures.h"

#include <cstdio>

namespace gestures {

POINT rowPoint(HWND listBox, int row) {
    const int height = static_cast<int>(SendMessageW(listBox, LB_GETITEMHEIGHT, 0, 0));
    const int top = static_cast<int>(SendMessageW(listBox, LB_GETTOPINDEX, 0, 0));
    RECT client = bench::clientRect(listBox);
    POINT p = {(client.right - client.left) / 3, (row - top) * height + height / 2};
    ClientToScreen(listBox, &p);
    return p;
}

void clickRow(HWND listBox, int row, bool ctrl) {
    const POINT p = rowPoint(listBox, row);
    if (!ctrl) {
        bench::click(p);
        return;
    }
    // Wine takes the modifier state from the X pointer events that a move
    // makes, which know nothing of a Ctrl pressed with SendInput. So the
    // pointer goes there first, and the press and release make no move.
    bench::moveMouse(p);
    bench::waitUntil([&] {
        const POINT now = bench::cursorPos();
        return now.x == p.x && now.y == p.y;
    });
    Sleep(GetDoubleClickTime() + 50);  // not a double-click with the click before
    bench::keyDown(VK_CONTROL);
    INPUT buttons[2] = {};
    buttons[0].type = buttons[1].type = INPUT_MOUSE;
    buttons[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    buttons[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, buttons, sizeof(INPUT));
    bench::keyUp(VK_CONTROL);
}

bool selectRows(HWND listBox, const std::vector<int>& rows) {
    std::vector<bool> wanted(bench::listMarks(listBox).size(), false);
    for (int row : rows)
        wanted.at(row) = true;
    for (int attempt = 0; attempt < 5; ++attempt) {
        for (size_t i = 0; i < rows.size(); ++i)
            clickRow(listBox, rows[i], i > 0);
        if (bench::waitUntil([&] { return bench::listMarks(listBox) == wanted; },
                             bench::Millis(2000)))
            return true;
    }
    return false;
}

namespace {
BOOL CALLBACK collect(HMONITOR, HDC, LPRECT area, LPARAM out) {
    reinterpret_cast<std::vector<RECT>*>(out)->push_back(*area);
    return TRUE;
}
}  // namespace

std::vector<RECT> monitorRects() {
    std::vector<RECT> rects;
    EnumDisplayMonitors(nullptr, nullptr, collect, reinterpret_cast<LPARAM>(&rects));
    return rects;
}

void activate(HWND mainWindow) {
    RECT r = bench::windowRect(mainWindow);
    bench::click({r.left + 60, r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2});
    bench::waitUntil([&] { return GetForegroundWindow() == mainWindow; });
}

void alt(WORD vk) {
    bench::tapKey(vk, {VK_MENU});
}

bool typeWithKeys(const std::wstring& text, std::string* why) {
    for (wchar_t c : text) {
        const SHORT scan = VkKeyScanW(c);
        const BYTE shifts = HIBYTE(scan);
        if (scan == -1 || (shifts & ~1)) {
            char hex[64];
            std::snprintf(hex, sizeof hex, "no key types U+%04X with at most Shift", unsigned(c));
            *why = hex;
            return false;
        }
        const WORD vk = LOBYTE(scan);
        if (shifts & 1)
            bench::tapKey(vk, {VK_SHIFT});
        else
            bench::tapKey(vk);
    }
    return true;
}

}  // namespace gestures
