// What the settings dialog does with the user's choices; the dialog itself
// (template 113) lives with the Win32 front end.
#pragma once

// The slider shows a stored alpha outside 0..255 at the nearer end.
int sliderPosition(int storedAlpha);
// Live preview: the main window takes the slider's alpha at once.
void previewAlpha(int position);
// OK: store, save (forcePaste always off), make the main window opaque.
void acceptSettings(bool pasteConfirm, int position);
// Cancel, Escape, the close box: only make the main window opaque.
void cancelSettings();

// Runs the modal settings dialog; provided by the front end.
void runSettingsDialog();
