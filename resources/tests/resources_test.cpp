// Checks the image loader, the help file and the about box against the real
// resource scripts. A plain console program: prints each failure, then
// "N passed, N failed", and exits non-zero on any failure.
//
// Built twice: resources_tests with every resource, and
// resources_tests_without_help (TWK_TEST_WITHOUT_HELP) without "HELP_CHM".

#include "app/app_state.h"
#include "resources/about_dialog.h"
#include "resources/help_file.h"
#include "resources/ids.h"
#include "resources/images.h"
#include "resources/tests/test_ids.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int failures = 0;
int checks = 0;
const char* currentTest = "";

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        ++checks;                                                                                  \
        if (!(condition)) {                                                                        \
            ++failures;                                                                            \
            std::printf("FAILED %s (%s:%d): %s\n", currentTest, __FILE__, __LINE__, #condition);   \
        }                                                                                          \
    } while (0)

// --- Helpers ------------------------------------------------------------------------

struct Argb {
    BYTE a, r, g, b;
};

Argb pixel(Gdiplus::Bitmap& bitmap, int x, int y) {
    Gdiplus::Color c;
    bitmap.GetPixel(x, y, &c);
    return {c.GetA(), c.GetR(), c.GetG(), c.GetB()};
}

// A folder of this run's own under %TEMP%, removed again at the end.
std::wstring scratchFolder() {
    static std::wstring folder;
    if (folder.empty()) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder =
            std::wstring(temp) + L"twk-resources-test-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    return folder;
}

void setHelpPath(const std::wstring& path) {
    char16_t* target = app().helpFilePath;
    std::memset(target, 0, sizeof(app().helpFilePath));
    for (size_t i = 0; i < path.size() && i + 1 < static_cast<size_t>(kPathUnits); ++i)
        target[i] = static_cast<char16_t>(path[i]);
}

std::wstring helpPath() {
    return reinterpret_cast<const wchar_t*>(app().helpFilePath);
}

bool writeBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return written == bytes.size();
}

[[maybe_unused]] bool readBytes(const std::wstring& path, std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(f);
    return true;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string embeddedHelp() {
    HRSRC r = FindResourceW(nullptr, L"HELP_CHM", L"CHM");
    if (!r)
        return {};
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, r)));
    return std::string(data, SizeofResource(nullptr, r));
}

// Polls until found() is true or the time is up; never a bare fixed sleep.
template <typename F> bool waitFor(F found, DWORD limitMs = 10000) {
    const DWORD start = GetTickCount();
    while (!found()) {
        if (GetTickCount() - start > limitMs)
            return false;
        Sleep(20);
    }
    return true;
}

// --- Images --------------------------------------------------------------------------

void pictures() {
    currentTest = "pictures are 16x16 with a transparent corner";
    for (WORD id : {IDP_CHEVRON_UP, IDP_CHEVRON_DOWN, IDP_HELP}) {
        Gdiplus::Bitmap* b = loadResourceImage(id);
        CHECK(b != nullptr);
        if (!b)
            continue;
        CHECK(b->GetWidth() == 16 && b->GetHeight() == 16);
        CHECK(pixel(*b, 0, 0).a == 0);
        CHECK(pixel(*b, 15, 15).a == 0);
        delete b;
    }

    currentTest = "4001 points up, 4002 points down";
    Gdiplus::Bitmap* up = loadResourceImage(IDP_CHEVRON_UP);
    Gdiplus::Bitmap* down = loadResourceImage(IDP_CHEVRON_DOWN);
    CHECK(up && down);
    if (up && down) {
        const Argb upTip = pixel(*up, 8, 5), upBelow = pixel(*up, 8, 10);
        const Argb downTip = pixel(*down, 8, 10), downAbove = pixel(*down, 8, 5);
        CHECK(upTip.a == 255 && upTip.r == 96 && upTip.g == 96 && upTip.b == 96);
        CHECK(upBelow.a == 0);
        CHECK(downTip.a == 255 && downTip.r == 96 && downTip.g == 96 && downTip.b == 96);
        CHECK(downAbove.a == 0);
    }
    delete up;
    delete down;

    currentTest = "4003 is a white mark on a blue disc";
    Gdiplus::Bitmap* help = loadResourceImage(IDP_HELP);
    CHECK(help != nullptr);
    if (help) {
        const Argb stem = pixel(*help, 8, 8), disc = pixel(*help, 3, 8);
        CHECK(stem.a == 255 && stem.r == 255 && stem.g == 255 && stem.b == 255);
        CHECK(disc.a == 255 && disc.b > disc.r + 80);
    }
    delete help;
}

