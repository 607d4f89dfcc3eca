// Bands: a coloured ring on every selected terminal that is shown, so the
// user sees where the next keystroke goes. Each band sits directly above its
// terminal in the z-order. Other programs' windows give no notice of changes
// under Wine, so the terminals are polled: a bounded share on each tick,
// and all of them right after Tilewick's own actions. Where the system
// reports changes (Windows), each is followed as it comes and the ticks slow
// down. The timer runs only while there is a band to follow.
#pragma once

#include "arrange/monitor_record.h"
#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr const char16_t* kBandClassName = u"TilewickBand";
// RGB 255,128,0: reads as "armed" on light and dark desktops alike.
constexpr unsigned char kBandRed = 255, kBandGreen = 128, kBandBlue = 0;
constexpr int kBandThickness96 = 3;
constexpr unsigned kBandTickMs = 50;
// Where the system reports changes of other programs' windows (Windows, not
// Wine), the ticks only catch what a report may have missed.
constexpr unsigned kBandQuietTickMs = 1000;
constexpr std::uintptr_t kBandTimerId = 1;
// Every terminal is polled once per this many ticks (while the share fits
// the bound below): 200 ms.
constexpr std::size_t kTicksPerRound = 4;
// The most terminals polled in one tick: a poll costs three calls into the
// wineserver whoever owns the window, so the polling's cost per second is
// bounded however many terminals are selected (200 polls a second, under
// 10 % of a core with the wineserver's share). A thousand selected terminals
// are each polled every 100 ticks (5 s): the lag of a band behind a terminal
// moved by someone else, where the system does not report the move.
constexpr std::size_t kMaxPollsPerTick = 10;
// The most bands one tick makes: each is four windows, and making one costs
// several milliseconds under Wine. A selection change makes this many at
// once, so fifty selected terminals show their bands together; Tilewick's
// own actions make all that are missing.
constexpr std::size_t kMaxBandsMadePerTick = 4;
// After Tilewick moved, hid or raised terminals, this many bands are put in
// place at once and as many on each quick tick after, so the loop answers
// between them (timer messages come only when no input waits): a thousand
// arranged terminals have their bands back within some seconds.
constexpr std::size_t kBandsPlacedAtOnce = 16;
constexpr unsigned kBandCatchUpMs = 10;
constexpr std::size_t kBandsMadeOnSelection = 64;
// Under Wine, making a band's windows and painting them each cost about a
// third of showing a band, so bands are made and painted ahead for as many
// terminals as a selection shows at once (or as many as are listed without
// one), one on each spare tick: the timer's messages come only when no input
// waits.
constexpr std::size_t kSpareBands = kBandsMadeOnSelection;
constexpr unsigned kSpareTickMs = 15;
constexpr std::uintptr_t kSpareTimerId = 3;

// The ring's width at a DPI (0 or absurd DPIs count as 96).
int bandThickness(unsigned dpi);
// The band's window rectangle over a terminal's frame, cut a thickness
// beyond the displays (or, with none known, where window coordinates end);
// empty when no ring fits inside.
platform::Rect bandBounds(const platform::Rect& frame, int thickness,
                          const std::vector<MonitorRecord>& displays);
// How many terminals one tick polls, of `count` banded ones.
std::size_t pollsPerTick(std::size_t count);
// The four edge windows of a ring over `bounds`: top, bottom, left, right.
void bandEdgeRects(const platform::Rect& bounds, int thickness, platform::BandEdgeRects& rects);

// Bands for exactly the selected terminals (new ones made, deselected ones
// gone), then every terminal polled. Ends every change of the selection.
void followSelection();
// Every terminal followed, as after Tilewick moved, hid or raised terminals,
// or the displays changed: a chunk now, the rest on the next ticks.
void followNow();
// The timer's share: the next chunk owed, else the next terminals in turn.
void followTick();
// No band remains, nor any spare edge: at exit.
void removeBands();
// The spare timer's share: the next spare band made, painted for the next
// listed terminal that has neither band nor spare.
void stockSpareBands();
// The system reported a change of `window`, or of the z-order (nullptr):
// the bands concerned follow at once.
void terminalChanged(platform::WindowHandle window);
// Tilewick's window was minimised (every band hidden, nothing followed) or
// shown again (every terminal followed at once).
void pauseBands(bool paused);
