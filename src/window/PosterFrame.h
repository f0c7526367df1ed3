// The "Image" frame of the film editor: the picture its Source names, and a drop target for
// image files.
#pragma once

#include <QGroupBox>
#include <QImage>

class QFormLayout;
class QLabel;

namespace reelkeep {

class PosterFrame : public QGroupBox
{
    Q_OBJECT

public:
    explicit PosterFrame(QWidget* parent = nullptr);

    /// The captions and fields beside the picture.
    QFormLayout* fields() const { return m_fields; }

    /// Shows the picture a Source names: a local image file, absolute or relative to folder
    /// (the list file's folder, empty when there is none). Anything else shows the placeholder.
    /// The file is read and scaled on a worker thread; only the last request is shown.
    void showPicture(const QString& source, const QString& folder);

    /// The Source text for a dropped file: relative to folder when the file lies below it.
    static QString sourceFor(const QString& path, const QString& folder);
    /// The local file a Source names, or the empty text when it names none.
    static QString fileOf(const QString& source, const QString& folder);

signals:
    /// An image file was dropped on the frame.
    void imageDropped(const QString& path);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void pictureRead(quint64 request, const QImage& image);
    void showPlaceholder();
    QSize pictureSize() const;

    QLabel* m_picture = nullptr;
    QFormLayout* m_fields = nullptr;
    quint64 m_request = 0;
};

} // namespace reelkeep
