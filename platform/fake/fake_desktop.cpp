#include "platform/fake/fake_desktop.h"

#include <cstring>

namespace fake {

namespace {
Desktop* current = nullptr;
std::uintptr_t nextHandle = 0x100;
}  // namespace

Desktop& desktop() {
    if (!current)
        current = new Desktop;
    return *current;
}

void reset() {
    delete current;
    current = new Desktop;
}

WindowHandle Desktop::add(const std::u16string& cls, const std::u16string& text, bool topLevel) {
    auto h = reinterpret_cast<WindowHandle>(nextHandle += 0x10);
    Window w;
    w.className = cls;
    w.text = text;
    w.placement.showCmd = platform::kShowNormal;
    w.placement.normalPosition = {0, 0, 640, 480};
    w.bounds = w.placement.normalPosition;
    windows[h] = w;
    if (topLevel)
        zOrder.push_back(h);
    return h;
}

void Desktop::close(WindowHandle h) {
    windows.at(h).exists = false;
}

void Desktop::realKey(unsigned vk, bool down) {
    if (down)
        keysHeld[vk] = kHeld;
    else
        keysHeld.erase(vk);
    auto it = windows.find(foreground);
    if (it == windows.end() || !it->second.exists)
        return;
    KeyState& state = it->second.keyState;
    constexpr unsigned kCapsLock = 0x14;
    if (down && vk == kCapsLock && !state.down.count(vk))
        state.capsLock = !state.capsLock;
    if (down)
        state.down.insert(vk);
    else
        state.down.erase(vk);
}

void Desktop::setClipboardText(const std::u16string& text) {
    ++clipboardSequence;
    hasText = true;
    clipboardBlock.assign((text.size() + 1) * sizeof(char16_t), 0);
    std::memcpy(clipboardBlock.data(), text.data(), text.size() * sizeof(char16_t));
}

void Desktop::emptyClipboard() {
    ++clipboardSequence;
    hasText = false;
    clipboardBlock.clear();
}

std::vector<std::string> Desktop::callsFor(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.compare(0, prefix.size(), prefix) == 0)
            out.push_back(c);
    return out;
}

std::string narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace fake
