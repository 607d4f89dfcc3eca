// Where Tilewick loads the HTML Help control from: the system folder only.
//
// HKEY_CLASSES_ROOT merges the user's own HKCU\Software\Classes, so the
// control's registered location is whatever any program of the user wrote
// there; an elevated Tilewick must not load code from such a place.
#pragma once

// The key whose default value registers the control (HTML Help's CLSID).
extern const char16_t kHelpControlKey[];

// The file to load, into `path` (260 units): `registered` when it names a
// file directly inside `systemFolder` (ASCII letter case aside), otherwise
// <systemFolder>\hhctrl.ocx. Empty and false when the system folder is empty
// or the path does not fit with its terminator.
bool helpControlPath(const char16_t* systemFolder, const char16_t* registered, char16_t* path);

// The same from the platform's answers: the system folder and the
// control's registered location (none when it is not registered).
bool locateHelpControl(char16_t* path);
