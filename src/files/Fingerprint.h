#pragma once

#include <QString>

#include <stop_token>
#include <string>

namespace vellumi {

// What a picture file holds, as 64 hexadecimal digits of its SHA-256: the same for the same
// bytes under any name, and another for any change. Empty when the file is no regular file or
// cannot be read, or once `stop` is requested.
std::string fingerprintOf(const QString& path, std::stop_token stop = {});

} // namespace vellumi
