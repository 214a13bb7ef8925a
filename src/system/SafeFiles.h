#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include <sys/stat.h>

namespace vellumi {

// Every file the game reads may be hostile: a pipe or a device under its name, a link, a file
// swapped while it is opened. These are the one way it opens, recognises and moves files.

// A file opened for reading only if it is a regular file: opened without blocking, so that a
// pipe or a device under its name is never waited on, and checked once open, so that one
// swapped in meanwhile is never read. Closes itself unless released. A file of the game's own
// may be asked not to be a link either.
class RegularFile {
public:
    explicit RegularFile(const QString& path, bool followLinks = true);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool isOpen() const { return fd >= 0; }
    // The errno of a failed opening, or 0 when what is there is not a regular file.
    int error() const { return openError; }
    const struct stat& info() const { return status; }
    // The descriptor, now the caller's to close.
    int release();

private:
    int fd = -1;
    int openError = 0;
    struct stat status {};
};

// Tells one version of a file or folder from another without reading it.
struct FileStamp {
    dev_t device{};
    ino_t inode{};
    off_t size{};
    std::int64_t modified{}; // nanoseconds since the epoch
    std::int64_t changed{};
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const struct stat& info);
// Nothing when there is nothing under that name.
std::optional<FileStamp> stampOf(const QString& path);

// A problem with a file, told to the player: the reason, then the file's name.
QString fileProblem(const QString& reason, const QString& fileName);

// Renames `from` to `to` unless something is there already, atomically where the file system
// can: no file of the player's is ever overwritten. Returns 0 or the errno of the failure
// (EEXIST when `to` is taken).
int moveWithoutReplacing(const QString& from, const QString& to);

// Moves a file that is not what the game wrote out of its way, never deleting it: to the first
// free one of `path.damaged`, `path.damaged-2`, … Returns where it went, or empty if it could not
// be moved.
QString setAside(const QString& path);

} // namespace vellumi
