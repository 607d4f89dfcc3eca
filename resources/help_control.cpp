#include "resources/help_control.h"

#include "platform/bounded_text.h"
#include "platform/platform.h"

namespace {

constexpr int kPathUnits = 260;
constexpr char16_t kControlFile[] = u"hhctrl.ocx";

char16_t lowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool isSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// The file name after `folder` and one separator in `path`, or null when
// `path` is not a plain file name directly inside `folder`.
const char16_t* nameInside(const char16_t* folder, const char16_t* path) {
    for (; *folder; ++folder, ++path)
        if (lowerAscii(*folder) != lowerAscii(*path))
            return nullptr;
    if (!isSeparator(folder[-1]) && !isSeparator(*path++))
        return nullptr;
    const char16_t* name = path;
    bool onlyDots = true;
    for (; *path; ++path) {
        // No sub-folder, no way back up, no alternate stream.
        if (isSeparator(*path) || *path == u':')
            return nullptr;
        onlyDots = onlyDots && *path == u'.';
    }
    return *name && !onlyDots ? name : nullptr;
}

}  // namespace

const char16_t kHelpControlKey[] = u"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

bool helpControlPath(const char16_t* systemFolder, const char16_t* registered, char16_t* path) {
    for (int i = 0; i < kPathUnits; ++i)
        path[i] = 0;
    if (!systemFolder || !systemFolder[0])
        return false;
    const char16_t* name = registered ? nameInside(systemFolder, registered) : nullptr;
    BoundedText<kPathUnits> composed;
    composed.text(systemFolder);
    if (!isSeparator(composed.c_str()[composed.size() - 1]))
        composed.text(u"\\");
    composed.text(name ? name : kControlFile);
    if (composed.overflowed())
        return false;
    for (std::size_t i = 0; i < composed.size(); ++i)
        path[i] = composed.c_str()[i];
    return true;
}

bool locateHelpControl(char16_t* path) {
    char16_t system[kPathUnits] = {};
    char16_t registered[kPathUnits] = {};
    platform::systemFolder(system);
    const bool isRegistered = platform::classesRootDefault(kHelpControlKey, registered);
    return helpControlPath(system, isRegistered ? registered : nullptr, path);
}
