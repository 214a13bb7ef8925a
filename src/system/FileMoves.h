#pragma once

#include <QString>

namespace vellumi {

// Renames `from` to `to` unless something is there already, atomically where the file system
// can: no file of the player's is ever overwritten. Returns 0 or the errno of the failure
// (EEXIST when `to` is taken).
int moveWithoutReplacing(const QString& from, const QString& to);

// Moves a file that is not what the game wrote out of its way, never deleting it: to the first
// free one of `path.damaged`, `path.damaged-2`, … Returns where it went, or empty if it could not
// be moved.
QString setAside(const QString& path);

} // namespace vellumi
