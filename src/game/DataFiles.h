#pragma once

#include <string>

namespace vellumi {

// The game reads only files beside its own executable. Names are joined with '/', and the
// folder is passed through whole, so blanks and non-ASCII characters in it are harmless.
std::string pictureCountFile(const std::string& programFolder);
std::string pictureFile(const std::string& programFolder, int number);
std::string moveSoundFile(const std::string& programFolder);
std::string readmeFile(const std::string& programFolder);

} // namespace vellumi
