#pragma once

#include <QString>

namespace vellumi {

// The one way the program gives up: a missing or unreadable data file. Shows the message in a
// box titled with the program's name, writes the same line to standard error and ends the
// program with status 1. The program writes no files, so nothing is lost by stopping here.
[[noreturn]] void fatalError(const QString& message);

} // namespace vellumi
