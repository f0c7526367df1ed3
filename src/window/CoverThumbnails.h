// Small pictures of the films' covers for the film table, read on worker threads as rows show
// them and kept in a cache of bounded size.
#pragma once

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QThreadPool>

#include <functional>

namespace reelkeep {

class CoverThumbnails : public QObject
{
    Q_OBJECT

public:
    /// The box a thumbnail fits, in the window's pixels: a poster's shape.
    static constexpr QSize Box{32, 48};
    /// The most bytes the thumbnails kept take, their pixels and names; the ones painted longest
    /// ago go first. 16 MiB holds 2,700 thumbnails of a full box at one screen pixel a pixel.
    static constexpr qsizetype CacheBytes = qsizetype(16) << 20;
    /// Images read at once.
    static constexpr int ReadsAtOnce = 2;

    explicit CoverThumbnails(QObject* parent = nullptr);
    ~CoverThumbnails() override;

    /// The thumbnail of an image file (an absolute path): the picture once read, a placeholder
    /// while it is read, a null pixmap for a file that holds no picture. Asking for a thumbnail not
    /// read yet asks for its reading.
    QPixmap thumbnail(const QString& file);
    /// Thumbnails for a screen of this many screen pixels a pixel.
    void setDevicePixelRatio(qreal ratio);
    /// The files of the covers the rows on show want: a file asked for that no row shows any
    /// longer is not read.
    void setShownFiles(std::function<QSet<QString>()> shownFiles) { m_shownFiles = std::move(shownFiles); }

    /// The bytes the thumbnails kept take now.
    qsizetype cachedBytes() const { return m_cache.totalCost(); }
    /// The images read so far (those being read included).
    int readsStarted() const { return m_readsStarted; }

signals:
    /// A thumbnail was read: the rows that showed its placeholder may show it now.
    void thumbnailRead();

private:
    void startReads();
    void read(const QString& file, const QImage& image);

    QCache<QString, QPixmap> m_cache{CacheBytes};
    QPixmap m_placeholder;
    qreal m_ratio = 1.0;
    /// Files asked for, the latest last, and those being read.
    QStringList m_asked;
    QSet<QString> m_waiting;
    int m_reading = 0;
    int m_readsStarted = 0;
    bool m_startIsDue = false;
    std::function<QSet<QString>()> m_shownFiles;
    QThreadPool m_readers;
};

} // namespace reelkeep