void brokenPictures() {
    currentTest = "a missing resource gives no bitmap";
    CHECK(loadResourceImage(IDT_MISSING_PNG) == nullptr);
    currentTest = "a resource of size 0 gives no bitmap";
    CHECK(loadResourceImage(IDT_EMPTY_PNG) == nullptr);
    currentTest = "bytes that are no image give no bitmap";
    CHECK(loadResourceImage(IDT_NOT_AN_IMAGE) == nullptr);
    currentTest = "a cut-off PNG gives no bitmap";
    CHECK(loadResourceImage(IDT_TRUNCATED_PNG) == nullptr);
}

void bitmapOwnsItsPixels() {
    currentTest = "the bitmap reads nothing freed after the load";
    Gdiplus::Bitmap* b = loadResourceImage(IDP_HELP);
    CHECK(b != nullptr);
    if (!b)
        return;
    // Recycle the freed global memory with other bytes; a bitmap still
    // reading its stream would now decode garbage or fail.
    std::vector<HGLOBAL> blocks;
    for (int i = 0; i < 64; ++i) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 600);
        if (void* p = GlobalLock(h)) {
            std::memset(p, 0xCD, 600);
            GlobalUnlock(h);
        }
        blocks.push_back(h);
    }
    Gdiplus::Bitmap* clone = b->Clone(0, 0, 16, 16, PixelFormat32bppARGB);
    CHECK(clone && clone->GetLastStatus() == Gdiplus::Ok);
    if (clone) {
        const Argb stem = pixel(*clone, 8, 8);
        CHECK(stem.a == 255 && stem.r == 255 && stem.g == 255 && stem.b == 255);
    }
    delete clone;
    delete b;
    for (HGLOBAL h : blocks)
        GlobalFree(h);
}

// The opaque pixels of a picture must reach the screen exactly.
WORD paintedId = 0;
unsigned paintedDpi = 96;
WNDPROC buttonProc = nullptr;
LRESULT CALLBACK paintingButton(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PAINT) {
        paintResourceImage(w, paintedId, paintedDpi);
        return 0;
    }
    return CallWindowProcW(buttonProc, w, m, wp, lp);
}

void painting() {
    currentTest = "paintResourceImage draws the picture unscaled at the origin, and at 144 DPI "
                  "the 24-pixel rendering unscaled";
    const struct {
        WORD id;
        unsigned dpi;
        WORD rendering;
        int size;
    } cases[] = {{IDP_CHEVRON_UP, 96, IDP_CHEVRON_UP, 16},
                 {IDP_HELP, 96, IDP_HELP, 16},
                 {IDP_HELP, 144, IDP_HELP_24, 24},
                 {IDP_CHEVRON_DOWN, 192, IDP_CHEVRON_DOWN_32, 32}};
    for (const auto& c : cases) {
        const WORD id = c.rendering;
        paintedId = c.id;
        paintedDpi = c.dpi;
        HWND frame = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 40, 40,
                                     64, 64, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 0, 0, 48, 48, frame,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
        buttonProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(paintingButton)));
        InvalidateRect(button, nullptr, TRUE);
        UpdateWindow(button);
        GdiFlush();

        Gdiplus::Bitmap* expected = loadResourceImage(id);
        CHECK(expected != nullptr);
        int opaque = 0, matching = 0;
        HDC dc = GetDC(button);
        for (int y = 0; expected && y < c.size; ++y) {
            for (int x = 0; x < c.size; ++x) {
                const Argb e = pixel(*expected, x, y);
                if (e.a != 255)
                    continue;
                ++opaque;
                const COLORREF got = GetPixel(dc, x, y);
                if (GetRValue(got) == e.r && GetGValue(got) == e.g && GetBValue(got) == e.b)
                    ++matching;
            }
        }
        ReleaseDC(button, dc);
        CHECK(opaque > 10);
        CHECK(matching == opaque);
        if (matching != opaque)
            std::printf("  picture %u: %d of %d opaque pixels on screen\n", id, matching, opaque);
        delete expected;
        DestroyWindow(frame);
    }
}

// --- Help ----------------------------------------------------------------------------

