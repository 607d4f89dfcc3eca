#include "arrange/dpi.h"

namespace {
// Windows allows scales up to 500 %; anything beyond is a misreading.
constexpr unsigned kMaxDpi = 480;
}  // namespace

unsigned usableDpi(unsigned reported) {
    return reported == 0 || reported > kMaxDpi ? kBaseDpi : reported;
}

int scaleToDpi(int length96, unsigned dpi) {
    const long long scaled = static_cast<long long>(length96) * dpi;
    const long long half = kBaseDpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kBaseDpi
                                        : -((-scaled + half) / kBaseDpi));
}
