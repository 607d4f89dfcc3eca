#include "broadcast/saved_clipboard.h"

#include "platform/platform.h"

#include <cstdint>
#include <exception>

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

bool isMarker(unsigned format) {
    for (const Marker& m : kMarkers)
        if (platform::registerClipboardFormat(m.name) == format)
            return true;
    return false;
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
    for (const Marker& m : kMarkers)
        if (const unsigned format = platform::registerClipboardFormat(m.name))
            platform::setClipboardBlock(format, &zero, m.zeroDword ? sizeof zero : 0);
}
