// The Import dialog: the columns of a file with the field each goes to, and the file's first rows.
#pragma once

#include "storage/ImportedList.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace reelkeep {

class frmImport : public QDialog
{
    Q_OBJECT

public:
    /// The rows the preview shows at most.
    static constexpr int PreviewRows = 5;

    /// Shows each column of an analysed file with the field it was found to go to, changeable,
    /// and the file's first rows. OK can be pressed while some column goes to the title.
    explicit frmImport(const ImportAnalysis& analysis, QWidget* parent = nullptr);

    /// The field each column goes to as the dialog shows it, for importFilms().
    const ImportMapping& mapping() const { return m_mapping; }

private:
    QWidget* buildColumns(const QStringList& columns);
    QTableWidget* buildPreview(const DelimitedTable& table);
    void fieldChosen(qsizetype column, int index);
    void showMapping();

    QStringList m_columns;
    ImportMapping m_mapping;
    QList<QComboBox*> m_fields;
    QTableWidget* m_grid1 = nullptr;
    QLabel* m_label2 = nullptr;
    QPushButton* m_command1 = nullptr;
};

} // namespace reelkeep
