#include "game/KeptGame.h"

#include "game/History.h"
#include "game/SolverBoard.h"
#include "game/TextFields.h"

#include <map>
#include <stdexcept>

namespace vellumi {

namespace {

constexpr std::string_view header = "vellumi kept game 1";
// A 6 × 6 game of a million moves is a week of presses; anything longer was not written by us.
constexpr std::size_t maxSteps = 1'000'000;
constexpr std::int64_t maxMilliseconds = 10LL * 365 * 24 * 3600 * 1000;

std::optional<std::vector<int>> numbers(std::string_view field, int low, int high, bool restarts, std::size_t most)
{
    std::vector<int> list;
    while (!field.empty()) {
        const std::size_t comma = field.find(',');
        const std::string_view item = field.substr(0, comma);
        const auto value =
            restarts && item == "R" ? std::optional<int>(History::restartStep) : text::number(item, low, high);
        if (!value || list.size() == most)
            return std::nullopt;
        list.push_back(*value);
        field = comma == std::string_view::npos ? std::string_view() : field.substr(comma + 1);
        if (comma != std::string_view::npos && field.empty())
            return std::nullopt;
    }
    return list;
}

std::string joined(const std::vector<int>& list)
{
    std::string field;
    for (const int value : list) {
        if (!field.empty())
            field += ',';
        field += value == History::restartStep ? std::string("R") : std::to_string(value);
    }
    return field;
}

// Each of 0 … n² − 1 once, arranged so that slides can bring it home.
bool isPlayable(const std::vector<int>& board, int n)
{
    try {
        solver::boardOf({n, std::vector<std::int8_t>(board.begin(), board.end())});
        return true;
    } catch (const std::invalid_argument&) {
        return false;
    }
}

} // namespace

std::string formatKeptGame(const KeptGame& game)
{
    return std::string(header) + "\npicture=" + text::escapeLine(game.picture) + "\ncontent=" + game.content +
           "\nsize=" + std::to_string(game.gridSize) + "\nstart=" + joined(game.startBoard) +
           "\nsteps=" + joined(game.steps) + "\nposition=" + std::to_string(game.position) +
           "\ntime=" + std::to_string(game.milliseconds) + "\nhelped=" + (game.helped ? "1" : "0") + "\n";
}

std::optional<KeptGame> parseKeptGame(std::string_view file)
{
    std::map<std::string_view, std::string_view> fields;
    bool first = true;
    while (!file.empty()) {
        const std::size_t end = file.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt; // cut short
        const std::string_view line = file.substr(0, end);
        file.remove_prefix(end + 1);
        if (std::exchange(first, false)) {
            if (line != header)
                return std::nullopt;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || !fields.emplace(line.substr(0, equals), line.substr(equals + 1)).second)
            return std::nullopt;
    }
    if (first || fields.size() != 8)
        return std::nullopt;
    KeptGame game;
    const auto size = text::number(fields["size"], 3, 6);
    const auto picture = text::unescapeLine(fields["picture"]);
    if (!size || !picture || picture->empty() || !text::isFingerprint(fields["content"]))
        return std::nullopt;
    const int cells = *size * *size;
    const auto start = numbers(fields["start"], 0, cells - 1, false, std::size_t(cells));
    const auto steps = numbers(fields["steps"], 0, cells - 1, true, maxSteps);
    const auto position = text::number<std::size_t>(fields["position"], 0, steps ? steps->size() : 0);
    const auto time = text::number<std::int64_t>(fields["time"], 0, maxMilliseconds);
    const auto helped = text::number(fields["helped"], 0, 1);
    if (!start || int(start->size()) != cells || !isPlayable(*start, *size) || !steps || !position || !time || !helped)
        return std::nullopt;
    return KeptGame{*picture, std::string(fields["content"]), *size, *start, *steps, *position, *time, *helped == 1};
}

} // namespace vellumi
