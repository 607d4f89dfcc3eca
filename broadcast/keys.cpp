#include "broadcast/keys.h"

#include "app/app_state.h"
#include "broadcast/key_state.h"
#include "broadcast/window_naming.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr char16_t kMinimisedText[] =
    u"選択対象のPuTTYウィンドウの中に最小化されているものがあります。\n"
    u"もう一度並べてください。";
constexpr char16_t kElevatedText[] =
    u"選択対象のPuTTYウィンドウの中に管理者として実行されているものがあります。\n"
    u"Tilewickからは入力できません。Tilewickも管理者として実行するか、選択を外してください。";
constexpr char16_t kMissedText[] = u"次のPuTTYウィンドウにはキー入力を送れませんでした。\n"
                                   u"応答していない可能性があります。";

constexpr unsigned kPacketKey = 0xE7;           // VK_PACKET: a character from SendInput
constexpr unsigned kProcessKey = 0xE5;          // VK_PROCESSKEY: a key the IME took
constexpr std::intptr_t kResultString = 0x800;  // GCS_RESULTSTR
constexpr std::intptr_t kOneStroke = 1;         // repeat count 1, as WM_IME_CHAR carries

unsigned scanCodeOf(std::intptr_t keyData) {
    return (static_cast<std::uintptr_t>(keyData) >> 16) & 0xFF;
}

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool outranksTilewick(platform::WindowHandle window) {
    auto& known = app().outranksUs;
    auto it = known.find(window);
    if (it == known.end())
        it = known.emplace(window, platform::outranksOwnIntegrity(window)).first;
    return it->second;
}

// One input for every terminal: the key-down as received, or the characters
// it stands for.
struct Input {
    std::uintptr_t virtualKey;
    std::intptr_t keyData;
    const char16_t* units;  // null: the key-down itself
    std::size_t count;
};

platform::PostResult post(platform::WindowHandle window, const Input& input) {
    if (!input.units)
        return platform::postKeyDown(window, input.virtualKey, input.keyData);
    for (std::size_t i = 0; i < input.count; ++i) {
        const auto result = platform::postChar(window, input.units[i], input.keyData);
        if (result != platform::PostResult::Posted)
            return result;  // the rest would arrive without its beginning
    }
    return platform::PostResult::Posted;
}

void deliver(const Input& input) {
    if (app().selectedWindows.empty() || !checkSelectedShowState())
        return;
    resetKeyStatesBeforeKey();
    // A copy: what a post dispatches may change the selection meanwhile.
    const WindowList targets = app().selectedWindows;
    NamedWindows missed;
    for (const WindowRecord& r : targets) {
        const auto result = post(r.handle, input);
        // A terminal that has closed is passed over, as the guard passes it over.
        if (result != platform::PostResult::Posted && result != platform::PostResult::WindowGone)
            missed.push_back(&r);
    }
    if (!missed.empty())
        platform::warningBox(namingWindows(kMissedText, missed).c_str(), kWarningCaption);
}

void deliverCharacters(const char16_t* units, std::size_t count, std::intptr_t keyData) {
    if (count > 0)
        deliver({0, keyData, units, count});
}

}  // namespace

bool isCharacterKey(unsigned vk) {
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') ||
           (vk >= 0xBA && vk <= 0xC0) ||  // VK_OEM_1 .. VK_OEM_3
           (vk >= 0xDB && vk <= 0xDF) ||  // VK_OEM_4 .. VK_OEM_8
           vk == 0xE2;                    // VK_OEM_102
}

bool checkSelectedShowState() {
    static constexpr char16_t kCloakedText[] =
        u"選択対象の次のPuTTYウィンドウは別の仮想デスクトップにあります。\n"
        u"入力の結果が見えないため、送りません。そのデスクトップに移してから入力してください。";
    bool notNormal = false;
    // A copy: a call below may let a nested loop change the selection.
    const WindowList selected = app().selectedWindows;
    NamedWindows elevated, cloaked;
    for (const WindowRecord& r : selected) {
        // A window closed since discovery cannot be typed into anyway; it
        // must not block every later key until the next refresh.
        if (!platform::windowExists(r.handle))
            continue;
        platform::Placement placement;
        platform::getWindowPlacement(r.handle, placement);
        if (placement.showCmd != platform::kShowNormal)
            notNormal = true;
        // On another virtual desktop a terminal keeps its normal show state,
        // but the user cannot see what it would run.
        else if (platform::windowIsCloaked(r.handle))
            cloaked.push_back(&r);
        // Windows drops every post to such a window (UIPI): better no key
        // anywhere than a command that runs on some hosts only.
        if (outranksTilewick(r.handle))
            elevated.push_back(&r);
    }
    if (!elevated.empty()) {
        platform::warningBox(namingWindows(kElevatedText, elevated).c_str(), kWarningCaption);
        return false;
    }
    if (notNormal) {
        platform::warningBox(kMinimisedText, kWarningCaption);
        return false;
    }
    if (cloaked.empty())
        return true;
    platform::warningBox(namingWindows(kCloakedText, cloaked).c_str(), kWarningCaption);
    return false;
}

