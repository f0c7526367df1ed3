// The film editor on "Movies": its fields, their completion and the Image frame.
#include "window/FilmEditor.h"

#include "catalogue/Catalogue.h"
#include "catalogue/History.h"
#include "window/CommandRunner.h"
#include "window/Controls.h"
#include "window/ExtraFieldEditors.h"
#include "window/PosterFrame.h"

#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QStringListModel>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace reelkeep {

namespace {

constexpr Field CompletedFields[] = {Field::Type, Field::Genre, Field::Release};

QComboBox* makeHistoryBox(const char* objectName)
{
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(objectName));
    box->setEditable(true);
    // The history grows only through Update, never by pressing Enter in the box.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return box;
}

QStringList historyOf(const QComboBox* box)
{
    QStringList history;
    for (int i = 0; i < box->count(); ++i)
        history.append(box->itemText(i));
    return history;
}

void rememberText(QComboBox* box)
{
    const QString text = box->currentText();
    QStringList history = historyOf(box);
    rememberInHistory(history, text);
    box->clear();
    box->addItems(history);
    box->setEditText(text);
}

} // namespace

FilmEditor::FilmEditor(const Catalogue& catalogue, CommandRunner& runner, QWidget* parent)
    : QWidget(parent)
    , m_catalogue(catalogue)
    , m_runner(runner)
    , m_type(makeHistoryBox("mType"))
    , m_genre(makeHistoryBox("mGenre"))
    , m_extraFields(new ExtraFieldEditors(this))
{
    // ORDER Field
    m_controls = {makeLineEdit("mTitle"),
                  makeLineEdit("mRelease"),
                  m_type,
                  makeLineEdit("mTime"),
                  m_genre,
                  makeLineEdit("mDate"),
                  makeTextBox("mPlot"),
                  makeTextBox("mComment"),
                  makeTextBox("mCast"),
                  makeLineEdit("mImgSrc"),
                  makeLineEdit("mImgLink"),
                  makeLineEdit("mWebText1"),
                  makeLineEdit("mWebURL1"),
                  makeLineEdit("mWebText2"),
                  makeLineEdit("mWebURL2"),
                  makeLineEdit("mWebText3"),
                  makeLineEdit("mWebURL3")};
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buildColumns());
    layout->addLayout(buildFrames());
    for (QWidget* control : m_controls) {
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            connect(edit, &QLineEdit::textChanged, this, &FilmEditor::editsChanged);
        else if (auto* box = qobject_cast<QComboBox*>(control))
            connect(box, &QComboBox::editTextChanged, this, &FilmEditor::editsChanged);
        else
            connect(static_cast<QPlainTextEdit*>(control),
                    &QPlainTextEdit::textChanged,
                    this,
                    &FilmEditor::editsChanged);
    }
    connect(m_extraFields, &ExtraFieldEditors::edited, this, &FilmEditor::editsChanged);
    connectCompletion();
    connectPoster();
}

// A left column with the short facts, a right one with the three multi-line boxes.
QLayout* FilmEditor::buildColumns()
{
    auto* facts = new QFormLayout;
    facts->addRow(QStringLiteral("Title:"), control(Field::Title));
    facts->addRow(QStringLiteral("Release:"), control(Field::Release));
    facts->addRow(QStringLiteral("Type:"), control(Field::Type));
    facts->addRow(QStringLiteral("Time:"), control(Field::Time));
    facts->addRow(QStringLiteral("Genre"), control(Field::Genre));
    facts->addRow(QStringLiteral("Date:"), control(Field::Date));
    auto* texts = new QFormLayout;
    texts->addRow(QStringLiteral("Plot:"), control(Field::Plot));
    texts->addRow(QStringLiteral("Comment:"), control(Field::Comment));
    texts->addRow(QStringLiteral("Cast:"), control(Field::Cast));
    auto* columns = new QHBoxLayout;
    columns->addLayout(facts, 1);
    columns->addLayout(texts, 1);
    return columns;
}

