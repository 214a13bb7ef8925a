#include "game/Selection.h"

namespace vellumi {

std::int16_t nextGridSize(std::int16_t gridSize)
{
    if (gridSize < 3 || gridSize > 6)
        return gridSize;
    return static_cast<std::int16_t>(gridSize == 6 ? 3 : gridSize + 1);
}

std::int16_t previousGridSize(std::int16_t gridSize)
{
    if (gridSize < 3 || gridSize > 6)
        return gridSize;
    return static_cast<std::int16_t>(gridSize == 3 ? 6 : gridSize - 1);
}

std::int16_t nextPicture(std::int16_t picNo, std::int16_t picCount)
{
    const int next = picNo + 1;
    return static_cast<std::int16_t>(next > picCount ? 1 : next);
}

std::int16_t previousPicture(std::int16_t picNo, std::int16_t picCount)
{
    const int previous = picNo - 1;
    return static_cast<std::int16_t>(previous < 1 ? picCount : previous);
}

} // namespace vellumi
