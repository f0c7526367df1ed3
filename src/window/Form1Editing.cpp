// The main window's help while editing a film: Type, Genre and Release offer the values that the
// catalogue already holds, besides the eight-entry histories of Type and Genre; the Image frame
// shows the picture that Source names and takes dropped image files.
#include "window/Form1.h"
#include "window/PosterFrame.h"

#include <QComboBox>
#include <QCompleter>
#include <QFileInfo>
#include <QLineEdit>
#include <QSet>
#include <QStringListModel>
#include <QTimer>

#include <algorithm>

namespace reelkeep {

namespace {

constexpr Field CompletedFields[] = {Field::Type, Field::Genre, Field::Release};

} // namespace

void Form1::connectCompletion()
{
    for (size_t i = 0; i < std::size(CompletedFields); ++i) {
        m_completions[i] = new QStringListModel(this);
        auto* completer = new QCompleter(m_completions[i], this);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        QWidget* control = m_fieldControls[static_cast<size_t>(CompletedFields[i])];
        // A history box keeps its drop-down list: only what the typing completes from changes.
        if (auto* box = qobject_cast<QComboBox*>(control))
            box->setCompleter(completer);
        else
            static_cast<QLineEdit*>(control)->setCompleter(completer);
    }
    // Many changes in a row (a load, an import) gather into one refresh once they are done.
    const auto stale = [this] {
        if (m_completionIsStale)
            return;
        m_completionIsStale = true;
        QTimer::singleShot(0, this, asCommand(&Form1::refreshCompletion));
    };
    connect(&m_catalogue, &QAbstractItemModel::rowsInserted, this, stale);
    connect(&m_catalogue, &QAbstractItemModel::rowsRemoved, this, stale);
    connect(&m_catalogue, &QAbstractItemModel::dataChanged, this, stale);
    connect(&m_catalogue, &QAbstractItemModel::modelReset, this, stale);
    for (QComboBox* box : {m_type, m_genre})
        connect(box->model(), &QAbstractItemModel::rowsInserted, this, stale);
    refreshCompletion();
}

void Form1::refreshCompletion()
{
    m_completionIsStale = false;
    for (size_t i = 0; i < std::size(CompletedFields); ++i) {
        QSet<QString> values;
        for (const FilmRecord& film : m_catalogue.entries()) {
            const QString& value = film[CompletedFields[i]];
            if (!value.trimmed().isEmpty())
                values.insert(value);
        }
        if (auto* box = qobject_cast<QComboBox*>(m_fieldControls[static_cast<size_t>(CompletedFields[i])])) {
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

void Form1::connectPoster()
{
    auto* source = static_cast<QLineEdit*>(m_fieldControls[static_cast<size_t>(Field::ImgSrc)]);
    connect(source, &QLineEdit::textChanged, this, notingLackOfMemory(&Form1::refreshPoster));
    connect(m_poster, &PosterFrame::imageDropped, this, [this, source](const QString& path) {
        runCommand([this, source, &path] {
            const QString folder =
                m_currentFile.isEmpty() ? QString() : QFileInfo(m_currentFile).absolutePath();
            source->setText(PosterFrame::sourceFor(path, folder));
        });
    });
    refreshPoster();
}

void Form1::refreshPoster()
{
    const QString folder = m_currentFile.isEmpty() ? QString() : QFileInfo(m_currentFile).absolutePath();
    m_poster->showPicture(fieldText(Field::ImgSrc), folder);
}

} // namespace reelkeep
