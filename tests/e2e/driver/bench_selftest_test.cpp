// Checks of the bench itself, with fake terminals only: if these fail, the
// Tilewick tests cannot be trusted either.
#include "fixture.h"

#include <cstring>

using namespace bench;

class BenchSelfTest : public TilewickBench {};

namespace {
void putClipboardText(const std::wstring& text) {
    ASSERT_TRUE(waitUntil([] { return OpenClipboard(nullptr) != 0; }));
    EmptyClipboard();
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(mem), text.c_str(), bytes);
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
}
}  // namespace

TEST_F(BenchSelfTest, MouseMovesLandExactlyWhereAsked) {
    const POINT targets[] = {{0, 0}, {1, 1}, {799, 499}, {1234, 567}, {1599, 999}, {421, 339}};
    for (POINT p : targets) {
        moveMouse(p);
        POINT at = cursorPos();
        EXPECT_EQ(at.x, p.x) << "asked for " << p.x << "," << p.y;
        EXPECT_EQ(at.y, p.y) << "asked for " << p.x << "," << p.y;
    }
}

TEST_F(BenchSelfTest, FakeTerminalRecordsRealKeysAndRightClickPaste) {
    TerminalOptions o;
    o.title = L"bench check";
    o.hasRect = true;
    o.rect = {500, 200, 900, 500};
    std::shared_ptr<FakeTerminal> t;
    ASSERT_NO_FATAL_FAILURE(startTerminal(o, &t));
    EXPECT_TRUE(waitUntil([&] { return windowText(t->hwnd()) == L"bench check"; }));
    RECT r = windowRect(t->hwnd());
    EXPECT_EQ(show(r), show(o.rect));

    // A left click on the client area brings it to the front.
    RECT client = clientRect(t->hwnd());
    POINT inside = {client.left + 50, client.top + 60};
    ClientToScreen(t->hwnd(), &inside);
    click(inside);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == t->hwnd(); }));

    // Real key presses reach the foreground window as key-down and key-up.
    tapKey('A');
    ASSERT_TRUE(waitUntil([&] { return t->events("keyup").size() == 1; }))
        << readFile(t->logPath());
    auto downs = t->events("keydown");
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].wp, 0x41ul);
    EXPECT_EQ(downs[0].lp & 0xffffu, 1ul) << "repeat count";
    EXPECT_EQ((downs[0].lp >> 16) & 0xffu, MapVirtualKeyW('A', MAPVK_VK_TO_VSC)) << "scan code";
    EXPECT_TRUE(t->events("char").empty()) << "the fake does not translate keys unless asked";

    // A real right click makes it paste the clipboard text, which it logs.
    const std::wstring text = L"ls -l \"x\"\\y\n\u65e5\u672c\u8a9e\ttab";
    ASSERT_NO_FATAL_FAILURE(putClipboardText(text));
    click(inside, true);
    ASSERT_TRUE(waitUntil([&] { return t->events("rup").size() == 1; })) << readFile(t->logPath());
    auto rdowns = t->events("rdown");
    auto rups = t->events("rup");
    ASSERT_EQ(rdowns.size(), 1u);
    EXPECT_EQ(rdowns[0].x, 50);
    EXPECT_EQ(rdowns[0].y, 60);
    EXPECT_EQ(rdowns[0].wp, static_cast<unsigned long>(MK_RBUTTON));
    ASSERT_TRUE(rups[0].hasPaste) << rups[0].raw;
    EXPECT_EQ(show(rups[0].paste), show(text));
}

TEST_F(BenchSelfTest, FakeTerminalStartsMinimisedOrMaximisedWhenAsked) {
    TerminalOptions mini;
    mini.title = L"starts minimised";
    mini.show = L"min";
    TerminalOptions maxi;
    maxi.title = L"starts maximised";
    maxi.show = L"max";
    std::shared_ptr<FakeTerminal> a, b;
    ASSERT_NO_FATAL_FAILURE(startTerminal(mini, &a));
    ASSERT_NO_FATAL_FAILURE(startTerminal(maxi, &b));
    EXPECT_TRUE(waitUntil([&] { return placement(a->hwnd()).showCmd == SW_SHOWMINIMIZED; }));
    EXPECT_TRUE(waitUntil([&] { return placement(b->hwnd()).showCmd == SW_SHOWMAXIMIZED; }));
}

TEST_F(BenchSelfTest, HungFakeTerminalStopsAnsweringMessages) {
    std::shared_ptr<FakeTerminal> t;
    ASSERT_NO_FATAL_FAILURE(startTerminal(L"will hang", &t));
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(t->hwnd(), WM_NULL, 0, 0, SMTO_BLOCK, 2000, &result), 0)
        << "answers before the hang";
    t->hang();
    ASSERT_TRUE(waitUntil([&] { return !t->events("hang").empty(); }));
    EXPECT_EQ(SendMessageTimeoutW(t->hwnd(), WM_NULL, 0, 0, SMTO_BLOCK, 500, &result), 0)
        << "still answers after the hang";
}
