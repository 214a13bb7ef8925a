#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

// The pieces of the game's own text files: kept games and records.
namespace vellumi::text {

// A line of text may hold any bytes but line breaks; these and % are written as %XX.
std::string escapeLine(std::string_view text);
std::optional<std::string> unescapeLine(std::string_view text);

// A picture's fingerprint as written: 64 lowercase hexadecimal digits.
bool isFingerprint(std::string_view text);

// A decimal number, all of `text` and nothing else, within low … high.
template <typename T>
std::optional<T> number(std::string_view text, T low, T high)
{
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace vellumi::text
