#pragma once

#include "game/SolverBoard.h"

#include <cstddef>
#include <stop_token>
#include <vector>

// 4 × 4: iterative-deepening A* on additive pattern databases (Korf & Felner 2002).
namespace vellumi::solver {

// Builds the databases once, from whichever thread. Throws Stopped, leaving them to a later
// call, if `stop` ends the build.
void prepareFourByFour(std::stop_token stop);
std::size_t fourByFourBytes();

enum class SearchOutcome { Found, OutOfTime, Stopped };
// The presses that bring a 4 × 4 board home, found by the deadline. A weight above 10 tenths
// counts the heuristic that much over (weighted IDA*): a way found far sooner, at most that many
// times longer than the shortest and usually a few moves so.
SearchOutcome idaStar(const Board& start, int weightTenths, Clock::time_point deadline, std::stop_token stop,
                      std::vector<int>& presses);

} // namespace vellumi::solver
