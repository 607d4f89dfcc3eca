// Saved sessions, files, processes, timers and INI keys over the fake
// desktop. The code page conversion is glibc's iconv, so bytes the real
// code page rejects are rejected here too.
#include "platform/fake/fake_desktop.h"

#include <iconv.h>

#include <algorithm>

namespace platform {

using fake::desktop;

namespace {

constexpr std::uint32_t kFileNotFound = 2;    // ERROR_FILE_NOT_FOUND
constexpr std::uint32_t kBadExeFormat = 193;  // ERROR_BAD_EXE_FORMAT

bool sameKey(std::u16string a, std::u16string b) {
    auto fold = [](std::u16string& s) {
        for (auto& c : s)
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c + 0x20);
        s.erase(0, s.find_first_not_of(u" \t"));
        s.erase(s.find_last_not_of(u" \t") + 1);
    };
    fold(a);
    fold(b);
    return a == b;
}

}  // namespace

bool userRegistrySubkeys(const char16_t* path, const std::function<void(const char16_t*)>& visit) {
    const auto& registry = desktop().userRegistry;
    const auto key = registry.find(path);
    if (key == registry.end())
        return false;
    for (const auto& name : key->second)
        visit(name.c_str());
    return true;
}

bool ansiToText(std::string_view bytes, std::u16string& text) {
    text.clear();
    iconv_t cd = iconv_open("UTF-16LE", desktop().ansiCodePage.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in(bytes);
    std::string out(in.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok)
        return false;
    for (std::size_t i = 0; i + 1 < out.size() - outLeft; i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(out[i]) |
                                      static_cast<unsigned char>(out[i + 1]) << 8);
    return true;
}

std::u16string environmentVariable(const char16_t* name) {
    const auto& env = desktop().environment;
    const auto it = env.find(name);
    return it == env.end() ? std::u16string() : it->second;
}

bool fileExists(const char16_t* path) {
    return desktop().files.count(path) > 0;
}

std::u16string programFolder() {
    return desktop().programFolder;
}

Process startProcess(const char16_t* application, const std::u16string& commandLine,
                     std::uint32_t& error) {
    auto& d = desktop();
    d.calls.push_back("startProcess " + fake::narrow(commandLine));
    if (!d.files.count(application)) {
        error = kFileNotFound;
        return {};
    }
    if (!d.programs.count(application)) {
        error = kBadExeFormat;
        return {};
    }
    error = 0;
    fake::Process p;
    p.id = static_cast<std::uint32_t>(1000 + d.processes.size());
    p.application = application;
    p.commandLine = commandLine;
    d.processes.push_back(p);
    return {reinterpret_cast<void*>(static_cast<std::uintptr_t>(p.id)), p.id};
}

namespace {
fake::Process* processOf(const Process& process) {
    for (auto& p : desktop().processes)
        if (p.id == process.id)
            return &p;
    return nullptr;
}
}  // namespace

bool processRunning(const Process& process) {
    const fake::Process* p = processOf(process);
    return p && p->running;
}

void releaseProcess(const Process& process) {
    if (fake::Process* p = processOf(process))
        p->released = true;
}

std::uint32_t windowProcessId(WindowHandle window) {
    const auto& windows = desktop().windows;
    const auto it = windows.find(window);
    return it == windows.end() || !it->second.exists ? 0 : it->second.processId;
}


std::vector<std::u16string> profileSectionLines(const char16_t* section, const char16_t* path) {
    const auto& profiles = desktop().profiles;
    const auto file = profiles.find(path);
    if (file == profiles.end())
        return {};
    const auto lines = file->second.find(section);
    return lines == file->second.end() ? std::vector<std::u16string>() : lines->second;
}

bool writeProfileString(const char16_t* section, const char16_t* key, const char16_t* value,
                        const char16_t* path) {
    desktop().calls.push_back("writeProfileString " + fake::narrow(key));
    auto& lines = desktop().profiles[path][section];
    const auto line = std::find_if(lines.begin(), lines.end(), [key](const std::u16string& l) {
        const auto eq = l.find(u'=');
        return eq != std::u16string::npos && sameKey(l.substr(0, eq), key);
    });
    if (!value) {
        if (line != lines.end())
            lines.erase(line);
        return true;
    }
    const std::u16string text = std::u16string(key) + u"=" + value;
    if (line != lines.end())
        *line = text;
    else
        lines.push_back(text);
    return true;
}

}  // namespace platform

namespace fake {

WindowHandle Desktop::showProcessWindow(std::size_t process, const std::u16string& title) {
    const WindowHandle h = add(u"PuTTY", title);
    windows.at(h).processId = processes.at(process).id;
    return h;
}

}  // namespace fake
