#include "broadcast/paste.h"

#include "app/app_state.h"
#include "broadcast/keys.h"
#include "broadcast/paste_offer.h"
#include "broadcast/saved_clipboard.h"
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
constexpr char16_t kUnsureText[] = u"変更後の内容を貼り付けた可能性があるPuTTYウィンドウ：";
constexpr char16_t kClipboardHeldText[] =
    u"ほかのプログラムがクリップボードを開いたままにしているため、貼り付けていません。\n"
    u"しばらくしてからもう一度貼り付けてください。";

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

enum class Click { Sent, HalfDone, Missed, Gone };

// One terminal's right-button pair, each message bounded; the button-up
// only after a button-down the terminal took. One that took the button-down
// but not the button-up would keep the mouse capture, or sit in its context
// menu: the button-up is posted to it.
Click click(platform::WindowHandle window) {
    if (!platform::sendRightButton(window, platform::MouseMessage::RightDown, kPasteSendTimeoutMs))
        return platform::windowExists(window) ? Click::Missed : Click::Gone;
    if (platform::sendRightButton(window, platform::MouseMessage::RightUp, kPasteSendTimeoutMs))
        return Click::Sent;
    if (!platform::windowExists(window))
        return Click::Gone;
    platform::postRightButtonUp(window);
    return Click::HalfDone;
}

enum class Delivery { Read, NotRead, Gone, Lost };

// Clicks a terminal and waits for its read of the offered text; one that
// does not read in time is clicked once more.
Delivery deliverTo(platform::WindowHandle window) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Click clicked = click(window);
        if (clicked == Click::Gone)
            return Delivery::Gone;
        if (clicked == Click::Missed)
            return Delivery::NotRead;
        // A half-done click may still read once its posted button-up
        // arrives: waited for, so that its read is never taken for the next
        // terminal's. It is not clicked again.
        switch (waitForPasteRead(kPasteReadMs)) {
        case ReadWait::Read:
            return Delivery::Read;
        case ReadWait::Lost:
            return Delivery::Lost;
        case ReadWait::TimedOut:
            if (!platform::windowExists(window))
                return Delivery::Gone;
            if (clicked == Click::HalfDone)
                return Delivery::NotRead;
            break;
        }
    }
    return Delivery::NotRead;
}

std::u16string stoppedWarning(const NamedWindows& pasted, const NamedWindows& unsure,
                              const NamedWindows& notPasted) {
    std::u16string text = pasted.empty() && unsure.empty() ? std::u16string(kChangedBeforeAnyText)
                                                           : namingWindows(kChangedText, pasted);
    if (!unsure.empty())
        text += u"\n\n" + namingWindows(kUnsureText, unsure);
    return text + u"\n\n" + namingWindows(kNotPastedText, notPasted);
}

NamedWindows stillOpen(const WindowList& windows, std::size_t from) {
    NamedWindows open;
    for (std::size_t i = from; i < windows.size(); ++i)
        if (platform::windowExists(windows[i].handle))
            open.push_back(&windows[i]);
    return open;
}

// Takes the clipboard for the paste: still holding what the user saw,
// saved, then lent to the terminals. False, with the warning shown, when it
// cannot be.
bool lendClipboard(std::uint32_t seen, const WindowList& targets, SavedClipboard& saved) {
    if (!openClipboardWithin(kClipboardFreeMs)) {
        platform::warningBox(kClipboardHeldText, kWarningCaption);
        return false;
    }
    // Each terminal pastes what the clipboard offers: once it holds
    // something else, no terminal may paste what nobody saw.
    if (platform::clipboardSequenceNumber() != seen) {
        platform::closeClipboard();
        platform::warningBox(stoppedWarning({}, {}, stillOpen(targets, 0)).c_str(),
                             kWarningCaption);
        return false;
    }
    saved = saveClipboard();
    offerPasteText();
    platform::closeClipboard();
    return true;
}

// The user's clipboard comes back once the last reader has let it go,
// unless another program has filled it since.
void giveClipboardBack(const SavedClipboard& saved) {
    if (!openClipboardWithin(kClipboardFreeMs))
        return;
    if (clipboardStillOurs())
        restoreClipboard(saved);
    platform::closeClipboard();
}

}  // namespace

bool needsConfirmation(std::u16string_view text) {
    // A terminal takes a carriage return as Enter as much as a line feed.
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
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

void pasteToAll(std::uint32_t seen, std::u16string_view text) {
    AppState& a = app();
    PasteOffer& offer = a.pasteOffer;
    if (offer.active)
        return;  // a paste is under way further up this thread
    // A copy: each send lets other threads' messages in, and what they do may
    // change the selection before the loop ends.
    const WindowList targets = a.selectedWindows;
    try {
        offer.text.assign(text.substr(0, text.find(u'\0')));
    } catch (const std::exception&) {  // no memory for it: nothing may throw through the loop
        return;
    }
    SavedClipboard saved;
    if (!lendClipboard(seen, targets, saved))
        return;
    offer.active = true;
    NamedWindows pasted, missed, unsure;
    std::size_t next = 0;
    bool stopped = false;
    for (; next < targets.size() && !stopped; ++next) {
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
        // The last reader has let the clipboard go, and it is still ours:
        // offered afresh, so that this terminal's read is seen too.
        if (offer.reads > 0) {
            if (!openClipboardWithin(kClipboardFreeMs)) {
                stopped = true;
                break;
            }
            if (clipboardStillOurs())
                offerPasteText();
            platform::closeClipboard();
        }
        if (!clipboardStillOurs()) {
            stopped = true;
            break;
        }
        switch (deliverTo(window)) {
        case Delivery::Read:
            pasted.push_back(&r);
            break;
        case Delivery::NotRead:
            missed.push_back(&r);
            break;
        case Delivery::Gone:
            break;
        case Delivery::Lost:
            // It may have read what the other program put there.
            unsure.push_back(&r);
            stopped = true;
            break;
        }
    }
    offer.active = false;
    giveClipboardBack(saved);
    if (stopped) {
        NamedWindows notPasted = missed;
        const NamedWindows rest = stillOpen(targets, next);
        notPasted.insert(notPasted.end(), rest.begin(), rest.end());
        platform::warningBox(stoppedWarning(pasted, unsure, notPasted).c_str(), kWarningCaption);
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
    pasteToAll(seen, copy.data());
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
    const std::vector<char16_t> confirmed = std::move(app().clipboardCopy);
    releaseCopy();
    pasteToAll(app().clipboardSequence, confirmed.data());
}

void cancelPaste() {
    releaseCopy();
}
