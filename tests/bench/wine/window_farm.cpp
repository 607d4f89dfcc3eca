// Many lightweight top-level windows in one process, for the benchmark: N of
// class "PuTTY" titled "host<number> - PuTTY" (numbers of a fixed width, so
// "7" matches a known share of them) and M of another class. They are not
// shown unless asked: discovery and the show-state guard see them as any other
// window (a hidden window reads back in the normal show state); shown
// terminals wear Tilewick's bands once selected. What reaches the terminals is
// counted in the shared block of farm_shared.h.
//
//   window_farm.exe TERMINALS OTHERS DIGITS [shown]
#include "farm_shared.h"

#include <cstdio>
#include <cstdlib>

namespace {

FarmShared* shared = nullptr;

LONGLONG now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// PuTTY's paste: a thread of its own opens the clipboard once and holds it
// while the text is taken.
DWORD WINAPI pasteReader(LPVOID) {
    if (!OpenClipboard(nullptr)) {
        InterlockedIncrement(&shared->readsGivenUp);
        return 0;
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        GlobalLock(data);
        GlobalUnlock(data);
    }
    CloseClipboard();
    shared->lastReadAt = now();
    InterlockedIncrement(&shared->reads);
    return 0;
}

LRESULT CALLBACK terminalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        InterlockedIncrement(&shared->keyDowns);
        shared->lastKeyAt = now();
        return 0;
    case WM_CHAR:
        InterlockedIncrement(&shared->chars);
        shared->lastKeyAt = now();
        return 0;
    case WM_RBUTTONDOWN:
        InterlockedIncrement(&shared->rightDowns);
        return 0;
    case WM_RBUTTONUP:
        InterlockedIncrement(&shared->rightUps);
        shared->lastRightUpAt = now();
        if (HANDLE reader = CreateThread(nullptr, 0, pasteReader, nullptr, 0, nullptr))
            CloseHandle(reader);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    RegisterClassW(&wc);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc != 4 && argc != 5)
        return 2;
    const int terminals = _wtoi(argv[1]);
    const int others = _wtoi(argv[2]);
    const int digits = _wtoi(argv[3]);
    const bool shown = argc > 4 && lstrcmpW(argv[4], L"shown") == 0;

    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(FarmShared), kFarmSharedName);
    if (!mapping)
        return 3;
    shared = static_cast<FarmShared*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(FarmShared)));
    if (!shared)
        return 3;
    ZeroMemory(const_cast<FarmShared*>(shared), sizeof(FarmShared));

    registerClass(instance, L"PuTTY", terminalProc);
    registerClass(instance, L"BenchOther", DefWindowProcW);
    // Terminals and others interleaved, as windows of several programs would be.
    const int total = terminals + others;
    int madeTerminals = 0;
    for (int i = 0; i < total; ++i) {
        const bool terminal = madeTerminals < terminals &&
                              (long long)madeTerminals * total <= (long long)i * terminals;
        wchar_t title[64];
        if (terminal)
            swprintf(title, 64, L"host%0*d - PuTTY", digits, madeTerminals++);
        else
            swprintf(title, 64, L"document %d - Editor", i);
        const HWND window =
            CreateWindowExW(0, terminal ? L"PuTTY" : L"BenchOther", title, WS_OVERLAPPEDWINDOW, 0,
                            0, 300, 200, nullptr, nullptr, instance, nullptr);
        if (!window)
            return 4;
        // Cascaded over the desktop, as many terminals would lie.
        const int k = madeTerminals - 1;
        if (terminal && shown)
            SetWindowPos(window, nullptr, k % 16 * 80, k / 16 % 12 * 60, 300, 200,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    shared->ready = 1;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
