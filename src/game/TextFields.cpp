#include "game/TextFields.h"

namespace vellumi::text {

std::string escapeLine(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == '%')
            escaped += {'%', hex[byte >> 4], hex[byte & 15]};
        else
            escaped += c;
    }
    return escaped;
}

std::optional<std::string> unescapeLine(std::string_view text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            plain += text[i];
            continue;
        }
        unsigned byte = 0;
        const char* digits = text.data() + i + 1;
        if (i + 2 >= text.size() || std::from_chars(digits, digits + 2, byte, 16).ptr != digits + 2)
            return std::nullopt;
        plain += static_cast<char>(byte);
        i += 2;
    }
    return plain;
}

bool isFingerprint(std::string_view text)
{
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

} // namespace vellumi::text
