// The window class of the bands drawn around the selected terminals.
#pragma once

#include <windows.h>

ATOM registerBandWindowClass(HINSTANCE instance);
