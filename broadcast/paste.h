// Paste broadcast: every selected terminal gets a right click and pastes
// its clipboard; a text with a line feed is shown first when asked to.
#pragma once

#include <string_view>

// How long one right-button message may wait for a terminal that does not
// answer before Tilewick goes on to the next one.
constexpr unsigned kPasteSendTimeoutMs = 3000;

void broadcastPaste();

// True when the text needs confirmation: it holds a line feed anywhere.
bool needsConfirmation(std::u16string_view text);

// Sends the right-button pair to every selected window, one after another;
// a window whose button-down timed out is not sent its button-up.
void pasteToAll();

// The confirmation dialog's side: the text it shows, and its two endings.
// Both release the clipboard copy.
const char16_t* pendingPasteText();
void confirmPaste();
void cancelPaste();

// Runs the modal confirmation dialog over the pending text; provided by
// the front end (a recording stand-in in the host tests).
void runPasteConfirmDialog();
