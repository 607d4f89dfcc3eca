// Bounded UTF-16 formatting into a fixed, zero-filled buffer.
//
// Every debug line, label and path Tilewick formats goes through this: text
// that does not fit is cut and the buffer always ends in a terminator, so no
// input can write past it. `overflowed()` tells a caller that must not use a
// cut result (a file path) from one that may (a debug line).
#pragma once

#include <cstddef>
#include <string>

template <std::size_t N> class BoundedText {
    static_assert(N >= 1, "room for the terminator");

public:
    BoundedText() { clear(); }

    void clear() {
        for (auto& c : buffer_)
            c = 0;
        length_ = 0;
        overflowed_ = false;
    }

    BoundedText& text(const char16_t* s) {
        for (; s && *s; ++s)
            put(*s);
        return *this;
    }

    BoundedText& text(const std::u16string& s) { return text(s.c_str()); }

    // A decimal integer, left-aligned in a field of at least `width` units.
    BoundedText& number(long long value, std::size_t width = 0) {
        char16_t digits[24];
        std::size_t n = 0;
        unsigned long long v = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                         : static_cast<unsigned long long>(value);
        do {
            digits[n++] = static_cast<char16_t>(u'0' + v % 10);
            v /= 10;
        } while (v);
        std::size_t written = n + (value < 0 ? 1 : 0);
        if (value < 0)
            put(u'-');
        while (n)
            put(digits[--n]);
        for (; written < width; ++written)
            put(u' ');
        return *this;
    }

    const char16_t* c_str() const { return buffer_; }
    std::size_t size() const { return length_; }
    bool overflowed() const { return overflowed_; }
    std::u16string str() const { return std::u16string(buffer_, length_); }

private:
    void put(char16_t c) {
        if (length_ + 1 < N)
            buffer_[length_++] = c;
        else
            overflowed_ = true;
    }

    char16_t buffer_[N];
    std::size_t length_ = 0;
    bool overflowed_ = false;
};
