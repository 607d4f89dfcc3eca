// What the window farm tells the benchmark driver, in a named shared block:
// how many key-downs and right-button messages reached its terminals, and
// when the last of each arrived (QueryPerformanceCounter, one clock for
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
};
