// The editors of a list's extra fields, one kind of editor for each kind of field.
#include "window/ExtraFieldEditors.h"

#include "window/Controls.h"
#include "window/RatingStars.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>
#include <array>

namespace reelkeep {

namespace {

/// Takes a value of a kind with a canonical text (a number, a date) as it is typed: a value is
/// acceptable, a text of the characters such values are written with may be on its way to one.
class ValueValidator : public QValidator
{
public:
    ValueValidator(ExtraKind kind, QString characters, QObject* parent)
        : QValidator(parent)
        , m_kind(kind)
        , m_characters(std::move(characters))
    {}

    State validate(QString& input, int&) const override
    {
        if (canonicalValue(m_kind, input))
            return Acceptable;
        const bool written = std::all_of(input.begin(), input.end(), [this](QChar character) {
            return (character >= u'0' && character <= u'9') || m_characters.contains(character);
        });
        return written ? Intermediate : Invalid;
    }

private:
    ExtraKind m_kind;
    QString m_characters;
};

/// A line edit for a value of a kind with a canonical text, which shows a value in that text once
/// the typing is done: "1e3" becomes "1000", "31.12.2024" becomes "2024-12-31".
QLineEdit* makeValueEdit(QLineEdit* edit, ExtraKind kind, const QString& characters, const QString& example)
{
    edit->setValidator(new ValueValidator(kind, characters, edit));
    edit->setPlaceholderText(example);
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, kind] {
        const std::optional<QString> canonical = canonicalValue(kind, edit->text());
        if (canonical && *canonical != edit->text())
            edit->setText(*canonical);
    });
    return edit;
}

/// A date as it is typed, with a calendar to pick one from (Alt+Down, or the arrow at its end) and
/// a button that empties it, for a film without a date.
class DateBox : public QLineEdit
{
public:
    DateBox()
    {
        setClearButtonEnabled(true);
        QAction* pick = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
        pick->setToolTip(QStringLiteral("Pick a date (Alt+Down)"));
        connect(pick, &QAction::triggered, this, &DateBox::pickDate);
    }

protected:
    /// Alt+Down and F4 open the calendar here, whatever the window does with them elsewhere.
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride && picks(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return QLineEdit::event(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (picks(*event))
            pickDate();
        else
            QLineEdit::keyPressEvent(event);
    }

private:
    static bool picks(const QKeyEvent& event)
    {
        return (event.key() == Qt::Key_Down && event.modifiers() == Qt::AltModifier) ||
               (event.key() == Qt::Key_F4 && event.modifiers() == Qt::NoModifier);
    }

    void pickDate()
    {
        QDialog popup(this, Qt::Popup);
        auto* calendar = new QCalendarWidget;
        calendar->setAccessibleName(accessibleName());
        const QDate shown =
            QDate::fromString(canonicalValue(ExtraKind::Date, text()).value_or(QString()), Qt::ISODate);
        calendar->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());
        (new QVBoxLayout(&popup))->addWidget(calendar);
        popup.layout()->setContentsMargins(0, 0, 0, 0);
        const auto picked = [this, &popup](QDate date) {
            setText(date.toString(Qt::ISODate));
            popup.accept();
        };
        connect(calendar, &QCalendarWidget::clicked, &popup, picked);
        connect(calendar, &QCalendarWidget::activated, &popup, picked);
        popup.move(mapToGlobal(rect().bottomLeft()));
        calendar->setFocus();
        popup.exec();
    }
};

/// A check box for yes/no that also holds no value, shown partly checked and saying so: a click
/// goes from no value to yes, to no, and back to no value.
class YesNoBox : public QCheckBox
{
public:
    YesNoBox()
    {
        setTristate(true);
        setCheckState(Qt::PartiallyChecked);
        showState();
        connect(this, &QCheckBox::stateChanged, this, &YesNoBox::showState);
    }

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::PartiallyChecked ? Qt::Checked
                      : checkState() == Qt::Checked        ? Qt::Unchecked
                                                           : Qt::PartiallyChecked);
    }

private:
    void showState()
    {
        setText(checkState() == Qt::PartiallyChecked ? QStringLiteral("not set")
                : checkState() == Qt::Checked        ? QStringLiteral("yes")
                                                     : QStringLiteral("no"));
    }
};

QString readLine(const QWidget* editor)
{
    return static_cast<const QLineEdit*>(editor)->text();
}

void writeLine(QWidget* editor, const QString& value)
{
    auto* edit = static_cast<QLineEdit*>(editor);
    edit->setText(value);
    edit->setCursorPosition(0);
}

QString readNumber(const QWidget* editor)
{
    return canonicalValue(ExtraKind::Number, readLine(editor)).value_or(readLine(editor));
}

QString readDate(const QWidget* editor)
{
    return canonicalValue(ExtraKind::Date, readLine(editor)).value_or(readLine(editor));
}

QString readLongText(const QWidget* editor)
{
    return static_cast<const MultiLineBox*>(editor)->fieldText();
}

void writeLongText(QWidget* editor, const QString& value)
{
    static_cast<MultiLineBox*>(editor)->setFieldText(value);
}

QString readRating(const QWidget* editor)
{
    const int value = static_cast<const RatingStars*>(editor)->value();
    return value == RatingStars::None ? QString() : QString::number(value);
}

void writeRating(QWidget* editor, const QString& value)
{
    static_cast<RatingStars*>(editor)->setValue(value.isEmpty() ? RatingStars::None : value.toInt());
}

