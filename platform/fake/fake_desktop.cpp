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
    it->second.queuedKeys.push_back({vk, down});
    if (!it->second.busy)
        takeQueuedInput(foreground);
}

void Desktop::takeQueuedInput(WindowHandle h) {
    Window& w = windows.at(h);
    KeyState& state = w.keyState;
    constexpr unsigned kCapsLock = 0x14;
    for (const auto& [vk, down] : w.queuedKeys) {
        if (down && vk == kCapsLock && !state.down.count(vk))
            state.capsLock = !state.capsLock;
        if (down)
            state.down.insert(vk);
        else
            state.down.erase(vk);
    }
    w.queuedKeys.clear();
}

void Desktop::setClipboardText(const std::u16string& text) {
    emptyClipboard();
    hasText = true;
    clipboardBlock.assign((text.size() + 1) * sizeof(char16_t), 0);
    std::memcpy(clipboardBlock.data(), text.data(), text.size() * sizeof(char16_t));
}

void Desktop::emptyClipboard() {
    ++clipboardSequence;
    hasText = false;
    textOffered = false;
    clipboardBlock.clear();
    clipboardFormats.clear();
    handleFormats.clear();
    clipboardOwner = nullptr;
}

std::u16string Desktop::clipboardText() const {
    std::u16string text(clipboardBlock.size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), clipboardBlock.data(), text.size() * sizeof(char16_t));
    return text.substr(0, text.find(u'\0'));
}

void Desktop::runReaders() {
    auto started = std::move(readers);
    readers.clear();
    bool held = clipboardBusy || clipboardOpen;
    for (WindowHandle h : started) {
        Window& w = windows.at(h);
        if (held || !w.exists) {
            ++w.pastesGivenUp;
            continue;
        }
        held = true;  // the first holds it while the others try
        clipboardBusy = true;
        if (!hasText && textOffered && renderFormat) {
            rendering = true;
            renderFormat(platform::kUnicodeTextFormat);
            rendering = false;
        }
        if (hasText)
            w.pastes.push_back(clipboardText());
        clipboardBusy = false;
    }
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