void helpPathBounds() {
    currentTest = "the help path is the folder, a backslash and tw.chm";
    wchar_t path[kPathUnits];
    CHECK(composeHelpPath(L"C:\\Users\\me\\Documents", path));
    CHECK(std::wcscmp(path, L"C:\\Users\\me\\Documents\\tw.chm") == 0);
    CHECK(composeHelpPath(L"", path));
    CHECK(std::wcscmp(path, L"\\tw.chm") == 0);

    currentTest = "a path of exactly 259 units still fits";
    std::wstring folder = L"C:\\" + std::wstring(kPathUnits - 1 - 7 - 3, L'd');
    CHECK(composeHelpPath(folder.c_str(), path));
    CHECK(std::wcslen(path) == static_cast<size_t>(kPathUnits - 1));
    CHECK(path[kPathUnits - 1] == 0);

    currentTest = "a path one unit too long is left empty, never cut";
    folder += L'd';
    for (wchar_t& c : path)
        c = L'x';
    CHECK(!composeHelpPath(folder.c_str(), path));
    bool allZero = true;
    for (wchar_t c : path)
        allZero = allZero && c == 0;
    CHECK(allZero);
    folder = std::wstring(2000, L'e');
    CHECK(!composeHelpPath(folder.c_str(), path));
    CHECK(path[0] == 0);

    currentTest = "buildHelpPath names tw.chm in the Documents folder";
    resetApp();
    buildHelpPath();
    wchar_t documents[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
    CHECK(helpPath() == std::wstring(documents) + L"\\tw.chm");
}

void emptyPathTouchesNothing() {
    currentTest = "with no path, showing and shutting down help touch no file";
    resetApp();
    const std::wstring root = L"\\tw.chm";  // what a cut path would turn into
    const bool before = exists(root);
    showHelp(nullptr);
    CHECK(!app().helpFileWritten);
    CHECK(exists(root) == before);
    shutdownHelp();
    CHECK(exists(root) == before);
}

void helpControl() {
    currentTest = "HtmlHelpW is found (registry or hhctrl.ocx, ordinal 15)";
    CHECK(htmlHelpAvailable());
    resetApp();
    initHelp();
    shutdownHelp();  // no help window, no file: returns (a crash or hang fails the run)
}

#ifndef TWK_TEST_WITHOUT_HELP

void embeddedArchive() {
    currentTest = "HELP_CHM is an ITSF version 3 archive in Japanese";
    const std::string chm = embeddedHelp();
    CHECK(chm.size() > 0x18);
    if (chm.size() <= 0x18)
        return;
    DWORD version = 0, lcid = 0;
    std::memcpy(&version, chm.data() + 4, 4);
    std::memcpy(&lcid, chm.data() + 0x14, 4);
    CHECK(chm.compare(0, 4, "ITSF") == 0);
    CHECK(version == 3);
    CHECK(lcid == 0x411);
}

void rewriteCutsStaleBytes() {
    currentTest = "writing over a longer file leaves exactly the help file";
    resetApp();
    const std::wstring path = scratchFolder() + L"\\tw.chm";
    setHelpPath(path);
    const std::string chm = embeddedHelp();
    CHECK(writeBytes(path, std::string(chm.size() * 3, 'X')));
    CHECK(writeHelpFile());
    std::string onDisk;
    CHECK(readBytes(path, onDisk));
    CHECK(onDisk.size() == chm.size());
    CHECK(onDisk == chm);
    CHECK(app().helpFileWritten);

    currentTest = "shutdown deletes the file this run wrote";
    shutdownHelp();
    CHECK(!exists(path));
}

void usersOwnFileSurvives() {
    currentTest = "starting and quitting leaves the user's own tw.chm alone";
    resetApp();
    const std::wstring path = scratchFolder() + L"\\tw.chm";
    setHelpPath(path);
    CHECK(writeBytes(path, "the user's own file"));
    initHelp();
    shutdownHelp();
    std::string onDisk;
    CHECK(readBytes(path, onDisk));
    CHECK(onDisk == "the user's own file");
    DeleteFileW(path.c_str());
}

void fileHeldOpen() {
    currentTest = "a help file held open elsewhere is neither written nor deleted";
    resetApp();
    const std::wstring path = scratchFolder() + L"\\tw.chm";
    setHelpPath(path);
    CHECK(writeBytes(path, "held"));
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(holder != INVALID_HANDLE_VALUE);
    CHECK(!writeHelpFile());
    CHECK(!app().helpFileWritten);
    CloseHandle(holder);
    shutdownHelp();
    std::string onDisk;
    CHECK(readBytes(path, onDisk));
    CHECK(onDisk == "held");
    DeleteFileW(path.c_str());
}

void heldUntilShown() {
    currentTest = "the written help file is held: readable, but not writable or removable";
    resetApp();
    const std::wstring path = scratchFolder() + L"\\tw.chm";
    const std::wstring moved = scratchFolder() + L"\\moved.chm";
    setHelpPath(path);
    CHECK(writeHelpFile());
    HANDLE held = holdHelpFile();
    CHECK(held != INVALID_HANDLE_VALUE);
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(writer == INVALID_HANDLE_VALUE);
    CHECK(!DeleteFileW(path.c_str()));
    CHECK(!MoveFileW(path.c_str(), moved.c_str()));
    HANDLE viewer = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(viewer != INVALID_HANDLE_VALUE);  // what a viewer does
    CloseHandle(viewer);
    CloseHandle(held);
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);

    currentTest = "a file that is not exactly the embedded help is not held";
    std::string other = embeddedHelp();
    other[other.size() / 2] ^= 0x55;
    for (const std::string& bytes : {other, embeddedHelp() + "x", std::string("ITSF")}) {
        CHECK(writeBytes(path, bytes));
        held = holdHelpFile();
        CHECK(held == INVALID_HANDLE_VALUE);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
    }
    shutdownHelp();
    DeleteFileW(moved.c_str());
}

