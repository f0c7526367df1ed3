// Copies of covers beside the list file, under names that never replace another picture.
#include "storage/CoverFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace reelkeep {

namespace {

/// The tries at a free name before the copy gives up: a folder holding that many pictures of
/// one name is not one a person keeps.
constexpr int MaxNameTries = 1000;

bool sameBytes(const QString& left, const QString& right)
{
    QFile a(left);
    QFile b(right);
    if (a.size() != b.size() || !a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 Chunk = 64 * 1024;
    while (!a.atEnd()) {
        if (a.read(Chunk) != b.read(Chunk))
            return false;
    }
    return true;
}

// "poster.jpg", then "poster (2).jpg", "poster (3).jpg"...
QString candidateName(const QFileInfo& image, int attempt)
{
    if (attempt == 1)
        return image.fileName();
    const QString suffix = image.suffix();
    const QString numbered = QStringLiteral("%1 (%2)").arg(image.completeBaseName()).arg(attempt);
    return suffix.isEmpty() ? numbered : numbered + QLatin1Char('.') + suffix;
}

} // namespace

QString coverFolderOf(const QString& listFile)
{
    const QFileInfo list(listFile);
    return QDir(list.absolutePath()).filePath(list.completeBaseName() + QStringLiteral(" covers"));
}

KeptCover keepCoverWithList(const QString& image, const QString& listFile)
{
    const QFileInfo source(image);
    const QDir listFolder = QFileInfo(listFile).absoluteDir();
    const QDir folder(coverFolderOf(listFile));
    const auto sourceOf = [&listFolder](const QString& copy) {
        return KeptCover{QDir::fromNativeSeparators(listFolder.relativeFilePath(copy)), {}};
    };
    if (!source.isFile())
        return {{}, QStringLiteral("%1 is no file").arg(QDir::toNativeSeparators(image))};
    if (source.absoluteDir() == folder)
        return sourceOf(source.absoluteFilePath());
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        return {{},
                QStringLiteral("could not make the folder %1").arg(QDir::toNativeSeparators(folder.path()))};
    for (int attempt = 1; attempt <= MaxNameTries; ++attempt) {
        const QString copy = folder.filePath(candidateName(source, attempt));
        if (QFileInfo::exists(copy)) {
            if (sameBytes(image, copy))
                return sourceOf(copy);
            continue;
        }
        // QFile::copy never replaces a file, so one made meanwhile by another program is safe too.
        QFile file(image);
        if (file.copy(copy))
            return sourceOf(copy);
        if (!QFileInfo::exists(copy))
            return {{},
                    QStringLiteral("could not copy it to %1: %2")
                        .arg(QDir::toNativeSeparators(copy), file.errorString())};
    }
    return {{}, QStringLiteral("%1 holds no free name for it").arg(QDir::toNativeSeparators(folder.path()))};
}

} // namespace reelkeep
