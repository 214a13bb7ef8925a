#include "game/PictureCount.h"

#include <algorithm>
#include <istream>
#include <limits>

namespace vellumi {

namespace {

bool isBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool endsField(int c)
{
    return isBlank(c) || c == ',';
}

} // namespace

PictureCount readPictureCount(std::istream& in)
{
    constexpr int eof = std::char_traits<char>::eof();
    // A byte-order mark written by an editor is not part of the number.
    int c = in.get();
    if (c == 0xEF) {
        if (in.get() != 0xBB || in.get() != 0xBF)
            return {.error = CountError::NotANumber};
        c = in.get();
    }
    while (c != eof && isBlank(c))
        c = in.get();
    if (c == eof)
        return {.error = in.bad() ? CountError::Unreadable : CountError::Empty};
    const bool negative = c == '-';
    if (c == '+' || c == '-')
        c = in.get();
    // Read digit by digit, so that any number of leading zeros is harmless and a huge field
    // costs no memory; the value stops growing once it is out of range anyway.
    long value = 0;
    bool digits = false;
    for (; c != eof && !endsField(c); c = in.get()) {
        if (c < '0' || c > '9')
            return {.error = CountError::NotANumber};
        digits = true;
        value = std::min(value * 10 + (c - '0'), 100000L);
    }
    if (in.bad())
        return {.error = CountError::Unreadable};
    if (!digits)
        return {.error = CountError::NotANumber};
    value = negative ? -value : value;
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        return {.error = CountError::OutOfRange};
    return {static_cast<std::int16_t>(value), CountError::None};
}

} // namespace vellumi
