// Which file a path leads to, told by the file itself rather than by its name: a hard link, a
// symbolic link or a path through ".." leads to the same file as its own name does.
#pragma once

#include <QString>

#include <optional>

namespace reelkeep {

struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    /// Where the system tells no inode: the path with every link and ".." resolved.
    QString canonicalPath;

    bool operator==(const FileIdentity&) const = default;
};

/// The identity of the regular file a path leads to, links followed; nothing when the path leads
/// to no regular file (none at all, a folder, a device).
std::optional<FileIdentity> identityOfFile(const QString& path);

} // namespace reelkeep
