// The help file: the compiled HTML Help resource "HELP_CHM" (type "CHM"),
// written to <Documents>\tw.chm on demand and shown with HtmlHelpW, which is
// looked up at run time so that a system without HTML Help still runs, and
// loaded from the system folder only (help_control.h).
//
// State lives in app(): helpFilePath, helpFileWritten, helpCookie.
#pragma once

#include <windows.h>

// HH_INITIALIZE, keeping the cookie for shutdownHelp. Once, before the
// message loop.
void initHelp();

// helpFilePath = <Documents>\tw.chm. Left empty when the whole path does not
// fit in 260 units; then showHelp and shutdownHelp leave the disk alone.
void buildHelpPath();

// HH_PRETRANSLATEMESSAGE while HTML Help is initialised: true when the help
// viewer took the message as its own key (Tab between its panes, its
// shortcuts), which then goes no further.
bool pretranslateHelpMessage(MSG* message);

// Closes every help window, rewrites the help file and opens it on its
// default topic, owned by mainWindow.
void showHelp(HWND mainWindow);

// Closes every help window, deletes the help file if this run wrote it, and
// uninitialises HTML Help.
void shutdownHelp();

// --- Parts of the above, for the tests ------------------------------------------

// "<folder>\tw.chm" into path (260 units); empty and false when it does not
// fit with its terminator.
bool composeHelpPath(const wchar_t* folder, wchar_t* path);

// Steps 2 to 5 of showHelp: writes the embedded help file to helpFilePath
// and cuts it at the written length. False when nothing was written.
bool writeHelpFile();

// Opens the help file for reading, shared for reading only, when it holds
// exactly the embedded help file; INVALID_HANDLE_VALUE otherwise. While the
// handle is open nobody can change, replace or delete the file.
HANDLE holdHelpFile();

// Whether HtmlHelpW was found (after the first call that needed it).
bool htmlHelpAvailable();
