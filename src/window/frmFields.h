// The Fields dialog: adds, renames, reorders and removes the list's extra fields, each change a
// step that Undo takes back.
#pragma once

#include "catalogue/ExtraField.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace reelkeep {

class Catalogue;
class CatalogueCommands;
class CommandRunner;

class frmFields : public QDialog
{
    Q_OBJECT

public:
    /// Shows the catalogue's extra fields; each change goes through the catalogue commands at once.
    frmFields(const Catalogue& catalogue,
              CatalogueCommands& commands,
              CommandRunner& runner,
              QWidget* parent = nullptr);

private:
    QLayout* buildNameRow();
    QLayout* buildMoveButtons();
    /// The field picked in the list, or -1.
    qsizetype picked() const;
    /// Shows the list's fields, picking the one at a position.
    void showFields(qsizetype picked);
    /// The name box, the kind box and the buttons as the typed name and the picked field allow.
    void refreshCommands();
    /// Runs a change to the fields through the command boundary, then picks the field at the
    /// position it gives.
    void change(const std::function<qsizetype()>& change);

    const Catalogue& m_catalogue;
    CatalogueCommands& m_commands;
    CommandRunner& m_runner;
    QListWidget* m_fields = nullptr;
    QLineEdit* m_name = nullptr;
    QComboBox* m_kind = nullptr;
    QLabel* m_problem = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QPushButton* m_remove = nullptr;
};

} // namespace reelkeep
