// The user's clipboard, kept while a paste lends the clipboard to Tilewick
// and put back afterwards.
#pragma once

#include <utility>
#include <vector>

struct SavedClipboard {
    // Every format whose data is a memory block, in the clipboard's order.
    std::vector<std::pair<unsigned, std::vector<unsigned char>>> formats;
};

// Whether a format's data is a memory block that can be copied: not a GDI
// handle (bitmap, palette, metafile), nor owner-display or private data.
bool canCopyClipboardFormat(unsigned format);

// Copies what the open clipboard holds. A format that cannot be copied is
// left out (CF_DIB comes back for CF_BITMAP); one too big for memory too.
SavedClipboard saveClipboard();

// Empties the open clipboard and puts the saved formats back, marked so that
// clipboard history and clipboard managers leave it alone.
void restoreClipboard(const SavedClipboard& saved);

// Marks what Tilewick puts on the open clipboard as nothing for clipboard
// history, cloud clipboard or clipboard viewers to keep.
void markClipboardPrivate();
