// The controls the main window's parts are made of: named text boxes, and buttons that stand for
// the shell's commands.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QPlainTextEdit>

class QAction;
class QLineEdit;
class QPushButton;

namespace reelkeep {

class DesktopServices;

/// A multi-line box that asks for four lines, not a page: the window grows it as it grows.
class MultiLineBox : public QPlainTextEdit
{
public:
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    /// Shows a field's text; one whose lines end in CR LF gets them back from fieldText(), so that a
    /// film shown and stored again keeps them.
    void setFieldText(const QString& text);
    QString fieldText() const;

private:
    /// The line break the text was shown with; empty for a line feed.
    QString m_lineBreak;
};

QLineEdit* makeLineEdit(const char* objectName);
/// A MultiLineBox whose Tab moves on to the next control.
MultiLineBox* makeTextBox(const QString& objectName);

/// A button that stands for a command: a click triggers the action, and the button is enabled
/// and shown as the action is. Its caption is the action's text unless one is given.
QPushButton* commandButton(QAction* action, const char* objectName, const QString& caption = {});

/// Names an Undo or Redo command for the step it takes ("Undo Remove"), and enables it as it can.
void showStepCommand(QAction* action, QPushButton* button, bool can, const QString& step);

inline const QList<QKeySequence> UndoKeys{QKeySequence(Qt::CTRL | Qt::Key_Z)};
inline const QList<QKeySequence> RedoKeys{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                          QKeySequence(Qt::CTRL | Qt::Key_Y)};
/// Lets the window's Undo and Redo keys reach past text boxes (line edits, combo boxes,
/// multi-line boxes) that have no typing of their own to take back; a box with typing to take
/// back keeps its own Undo and Redo. The filter doing it belongs to owner.
void passUndoKeysOn(const QList<QWidget*>& boxes, QObject* owner);

/// Tells the user something that needs no answer.
void tell(DesktopServices& desktop, const QString& text);

/// Whether a file may be written at path: yes when there is none, else as the user answers
/// "Replace File?".
bool mayReplace(DesktopServices& desktop, const QString& path);

} // namespace reelkeep
