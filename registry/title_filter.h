// The filter's matching rule: ASCII capitals fold to small letters, nothing
// else folds, and a title matches when it contains the filter as a run.
#pragma once

constexpr int kFilterUnits = 255;  // at most 254 units take part in matching

// Folds A-Z to a-z in place, up to the terminator.
void lowerAscii(char16_t* text);
// True when the lower-cased `title` contains `loweredFilter` (already folded).
bool titleMatches(const char16_t* title, const char16_t* loweredFilter);
