// The controls the main window's parts are made of.
#include "window/Controls.h"

#include "desktop/DesktopServices.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace reelkeep {

namespace {

/// Lets Undo and Redo reach the catalogue from a text box that has no typing of its own to take
/// back; a box with typing to take back keeps its own Undo and Redo.
class CatalogueUndoFromTextBoxes : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
        const bool undo = UndoKeys.contains(keys);
        if ((!undo && !RedoKeys.contains(keys)) || hasTypingToStep(watched, undo))
            return false;
        // Not taken by the box, the keys go on to the window's shortcut.
        event->ignore();
        return true;
    }

private:
    static bool hasTypingToStep(QObject* box, bool back)
    {
        if (auto* combo = qobject_cast<QComboBox*>(box))
            box = combo->lineEdit();
        if (auto* edit = qobject_cast<QLineEdit*>(box))
            return back ? edit->isUndoAvailable() : edit->isRedoAvailable();
        const QTextDocument* text = static_cast<QPlainTextEdit*>(box)->document();
        return back ? text->isUndoAvailable() : text->isRedoAvailable();
    }
};

} // namespace

QSize MultiLineBox::sizeHint() const
{
    const QSize page = QPlainTextEdit::sizeHint();
    return {page.width(), fontMetrics().lineSpacing() * 4 + 2 * frameWidth() + 8};
}

QSize MultiLineBox::minimumSizeHint() const
{
    return {sizeHint().width() / 2, sizeHint().height() * 3 / 4};
}

void MultiLineBox::setFieldText(const QString& text)
{
    const QString crlf = QStringLiteral("\r\n");
    m_lineBreak = text.contains(crlf) ? crlf : QString();
    setPlainText(text);
}

QString MultiLineBox::fieldText() const
{
    const QString text = toPlainText();
    return m_lineBreak.isEmpty() ? text : QString(text).replace(QLatin1Char('\n'), m_lineBreak);
}

QLineEdit* makeLineEdit(const char* objectName)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(objectName));
    return edit;
}

MultiLineBox* makeTextBox(const QString& objectName)
{
    auto* box = new MultiLineBox;
    box->setObjectName(objectName);
    box->setTabChangesFocus(true);
    return box;
}

QPushButton* commandButton(QAction* action, const char* objectName, const QString& caption)
{
    auto* button = new QPushButton(caption.isEmpty() ? action->text() : caption);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    const auto follow = [button, action] {
        button->setEnabled(action->isEnabled());
        // Shown only once in the window: a button without a parent would open as a window of its own.
        if (!action->isVisible())
            button->hide();
        else if (button->parentWidget())
            button->show();
    };
    follow();
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, follow);
    return button;
}

void passUndoKeysOn(const QList<QWidget*>& boxes, QObject* owner)
{
    auto* filter = new CatalogueUndoFromTextBoxes(owner);
    for (QWidget* box : boxes)
        box->installEventFilter(filter);
}

void tell(DesktopServices& desktop, const QString& text)
{
    desktop.messageBox(text, Buttons::Ok);
}

bool mayReplace(DesktopServices& desktop, const QString& path)
{
    return !desktop.fileExists(path) ||
           desktop.messageBox(QStringLiteral("Replace File?"), Buttons::YesNo) == Answer::Yes;
}

void showStepCommand(QAction* action, QPushButton* button, bool can, const QString& step)
{
    const QString named = step.isEmpty() ? button->text() : button->text() + QLatin1Char(' ') + step;
    action->setEnabled(can);
    action->setText(named);
    button->setToolTip(named);
    button->setAccessibleDescription(named);
}

} // namespace reelkeep
