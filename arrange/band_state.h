// The bands Tilewick draws around the selected terminals, as it last left them.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <vector>

struct TerminalBand {
    platform::WindowHandle terminal = nullptr;
    // Tilewick's ring window: made when the band is first to be shown, and
    // gone with the terminal.
    platform::WindowHandle window = nullptr;
    bool terminalGone = false;
    bool shown = false;
    // The terminal's frame as last read, and the DPI read with it.
    platform::Rect frame;
    unsigned dpi = 0;
    // The ring as last placed.
    platform::Rect bounds;
    int thickness = 0;
    // The terminal's neighbour above when the band was last put in place,
    // while the band is not there itself: the system kept the order it chose,
    // and asking again would only repeat the same placement every tick.
    platform::WindowHandle above = nullptr;
};

struct BandState {
    // One per selected terminal, in selection order.
    std::vector<TerminalBand> bands;
    // Where the next tick's share of the polling starts.
    std::size_t nextPoll = 0;
};
