// The bands Tilewick draws around the selected terminals, as it last left them.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <vector>

struct TerminalBand {
    platform::WindowHandle terminal = nullptr;
    // Tilewick's four edge windows (top, bottom, left, right), placed together
    // directly above the terminal: made when the band is first to be shown,
    // and gone with the terminal.
    platform::BandEdges edges = {};
    bool terminalGone = false;
    bool shown = false;
    // The terminal's window rectangle and frame as last read, and the DPI
    // read with them.
    platform::Rect rect;
    platform::Rect frame;
    unsigned dpi = 0;
    // The ring as last placed, and as last painted: the edges are painted
    // again only when the ring changes size.
    platform::Rect bounds;
    int thickness = 0;
    platform::Rect painted;
    int paintedThickness = 0;
    // The terminal's neighbour above when the band was last put in place,
    // while the band is not there itself: the system kept the order it chose,
    // and asking again would only repeat the same placement every tick.
    platform::WindowHandle above = nullptr;
    // The edges are topmost windows, as they must be over a topmost terminal.
    bool topmost = false;
};

struct BandState {
    // One per selected terminal, in selection order.
    std::vector<TerminalBand> bands;
    // Where the next tick's share of the polling starts.
    std::size_t nextPoll = 0;
    // Terminals whose bands are still to be put in place after Tilewick's
    // own action, a chunk on each quick tick, in selection order.
    std::vector<platform::WindowHandle> owed;
    // Tilewick's window is minimised: no band shows, nothing is followed.
    bool paused = false;
    // The band timer's period, 0 while it is stopped.
    unsigned timerMs = 0;
    // The system's reports of other programs' window changes, watched while
    // the timer runs; `reported` once one concerned a selected terminal.
    platform::WindowWatch watch;
    bool reported = false;
    // Set while a report is followed: one that comes meanwhile waits.
    bool following = false;
    // Hidden bands made ahead, one at a time while the loop has nothing else
    // to do, each painted for a listed terminal at its size; and bands no
    // longer wanted, as they were painted. A band that finds its windows
    // made, and painted at its size, shows sooner. `stocking` while the
    // spare timer runs.
    std::vector<TerminalBand> spareBands;
    bool stocking = false;
};
