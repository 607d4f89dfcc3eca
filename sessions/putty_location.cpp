#include "sessions/putty_location.h"

#include "platform/bounded_text.h"
#include "platform/platform.h"
#include "sessions/putty_settings.h"

#include <algorithm>

namespace {

constexpr char16_t kPutty[] = u"putty.exe";

std::u16string inFolder(std::u16string folder, const char16_t* file) {
    if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/')
        folder += u'\\';
    return folder + file;
}

// PATH's folders: split at ";", each without the quotes a folder with a ";"
// in its name needs; empty ones left out.
std::vector<std::u16string> pathFolders() {
    std::vector<std::u16string> folders;
    const std::u16string path = platform::environmentVariable(u"PATH");
    std::u16string folder;
    bool quoted = false;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        const char16_t c = i < path.size() ? path[i] : u';';
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u';' && !quoted) {
            if (!folder.empty())
                folders.push_back(folder);
            folder.clear();
        } else {
            folder += c;
        }
    }
    return folders;
}

}  // namespace

PuttySearch findPutty(const char16_t* settingsPath) {
    PuttySearch search;
    std::vector<std::u16string> candidates;
    const std::u16string configured = configuredPuttyPath(settingsPath);
    if (!configured.empty())
        candidates.push_back(configured);
    candidates.push_back(inFolder(platform::programFolder(), kPutty));
    for (const auto& folder : pathFolders())
        candidates.push_back(inFolder(folder, kPutty));
    for (const char16_t* variable : {u"ProgramW6432", u"ProgramFiles", u"ProgramFiles(x86)"}) {
        const std::u16string folder = platform::environmentVariable(variable);
        if (!folder.empty())
            candidates.push_back(inFolder(inFolder(folder, u"PuTTY"), kPutty));
    }
    for (const auto& candidate : candidates) {
        if (std::find(search.looked.begin(), search.looked.end(), candidate) != search.looked.end())
            continue;  // %ProgramW6432% and %ProgramFiles% are often one folder
        search.looked.push_back(candidate);
        if (platform::fileExists(candidate.c_str())) {
            search.found = candidate;
            break;
        }
    }
    return search;
}

std::u16string puttyMissingText(const PuttySearch& search) {
    // PATH may be long: at most ten places, then how many more.
    constexpr std::size_t kListed = 10;
    std::u16string text = u"putty.exe が見つからないため、セッションを開けません。\n探した場所:";
    for (std::size_t i = 0; i < search.looked.size() && i < kListed; ++i)
        text += u"\n・" + search.looked[i];
    if (search.looked.size() > kListed)
        text += BoundedText<64>()
                    .text(u"\nほか ")
                    .number(static_cast<long long>(search.looked.size() - kListed))
                    .text(u" か所")
                    .str();
    text +=
        u"\n\ntwk.ini の [PUTTY] セクションの path キーに putty.exe のフルパスを設定してください。";
    return text;
}
