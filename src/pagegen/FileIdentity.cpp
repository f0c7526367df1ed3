// File identities from the system's own description of a file.
#include "pagegen/FileIdentity.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace reelkeep {

std::optional<FileIdentity> identityOfFile(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat status;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0 ||
        !S_ISREG(status.st_mode))
        return std::nullopt;
    return FileIdentity{quint64(status.st_dev), quint64(status.st_ino), QString()};
#else
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return std::nullopt;
    return FileIdentity{0, 0, info.canonicalFilePath()};
#endif
}

} // namespace reelkeep
