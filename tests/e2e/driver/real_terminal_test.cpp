// Tilewick driving real PuTTY terminals.
//
// Each terminal is PuTTY (built by scripts/build-putty.sh) connected with the
// raw protocol to a loopback listener of this driver that records every byte
// it receives, so the tests see exactly what a remote host would: typing in
// Tilewick's command field must arrive byte for byte on every host, and a
// right click there must make every terminal paste the clipboard.
//
// putty.exe comes from the environment: TWK_PUTTY_EXE (or TILEWICK_PUTTY), a
// Unix or Windows path. Without it the tests skip, saying why.
// Winsock must come before <windows.h>, which the bench headers include.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "fixture.h"
#include "gestures.h"
#include "real_putty_bench.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

using namespace bench;
using namespace real_putty;

namespace {

void typeWithKeys(const std::wstring& text) {
    std::string why;
    ASSERT_TRUE(gestures::typeWithKeys(text, &why)) << why;
}

// Handles what arrived for this thread's windows (its own input included).
void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Whether this thread, having taken its input, sees Shift down, and so does
// the desktop.
bool shiftDownHere() {
    pumpMessages();
    return (GetKeyState(VK_SHIFT) & 0x8000) != 0 && (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

class RealTerminalTest : public RealPuttyBench {
protected:
    static constexpr int kTerminals = 3;

    static std::wstring hostName(int i) {
        return (i < 10 ? L"host0" : L"host") + std::to_wstring(i);
    }
    static std::wstring titleOf(int i) { return hostName(i) + L" - PuTTY"; }

    // A listener and a PuTTY window connected to it, titled "hostNN - PuTTY".
    void startPutty(int i) {
        listeners.push_back(std::make_unique<ByteListener>());
        ByteListener& l = *listeners.back();
        ASSERT_TRUE(l.ok()) << "cannot listen on 127.0.0.1";
        auto p = bench.start(putty, {L"-raw", L"-P", std::to_wstring(l.port()), L"-loghost",
                                     hostName(i), L"127.0.0.1"});
        ASSERT_TRUE(p) << "putty.exe did not start";
        HWND window = nullptr;
        ASSERT_TRUE(waitUntil([&] {
            auto wins = topWindowsOf(p->pid(), L"PuTTY");
            window = wins.empty() ? nullptr : wins.front();
            return window && windowText(window) == titleOf(i) && l.connections() == 1;
        })) << "PuTTY for "
            << narrow(hostName(i)) << " did not connect and show its title; "
            << "title " << show(window ? windowText(window) : L"(no window)") << ", connections "
            << l.connections();
        // Nothing is sent before anyone types.
        ASSERT_EQ(l.bytes(), "") << "PuTTY sent bytes on its own";
        terminals.push_back(window);
    }

    // Three listeners and three PuTTY windows connected to them, titled
    // "host01 - PuTTY" .. "host03 - PuTTY"; then Tilewick, in the foreground
    // with all three selected and arranged, the focus in the command field.
    void startAll(int count = kTerminals, bool arrange = true) {
        for (int i = 1; i <= count; ++i)
            ASSERT_NO_FATAL_FAILURE(startPutty(i));
        ASSERT_NO_FATAL_FAILURE(startTilewick());
        std::vector<std::wstring> titles;
        for (int i = 1; i <= count; ++i)
            titles.push_back(titleOf(i));
        ASSERT_TRUE(listShows(titles));

        gestures::activate(ui.main);
        ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == ui.main; }))
            << "Tilewick did not come to the foreground";
        ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }))
            << "the focus is not in the command field after activation";

        gestures::alt('A');
        ASSERT_TRUE(textIs(ui.countLabel, countText(count)));
        if (!arrange)
            return;  // stacked at one place, the bands cannot be told apart
        // New windows all open at the same place; arranged, each has a cell of
        // its own. Keys typed before Tilewick has the foreground back would go
        // to a terminal, so wait for the whole arrangement to end.
        gestures::alt('L');
        auto arranged = [&] {
            for (size_t a = 0; a < terminals.size(); ++a) {
                if (placement(terminals[a]).showCmd != SW_SHOWNORMAL)
                    return false;
                for (size_t b = a + 1; b < terminals.size(); ++b) {
                    RECT ra = windowRect(terminals[a]), rb = windowRect(terminals[b]);
                    if (ra.left == rb.left && ra.top == rb.top)
                        return false;
                }
            }
            return true;
        };
        ASSERT_TRUE(waitUntil([&] {
            return arranged() && GetForegroundWindow() == ui.main &&
                   focusOf(ui.main) == ui.commandEdit;
        })) << "after Alt+L the terminals are not each in a cell of their own in the normal "
               "state, or Tilewick did not take the foreground and the focus back";
        ASSERT_TRUE(bandsExactlyOn(terminals));
    }

    // Waits until every listener has received exactly `expected` in all (the
    // whole stream since its terminal connected).
    ::testing::AssertionResult everyHostReceived(const std::string& expected) {
        std::string seen;
        for (size_t i = 0; i < listeners.size(); ++i) {
            const ByteListener& l = *listeners[i];
            waitUntil([&] { return l.bytes().size() >= expected.size(); });
            seen = l.bytes();
            if (seen != expected)
                return ::testing::AssertionFailure()
                       << narrow(hostName(int(i) + 1)) << " received " << escaped(seen)
                       << ", expected " << escaped(expected) << " (log " << narrow(l.logPath())
                       << ")";
        }
        return ::testing::AssertionSuccess();
    }

    std::vector<HWND> terminals;
};

