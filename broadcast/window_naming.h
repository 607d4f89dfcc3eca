// Warnings that name terminal windows by their titles, bounded so that a
// message box stays readable whatever the titles and however many there are.
#pragma once

#include "registry/window_record.h"

#include <string>
#include <vector>

// The caption of every warning box.
constexpr char16_t kWarningCaption[] = u"警告";

// Records of the windows to name; they must outlive the call.
using NamedWindows = std::vector<const WindowRecord*>;

// The warning and then the windows' titles, one a line: at most ten, each cut
// to 60 units (never half a character), and how many more there are.
std::u16string namingWindows(const char16_t* warning, const NamedWindows& windows);
