#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vellumi {

// The best of a picture at one difficulty. Bests count only games finished without a hint;
// every finished game counts towards `finished`.
struct Record {
    int finished = 0;
    std::optional<int> fewestMoves;
    std::optional<std::int64_t> shortestMilliseconds;
    std::string name; // the picture's file name when last finished, for the player to know it by
    bool operator==(const Record&) const = default;
};

// What a finished game bettered.
struct NewBest {
    bool moves{};
    bool time{};
};

// Every picture's records, keyed by the fingerprint of its content and the grid size, so that
// a picture keeps them wherever it lies among the others and loses them once it is changed.
class Records {
public:
    using Key = std::pair<std::string, int>;

    NewBest add(const Key& key, const std::string& name, int moves, std::int64_t milliseconds, bool helped);
    const std::map<Key, Record>& all() const { return records; }

    std::string format() const;
    static std::optional<Records> parse(std::string_view file);

private:
    std::map<Key, Record> records;
};

} // namespace vellumi
