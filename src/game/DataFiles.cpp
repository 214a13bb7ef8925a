#include "game/DataFiles.h"

namespace vellumi {

namespace {
// A folder reported as the root ends in its separator already; do not double it.
std::string join(const std::string& folder, const char* relative)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + (relative + 1);
    return folder + relative;
}
} // namespace

std::string pictureCountFile(const std::string& programFolder)
{
    return join(programFolder, "/image/picture.txt");
}

std::string pictureFile(const std::string& programFolder, int number)
{
    return join(programFolder, "/image/angle") + std::to_string(number) + ".jpg";
}

std::string moveSoundFile(const std::string& programFolder)
{
    return join(programFolder, "/move.wav");
}

std::string readmeFile(const std::string& programFolder)
{
    return join(programFolder, "/readme.txt");
}

} // namespace vellumi
