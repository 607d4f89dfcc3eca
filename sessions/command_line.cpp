#include "sessions/command_line.h"

std::u16string quotedArgument(std::u16string_view argument) {
    std::u16string quoted = u"\"";
    std::size_t backslashes = 0;
    for (const char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
        } else {
            if (c == u'"')
                quoted.append(backslashes + 1, u'\\');  // the run doubled, then the quote's own
            backslashes = 0;
        }
        quoted += c;
    }
    quoted.append(backslashes, u'\\');  // the run before the closing quote, doubled
    return quoted + u"\"";
}

std::u16string puttyCommandLine(std::u16string_view putty, std::u16string_view session) {
    return u"\"" + std::u16string(putty) + u"\" -load " + quotedArgument(session);
}
