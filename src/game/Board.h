#pragma once

#include "game/GameState.h"

namespace vellumi {

// Puts the live board back to the arrangement the game started from (cells 0 … n² − 1 only).
void resetBoard(GameState& state);

} // namespace vellumi
