// The folder beside a list file that keeps copies of its films' covers, so that the list and its
// pictures move together.
#pragma once

#include <QString>

namespace reelkeep {

/// The folder that keeps a list file's covers: "NAME covers" beside NAME.rkf.
QString coverFolderOf(const QString& listFile);

/// What keeping a cover with a list gave: the Source text naming the copy relative to the list's
/// folder, or the reason no copy could be made.
struct KeptCover
{
    QString source;
    QString failure;
};

/// Copies an image into the list's cover folder, making the folder when it is missing. A file of
/// the same name there holding the same bytes is taken as the copy; a different one is never
/// replaced: the copy takes the first free name "NAME (2).jpg", "NAME (3).jpg"... An image already
/// in the folder is named where it is.
KeptCover keepCoverWithList(const QString& image, const QString& listFile);

} // namespace reelkeep