// The Image frame on the left, the three web sites on the right.
QLayout* FilmEditor::buildFrames()
{
    m_poster = new PosterFrame;
    m_poster->setObjectName(QStringLiteral("Frame2"));
    QFormLayout* imageLayout = m_poster->fields();
    imageLayout->addRow(QStringLiteral("Source"), control(Field::ImgSrc));
    imageLayout->addRow(QStringLiteral("Link URL"), control(Field::ImgLink));

    auto* webSites = new QGroupBox(QStringLiteral("Web Sites:"));
    webSites->setObjectName(QStringLiteral("Frame1"));
    auto* webLayout = new QGridLayout(webSites);
    webLayout->setVerticalSpacing(style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing) / 2);
    webLayout->addWidget(new QLabel(QStringLiteral("Text:")), 0, 0);
    webLayout->addWidget(new QLabel(QStringLiteral("URL")), 0, 1);
    for (int row = 0; row < 3; ++row) {
        QWidget* text = control(fieldAt(static_cast<int>(Field::WebText1) + 2 * row));
        QWidget* url = control(fieldAt(static_cast<int>(Field::WebUrl1) + 2 * row));
        // One caption heads each column, so every box is named for itself.
        text->setAccessibleName(QStringLiteral("Web site %1 text").arg(row + 1));
        url->setAccessibleName(QStringLiteral("Web site %1 URL").arg(row + 1));
        webLayout->addWidget(text, row + 1, 0);
        webLayout->addWidget(url, row + 1, 1);
    }
    auto* frames = new QHBoxLayout;
    frames->addWidget(m_poster, 2);
    frames->addWidget(webSites, 3);
    return frames;
}

// ---- the fields ----

QString FilmEditor::fieldText(Field field) const
{
    QWidget* shown = control(field);
    if (auto* edit = qobject_cast<QLineEdit*>(shown))
        return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(shown))
        return box->currentText();
    return static_cast<MultiLineBox*>(shown)->fieldText();
}

void FilmEditor::setFieldText(Field field, const QString& text)
{
    QWidget* shown = control(field);
    if (auto* edit = qobject_cast<QLineEdit*>(shown)) {
        edit->setText(text);
        edit->setCursorPosition(0);
    } else if (auto* box = qobject_cast<QComboBox*>(shown)) {
        box->setEditText(text);
    } else {
        static_cast<MultiLineBox*>(shown)->setFieldText(text);
    }
}

FilmRecord FilmEditor::fields() const
{
    FilmRecord film;
    for (int i = 0; i < FieldCount; ++i)
        film[fieldAt(i)] = fieldText(fieldAt(i));
    for (qsizetype i = 0; i < m_extraFields->count(); ++i)
        film.setExtraValue(i, m_extraFields->value(i));
    return film;
}

void FilmEditor::setFields(const FilmRecord& film)
{
    for (int i = 0; i < FieldCount; ++i)
        setFieldText(fieldAt(i), film[fieldAt(i)]);
    for (qsizetype i = 0; i < m_extraFields->count(); ++i)
        m_extraFields->setValue(i, film.extraValue(i));
}

void FilmEditor::showFilm(const FilmRecord& film)
{
    setFields(film);
    // What the fields hold now, as they give it back, is what a pending edit differs from.
    setShownFields(fields());
}

void FilmEditor::setShownFields(const FilmRecord& film)
{
    m_shownFields = film;
    emit editsChanged();
}

void FilmEditor::dropEdits()
{
    showFilm(m_shownFields);
}

void FilmEditor::focusFirstField()
{
    m_controls[0]->setFocus();
}

// ---- the extra fields ----

QWidget* FilmEditor::extraFieldEditors() const
{
    return m_extraFields;
}

