// Paste broadcast: every selected terminal gets a right click and pastes
// its clipboard; a text with a line feed is shown first when asked to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How long one right-button message may wait for a terminal that does not
// answer before Tilewick goes on to the next one.
constexpr unsigned kPasteSendTimeoutMs = 3000;
// How long a terminal has to show that its thread answers before its click.
constexpr unsigned kPasteProbeMs = 250;

void broadcastPaste();

// True when the text needs confirmation: it holds a line feed or a carriage
// return anywhere, for a terminal runs every line either ends.
bool needsConfirmation(std::u16string_view text);

// The text as the confirmation box shows it: up to its first NUL (where every
// terminal's read of the clipboard ends too), with every CR or LF that is not
// part of a CR LF made a CR LF, since Windows' edit control breaks lines only
// at CR LF.
std::u16string withCrLfLineEnds(std::u16string_view text);

// Pastes `text` (up to its NUL) to every selected window, one after another,
// as long as the clipboard still holds it: the clipboard's sequence number
// must still be `seen`, the one it had when the text was read. The clipboard
// is lent to one terminal at a time (paste_offer.h): each gets the
// right-button pair, and the next one only once its read was seen. A terminal
// that does not answer a short probe, or does not read after a second click,
// is passed over. The user's clipboard is put back at the end. Then one
// warning names the terminals that missed the paste, or, when another program
// took the clipboard, which terminals pasted and which did not.
void pasteToAll(std::uint32_t seen, std::u16string_view text);

// The confirmation dialog's side: the text it shows, and its two endings.
// Both release the clipboard copy.
const char16_t* pendingPasteText();
// pendingPasteText as the box shows it (withCrLfLineEnds); empty when there
// is no memory for it.
std::u16string pendingPasteShown() noexcept;
void confirmPaste();
void cancelPaste();

// Runs the modal confirmation dialog over the pending text; provided by
// the front end (a recording stand-in in the host tests).
void runPasteConfirmDialog();
