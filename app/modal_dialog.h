// Runs one of Tilewick's dialog templates modally, owned by the main window.
#pragma once

#include <windows.h>

void runModalDialog(int templateId, DLGPROC procedure);
