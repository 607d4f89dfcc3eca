#include "resources/help_file.h"

#include "app/app_state.h"
#include "resources/help_control.h"
#include "settings/settings_store.h"

#include <htmlhelp.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

namespace {

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

constexpr WORD kHtmlHelpWOrdinal = 15;
constexpr char16_t kHelpFileName[] = u"tw.chm";

wchar_t* helpPath() {
    return reinterpret_cast<wchar_t*>(app().helpFilePath);
}

// From the system folder only, whatever the registry says (help_control.h).
HMODULE loadHelpControl() {
    char16_t path[MAX_PATH] = {};
    if (!locateHelpControl(path))
        return nullptr;
    return LoadLibraryExW(reinterpret_cast<const wchar_t*>(path), nullptr, 0);
}

// The embedded help file, or false when the program has none.
bool embeddedHelp(const void*& bytes, DWORD& size) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, L"HELP_CHM", L"CHM");
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    bytes = loaded ? LockResource(loaded) : nullptr;
    size = bytes ? SizeofResource(module, resource) : 0;
    return bytes != nullptr;
}

// Whether the open file holds exactly `size` bytes equal to `bytes`.
bool holds(HANDLE file, const void* bytes, DWORD size) {
    LARGE_INTEGER length = {};
    if (!GetFileSizeEx(file, &length) || length.QuadPart != static_cast<LONGLONG>(size))
        return false;
    const auto* expected = static_cast<const BYTE*>(bytes);
    BYTE chunk[4096];
    for (DWORD at = 0; at < size;) {
        DWORD got = 0;
        const DWORD want = size - at < sizeof(chunk) ? size - at : DWORD{sizeof(chunk)};
        if (!ReadFile(file, chunk, want, &got, nullptr) || got != want ||
            std::memcmp(chunk, expected + at, got) != 0)
            return false;
        at += got;
    }
    return true;
}

HtmlHelpProc htmlHelpEntry() {
    static bool searched = false;
    static HtmlHelpProc entry = nullptr;
    if (!searched) {
        searched = true;
        if (HMODULE module = loadHelpControl()) {
            // Through void(*)(): the one function pointer type that converts
            // to any other without a cast-function-type warning.
            entry = reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void (*)()>(
                GetProcAddress(module, MAKEINTRESOURCEA(kHtmlHelpWOrdinal))));
        }
    }
    return entry;
}

HWND htmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) {
    const HtmlHelpProc entry = htmlHelpEntry();
    return entry ? entry(caller, file, command, data) : nullptr;
}

}  // namespace

bool htmlHelpAvailable() {
    return htmlHelpEntry() != nullptr;
}

void initHelp() {
    DWORD_PTR cookie = 0;
    htmlHelp(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&cookie));
    app().helpCookie = cookie;
    app().helpInitialised = true;
}

bool pretranslateHelpMessage(MSG* message) {
    return app().helpInitialised && htmlHelp(nullptr, nullptr, HH_PRETRANSLATEMESSAGE,
                                             reinterpret_cast<DWORD_PTR>(message)) != nullptr;
}

bool composeHelpPath(const wchar_t* folder, wchar_t* path) {
    return joinPath(reinterpret_cast<const char16_t*>(folder), kHelpFileName,
                    reinterpret_cast<char16_t*>(path));
}

// On failure to find Documents the path is "\tw.chm"; one that does not fit
// stays empty, and then no help file is written or deleted.
void buildHelpPath() {
    buildDocumentsPath(kHelpFileName, app().helpFilePath);
}

bool writeHelpFile() {
    const wchar_t* path = helpPath();
    if (!path[0])
        return false;
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;  // for instance held open by another program

    const void* bytes = nullptr;
    DWORD size = 0;
    if (!embeddedHelp(bytes, size)) {
        CloseHandle(file);
        DeleteFileW(path);
        return false;
    }
    DWORD written = 0;
    WriteFile(file, bytes, size, &written, nullptr);
    // OPEN_ALWAYS keeps an older, longer file's tail; cut it off so the
    // viewer never reads stale bytes after the archive.
    SetEndOfFile(file);
    CloseHandle(file);
    app().helpFileWritten = true;
    return true;
}

HANDLE holdHelpFile() {
    const wchar_t* path = helpPath();
    const void* bytes = nullptr;
    DWORD size = 0;
    if (!path[0] || !embeddedHelp(bytes, size))
        return INVALID_HANDLE_VALUE;
    // Shared for reading only: while it is open nobody can write, replace,
    // rename or delete the file, so what was checked is what the viewer reads.
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;
    if (!holds(file, bytes, size)) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

void showHelp(HWND mainWindow) {
    if (!helpPath()[0])
        return;
    // The viewer holds the file open; it has to let go before the rewrite.
    htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    // A viewer that has not let go yet keeps the file this run wrote before
    // from being rewritten: that file is shown as it stands.
    if (!writeHelpFile() && !app().helpFileWritten)
        return;
    // A CHM's pages can run code: between the write and the viewer's open
    // nobody may put another file in its place.
    const HANDLE held = holdHelpFile();
    if (held == INVALID_HANDLE_VALUE)
        return;
    htmlHelp(mainWindow, helpPath(), HH_DISPLAY_TOPIC, 0);
    CloseHandle(held);
}

void shutdownHelp() {
    AppState& a = app();
    htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    // Only our own file: a tw.chm the user keeps in Documents stays.
    if (a.helpFileWritten && helpPath()[0] && PathFileExistsW(helpPath()))
        DeleteFileW(helpPath());
    a.helpFileWritten = false;
    htmlHelp(nullptr, nullptr, HH_UNINITIALIZE, static_cast<DWORD_PTR>(a.helpCookie));
    a.helpInitialised = false;
}
