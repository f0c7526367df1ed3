// The covers' thumbnails: read on worker threads, newest request first, and cached.
#include "window/CoverThumbnails.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QTimer>

namespace reelkeep {

namespace {

/// What a thumbnail's name and bookkeeping take beside its pixels, about.
constexpr qsizetype EntryBytes = 64;

// The picture of an image file scaled to fit a box, never enlarged; a null image for a file that
// holds none. Runs on a worker thread.
QImage readThumbnail(const QString& file, QSize box)
{
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    const bool large = size.width() > box.width() || size.height() > box.height();
    if (size.isValid() && large)
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (!image.isNull() && (image.width() > box.width() || image.height() > box.height()))
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

qsizetype bytesOf(const QString& file, const QPixmap& thumbnail)
{
    const qsizetype pixels = qsizetype(thumbnail.width()) * thumbnail.height() * thumbnail.depth() / 8;
    return pixels + file.size() * qsizetype(sizeof(QChar)) + EntryBytes;
}

} // namespace

CoverThumbnails::CoverThumbnails(QObject* parent)
    : QObject(parent)
{
    m_readers.setMaxThreadCount(ReadsAtOnce);
    setDevicePixelRatio(1.0);
}

// The readers finish before the thumbnails they were reading for go.
CoverThumbnails::~CoverThumbnails()
{
    m_readers.clear();
    m_readers.waitForDone();
}

void CoverThumbnails::setDevicePixelRatio(qreal ratio)
{
    if (ratio == m_ratio && !m_placeholder.isNull())
        return;
    m_ratio = ratio;
    m_cache.clear();
    // An empty frame of a thumbnail's size, where a cover is on its way.
    m_placeholder = QPixmap(Box * ratio);
    m_placeholder.setDevicePixelRatio(ratio);
    m_placeholder.fill(Qt::transparent);
    QPainter painter(&m_placeholder);
    painter.setPen(QGuiApplication::palette().color(QPalette::Mid));
    painter.drawRect(QRect(QPoint(0, 0), Box).adjusted(0, 0, -1, -1));
}

QPixmap CoverThumbnails::thumbnail(const QString& file)
{
    if (const QPixmap* cached = m_cache.object(file))
        return *cached;
    if (!m_waiting.contains(file)) {
        m_waiting.insert(file);
        m_asked.append(file);
    }
    // The reads start once the rows being painted have all asked for theirs.
    if (!m_startIsDue) {
        m_startIsDue = true;
        QTimer::singleShot(0, this, &CoverThumbnails::startReads);
    }
    return m_placeholder;
}

void CoverThumbnails::startReads()
{
    m_startIsDue = false;
    // A file asked for by a row scrolled away since is read again only when a row shows it again.
    if (m_shownFiles && !m_asked.isEmpty()) {
        const QSet<QString> shown = m_shownFiles();
        for (qsizetype i = m_asked.size() - 1; i >= 0; --i) {
            if (!shown.contains(m_asked[i]))
                m_waiting.remove(m_asked.takeAt(i));
        }
    }
    const QSize box = Box * m_ratio;
    while (m_reading < ReadsAtOnce && !m_asked.isEmpty()) {
        const QString file = m_asked.takeLast();
        ++m_reading;
        ++m_readsStarted;
        m_readers.start([this, file, box] {
            const QImage image = readThumbnail(file, box);
            QMetaObject::invokeMethod(
                this, [this, file, image] { read(file, image); }, Qt::QueuedConnection);
        });
    }
}

void CoverThumbnails::read(const QString& file, const QImage& image)
{
    --m_reading;
    m_waiting.remove(file);
    auto* thumbnail = new QPixmap(QPixmap::fromImage(image));
    thumbnail->setDevicePixelRatio(m_ratio);
    m_cache.insert(file, thumbnail, bytesOf(file, *thumbnail));
    emit thumbnailRead();
    startReads();
}

} // namespace reelkeep
