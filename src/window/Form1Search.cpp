// The main window's find as you type: the search field above List1 hides the films that do not
// hold every word typed; the list model keeps every film, so positions stay catalogue positions.
#include "window/Form1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QShortcut>
#include <QTabWidget>

namespace reelkeep {

QLayout* Form1::buildSearchBar()
{
    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_search->setPlaceholderText(QStringLiteral("Title, cast, genre, plot..."));
    m_search->setAccessibleName(QStringLiteral("Find films"));
    m_search->setClearButtonEnabled(true);
    auto* caption = new QLabel(QStringLiteral("&Find:"));
    caption->setBuddy(m_search);
    m_count = new QLabel;
    m_count->setObjectName(QStringLiteral("lblCount"));
    // What the label shows is its name for assistive technology; the description says what it is.
    m_count->setAccessibleDescription(QStringLiteral("Film count"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(caption);
    bar->addWidget(m_search, 1);
    bar->addWidget(m_count);
    return bar;
}

void Form1::connectSearch()
{
    // Typing is the user's command, and also what a command that empties the field does.
    connect(m_search, &QLineEdit::textChanged, this, [this] {
        if (m_commandDepth > 0)
            notingLackOfMemory (&Form1::applySearch)();
        else
            runCommand([this] { applySearch(); });
    });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        m_tabs->setCurrentIndex(0);
        m_search->setFocus(Qt::ShortcutFocusReason);
        m_search->selectAll();
    });
    auto* clear = new QShortcut(QKeySequence(Qt::Key_Escape), m_search);
    clear->setContext(Qt::WidgetShortcut);
    connect(clear, &QShortcut::activated, m_search, &QLineEdit::clear);
    // Every change to the catalogue is searched again; FilmSearch has seen it first.
    const auto searchAgain = notingLackOfMemory(&Form1::applySearch);
    connect(&m_catalogue, &QAbstractItemModel::rowsInserted, this, searchAgain);
    connect(&m_catalogue, &QAbstractItemModel::rowsRemoved, this, searchAgain);
    connect(&m_catalogue, &QAbstractItemModel::dataChanged, this, searchAgain);
    connect(&m_catalogue, &QAbstractItemModel::modelReset, this, searchAgain);
    applySearch();
}

void Form1::applySearch()
{
    const std::vector<bool> shown = m_filmSearch.matches(m_search->text());
    const int selected = selectedPosition();
    int count = 0;
    for (int row = 0; row < m_catalogue.count(); ++row) {
        // The film being edited stays in sight while it holds typed edits.
        const bool show = shown[static_cast<size_t>(row)] || (row == selected && hasPendingEdits());
        if (m_list->isRowHidden(row) == show)
            m_list->setRowHidden(row, !show);
        count += show ? 1 : 0;
    }
    // A selected film that is hidden no longer is the one the commands act on.
    if (selected >= 0 && m_list->isRowHidden(selected)) {
        selectFilm(-1, false);
        showRecord(FilmRecord());
    }
    const QLocale english(QLocale::English);
    const int total = m_catalogue.count();
    const QString films = total == 1 ? QStringLiteral("film") : QStringLiteral("films");
    m_count->setText(
        count == total
            ? QStringLiteral("%1 %2").arg(english.toString(total), films)
            : QStringLiteral("%1 of %2 %3").arg(english.toString(count), english.toString(total), films));
}

} // namespace reelkeep
