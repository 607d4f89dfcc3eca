#include "broadcast/keys.h"

#include "app/app_state.h"

namespace {

constexpr char16_t kWarningText[] =
    u"選択対象のPuTTYウィンドウの中に最小化されているものがあります。\n"
    u"もう一度並べてください。";
constexpr char16_t kWarningCaption[] = u"警告";

unsigned scanCodeOf(std::intptr_t keyData) {
    return (static_cast<std::uintptr_t>(keyData) >> 16) & 0xFF;
}

}  // namespace

bool isCharacterKey(unsigned vk) {
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') ||
           (vk >= 0xBA && vk <= 0xC0) ||  // VK_OEM_1 .. VK_OEM_3
           (vk >= 0xDB && vk <= 0xDF) ||  // VK_OEM_4 .. VK_OEM_8
           vk == 0xE2;                    // VK_OEM_102
}

bool checkSelectedShowState() {
    bool notNormal = false;
    for (const WindowRecord& r : app().selectedWindows) {
        // A window closed since discovery cannot be typed into anyway; it
        // must not block every later key until the next refresh.
        if (!platform::windowExists(r.handle))
            continue;
        platform::Placement placement;
        platform::getWindowPlacement(r.handle, placement);
        if (placement.showCmd != platform::kShowNormal)
            notNormal = true;
    }
    if (!notNormal)
        return true;
    platform::warningBox(kWarningText, kWarningCaption);
    return false;
}

void broadcastKeys(std::uintptr_t virtualKey, std::intptr_t keyData) {
    const WindowList& targets = app().selectedWindows;
    if (targets.empty() || !checkSelectedShowState())
        return;

    // A terminal types a posted key-down under its own keyboard state, where
    // Shift, Ctrl and Caps Lock are up: Shift+A would arrive as "a" and
    // Ctrl+C as "c". When a modifier changes what a character key types,
    // post the character the user typed instead.
    platform::TypedKey typed;
    const unsigned vk = static_cast<unsigned>(virtualKey);
    if (isCharacterKey(vk))
        typed = platform::typedKey(vk, scanCodeOf(keyData));
    const bool asCharacters = typed.modified && typed.length > 0;

    for (const WindowRecord& r : targets) {
        if (!asCharacters) {
            platform::postKeyDown(r.handle, virtualKey, keyData);
            continue;
        }
        for (int i = 0; i < typed.length; ++i)
            platform::postChar(r.handle, typed.text[i], keyData);
    }
}
