// The clipboard lent to one terminal at a time while a paste runs.
//
// A terminal pastes from a reader of its own that opens the clipboard once
// after its click and gives up, silently, when somebody else holds it. So
// Tilewick owns the clipboard for the paste and offers the confirmed text by
// delayed rendering: each terminal's read reaches it as WM_RENDERFORMAT, and
// the next terminal is clicked only once that read is done. A read that does
// not come is seen, never guessed.
#pragma once

#include <string>

struct PasteOffer {
    // The confirmed text, up to its NUL, as every terminal must read it.
    std::u16string text;
    // Reads rendered since the text was last offered.
    int reads = 0;
    // Between the first offer and the user's clipboard put back.
    bool active = false;
};

// How long a clicked terminal has to read, and how long another program or
// a terminal's reader may keep the clipboard open before Tilewick gives up.
constexpr unsigned kPasteReadMs = 1000;
constexpr unsigned kClipboardFreeMs = 1000;

// Opens the clipboard for the main window, trying until it is free or
// `withinMs` have passed.
bool openClipboardWithin(unsigned withinMs);

// Whether the main window still owns the clipboard: nobody has filled it since.
bool clipboardStillOurs();

// Empties the open clipboard and offers the text afresh, marked private.
void offerPasteText();

enum class ReadWait { Read, Lost, TimedOut };
// Waits, answering only messages other threads send, until the offer has been
// read, another program has taken the clipboard, or `ms` have passed.
ReadWait waitForPasteRead(unsigned ms);

// WM_RENDERFORMAT: a reader asks for the offered text.
void renderPasteFormat(unsigned format);
