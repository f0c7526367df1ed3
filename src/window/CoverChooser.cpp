// Picking a cover: the open dialog, a dropped file, and the copy kept with the list.
#include "window/CoverChooser.h"

#include "storage/CoverFolder.h"
#include "storage/SettingsEntries.h"
#include "window/CommandRunner.h"
#include "window/Controls.h"
#include "window/PosterFrame.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace reelkeep {

namespace {

const QString ImagePatterns = QStringLiteral("*.jpg *.jpeg *.png *.gif *.bmp *.webp");

} // namespace

CoverChooser::CoverChooser(DesktopServices& desktop,
                           CommandRunner& runner,
                           QLineEdit& source,
                           PosterFrame& poster)
    : QObject(&poster)
    , m_desktop(desktop)
    , m_source(source)
    , m_browse(new QPushButton(QStringLiteral("Browse...")))
{
    m_browse->setObjectName(QStringLiteral("cmdBrowseCover"));
    m_browse->setAccessibleName(QStringLiteral("Browse for a cover"));
    m_browse->setAutoDefault(false);
    m_dialog.title = QStringLiteral("Cover");
    m_dialog.filter = QStringLiteral("Pictures (%1)|%1|All files (*)|*").arg(ImagePatterns);
    connect(m_browse, &QPushButton::clicked, this, runner.asCommand([this] { browseCommand(); }));
    connect(&poster, &PosterFrame::imageDropped, this, [this, &runner](const QString& path) {
        runner.run([this, &path] { choose(path); });
    });
}

QString CoverChooser::listFolder() const
{
    return m_listFile.isEmpty() ? QString() : QFileInfo(m_listFile).absolutePath();
}

void CoverChooser::browseCommand()
{
    // The dialog proposes the Source's picture, or opens in the list's folder (a pattern proposes
    // no name), or where the last picture was chosen.
    const QString shown = PosterFrame::fileOf(m_source.text(), listFolder());
    if (!shown.isEmpty())
        m_dialog.fileName = shown;
    else if (!listFolder().isEmpty())
        m_dialog.fileName = QDir(listFolder()).filePath(QStringLiteral("*"));
    if (m_desktop.openFileDialog(m_dialog) && !m_dialog.fileName.isEmpty())
        choose(m_dialog.fileName);
}

void CoverChooser::choose(const QString& picture)
{
    const QString whereItIs = PosterFrame::sourceFor(picture, listFolder());
    if (!readKeepCoversWithList(m_desktop)) {
        m_source.setText(whereItIs);
        return;
    }
    const QString shown = QDir::toNativeSeparators(picture);
    if (m_listFile.isEmpty()) {
        tell(m_desktop,
             QStringLiteral("%1 is used where it is: the list has no file yet to keep covers beside. Save "
                            "the list, then choose the cover again to keep a copy with it.")
                 .arg(shown));
        m_source.setText(whereItIs);
        return;
    }
    const KeptCover kept = keepCoverWithList(picture, m_listFile);
    if (!kept.failure.isEmpty())
        tell(m_desktop,
             QStringLiteral("Could not keep %1 with the list: %2. The Source names the picture where it is.")
                 .arg(shown, kept.failure));
    m_source.setText(kept.failure.isEmpty() ? kept.source : whereItIs);
}

} // namespace reelkeep
