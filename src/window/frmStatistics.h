// The Statistics window: a bar chart of the collection's films for each group of its statistics,
// the same numbers beside it as a table, following the catalogue while it is open.
#pragma once

#include "catalogue/CollectionStatistics.h"

#include <QDialog>
#include <QTimer>

#include <optional>

class QLabel;
class QTabWidget;

namespace reelkeep {

class Catalogue;

class frmStatistics : public QDialog
{
    Q_OBJECT

public:
    /// A window that the user keeps open beside the main window: it counts the films again when
    /// the catalogue changes, and when it is shown or comes to the front.
    explicit frmStatistics(const Catalogue& catalogue, QWidget* parent = nullptr);
    /// Shows the window in front, with the keyboard in it.
    void present();

protected:
    bool event(QEvent* event) override;

private:
    void countLater();
    /// Counts the films, and shows the counts when they differ from those shown.
    void count();
    void showStatistics(const CollectionStatistics& statistics);
    /// The keyboard starts in the table of the group shown, where the numbers are read.
    void focusTable();

    const Catalogue& m_catalogue;
    /// What the window shows; nothing before it is first shown.
    std::optional<CollectionStatistics> m_shown;
    /// Gathers the changes of one command (an import adds many films) into one count.
    QTimer m_countTimer;
    QLabel* m_films = nullptr;
    QTabWidget* m_groups = nullptr;
};

} // namespace reelkeep
