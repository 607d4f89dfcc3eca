// What the window farm tells the benchmark driver, in a named shared block:
// how many key-downs, right-button messages and clipboard reads reached its
// terminals, and when the last of each arrived (QueryPerformanceCounter, one clock for
// every process of the desktop).
#pragma once

#include <windows.h>

constexpr wchar_t kFarmSharedName[] = L"Local\\TilewickBenchFarm";

struct FarmShared {
    volatile LONG ready;  // every window exists
    volatile LONG keyDowns;
    volatile LONG chars;
    volatile LONG rightDowns;
    volatile LONG rightUps;
    volatile LONGLONG lastKeyAt;
    volatile LONGLONG lastRightUpAt;
    // Each right button-up starts a reader, as PuTTY's paste does: one try
    // at the clipboard, given up when somebody else holds it.
    volatile LONG reads;
    volatile LONG readsGivenUp;
    volatile LONGLONG lastReadAt;
};
