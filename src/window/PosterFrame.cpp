#include "window/PosterFrame.h"

#include "pagegen/HtmlText.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

namespace reelkeep {

namespace {

/// The first dropped file that the image readers know, or the empty text.
QString droppedImage(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !QImageReader::imageFormat(url.toLocalFile()).isEmpty())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

PosterFrame::PosterFrame(QWidget* parent)
    : QGroupBox(QStringLiteral("Image"), parent)
{
    setAcceptDrops(true);
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("imgPoster"));
    m_picture->setAlignment(Qt::AlignCenter);
    // A poster's shape, as tall as the frame beside it.
    m_picture->setFixedSize(72, 100);
    m_picture->setFrameShape(QFrame::StyledPanel);
    m_picture->setToolTip(QStringLiteral("Drop an image file here to use it as the Source"));
    showPlaceholder();
    m_fields = new QFormLayout;
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_picture);
    layout->addLayout(m_fields, 1);
}

QString PosterFrame::fileOf(const QString& source, const QString& folder)
{
    // Only local files: a web address is never fetched, and a relative path with no list folder
    // leads nowhere.
    const QString file = sourceFile(source, folder);
    return QDir::isAbsolutePath(file) ? file : QString();
}

QString PosterFrame::sourceFor(const QString& path, const QString& folder)
{
    if (!folder.isEmpty()) {
        const QString relative = QDir(folder).relativeFilePath(path);
        if (!relative.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(relative))
            return relative;
    }
    return QDir::fromNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QSize PosterFrame::pictureSize() const
{
    return m_picture->contentsRect().size() * m_picture->devicePixelRatioF();
}

void PosterFrame::showPicture(const QString& source, const QString& folder)
{
    const quint64 request = ++m_request;
    const QString file = fileOf(source, folder);
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        showPlaceholder();
        return;
    }
    const QSize room = pictureSize();
    const QPointer<PosterFrame> frame(this);
    // A large file takes its time: it is read and scaled away from the window's thread.
    QThreadPool::globalInstance()->start([frame, request, file, room] {
        QImageReader reader(file);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (size.isValid())
            reader.setScaledSize(size.scaled(room, Qt::KeepAspectRatio));
        const QImage image = reader.read();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [frame, request, image] {
                if (frame)
                    frame->pictureRead(request, image);
            },
            Qt::QueuedConnection);
    });
}

void PosterFrame::pictureRead(quint64 request, const QImage& image)
{
    if (request != m_request)
        return; // a later Source was asked for meanwhile
    if (image.isNull()) {
        showPlaceholder();
        return;
    }
    QPixmap picture = QPixmap::fromImage(image);
    picture.setDevicePixelRatio(m_picture->devicePixelRatioF());
    m_picture->setText(QString());
    m_picture->setPixmap(picture);
    // A picture has no text to be named by; the placeholder's text names it.
    m_picture->setAccessibleName(QStringLiteral("Poster"));
    m_picture->setAccessibleDescription(QStringLiteral("The film's picture"));
}

void PosterFrame::showPlaceholder()
{
    m_picture->setPixmap(QPixmap());
    m_picture->setText(QStringLiteral("No picture"));
    m_picture->setAccessibleName(QString());
    m_picture->setAccessibleDescription(QStringLiteral("The film's picture"));
}

void PosterFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedImage(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void PosterFrame::dropEvent(QDropEvent* event)
{
    const QString path = droppedImage(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    emit imageDropped(path);
}

} // namespace reelkeep