#else

void missingHelpResource() {
    currentTest = "without HELP_CHM the opened file is closed and deleted";
    CHECK(embeddedHelp().empty());
    resetApp();
    const std::wstring path = scratchFolder() + L"\\tw.chm";
    setHelpPath(path);
    CHECK(writeBytes(path, "old"));
    CHECK(!writeHelpFile());
    CHECK(!exists(path));
    CHECK(!app().helpFileWritten);
    showHelp(nullptr);  // the same through the click path: no file stays
    CHECK(!exists(path));
}

#endif

// --- About box -------------------------------------------------------------------------

struct AboutSeen {
    bool found = false;
    std::wstring caption, text, okText;
    bool okIsDefault = false;
    bool sizeMatches = false;
};

// Waits for the about box on another thread, reads it, then closes it with
// the given command.
DWORD WINAPI inspectAbout(void* param) {
    auto* job = static_cast<std::pair<AboutSeen*, WPARAM>*>(param);
    AboutSeen& seen = *job->first;
    HWND box = nullptr;
    seen.found = waitFor([&] {
        box = FindWindowW(L"#32770", nullptr);
        return box && IsWindowVisible(box);
    });
    if (!seen.found)
        return 0;
    wchar_t buffer[256] = {};
    GetWindowTextW(box, buffer, 256);
    seen.caption = buffer;
    HWND ok = GetDlgItem(box, IDOK);
    buffer[0] = 0;
    GetWindowTextW(ok, buffer, 256);
    seen.okText = buffer;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Static") == 0) {
            buffer[0] = 0;
            GetWindowTextW(child, buffer, 256);
            seen.text = buffer;
        }
    }
    seen.okIsDefault = LOWORD(SendMessageW(box, DM_GETDEFID, 0, 0)) == IDOK;
    RECT expected = {0, 0, 210, 62};
    MapDialogRect(box, &expected);
    RECT client = {};
    GetClientRect(box, &client);
    seen.sizeMatches = client.right == expected.right && client.bottom == expected.bottom;
    PostMessageW(box, WM_COMMAND, job->second, 0);
    return 0;
}

void aboutBox() {
    for (WPARAM ending : {static_cast<WPARAM>(IDOK), static_cast<WPARAM>(IDCANCEL)}) {
        currentTest =
            ending == IDOK ? "the about box, ended with OK" : "the about box, ended with Esc";
        AboutSeen seen;
        std::pair<AboutSeen*, WPARAM> job(&seen, ending);
        HANDLE inspector = CreateThread(nullptr, 0, inspectAbout, &job, 0, nullptr);
        showAboutDialog(nullptr);  // returns only when the box has ended
        WaitForSingleObject(inspector, 15000);
        CloseHandle(inspector);
        CHECK(seen.found);
        CHECK(seen.caption == L"\u30D0\u30FC\u30B8\u30E7\u30F3\u60C5\u5831 Tilewick");
        CHECK(seen.text == L"Tilewick, Version 1.1");
        CHECK(seen.okText == L"OK");
        CHECK(seen.okIsDefault);
        CHECK(seen.sizeMatches);
    }
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    pictures();
    brokenPictures();
    bitmapOwnsItsPixels();
    painting();
    helpPathBounds();
    emptyPathTouchesNothing();
    helpControl();
#ifndef TWK_TEST_WITHOUT_HELP
    embeddedArchive();
    rewriteCutsStaleBytes();
    usersOwnFileSurvives();
    fileHeldOpen();
    heldUntilShown();
#else
    missingHelpResource();
#endif
    aboutBox();

    Gdiplus::GdiplusShutdown(token);
    RemoveDirectoryW(scratchFolder().c_str());
    CoUninitialize();
    std::printf("%d passed, %d failed\n", checks - failures, failures);
    return failures == 0 ? 0 : 1;
}
