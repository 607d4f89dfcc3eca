// The command line that starts PuTTY on one saved session.
#pragma once

#include <string>
#include <string_view>

// `argument` in double quotes, so that the rules of CommandLineToArgvW and
// of the C runtime give it back exactly: a quote becomes \", and backslashes
// are doubled where a quote follows them (the closing one included).
std::u16string quotedArgument(std::u16string_view argument);

// "<putty>" -load "<session>": the program's own path comes first, quoted
// plainly (a path holds no quote).
std::u16string puttyCommandLine(std::u16string_view putty, std::u16string_view session);
