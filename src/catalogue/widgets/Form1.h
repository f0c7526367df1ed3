// The main window: the catalogue editor on "Movies", the page texts and commands on "Genral".
#pragma once

#include "catalogue/Catalogue.h"
#include "desktop/DesktopServices.h"
#include "evaluator/Equation_Evaluater.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageHost.h"
#include "storage/ListFile.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace reelkeep {

class Registry;

class Form1 : public QWidget, private PageContext
{
    Q_OBJECT

public:
    /// Builds the window and runs the start-up: histories, the auto-load file, the command line.
    Form1(DesktopServices& desktop, Registry& registry, QWidget* parent = nullptr);

    Catalogue& catalogue() { return m_catalogue; }
    /// The selected position of List1, or -1 for none.
    int selectedPosition() const;

    /// The Save command; returns true when a file was written.
    bool saveCommand();
    void loadCommand();
    /// Replaces the catalogue by a list file; only a user-started load reports a failure.
    bool loadList(const QString& path, ListForm form, bool reportFailure);

    /// The "Make HTML File" command: asks for the page's name and runs the main template.
    void makePageCommand();
    bool isMakingPage() const { return m_filter.isRunning(); }
    /// Stops the page being made; it keeps what was written.
    void stopPage();
    PageHost& pageHost() { return m_pageHost; }
    File_Filter& templateFilter() { return m_filter; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMoviesTab(QWidget* tab);
    void buildGeneralTab(QWidget* tab);
    void connectCommands();
    QPushButton* makeButton(const char* objectName, const QString& caption);

    void startUp();
    void restoreHistories();
    void loadAutoLoadFile();
    void loadCommandLineFile();
    void storeHistories();

    void selectCommand(int position);
    void newCommand();
    void updateCommand();
    void removeCommand();
    void moveUpCommand();
    void moveDownCommand();
    void setSelectedPosition(int position);

    FilmRecord recordFromControls() const;
    void showRecord(const FilmRecord& film);
    QString fieldText(Field field) const;
    void setFieldText(Field field, const QString& text);
    void rememberComboText(QComboBox* box);
    ListDocument documentToSave() const;
    void applyDocument(const ListDocument& document);
    void tell(const QString& text);
    void setCommandsEnabled(bool enabled);

    // The page generator's view of the window.
    const QList<FilmRecord>& films() const override { return m_catalogue.entries(); }
    QString pageTitle() const override;
    QString pageDescription() const override;
    void setProgress(float position) override;
    void setLabel(const QString& text) override;

    DesktopServices& m_desktop;
    Registry& m_registry;
    Catalogue m_catalogue;
    FileDialogState m_listDialog;
    FileDialogState m_pageDialog;
    File_Filter m_filter;
    Defalt_Functions m_functions;
    Equation_Evaluater m_evaluator;
    PageHost m_pageHost;
    /// The window was asked to close while a page was being made.
    bool m_closeAfterPage = false;
    /// Set while the window itself fills the page texts, so that only the user's edits count as changes.
    bool m_fillingPageTexts = false;

    QTabWidget* m_tabs = nullptr;
    QListView* m_list = nullptr;
    std::array<QWidget*, FieldCount> m_fieldControls{};
    /// The line break each multi-line field was shown with, so that Update writes it back unchanged.
    std::array<QString, FieldCount> m_lineBreaks{};
    QComboBox* m_type = nullptr;
    QComboBox* m_genre = nullptr;
    QLineEdit* m_pageTitle = nullptr;
    QPlainTextEdit* m_pageDescription = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_label = nullptr;
    QPushButton* m_stop = nullptr;
};

} // namespace reelkeep
