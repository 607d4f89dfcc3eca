#include "broadcast/paste.h"

#include "app/app_state.h"
#include "broadcast/keys.h"

#include <cstring>
#include <exception>

namespace {

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

}  // namespace

bool needsConfirmation(std::u16string_view text) {
    return text.find(u'\n') != std::u16string_view::npos;
}

void pasteToAll() {
    for (const WindowRecord& r : app().selectedWindows) {
        // Bounded, so a terminal that stopped answering cannot freeze Tilewick;
        // one that let the button-down time out is not kept waiting for again.
        if (platform::sendRightButton(r.handle, platform::MouseMessage::RightDown,
                                      kPasteSendTimeoutMs))
            platform::sendRightButton(r.handle, platform::MouseMessage::RightUp,
                                      kPasteSendTimeoutMs);
    }
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
    platform::closeClipboard();
    if (copy.empty() || copy[0] == u'\0')
        return;

    if (needsConfirmation(copy.data()) && a.settings.pasteConfirm) {
        a.clipboardCopy.swap(copy);
        runPasteConfirmDialog();
        return;
    }
    pasteToAll();
}

const char16_t* pendingPasteText() {
    const auto& copy = app().clipboardCopy;
    return copy.empty() ? u"" : copy.data();
}

void confirmPaste() {
    pasteToAll();
    releaseCopy();
}

void cancelPaste() {
    releaseCopy();
}
