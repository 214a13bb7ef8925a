#pragma once

#include <functional>

namespace vellumi {

// SIGTERM and SIGHUP, as a logout or `kill` sends them, turned into a call on the event loop,
// so that the program ends as its close button ends it: with the game in hand kept.
void onTerminationSignal(std::function<void()> handler);

} // namespace vellumi
