// Bands: a coloured ring on every selected terminal that is shown, so the
// user sees where the next keystroke goes. Each band sits directly above its
// terminal in the z-order. Other programs' windows give no notice of changes
// under Wine, so the terminals are polled: a bounded share on each tick,
// and all of them right after Tilewick's own actions.
#pragma once

#include "platform/platform.h"

#include <cstddef>

constexpr const char16_t* kBandClassName = u"TilewickBand";
// RGB 255,128,0: reads as "armed" on light and dark desktops alike.
constexpr unsigned char kBandRed = 255, kBandGreen = 128, kBandBlue = 0;
constexpr int kBandThickness96 = 3;
constexpr unsigned kBandTickMs = 50;
// Every terminal is polled once per this many ticks (while the share fits
// the bound below): 200 ms.
constexpr std::size_t kTicksPerRound = 4;
// The most terminals polled in one tick, so a thousand selected terminals
// still leave the thread free.
constexpr std::size_t kMaxPollsPerTick = 64;
// The most band windows one tick makes: making one costs several
// milliseconds under Wine. A selection change makes as many as a tick polls,
// Tilewick's own actions all that are missing.
constexpr std::size_t kMaxBandsMadePerTick = 8;

// The ring's width at a DPI (0 or absurd DPIs count as 96).
int bandThickness(unsigned dpi);
// The band's window rectangle over a terminal's frame, kept within the
// coordinates windows can take; empty when no ring fits inside.
platform::Rect bandBounds(const platform::Rect& frame, int thickness);
// How many terminals one tick polls, of `count` banded ones.
std::size_t pollsPerTick(std::size_t count);

// Bands for exactly the selected terminals (new ones made, deselected ones
// gone), then every terminal polled. Ends every change of the selection.
void followSelection();
// Every terminal polled now: after Tilewick moved, hid or raised terminals,
// or the displays changed.
void followNow();
// The timer's share: the next terminals in turn.
void followTick();
// No band remains: at exit.
void removeBands();