QString readYesNo(const QWidget* editor)
{
    switch (static_cast<const QCheckBox*>(editor)->checkState()) {
    case Qt::Checked:
        return QStringLiteral("yes");
    case Qt::Unchecked:
        return QStringLiteral("no");
    default:
        return QString();
    }
}

void writeYesNo(QWidget* editor, const QString& value)
{
    static_cast<QCheckBox*>(editor)->setCheckState(value.isEmpty()   ? Qt::PartiallyChecked
                                                   : value == u"yes" ? Qt::Checked
                                                                     : Qt::Unchecked);
}

/// An editor that tells its owner when the user changes it.
template <typename Editor, typename Signal>
QWidget* telling(ExtraFieldEditors& owner, Editor* editor, Signal changed)
{
    QObject::connect(editor, changed, &owner, &ExtraFieldEditors::edited);
    return editor;
}

QWidget* makeText(ExtraFieldEditors& owner)
{
    return telling(owner, new QLineEdit, &QLineEdit::textChanged);
}

QWidget* makeLongText(ExtraFieldEditors& owner)
{
    return telling(owner, makeTextBox(QString()), &QPlainTextEdit::textChanged);
}

QWidget* makeNumber(ExtraFieldEditors& owner)
{
    const QString characters = QStringLiteral("+-.eE ");
    return telling(owner,
                   makeValueEdit(new QLineEdit, ExtraKind::Number, characters, QStringLiteral("2.5")),
                   &QLineEdit::textChanged);
}

QWidget* makeRating(ExtraFieldEditors& owner)
{
    return telling(owner, new RatingStars, &RatingStars::edited);
}

QWidget* makeYesNo(ExtraFieldEditors& owner)
{
    return telling(owner, new YesNoBox, &QCheckBox::stateChanged);
}

QWidget* makeDate(ExtraFieldEditors& owner)
{
    const QString characters = QStringLiteral("-/. ");
    return telling(owner,
                   makeValueEdit(new DateBox, ExtraKind::Date, characters, QStringLiteral("2024-12-31")),
                   &QLineEdit::textChanged);
}

/// How the window edits a kind of field: the editor it makes (which tells the owner of the user's
/// edits), and how a value is read from it and shown in it.
struct KindEditor
{
    ExtraKind kind;
    QWidget* (*make)(ExtraFieldEditors& owner);
    QString (*read)(const QWidget* editor);
    void (*write)(QWidget* editor, const QString& value);
};

// ORDER ExtraKind
constexpr std::array<KindEditor, ExtraKindCount> KindEditors = {{
    {ExtraKind::Text, makeText, readLine, writeLine},
    {ExtraKind::LongText, makeLongText, readLongText, writeLongText},
    {ExtraKind::Number, makeNumber, readNumber, writeLine},
    {ExtraKind::Rating, makeRating, readRating, writeRating},
    {ExtraKind::YesNo, makeYesNo, readYesNo, writeYesNo},
    {ExtraKind::Date, makeDate, readDate, writeLine},
}};

const KindEditor& editorOf(ExtraKind kind)
{
    return KindEditors[static_cast<size_t>(kind)];
}

} // namespace

ExtraFieldEditors::ExtraFieldEditors(QWidget* parent)
    : QGroupBox(QStringLiteral("Extra fields"), parent)
    , m_scroll(new QScrollArea)
{
    setObjectName(QStringLiteral("grpExtraFields"));
    m_scroll->setObjectName(QStringLiteral("scrExtraFields"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    // No taller than the list beside it needs to be, so that a small screen still takes the window.
    m_scroll->setMinimumHeight(fontMetrics().lineSpacing() * 3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    hide();
}

void ExtraFieldEditors::rebuild(const ExtraFields& fields)
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    QList<QWidget*> editors;
    QList<QWidget*> textBoxes;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QWidget* editor = editorOf(fields[i].kind).make(*this);
        editor->setObjectName(QStringLiteral("mExtra%1").arg(i));
        editor->setAccessibleName(fields[i].name);
        auto* caption = new QLabel(QString(fields[i].name).replace(u'&', QStringLiteral("&&")) + u':');
        caption->setTextFormat(Qt::PlainText);
        caption->setBuddy(editor);
        form->addRow(caption, editor);
        editors.append(editor);
        if (qobject_cast<QLineEdit*>(editor) || qobject_cast<QPlainTextEdit*>(editor))
            textBoxes.append(editor);
    }
    passUndoKeysOn(textBoxes, page);
    m_fields = fields;
    m_editors = editors;
    m_scroll->setWidget(page); // and the editors before go
    setVisible(!fields.isEmpty());
}

QString ExtraFieldEditors::value(qsizetype field) const
{
    return editorOf(m_fields[field].kind).read(m_editors[field]);
}

void ExtraFieldEditors::setValue(qsizetype field, const QString& value)
{
    editorOf(m_fields[field].kind).write(m_editors[field], value);
}

QString ExtraFieldEditors::problem() const
{
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        const QString typed = value(i);
        if (!isCanonicalValue(m_fields[i].kind, typed))
            return QStringLiteral("%1 holds \u201C%2\u201D, which is not %3.")
                .arg(m_fields[i].name, typed, kindFacts(m_fields[i].kind).valueWords);
    }
    return QString();
}

} // namespace reelkeep
