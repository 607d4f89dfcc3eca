#include "broadcast/paste.h"

#include "app/app_state.h"
#include "broadcast/keys.h"
#include "broadcast/window_naming.h"

#include <cstring>
#include <exception>

namespace {

constexpr char16_t kMissedText[] = u"次のPuTTYウィンドウには貼り付けを送れませんでした。\n"
                                   u"応答していない可能性があります。";
constexpr char16_t kChangedText[] =
    u"貼り付けの途中でクリップボードの内容が変わりました。\n"
    u"確認されていない内容になるため、残りのPuTTYウィンドウには貼り付けていません。\n\n"
    u"貼り付けたPuTTYウィンドウ：";
constexpr char16_t kChangedBeforeAnyText[] =
    u"貼り付けの前にクリップボードの内容が変わりました。\n"
    u"確認されていない内容になるため、どのPuTTYウィンドウにも貼り付けていません。";
constexpr char16_t kNotPastedText[] = u"貼り付けていないPuTTYウィンドウ：";

// Copies the clipboard's text block, never reading past its size and
// always ending the copy with a terminator, whatever the block holds. A block
// too big to copy gives no copy: nothing may throw through the window procedure
// with the clipboard held.
std::vector<char16_t> copyClipboardText() {
    std::size_t bytes = 0;
    const void* block = platform::lockClipboardText(bytes);
    if (!block)
        return {};
    const std::size_t units = bytes / sizeof(char16_t);
    std::vector<char16_t> copy;
    try {
        copy.assign(units + 1, u'\0');
    } catch (const std::exception&) {  // bad_alloc, or length_error beyond max_size()
        platform::unlockClipboardText();
        return {};
    }
    std::memcpy(copy.data(), block, units * sizeof(char16_t));
    platform::unlockClipboardText();
    return copy;
}

void releaseCopy() {
    std::vector<char16_t>().swap(app().clipboardCopy);
}

enum class Click { Pasted, Missed, Gone };

// One terminal's right-button pair, each message bounded; the button-up
// only after a button-down the terminal took.
Click click(platform::WindowHandle window) {
    const bool sent =
        platform::sendRightButton(window, platform::MouseMessage::RightDown, kPasteSendTimeoutMs) &&
        platform::sendRightButton(window, platform::MouseMessage::RightUp, kPasteSendTimeoutMs);
    if (sent)
        return Click::Pasted;
    return platform::windowExists(window) ? Click::Missed : Click::Gone;
}

std::u16string stoppedWarning(const NamedWindows& pasted, const NamedWindows& notPasted) {
    const std::u16string rest = namingWindows(kNotPastedText, notPasted);
    if (pasted.empty())
        return std::u16string(kChangedBeforeAnyText) + u"\n\n" + rest;
    return namingWindows(kChangedText, pasted) + u"\n\n" + rest;
}

}  // namespace

bool needsConfirmation(std::u16string_view text) {
    return text.find(u'\n') != std::u16string_view::npos;
}

std::u16string withCrLfLineEnds(std::u16string_view text) {
    text = text.substr(0, text.find(u'\0'));
    std::u16string shown;
    shown.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            shown += u"\r\n";
            ++i;
        } else if (unit == u'\r' || unit == u'\n') {
            shown += u"\r\n";
        } else {
            shown += unit;
        }
    }
    return shown;
}

void pasteToAll(std::uint32_t seen) {
    // A copy: each send lets other threads' messages in, and what they do may
    // change the selection before the loop ends.
    const WindowList targets = app().selectedWindows;
    NamedWindows pasted, missed;
    std::size_t next = 0;
    for (; next < targets.size(); ++next) {
        const WindowRecord& r = targets[next];
        const platform::WindowHandle window = r.handle;
        // A short probe, so that a terminal whose thread does not answer costs
        // little and is never left a button-down to handle on its own later;
        // one the system reports hung fails it at once. A terminal that has
        // closed is passed over in silence.
        if (!platform::windowAnswers(window, kPasteProbeMs)) {
            if (platform::windowExists(window))
                missed.push_back(&r);
            continue;
        }
        // Each terminal reads the clipboard itself when clicked: once it holds
        // something else, no further terminal may paste what nobody saw.
        if (platform::clipboardSequenceNumber() != seen)
            break;
        const Click result = click(window);
        if (result == Click::Pasted)
            pasted.push_back(&r);
        else if (result == Click::Missed)
            missed.push_back(&r);
    }
    if (next < targets.size()) {
        NamedWindows notPasted = missed;
        for (std::size_t i = next; i < targets.size(); ++i)
            if (platform::windowExists(targets[i].handle))
                notPasted.push_back(&targets[i]);
        platform::warningBox(stoppedWarning(pasted, notPasted).c_str(), kWarningCaption);
        return;
    }
    if (!missed.empty())
        platform::warningBox(namingWindows(kMissedText, missed).c_str(), kWarningCaption);
}

void broadcastPaste() {
    AppState& a = app();
    if (platform::focusedWindow() != a.controls.commandEdit || a.selectedWindows.empty())
        return;
    if (!checkSelectedShowState())
        return;
    if (!platform::openClipboard(a.mainWindow))
        return;
    std::vector<char16_t> copy = copyClipboardText();
    // Read while the clipboard is held, so nobody can change it in between.
    const std::uint32_t seen = platform::clipboardSequenceNumber();
    platform::closeClipboard();
    if (copy.empty() || copy[0] == u'\0')
        return;

    if (needsConfirmation(copy.data()) && a.settings.pasteConfirm) {
        a.clipboardCopy.swap(copy);
        a.clipboardSequence = seen;
        runPasteConfirmDialog();
        return;
    }
    pasteToAll(seen);
}

const char16_t* pendingPasteText() {
    const auto& copy = app().clipboardCopy;
    return copy.empty() ? u"" : copy.data();
}

std::u16string pendingPasteShown() noexcept {
    try {
        return withCrLfLineEnds(pendingPasteText());
    } catch (const std::exception&) {
        return {};
    }
}

void confirmPaste() {
    // The box stays open under a warning the paste may show, and OK can be
    // pressed there again: that second OK finds nothing left to confirm.
    if (app().clipboardCopy.empty())
        return;
    releaseCopy();
    pasteToAll(app().clipboardSequence);
}

void cancelPaste() {
    releaseCopy();
}
