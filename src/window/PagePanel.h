// The page panel on "Genral": makes the page of the catalogue and shows how it goes, in the line
// that says what the last command did, the template's label and the progress bar.
#pragma once

#include "desktop/DesktopServices.h"
#include "evaluator/Equation_Evaluater.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageHost.h"

#include <QWidget>

#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace reelkeep {

class Catalogue;
class PageTexts;
struct PageRunOutcome;

class PagePanel : public QWidget, private PageContext
{
    Q_OBJECT

public:
    /// Makes the page of the catalogue's films with the page texts; the stop button goes beside
    /// the progress bar.
    PagePanel(DesktopServices& desktop,
              const Catalogue& catalogue,
              const PageTexts& pageTexts,
              QPushButton* stop,
              QWidget* parent = nullptr);

    /// The questions before a page run: the page's file, which may be none that the run would
    /// refuse (it says why), and "Replace File?" for a file that exists. Nothing when the user
    /// does not go on.
    std::optional<QString> askForPage(const QString& listFile);
    /// Runs the main template into the page at path.
    PageRunOutcome run(const QString& path, const QString& listFile);
    /// Shows how the run ended, and tells what needs telling.
    void showOutcome(const PageRunOutcome& outcome, const QString& path);
    bool isRunning() const { return m_filter.isRunning(); }
    /// Stops the page being made; it keeps what was written.
    void stop();

    /// The page the last run made, or the empty text.
    const QString& writtenPage() const { return m_writtenPage; }
    /// Shows the last page made in the browser.
    void openPage();
    /// The template warnings of the last run.
    const QList<TemplateWarning>& templateWarnings() const { return m_templateWarnings; }
    /// Lists the template warnings of the last run.
    void showWarnings();
    /// Says what a command did, in the line above the page's label.
    void showStatus(const QString& text);

signals:
    /// The last page made, or its template warnings, changed.
    void pageChanged();

private:
    const QList<FilmRecord>& films() const override;
    const ExtraFields& extraFields() const override;
    QString pageTitle() const override;
    QString pageDescription() const override;
    void setProgress(float position) override;
    void setLabel(const QString& text) override;

    DesktopServices& m_desktop;
    const Catalogue& m_catalogue;
    const PageTexts& m_pageTexts;
    FileDialogState m_pageDialog;
    File_Filter m_filter;
    Defalt_Functions m_functions;
    Equation_Evaluater m_evaluator;
    PageHost m_pageHost;
    QString m_writtenPage;
    QList<TemplateWarning> m_templateWarnings;
    /// What the last command did: which page was written last (Open Page shows it in the
    /// browser), or what the last import or save brought.
    QLabel* m_status = nullptr;
    QLabel* m_label = nullptr;
    QProgressBar* m_progress = nullptr;
};

} // namespace reelkeep
