// The Import dialog: the columns of a file with the field each goes to, a new or the list's own
// extra field among them, and the file's first rows.
#pragma once

#include "storage/ImportedList.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace reelkeep {

class frmImport : public QDialog
{
    Q_OBJECT

public:
    /// The rows the preview shows at most.
    static constexpr int PreviewRows = 5;

    /// Shows each column of an analysed file with where it was found to go in the target list
    /// (guessMapping()), changeable: a field, an extra field with its name and kind, or nowhere;
    /// and the file's first rows. OK can be pressed while some column goes to the title.
    frmImport(const ImportAnalysis& analysis, const ImportTarget& target, QWidget* parent = nullptr);

    /// Where each column goes as the dialog shows it, for importFilms().
    const ImportMapping& mapping() const { return m_mapping; }

private:
    // One column's controls: where it goes, and the name and kind of its extra field.
    struct ColumnControls
    {
        QComboBox* field;
        QLineEdit* name;
        QComboBox* kind;
        /// The kinds the kind box offers, in its order.
        QList<KindChoice> kinds;
    };

    QWidget* buildColumns();
    QTableWidget* buildPreview(const DelimitedTable& table);
    ColumnControls makeControls(qsizetype column, const QString& caption);
    void fieldChosen(qsizetype column, int index);
    void extraFieldChosen(qsizetype column, const HeaderName& wanted);
    void showMapping();

    const DelimitedTable& m_table;
    ImportTarget m_target;
    /// What each column's cells are, read once for the guess and the kinds each column offers.
    QList<ColumnCells> m_cells;
    ImportMapping m_guessed;
    ImportMapping m_mapping;
    QList<ColumnControls> m_controls;
    QTableWidget* m_grid1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    QPushButton* m_command1 = nullptr;
};

} // namespace reelkeep
