// The baseline for opening saved sessions: what a plain launcher does with
// no list and no selection. It starts `putty -load "<name>"` for every name
// given, polls every 10 ms until each process's "PuTTY" window is captioned
// with its host, moves them into a 5-column grid, and exits.
//
//   session_baseline.exe <putty.exe> <session>...
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Started {
    DWORD pid = 0;
    HWND window = nullptr;
};

BOOL CALLBACK findWindow(HWND window, LPARAM context) {
    auto& started = *reinterpret_cast<std::vector<Started>*>(context);
    wchar_t cls[16] = {}, caption[8] = {};
    GetClassNameW(window, cls, 16);
    GetWindowTextW(window, caption, 8);
    if (std::wstring(cls) != L"PuTTY" || !caption[0] || std::wstring(caption) == L"PuTTY")
        return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    for (Started& s : started)
        if (s.pid == pid)
            s.window = window;
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    std::vector<Started> started;
    for (int i = 2; i < argc; ++i) {
        std::wstring line = L"\"" + std::wstring(argv[1]) + L"\" -load \"" + argv[i] + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(argv[1], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return 1;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        started.push_back({pi.dwProcessId, nullptr});
    }
    const DWORD begun = GetTickCount();
    for (;;) {
        EnumWindows(findWindow, reinterpret_cast<LPARAM>(&started));
        bool all = true;
        for (const Started& s : started)
            all = all && s.window;
        if (all || GetTickCount() - begun > 20000)
            break;
        Sleep(10);
    }
    const int columns = 5, rows = (static_cast<int>(started.size()) + columns - 1) / columns;
    const int width = GetSystemMetrics(SM_CXSCREEN) / columns;
    const int height = GetSystemMetrics(SM_CYSCREEN) / (rows ? rows : 1);
    for (std::size_t i = 0; i < started.size(); ++i)
        if (started[i].window)
            SetWindowPos(started[i].window, nullptr, static_cast<int>(i % columns) * width,
                         static_cast<int>(i / columns) * height, width, height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}
