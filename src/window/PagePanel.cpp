// The page panel on "Genral": the page run and how it went.
#include "window/PagePanel.h"

#include "catalogue/Catalogue.h"
#include "pagegen/PageRun.h"
#include "pagegen/widgets/frmWarnings.h"
#include "window/Controls.h"
#include "window/PageTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace reelkeep {

PagePanel::PagePanel(DesktopServices& desktop,
                     const Catalogue& catalogue,
                     const PageTexts& pageTexts,
                     QPushButton* stop,
                     QWidget* parent)
    : QWidget(parent)
    , m_desktop(desktop)
    , m_catalogue(catalogue)
    , m_pageTexts(pageTexts)
    , m_pageDialog{QStringLiteral("Make HTML"),
                   QStringLiteral("*.html|*.html"),
                   QStringLiteral("html"),
                   QString(),
                   1}
    , m_functions([&desktop] { return desktop.now(); })
    , m_evaluator(&m_functions, &m_pageHost)
    , m_pageHost(*this, m_filter, m_evaluator, templateFolderOf(desktop.applicationFolder()))
{
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setAccessibleDescription(QStringLiteral("What the last command did"));
    m_status->setWordWrap(true);
    m_label = new QLabel;
    m_label->setObjectName(QStringLiteral("iLabel"));
    m_label->setAccessibleDescription(QStringLiteral("Page status"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("iProgress"));
    m_progress->setAccessibleName(QStringLiteral("Page progress"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    auto* progress = new QHBoxLayout;
    progress->addWidget(m_progress, 1);
    progress->addWidget(stop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_status);
    layout->addWidget(m_label);
    layout->addLayout(progress);
}

std::optional<QString> PagePanel::askForPage(const QString& listFile)
{
    if (!m_desktop.saveFileDialog(m_pageDialog) || m_pageDialog.fileName.isEmpty())
        return std::nullopt;
    const QString path = m_pageDialog.fileName;
    const QString templateFolder = templateFolderOf(m_desktop.applicationFolder());
    // Refused before "Replace File?": the answer could not make such a page.
    if (const std::optional<QString> refusal = refusedPageOutput(path, templateFolder, listFile)) {
        tell(m_desktop, QStringLiteral("The page was not made: %1.").arg(*refusal));
        return std::nullopt;
    }
    if (!mayReplace(m_desktop, path))
        return std::nullopt;
    m_pageHost.setTemplateFolder(templateFolder);
    return path;
}

PageRunOutcome PagePanel::run(const QString& path, const QString& listFile)
{
    m_filter.setYield([this] { m_desktop.yield(); });
    m_writtenPage.clear();
    m_templateWarnings.clear();
    m_status->clear();
    emit pageChanged();
    return runPage(m_filter, m_evaluator, m_pageHost.templateFolder(), path, listFile);
}

void PagePanel::showOutcome(const PageRunOutcome& outcome, const QString& path)
{
    switch (outcome.result) {
    case PageRunOutcome::Result::Made:
        // iLabel keeps what the template last set; the line above it names the page.
        m_writtenPage = QFileInfo(path).absoluteFilePath();
        m_status->setText(QStringLiteral("Page written: %1").arg(QDir::toNativeSeparators(m_writtenPage)));
        break;
    case PageRunOutcome::Result::Stopped:
        // The user asked for it: the label says so, and nothing needs answering.
        m_label->setText(outcome.describe());
        break;
    case PageRunOutcome::Result::TemplateMissing:
    case PageRunOutcome::Result::Refused:
    case PageRunOutcome::Result::PageNotCreated:
        tell(m_desktop, QStringLiteral("The page was not made: %1.").arg(outcome.describe()));
        break;
    case PageRunOutcome::Result::Abandoned:
        // A page file that could not take the whole page is left as it was.
        tell(m_desktop,
             (outcome.reason.isEmpty()
                  ? QStringLiteral("The page stopped with %1. It holds what was written up to there.")
                  : QStringLiteral("The page was not made: %1."))
                 .arg(outcome.describe()));
        break;
    }
    // The count goes on the line that names the page, and Show Warnings lists them: a page with
    // warnings is still made, so nothing needs answering.
    m_templateWarnings = outcome.templateWarnings;
    if (!m_templateWarnings.isEmpty()) {
        const QString count = m_templateWarnings.size() == 1
                                  ? QStringLiteral("1 template warning")
                                  : QStringLiteral("%1 template warnings").arg(m_templateWarnings.size());
        const QString written = m_status->text();
        m_status->setText(written.isEmpty() ? count : written + QStringLiteral(" (%1)").arg(count));
    }
    emit pageChanged();
    // Templates read, but not as written: the page may show U+FFFD where their author saw text.
    for (const QString& warning : outcome.warnings)
        tell(m_desktop, QStringLiteral("%1.").arg(warning));
}

void PagePanel::stop()
{
    if (isRunning())
        m_filter.requestStop();
}

void PagePanel::openPage()
{
    m_desktop.openWebAddress(QUrl::fromLocalFile(m_writtenPage).toString());
}

void PagePanel::showWarnings()
{
    frmWarnings warnings(m_templateWarnings, this);
    warnings.exec();
}

void PagePanel::showStatus(const QString& text)
{
    m_status->setText(text);
}

const QList<FilmRecord>& PagePanel::films() const
{
    return m_catalogue.entries();
}

const ExtraFields& PagePanel::extraFields() const
{
    return m_catalogue.extraFields();
}

QString PagePanel::pageTitle() const
{
    return m_pageTexts.title();
}

QString PagePanel::pageDescription() const
{
    return m_pageTexts.description();
}

void PagePanel::setProgress(float position)
{
    m_progress->setValue(qRound(position));
}

void PagePanel::setLabel(const QString& text)
{
    m_label->setText(text);
}

} // namespace reelkeep
