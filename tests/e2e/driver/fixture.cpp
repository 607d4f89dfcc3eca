#include "fixture.h"

#include <algorithm>
#include <cstring>

using namespace bench;

namespace {
bool noLeftovers() {
    return topWindowsOfClass(L"PuTTY").empty() && topWindowsOfClass(L"TILEWICK").empty() &&
           topWindowsOfClass(L"TilewickBand").empty();
}

constexpr COLORREF kBandColour = RGB(255, 128, 0);
}  // namespace

std::string show(const std::wstring& text) {
    return "\"" + narrow(text) + "\"";
}

std::string show(const std::vector<std::wstring>& rows) {
    std::string out = "[";
    for (size_t i = 0; i < rows.size(); ++i)
        out += (i ? ", " : "") + show(rows[i]);
    return out + "]";
}

std::string show(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") " +
           std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top);
}

std::wstring countText(int selected) {
    std::wstring number = std::to_wstring(selected);
    number.resize(std::max<size_t>(number.size(), 3), L' ');  // left-aligned in three places
    return L"選択ウィンドウ数：  " + number;
}

void setClipboardText(const std::wstring& text, const wchar_t* alsoFormat) {
    ASSERT_TRUE(waitUntil([] { return OpenClipboard(nullptr) != FALSE; }));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    if (alsoFormat) {
        HGLOBAL own = GlobalAlloc(GMEM_MOVEABLE, 4);
        std::memcpy(GlobalLock(own), "own", 4);
        GlobalUnlock(own);
        SetClipboardData(RegisterClipboardFormatW(alsoFormat), own);
    }
    CloseClipboard();
}

std::wstring clipboardText(const wchar_t* alsoFormat, bool* hasIt) {
    std::wstring text;
    if (!waitUntil([] { return OpenClipboard(nullptr) != FALSE; }))
        return L"(the clipboard stayed held)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = units;
            GlobalUnlock(data);
        }
    }
    if (hasIt)
        *hasIt = alsoFormat && IsClipboardFormatAvailable(RegisterClipboardFormatW(alsoFormat));
    CloseClipboard();
    return text;
}

void TilewickBench::SetUp() {
    // A window left by an earlier test would turn up in Tilewick's list.
    ASSERT_TRUE(waitUntil(noLeftovers))
        << "windows of class PuTTY or TILEWICK are still open from an earlier run";
    // Each test starts from Tilewick's defaults, not from what an earlier test saved.
    std::wstring docs = documentsDir();
    DeleteFileW((docs + L"\\twk.ini").c_str());
    DeleteFileW((docs + L"\\tw.chm").c_str());
}

void TilewickBench::TearDown() {
    bench.killAll();
    EXPECT_TRUE(waitUntil(noLeftovers)) << "windows outlived their processes";
}

void TilewickBench::startTilewick() {
    std::string why;
    ASSERT_TRUE(bench.startTilewick(&ui, &why)) << why;
}

void TilewickBench::startTerminal(const TerminalOptions& options,
                                  std::shared_ptr<FakeTerminal>* out) {
    std::string why;
    auto t = bench.startTerminal(options, &why);
    ASSERT_TRUE(t) << why;
    if (out)
        *out = t;
}

void TilewickBench::startTerminal(const std::wstring& title, std::shared_ptr<FakeTerminal>* out) {
    TerminalOptions o;
    o.title = title;
    startTerminal(o, out);
}

void TilewickBench::startTerminals(const std::vector<std::wstring>& titles,
                                   const std::map<int, std::wstring>& show) {
    for (size_t i = 0; i < titles.size(); ++i) {
        TerminalOptions o;
        o.title = titles[i];
        auto it = show.find(static_cast<int>(i) + 1);
        if (it != show.end())
            o.show = it->second;
        std::shared_ptr<FakeTerminal> t;
        ASSERT_NO_FATAL_FAILURE(startTerminal(o, &t));
        terminals.push_back(t);
    }
}

void TilewickBench::startNumberedTerminals(int count, const std::map<int, std::wstring>& show) {
    std::vector<std::wstring> titles;
    for (int i = 1; i <= count; ++i)
        titles.push_back(L"t" + std::to_wstring(i));
    startTerminals(titles, show);
}

HWND TilewickBench::popup(const wchar_t* caption) {
    if (!bench.tilewick())
        return nullptr;
    for (HWND w : topWindowsOf(bench.tilewick()->pid()))
        if (windowText(w) == caption && IsWindowVisible(w))
            return w;
    return nullptr;
}

HWND TilewickBench::waitForPopup(const wchar_t* caption) {
    HWND w = nullptr;
    waitUntil([&] { return (w = popup(caption)) != nullptr; });
    return w;
}

bool TilewickBench::popupGone(const wchar_t* caption) {
    return waitUntil([&] { return popup(caption) == nullptr; });
}