// Why Tilewick posts characters for modified keys: PuTTY types a posted
// key-down under its own keyboard state, where Shift is up even while the
// sender holds it, and takes a posted character as it is.
TEST_F(RealTerminalTest, PuttyTypesPostedKeyDownsUnderItsOwnKeyboardState) {
    ASSERT_NO_FATAL_FAILURE(startPutty(1));
    HWND t = terminals.front();
    // The sender's own window in the foreground, so that the real Shift goes
    // to the sender and not to PuTTY.
    HWND sender =
        CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"sender", WS_POPUP | WS_VISIBLE | WS_BORDER, 700,
                        500, 200, 80, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(sender);
    SetForegroundWindow(sender);
    ASSERT_TRUE(waitUntil([&] {
        pumpMessages();
        return GetForegroundWindow() == sender && GetActiveWindow() == sender;
    })) << "the sender's window did not become the active one";
    struct Cleanup {
        HWND window;
        bool shift = false;
        ~Cleanup() {
            if (shift)
                keyUp(VK_SHIFT);
            DestroyWindow(window);
        }
    } cleanup{sender};
    // Wine sometimes resets the key state to the X server's (where no key is
    // down) shortly after a window of a new process shows: press Shift again
    // until it holds across the whole check. Every try posts one "L".
    std::string expected;
    bool heldThroughout = false;
    for (int attempt = 0; attempt < 5 && !heldThroughout; ++attempt) {
        keyDown(VK_SHIFT);  // held here, in the sender, through the posts
        cleanup.shift = true;
        if (!waitUntil([] { return shiftDownHere(); }, Millis(2000)))
            continue;
        PostMessageW(t, WM_KEYDOWN, VK_SHIFT, 0x002A0001);
        PostMessageW(t, WM_KEYDOWN, 'L', 0x00260001);
        expected += "l";
        ASSERT_TRUE(everyHostReceived(expected)) << "a posted Shift+L key-down";
        heldThroughout = shiftDownHere();
    }
    ASSERT_TRUE(heldThroughout) << "the sender could not hold Shift through the check";
    keyUp(VK_SHIFT);
    cleanup.shift = false;
    PostMessageW(t, WM_CHAR, 'A', 0x001E0001);
    expected += "A";
    EXPECT_TRUE(everyHostReceived(expected)) << "a posted character 'A'";
    PostMessageW(t, WM_CHAR, 0x03, 0x002E0001);
    expected += "\x03";
    EXPECT_TRUE(everyHostReceived(expected)) << "a posted character 0x03 (Ctrl+C)";
    PostMessageW(t, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    expected += "\r";
    EXPECT_TRUE(everyHostReceived(expected)) << "a posted Enter key-down";
}

TEST_F(RealTerminalTest, TypedCommandArrivesByteForByteOnEveryHost) {
    ASSERT_NO_FATAL_FAILURE(startAll());

    ASSERT_NO_FATAL_FAILURE(typeWithKeys(L"Echo Hi | Tr A-Z a-z"));
    tapKey(VK_RETURN);
    const std::string line = "Echo Hi | Tr A-Z a-z\r";
    EXPECT_TRUE(everyHostReceived(line));
    EXPECT_EQ(windowText(ui.commandEdit), L"") << "the command field kept what was typed";

    // Ctrl+C reaches the hosts as the control character, not as "c".
    tapKey('C', {VK_CONTROL});
    EXPECT_TRUE(everyHostReceived(line + "\x03"));
    screenshot(L"real-terminal-typed");
}

// Text that no key of the layout types (an on-screen keyboard, a password
// manager's auto-type): each host receives its UTF-8 bytes, never a NUL.
// The ring on a selected terminal is Tilewick's own window, but a click on it
// is the terminal's, as if the ring were not there.
TEST_F(RealTerminalTest, ClickOnABandReachesItsTerminal) {
    ASSERT_NO_FATAL_FAILURE(startAll());
    for (HWND terminal : terminals)
        EXPECT_TRUE(ringDrawnAround(windowRect(terminal))) << show(windowText(terminal));
    screenshot(L"real-terminal-bands");
    const HWND target = terminals[1];
    const RECT r = windowRect(target);
    const POINT onRing = {r.right - 2, r.top + (r.bottom - r.top) * 3 / 4};
    ASSERT_EQ(className(WindowFromPoint(onRing)), L"PuTTY");
    click(onRing);
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == target; }))
        << "the foreground is " << show(className(GetForegroundWindow()));
    EXPECT_NE(className(GetForegroundWindow()), L"TilewickBand");
    EXPECT_TRUE(bandsExactlyOn(terminals)) << "after the click";
}