void broadcastKeys(std::uintptr_t virtualKey, std::intptr_t keyData) {
    TypingState& typing = app().typing;
    const unsigned vk = static_cast<unsigned>(virtualKey);
    const bool completesDeadKey = typing.pending == PendingInput::DeadKey;
    typing.pending = PendingInput::None;
    if (vk == kPacketKey) {
        // Only this thread's TranslateMessage knows the character; a posted
        // VK_PACKET would reach a terminal as NUL.
        typing.pending = PendingInput::Characters;
        return;
    }
    typing.highSurrogate = 0;
    if (vk == kProcessKey)
        return;  // the IME's: what it commits comes as its result string

    // A terminal types a posted key-down under its own keyboard state, where
    // Shift, Ctrl and Caps Lock are up: Shift+A would arrive as "a" and
    // Ctrl+C as "c". When a modifier changes what a character key types,
    // the character the user typed goes out instead. Read before anything
    // else: under Wine, a look at the queue lets this thread's key state
    // catch up with input still queued behind the key (the Shift let go
    // after it), and a first key that resets every terminal falls behind.
    platform::TypedKey typed;
    if (isCharacterKey(vk))
        typed = platform::typedKey(vk, scanCodeOf(keyData));

    // TranslateMessage has seen this key already; what it queued tells a dead
    // key and the key that completes one from the rest, on any layout.
    const platform::Translation made = platform::queuedTranslation(app().controls.commandEdit);
    if (made == platform::Translation::DeadCharacter) {
        typing.pending = PendingInput::DeadKey;  // it types nothing by itself
        return;
    }
    if (completesDeadKey) {
        // Its WM_CHARs carry the composed character, or both characters when
        // the layout does not compose the pair; a key that types nothing
        // (Shift) goes out and leaves the dead key waiting.
        const bool types = made == platform::Translation::Character;
        typing.pending = types ? PendingInput::Characters : PendingInput::DeadKey;
        if (types)
            return;
    }

    if (typed.modified && typed.length > 0)
        deliverCharacters(typed.text, static_cast<std::size_t>(typed.length), keyData);
    else
        deliver({virtualKey, keyData, nullptr, 0});
}

void broadcastCharacter(char16_t unit, std::intptr_t keyData) {
    TypingState& typing = app().typing;
    if (typing.pending != PendingInput::Characters)
        return;  // its key-down went out already, or the IME sends the text
    if (isHighSurrogate(unit) && !typing.highSurrogate) {
        typing.highSurrogate = unit;  // a character beyond the BMP goes out whole
        return;
    }
    const char16_t units[2] = {typing.highSurrogate, unit};
    const bool pair = typing.highSurrogate != 0;
    typing.highSurrogate = 0;
    deliverCharacters(pair ? units : units + 1, pair ? 2 : 1, keyData);
}

bool broadcastComposition(std::intptr_t changes) {
    if (!(changes & kResultString))
        return false;  // still composing: nothing goes out yet
    const platform::WindowHandle edit = app().controls.commandEdit;
    const int size = platform::imeResultText(edit, nullptr, 0);
    if (size <= 0)
        return true;
    // Sized from the IME's own answer, so a result of any length goes whole;
    // without the memory for it nothing goes at all.
    std::unique_ptr<char16_t[]> text(new (std::nothrow) char16_t[static_cast<std::size_t>(size)]);
    if (!text)
        return true;
    const int read = std::min(platform::imeResultText(edit, text.get(), size), size);
    if (read > 0)
        deliverCharacters(text.get(), static_cast<std::size_t>(read), kOneStroke);
    return true;
}
