#include "game/PictureCount.h"

#include <istream>
#include <limits>
#include <string>

namespace vellumi {

namespace {

bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool endsField(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ','; }

// No 16-bit number needs more characters than this; a longer field is refused without
// reading the rest of it.
constexpr std::size_t longestField = 32;

PictureCount parseField(const std::string& field)
{
    std::size_t i = (field[0] == '+' || field[0] == '-') ? 1 : 0;
    if (i == field.size())
        return {0, CountError::NotANumber};
    long long value = 0;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c < '0' || c > '9')
            return {0, CountError::NotANumber};
        value = value * 10 + (c - '0');
        if (value > 32768)
            return {0, CountError::OutOfRange};
    }
    if (field[0] == '-')
        value = -value;
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        return {0, CountError::OutOfRange};
    return {static_cast<std::int16_t>(value), CountError::None};
}

} // namespace

PictureCount readPictureCount(std::istream& in)
{
    // A byte-order mark written by an editor is not part of the number.
    int c = in.get();
    if (c == 0xEF) {
        if (in.get() != 0xBB || in.get() != 0xBF)
            return {0, CountError::NotANumber};
        c = in.get();
    }
    std::string field;
    while (c != std::char_traits<char>::eof() && isBlank(c))
        c = in.get();
    while (c != std::char_traits<char>::eof() && !endsField(c) && field.size() <= longestField) {
        field.push_back(static_cast<char>(c));
        c = in.get();
    }
    if (in.bad())
        return {0, CountError::Unreadable};
    if (field.empty())
        return {0, c == ',' ? CountError::NotANumber : CountError::Empty};
    if (field.size() > longestField)
        return {0, field.find_first_not_of("+-0123456789") == std::string::npos ? CountError::OutOfRange
                                                                                  : CountError::NotANumber};
    return parseField(field);
}

} // namespace vellumi
