#include "game/Records.h"

#include "game/TextFields.h"

#include <vector>

namespace vellumi {

namespace {

constexpr std::string_view header = "vellumi records 1";

std::vector<std::string_view> fieldsOf(std::string_view line, std::size_t count)
{
    std::vector<std::string_view> fields;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos)
            return {};
        fields.push_back(line.substr(0, space));
        line.remove_prefix(space + 1);
    }
    fields.push_back(line);
    return fields;
}

// "-" for a best not yet set. A best may be 0: a board already in order ends at its first
// press without a move, and the clock stands still while the window is out of sight.
template <typename T>
bool readBest(std::string_view field, T high, std::optional<T>& best)
{
    if (field == "-")
        best.reset();
    else if (const auto value = text::number(field, T(0), high))
        best = value;
    else
        return false;
    return true;
}

template <typename T>
std::string bestText(const std::optional<T>& best)
{
    return best ? std::to_string(*best) : std::string("-");
}

} // namespace

NewBest Records::add(const Key& key, const std::string& name, int moves, std::int64_t milliseconds, bool helped)
{
    Record& record = records[key];
    ++record.finished;
    record.name = name;
    if (helped)
        return {};
    const NewBest better{!record.fewestMoves || moves < *record.fewestMoves,
                         !record.shortestMilliseconds || milliseconds < *record.shortestMilliseconds};
    if (better.moves)
        record.fewestMoves = moves;
    if (better.time)
        record.shortestMilliseconds = milliseconds;
    return better;
}

std::string Records::format() const
{
    std::string file = std::string(header) + '\n';
    for (const auto& [key, record] : records)
        file += key.first + ' ' + std::to_string(key.second) + ' ' + std::to_string(record.finished) + ' ' +
                bestText(record.fewestMoves) + ' ' + bestText(record.shortestMilliseconds) + ' ' +
                text::escapeLine(record.name) + '\n';
    return file;
}

std::optional<Records> Records::parse(std::string_view file)
{
    if (file.substr(0, header.size() + 1) != std::string(header) + '\n')
        return std::nullopt;
    file.remove_prefix(header.size() + 1);
    Records result;
    while (!file.empty()) {
        const std::size_t end = file.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt;
        const auto fields = fieldsOf(file.substr(0, end), 6);
        file.remove_prefix(end + 1);
        if (fields.empty())
            return std::nullopt;
        Record record;
        const auto size = text::number(fields[1], 3, 6);
        const auto finished = text::number(fields[2], 1, 1 << 30);
        const auto name = text::unescapeLine(fields[5]);
        if (!text::isFingerprint(fields[0]) || !size || !finished || !name ||
            !readBest(fields[3], 1 << 30, record.fewestMoves) ||
            !readBest(fields[4], std::int64_t(1) << 50, record.shortestMilliseconds))
            return std::nullopt;
        record.finished = *finished;
        record.name = *name;
        if (!result.records.emplace(Key(fields[0], *size), std::move(record)).second)
            return std::nullopt;
    }
    return result;
}

} // namespace vellumi