// A terminal kept above every other window ("always on top"): its ring joins
// it there, directly above it, or it would lie hidden under the terminal.
TEST_F(RealTerminalTest, TopmostTerminalWearsAVisibleBand) {
    ASSERT_NO_FATAL_FAILURE(startAll());
    const HWND target = terminals[1];
    SetWindowPos(target, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(exStyle(target) & WS_EX_TOPMOST);
    EXPECT_TRUE(ringDrawnAround(windowRect(target))) << show(windowRect(target));
    EXPECT_TRUE(waitUntil([&] {
        const std::vector<HWND> edges = bandEdgesOver(target);
        const HWND above = GetWindow(target, GW_HWNDPREV);
        return edges.size() == 4 && std::find(edges.begin(), edges.end(), above) != edges.end() &&
               (exStyle(above) & WS_EX_TOPMOST);
    })) << "the band is not topmost directly above its terminal";
    EXPECT_TRUE(bandsExactlyOn(terminals));
    screenshot(L"real-terminal-topmost-band");
}

TEST_F(RealTerminalTest, UnicodeInputArrivesAsItsUtf8BytesOnEveryHost) {
    ASSERT_NO_FATAL_FAILURE(startAll());
    const std::wstring text = L"é日本語ü€\U0001F600";
    typeText(text);
    tapKey(VK_RETURN);
    EXPECT_TRUE(everyHostReceived(narrow(text) + "\r"));
    EXPECT_EQ(windowText(ui.commandEdit), L"") << "the command field kept what was typed";
}

// What "ls -l", Enter, Left, Backspace and Right send from a terminal that
// holds no key: PuTTY's plain cursor keys and its DEL for Backspace.
const char kListingThenEdits[] = "ls -l\r\x1b[D\x7f\x1b[C";

void typeListingThenEdits() {
    typeWithKeys(L"ls -l");
    tapKey(VK_RETURN);
    tapKey(VK_LEFT);
    tapKey(VK_BACK);
    tapKey(VK_RIGHT);
}

// The hot key pressed in a terminal: its Ctrl and Shift went down there and
// come up in Tilewick, so that terminal's thread still holds them (it used to
// receive ^L ^S for "ls" and ESC O D for Left).
TEST_F(RealTerminalTest, AfterTheHotKeyPressedInATerminalEveryHostReceivesExactlyWhatIsTyped) {
    ASSERT_NO_FATAL_FAILURE(startAll());
    SetForegroundWindow(terminals[0]);
    ASSERT_TRUE(waitUntil([&] {
        return GetForegroundWindow() == terminals[0] && focusOf(terminals[0]) == terminals[0];
    })) << "host01 did not come to the front";
    keyDown(VK_CONTROL);
    keyDown(VK_SHIFT);
    tapKey('T');
    // As a person does: the keys come up once Tilewick is in front.
    const bool back = waitUntil(
        [&] { return GetForegroundWindow() == ui.main && focusOf(ui.main) == ui.commandEdit; });
    keyUp(VK_SHIFT);
    keyUp(VK_CONTROL);
    ASSERT_TRUE(back) << "the hot key did not bring Tilewick to the front";
    typeListingThenEdits();
    EXPECT_TRUE(everyHostReceived(kListingThenEdits));
}

// A key held in a terminal and let go of after Tilewick came to the front (how
// Alt+Tab leaves a terminal on Windows). Under Wine a stale Alt alone does not
// change what PuTTY sends for these keys (it takes Alt from the key data); a
// stale Ctrl or Shift did: ^L ^S, "LS _L".
TEST_F(RealTerminalTest, AfterAKeyLetGoOfInTilewickEveryHostReceivesExactlyWhatIsTyped) {
    ASSERT_NO_FATAL_FAILURE(startAll());
    std::string expected;
    for (WORD held : {VK_MENU, VK_CONTROL, VK_SHIFT}) {
        SetForegroundWindow(terminals[0]);
        ASSERT_TRUE(waitUntil([&] {
            return GetForegroundWindow() == terminals[0] && focusOf(terminals[0]) == terminals[0];
        })) << "host01 did not come to the front";
        keyDown(held);
        SetForegroundWindow(ui.main);
        const bool back = waitUntil(
            [&] { return GetForegroundWindow() == ui.main && focusOf(ui.main) == ui.commandEdit; });
        keyUp(held);
        ASSERT_TRUE(back) << "Tilewick did not come to the front";
        typeListingThenEdits();
        expected += kListingThenEdits;
        ASSERT_TRUE(everyHostReceived(expected)) << "key " << held << " held in host01";
    }
}

TEST_F(RealTerminalTest, RightClickOnCommandFieldMakesEveryTerminalPasteTheClipboard) {
    ASSERT_NO_FATAL_FAILURE(startAll());
    const std::wstring text = L"uname -a; echo pasted-42";
    ASSERT_NO_FATAL_FAILURE(setClipboardText(text));

    click(centreOf(ui.commandEdit), true);
    EXPECT_TRUE(everyHostReceived(narrow(text)));
    EXPECT_EQ(windowText(ui.commandEdit), L"");
    screenshot(L"real-terminal-pasted");
}

TEST_F(RealTerminalTest, AltVMakesEveryTerminalPasteTheClipboard) {
    ASSERT_NO_FATAL_FAILURE(startAll());
    const std::wstring text = L"ls -l /tmp";
    ASSERT_NO_FATAL_FAILURE(setClipboardText(text));

    gestures::alt('V');
    EXPECT_TRUE(everyHostReceived(narrow(text)));
}

// Twelve PuTTY, thirty pastes: each PuTTY reads the clipboard from a thread
// of its own that gives up when another holds it, so clicked back to back,
// about one paste in eleven used to miss a host. Between the pastes another
// program reads the clipboard on its own click and finds the user's text.
TEST_F(RealTerminalTest, TwelveTerminalsReceiveEveryOneOfThirtyPastes) {
    constexpr int kHosts = 12, kPastes = 30;
    TerminalOptions o;
    o.title = L"another program";
    o.className = L"TilewickTestReader";
    o.pasteThread = true;
    std::shared_ptr<FakeTerminal> other;
    ASSERT_NO_FATAL_FAILURE(startTerminal(o, &other));
    // Not arranged: under load, Wine lets a dozen queued activations outlast
    // the moment Tilewick takes the foreground back; pasting needs no grid.
    ASSERT_NO_FATAL_FAILURE(startAll(kHosts, false));
    ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
    const wchar_t kOwnFormat[] = L"TilewickTestOwnFormat";
    std::string expected;
    for (int p = 1; p <= kPastes; ++p) {
        const std::string text = "p" + std::to_string(p) + ";";
        ASSERT_NO_FATAL_FAILURE(setClipboardText(widen(text), kOwnFormat));
        gestures::alt('V');
        expected += text;
        ASSERT_TRUE(everyHostReceived(expected)) << "paste " << p;
        bool own = false;
        ASSERT_TRUE(waitUntil([&] {
            return clipboardText(kOwnFormat, &own) == widen(text) && own;
        })) << "the user's clipboard did not come back after paste "
            << p;
        PostMessageW(other->hwnd(), WM_RBUTTONUP, 0, 0);
        ASSERT_TRUE(waitUntil([&] { return other->events("read").size() == size_t(p); }));
        EXPECT_EQ(other->events("read").back().paste, widen(text))
            << other->events("read").back().raw;
    }
    EXPECT_EQ(popup(L"警告"), nullptr);
}

const wchar_t kConfirmCaption[] = L"貼り付ける内容を確認してください。";
const wchar_t kWarningCaption[] = L"警告";
constexpr int kMessageBoxText = 0xFFFF;  // the static control of a message box
constexpr int kPasteText = 111;          // the confirmation box's edit

// Another program replaces the clipboard while the confirmation box shows the
// old text: OK must not make any terminal paste what the user never saw.
TEST_F(RealTerminalTest, AClipboardReplacedWhileTheBoxIsOpenIsPastedNowhereAndTheUserIsTold) {
    ASSERT_NO_FATAL_FAILURE(startAll());
    ASSERT_NO_FATAL_FAILURE(setClipboardText(L"echo seen-1\r\necho seen-2"));
    gestures::alt('V');
    HWND box = waitForPopup(kConfirmCaption);
    ASSERT_TRUE(box) << "no confirmation box";
    EXPECT_EQ(windowText(GetDlgItem(box, kPasteText)), L"echo seen-1\r\necho seen-2");
    ASSERT_NO_FATAL_FAILURE(setClipboardText(L"echo unseen; rm -rf /tmp/x"));
    click(centreOf(GetDlgItem(box, IDOK)));

    HWND warning = waitForPopup(kWarningCaption);
    ASSERT_TRUE(warning) << "no warning after OK with a replaced clipboard";
    const std::wstring said = windowText(GetDlgItem(warning, kMessageBoxText));
    for (int i = 1; i <= kTerminals; ++i)
        EXPECT_NE(said.find(L"・" + titleOf(i)), std::wstring::npos)
            << "the warning does not name " << narrow(titleOf(i)) << ": " << narrow(said);
    EXPECT_NE(said.find(L"どのPuTTYウィンドウにも貼り付けていません"), std::wstring::npos)
        << narrow(said);
    ASSERT_NO_FATAL_FAILURE(screenshot(L"paste-clipboard-replaced-warning"));
    PostMessageW(warning, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(popupGone(kWarningCaption));

    // Typed afterwards, a marker arrives alone: nothing was pasted before it.
    gestures::activate(ui.main);
    ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
    ASSERT_NO_FATAL_FAILURE(typeWithKeys(L"marker"));
    EXPECT_TRUE(everyHostReceived("marker"));
}

// Unix line ends: Windows' edit control would show them as one line, so the
// box gets the text with CR LF; the terminals paste the clipboard as it is.
// Lines that end in CR alone run in a terminal as much as LF ones (PuTTY
// sends a CR as Enter), so they are asked about too.
TEST_F(RealTerminalTest, AnLfTextIsShownLineByLineAndOkPastesBothLines) {
    ASSERT_NO_FATAL_FAILURE(startAll());
    std::string received;
    for (const std::wstring text : {L"echo lf-1\necho lf-2", L"cr-a\rcr-b"}) {
        ASSERT_NO_FATAL_FAILURE(setClipboardText(text));
        click(centreOf(ui.commandEdit), true);
        HWND box = waitForPopup(kConfirmCaption);
        ASSERT_TRUE(box) << "no confirmation box for " << escaped(narrow(text));
        const HWND edit = GetDlgItem(box, kPasteText);
        const std::wstring shown = text[0] == L'e' ? L"echo lf-1\r\necho lf-2" : L"cr-a\r\ncr-b";
        EXPECT_EQ(windowText(edit), shown);
        EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 2);
        ASSERT_NO_FATAL_FAILURE(
            screenshot(text[0] == L'e' ? L"paste-confirm-lf-lines" : L"paste-confirm-cr-lines"));
        click(centreOf(GetDlgItem(box, IDOK)));
        received += narrow(text);
        EXPECT_TRUE(everyHostReceived(received));
        EXPECT_EQ(popup(kWarningCaption), nullptr);
        ASSERT_TRUE(popupGone(kConfirmCaption));
        gestures::activate(ui.main);
        ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
    }
}

// A clipboard text with a NUL in it: the box shows it up to the NUL, and that
// is all a terminal pastes too (PuTTY reads the text up to its terminator).
TEST_F(RealTerminalTest, ATextWithANulIsShownAndPastedUpToTheNul) {
    ASSERT_NO_FATAL_FAILURE(startAll());
    const wchar_t text[] = L"echo nul-1\n\0echo hidden\n";
    ASSERT_NO_FATAL_FAILURE(
        setClipboardText(std::wstring(text, sizeof(text) / sizeof(text[0]) - 1)));
    gestures::alt('V');
    HWND box = waitForPopup(kConfirmCaption);
    ASSERT_TRUE(box) << "no confirmation box";
    EXPECT_EQ(windowText(GetDlgItem(box, kPasteText)), L"echo nul-1\r\n");
    click(centreOf(GetDlgItem(box, IDOK)));
    ASSERT_TRUE(popupGone(kConfirmCaption));
    gestures::activate(ui.main);
    ASSERT_TRUE(waitUntil([&] { return focusOf(ui.main) == ui.commandEdit; }));
    ASSERT_NO_FATAL_FAILURE(typeWithKeys(L"marker"));
    EXPECT_TRUE(everyHostReceived("echo nul-1\nmarker"));
}

}  // namespace
