#include "broadcast/saved_clipboard.h"

#include "platform/platform.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <iterator>

namespace {

// What Windows and clipboard managers read to leave an entry out: present
// with any data, or a DWORD 0 for the two history settings.
struct Marker {
    const char16_t* name;
    bool zeroDword;
};
constexpr Marker kMarkers[] = {
    {u"ExcludeClipboardContentFromMonitorProcessing", false},
    {u"Clipboard Viewer Ignore", false},
    {u"CanIncludeInClipboardHistory", true},
    {u"CanUploadToCloudClipboard", true},
};

// Registered once: every offer of a paste sets them all.
const std::array<unsigned, std::size(kMarkers)>& markerFormats() {
    static const auto formats = [] {
        std::array<unsigned, std::size(kMarkers)> ids{};
        for (std::size_t i = 0; i < ids.size(); ++i)
            ids[i] = platform::registerClipboardFormat(kMarkers[i].name);
        return ids;
    }();
    return formats;
}

bool isMarker(unsigned format) {
    const auto& ids = markerFormats();
    return std::find(ids.begin(), ids.end(), format) != ids.end();
}

}  // namespace

bool canCopyClipboardFormat(unsigned format) {
    switch (format) {
    case 2:     // CF_BITMAP
    case 3:     // CF_METAFILEPICT
    case 9:     // CF_PALETTE
    case 14:    // CF_ENHMETAFILE
    case 0x80:  // CF_OWNERDISPLAY
    case 0x82:  // CF_DSPBITMAP
    case 0x83:  // CF_DSPMETAFILEPICT
    case 0x8E:  // CF_DSPENHMETAFILE
        return false;
    default:
        // CF_PRIVATEFIRST .. CF_GDIOBJLAST: handles only their owner knows.
        return format != 0 && !(format >= 0x200 && format <= 0x3FF);
    }
}

SavedClipboard saveClipboard() {
    SavedClipboard saved;
    std::vector<unsigned> formats;
    platform::enumerateClipboardFormats([&](unsigned f) { formats.push_back(f); });
    for (unsigned format : formats) {
        if (!canCopyClipboardFormat(format) || isMarker(format))
            continue;
        std::vector<unsigned char> bytes;
        if (!platform::copyClipboardBlock(format, bytes))
            continue;
        try {
            saved.formats.emplace_back(format, std::move(bytes));
        } catch (const std::exception&) {  // the rest is given up, the text was first
            break;
        }
    }
    return saved;
}

void restoreClipboard(const SavedClipboard& saved) {
    platform::emptyClipboard();
    for (const auto& [format, bytes] : saved.formats)
        platform::setClipboardBlock(format, bytes.data(), bytes.size());
    if (!saved.formats.empty())
        markClipboardPrivate();
}

void markClipboardPrivate() {
    const std::uint32_t zero = 0;
    const auto& ids = markerFormats();
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (ids[i])
            platform::setClipboardBlock(ids[i], &zero, kMarkers[i].zeroDword ? sizeof zero : 0);
}
