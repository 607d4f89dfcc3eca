#include "resources/help_file.h"

#include "app/app_state.h"
#include "settings/settings_store.h"

#include <htmlhelp.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

constexpr wchar_t kControlKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr WORD kHtmlHelpWOrdinal = 15;
constexpr char16_t kHelpFileName[] = u"tw.chm";

wchar_t* helpPath() {
    return reinterpret_cast<wchar_t*>(app().helpFilePath);
}

// The control's registered location, else its plain file name.
HMODULE loadHelpControl() {
    HMODULE module = nullptr;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kControlKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        wchar_t value[MAX_PATH] = {};
        DWORD type = 0;
        DWORD bytes = sizeof(value) - sizeof(wchar_t);  // the zero fill keeps it terminated
        const LONG read =
            RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
        RegCloseKey(key);
        if (read == ERROR_SUCCESS && type == REG_EXPAND_SZ) {
            wchar_t expanded[MAX_PATH] = {};
            const DWORD units = ExpandEnvironmentStringsW(value, expanded, MAX_PATH);
            if (units > 0 && units <= MAX_PATH)
                module = LoadLibraryW(expanded);
        } else if (read == ERROR_SUCCESS && type == REG_SZ && value[0]) {
            module = LoadLibraryW(value);
        }
    }
    if (!module)
        module = LoadLibraryW(L"hhctrl.ocx");
    return module;
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

    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, L"HELP_CHM", L"CHM");
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        CloseHandle(file);
        DeleteFileW(path);
        return false;
    }
    DWORD written = 0;
    WriteFile(file, bytes, SizeofResource(module, resource), &written, nullptr);
    // OPEN_ALWAYS keeps an older, longer file's tail; cut it off so the
    // viewer never reads stale bytes after the archive.
    SetEndOfFile(file);
    CloseHandle(file);
    app().helpFileWritten = true;
    return true;
}

void showHelp(HWND mainWindow) {
    if (!helpPath()[0])
        return;
    // The viewer holds the file open; it has to let go before the rewrite.
    htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    if (!writeHelpFile())
        return;
    htmlHelp(mainWindow, helpPath(), HH_DISPLAY_TOPIC, 0);
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