::testing::AssertionResult TilewickBench::listShows(const std::vector<std::wstring>& rows) {
    std::vector<std::wstring> seen;
    if (waitUntil([&] {
            seen = listRows(ui.windowList);
            return seen == rows;
        }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the list shows " << show(seen) << ", expected " << show(rows);
}

::testing::AssertionResult TilewickBench::textIs(HWND hwnd, const std::wstring& text) {
    std::wstring seen;
    if (waitUntil([&] {
            seen = windowText(hwnd);
            return seen == text;
        }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the text is " << show(seen) << ", expected " << show(text);
}

void TilewickBench::screenshot(const std::wstring& name) {
    std::wstring path = bench::screenshot(name);
    ASSERT_FALSE(path.empty()) << "no screenshot service answered (is the bench up?)";
    std::printf("screenshot: %s\n", narrow(path).c_str());
}

void TilewickTest::SetUp() {
    TilewickBench::SetUp();
    if (HasFatalFailure())
        return;
    startTilewick();
}

std::vector<RECT> TilewickBench::gridCells(RECT area, int cols, int rows) {
    const int w = (area.right - area.left) / cols, h = (area.bottom - area.top) / rows;
    std::vector<RECT> out;
    for (int k = 0; k < cols * rows; ++k) {
        const int c = k % cols, r = k / cols;
        out.push_back(
            {area.left + c * w, area.top + r * h, area.left + (c + 1) * w, area.top + (r + 1) * h});
    }
    return out;
}

::testing::AssertionResult TilewickBench::restoredIn(HWND window, const RECT& cell) {
    WINDOWPLACEMENT wp = {};
    if (waitUntil([&] {
            wp = placement(window);
            return wp.showCmd == SW_SHOWNORMAL && EqualRect(&wp.rcNormalPosition, &cell);
        }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << show(windowText(window)) << " is at " << show(wp.rcNormalPosition) << " show "
           << wp.showCmd << ", expected " << show(cell);
}

std::vector<HWND> TilewickBench::shownBands() {
    std::vector<HWND> shown;
    for (HWND band : topWindowsOfClass(L"TilewickBand"))
        if (IsWindowVisible(band))
            shown.push_back(band);
    return shown;
}

std::vector<HWND> TilewickBench::bandEdgesOver(HWND terminal) {
    std::vector<HWND> edges;
    if (!IsWindowVisible(terminal) || IsIconic(terminal))
        return edges;
    const RECT t = windowRect(terminal);
    constexpr LONG kThin = 16;  // thicker than any ring, thinner than any terminal
    for (HWND band : shownBands()) {
        const RECT b = windowRect(band);
        const bool inside =
            b.left >= t.left && b.top >= t.top && b.right <= t.right && b.bottom <= t.bottom;
        const bool alongSide = b.left == t.left || b.top == t.top || b.right == t.right ||
                               b.bottom == t.bottom;
        if (inside && alongSide && (b.right - b.left <= kThin || b.bottom - b.top <= kThin))
            edges.push_back(band);
    }
    return edges;
}

HWND TilewickBench::bandOver(HWND terminal) {
    const std::vector<HWND> edges = bandEdgesOver(terminal);
    if (edges.size() != 4)
        return nullptr;
    const RECT t = windowRect(terminal);
    for (HWND edge : edges) {
        const RECT b = windowRect(edge);
        if (b.left == t.left && b.top == t.top && b.right == t.right)
            return edge;
    }
    return nullptr;
}

::testing::AssertionResult TilewickBench::bandsExactlyOn(const std::vector<HWND>& terminals) {
    auto exact = [&] {
        if (shownBands().size() != 4 * terminals.size())
            return false;
        for (HWND t : terminals)
            if (!bandOver(t))
                return false;
        return true;
    };
    if (waitUntil(exact))
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    failure << shownBands().size() << " band edges shown for " << terminals.size()
            << " terminals;";
    for (HWND band : shownBands())
        failure << " band " << show(windowRect(band));
    for (HWND t : terminals)
        if (!bandOver(t))
            failure << "; no band over " << show(windowText(t)) << " at " << show(windowRect(t));
    return failure;
}

int TilewickBench::edgesInBandColour(const RECT& r) {
    const HDC screen = GetDC(nullptr);
    // Three quarters along each edge: clear of Tilewick's window at the top left.
    const int x = r.left + (r.right - r.left) * 3 / 4, y = r.top + (r.bottom - r.top) * 3 / 4;
    const POINT edges[] = {{x, r.top + 1}, {x, r.bottom - 2}, {r.left + 1, y}, {r.right - 2, y}};
    int shown = 0;
    for (const POINT& p : edges)
        shown += GetPixel(screen, p.x, p.y) == kBandColour;
    ReleaseDC(nullptr, screen);
    return shown;
}

bool TilewickBench::middleInBandColour(const RECT& r) {
    const HDC screen = GetDC(nullptr);
    const bool coloured =
        GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2) == kBandColour;
    ReleaseDC(nullptr, screen);
    return coloured;
}

bool TilewickBench::ringDrawnAround(const RECT& r) {
    return waitUntil([&] { return edgesInBandColour(r) == 4 && !middleInBandColour(r); });
}
