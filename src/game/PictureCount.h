#pragma once

#include <cstdint>
#include <iosfwd>

namespace vellumi {

enum class CountError { None, Empty, NotANumber, OutOfRange, Unreadable };

struct PictureCount {
    std::int16_t value{};
    CountError error = CountError::None;
    bool ok() const { return error == CountError::None; }
};

// Reads the first field of the picture-count file the way sequential list input does:
// leading blanks and line breaks are skipped, the field ends at a blank, a comma or the end
// of a line, and nothing after it is read. The field must be a decimal whole number, with any
// number of leading zeros, that fits a 16-bit signed integer.
PictureCount readPictureCount(std::istream& in);

} // namespace vellumi