void FilmEditor::showExtraFields(const ExtraFields& extraFields,
                                 const QList<qsizetype>& origins,
                                 const FilmRecord& stored)
{
    FilmRecord typed = fields();
    FilmRecord shown = m_shownFields;
    const auto carried = [&origins, &stored](const FilmRecord& film) {
        QList<QString> values;
        for (qsizetype i = 0; i < origins.size(); ++i)
            values.append(origins[i] >= 0 ? film.extraValue(origins[i]) : stored.extraValue(i));
        return values;
    };
    typed.extra = carried(typed);
    shown.extra = carried(shown);
    m_extraFields->rebuild(extraFields);
    // The editors follow the fields before them in the keyboard's order.
    QWidget* previous = control(Field::WebUrl3);
    for (QWidget* editor : m_extraFields->editors()) {
        setTabOrder(previous, editor);
        previous = editor;
    }
    setFields(typed);
    setShownFields(shown);
}

QString FilmEditor::extraValueProblem() const
{
    return m_extraFields->problem();
}

// ---- the histories of Type and Genre ----

void FilmEditor::rememberHistories()
{
    rememberText(m_type);
    rememberText(m_genre);
}

QStringList FilmEditor::typeHistory() const
{
    return historyOf(m_type);
}

QStringList FilmEditor::genreHistory() const
{
    return historyOf(m_genre);
}

void FilmEditor::restoreHistories(const QStringList& types, const QStringList& genres)
{
    m_type->addItems(types);
    m_genre->addItems(genres);
    m_type->setEditText(QString());
    m_genre->setEditText(QString());
}

// ---- completion: the values the catalogue holds, and the histories ----

void FilmEditor::connectCompletion()
{
    for (size_t i = 0; i < std::size(CompletedFields); ++i) {
        m_completions[i] = new QStringListModel(this);
        auto* completer = new QCompleter(m_completions[i], this);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        // A history box keeps its drop-down list: only what the typing completes from changes.
        if (auto* box = qobject_cast<QComboBox*>(control(CompletedFields[i])))
            box->setCompleter(completer);
        else
            static_cast<QLineEdit*>(control(CompletedFields[i]))->setCompleter(completer);
    }
    // Many changes in a row (a load, an import) gather into one refresh once they are done.
    const auto stale = [this] {
        if (m_completionIsStale)
            return;
        m_completionIsStale = true;
        QTimer::singleShot(0, this, m_runner.asCommand([this] { refreshCompletion(); }));
    };
    connect(&m_catalogue, &QAbstractItemModel::rowsInserted, this, stale);
    connect(&m_catalogue, &QAbstractItemModel::rowsRemoved, this, stale);
    connect(&m_catalogue, &QAbstractItemModel::dataChanged, this, stale);
    connect(&m_catalogue, &QAbstractItemModel::modelReset, this, stale);
    for (QComboBox* box : {m_type, m_genre})
        connect(box->model(), &QAbstractItemModel::rowsInserted, this, stale);
    refreshCompletion();
}

void FilmEditor::refreshCompletion()
{
    m_completionIsStale = false;
    for (size_t i = 0; i < std::size(CompletedFields); ++i) {
        QSet<QString> values;
        for (const FilmRecord& film : m_catalogue.entries()) {
            const QString& value = film[CompletedFields[i]];
            if (!value.trimmed().isEmpty())
                values.insert(value);
        }
        if (auto* box = qobject_cast<QComboBox*>(control(CompletedFields[i]))) {
            for (int item = 0; item < box->count(); ++item)
                values.insert(box->itemText(item));
        }
        QStringList sorted(values.begin(), values.end());
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        m_completions[i]->setStringList(sorted);
    }
}

// ---- the Image frame: the Source's picture, and image files dropped on it ----

void FilmEditor::connectPoster()
{
    auto* source = static_cast<QLineEdit*>(control(Field::ImgSrc));
    connect(source, &QLineEdit::textChanged, this, m_runner.notingLackOfMemory([this] { refreshPoster(); }));
    connect(m_poster, &PosterFrame::imageDropped, this, [this, source](const QString& path) {
        m_runner.run([this, source, &path] { source->setText(PosterFrame::sourceFor(path, m_listFolder)); });
    });
    refreshPoster();
}

void FilmEditor::setListFolder(const QString& folder)
{
    m_listFolder = folder;
    refreshPoster();
}

void FilmEditor::refreshPoster()
{
    m_poster->showPicture(fieldText(Field::ImgSrc), m_listFolder);
}

} // namespace reelkeep
