// The page texts on "Genral": the title and description that the page shows and the native list
// file keeps.
#pragma once

#include <QList>
#include <QWidget>

class QLineEdit;

namespace reelkeep {

class Catalogue;
class MultiLineBox;

class PageTexts : public QWidget
{
public:
    /// The texts mark the catalogue as changed when the user edits them.
    explicit PageTexts(Catalogue& catalogue, QWidget* parent = nullptr);

    QString title() const;
    QString description() const;
    /// Shows the texts a list brought, which are no edit of the user's.
    void showTexts(const QString& title, const QString& description);
    /// Whether the texts are those of a new window, which a .csv list loads with.
    bool areNew() const;

    /// The user edited the texts since the last native save or load: Undo then never reaches a
    /// state without changes.
    bool isEdited() const { return m_edited; }
    void setEdited(bool edited) { m_edited = edited; }

    /// The title box and the description box.
    QList<QWidget*> boxes() const;

private:
    Catalogue& m_catalogue;
    QLineEdit* m_title = nullptr;
    /// Keeps the line breaks a list brought, so that the description is saved back as it came.
    MultiLineBox* m_description = nullptr;
    /// Set while the window itself fills the texts, so that only the user's edits count.
    bool m_filling = false;
    bool m_edited = false;
};

} // namespace reelkeep
