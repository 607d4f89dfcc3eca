#include "broadcast/paste_offer.h"

#include "app/app_state.h"
#include "broadcast/saved_clipboard.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstdint>

namespace {
// Waits are cut into slices this long, so that a clipboard taken by another
// program ends a wait soon even when no message says so.
constexpr unsigned kSliceMs = 20;

std::uint64_t since(std::uint64_t start) {
    return platform::tickCount() - start;
}
}  // namespace

bool openClipboardWithin(unsigned withinMs) {
    const std::uint64_t start = platform::tickCount();
    while (!platform::openClipboard(app().mainWindow)) {
        const std::uint64_t waited = since(start);
        if (waited >= withinMs)
            return false;
        platform::handleSentMessages(
            static_cast<unsigned>(std::min<std::uint64_t>(withinMs - waited, 1)));
    }
    return true;
}

bool clipboardStillOurs() {
    return platform::clipboardOwner() == app().mainWindow;
}

void offerPasteText() {
    platform::emptyClipboard();
    platform::offerClipboardFormat(platform::kUnicodeTextFormat);
    markClipboardPrivate();
    app().pasteOffer.reads = 0;
}

ReadWait waitForPasteRead(unsigned ms) {
    const PasteOffer& offer = app().pasteOffer;
    const std::uint64_t start = platform::tickCount();
    for (;;) {
        if (offer.reads > 0)
            return ReadWait::Read;
        if (!clipboardStillOurs())
            return ReadWait::Lost;
        const std::uint64_t waited = since(start);
        if (waited >= ms)
            return ReadWait::TimedOut;
        platform::handleSentMessages(
            static_cast<unsigned>(std::min<std::uint64_t>(ms - waited, kSliceMs)));
    }
}

void renderPasteFormat(unsigned format) {
    PasteOffer& offer = app().pasteOffer;
    // Also after the paste, should the user's clipboard not have come back:
    // what the system still lists as offered is this text.
    if (format != platform::kUnicodeTextFormat || offer.text.empty())
        return;
    if (platform::setClipboardBlock(format, offer.text.c_str(),
                                    (offer.text.size() + 1) * sizeof(char16_t)))
        ++offer.reads;
}
