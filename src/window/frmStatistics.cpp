// The Statistics window: one tab for each group of the statistics, its bar chart and a table of the
// same numbers, which the keyboard and assistive technology reach; counted again as the catalogue
// changes.
#include "window/frmStatistics.h"

#include "catalogue/Catalogue.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>

#include <algorithm>

namespace reelkeep {

namespace {

/// The room a bar takes besides its label's height (with less, the chart shows its label as "..."):
/// a chart of more bars than the window has room for scrolls.
constexpr int BarSpacing = 10;
constexpr int ChartMargins = 90;

// The step between the count axis's ticks: 1, 2 or 5 times a power of ten, for at most six steps.
qsizetype tickStep(qsizetype most)
{
    for (qsizetype power = 1;; power *= 10) {
        for (const qsizetype factor : {1, 2, 5}) {
            if (most / (factor * power) <= 6)
                return factor * power;
        }
    }
}

QValueAxis* makeCountAxis(qsizetype most)
{
    const qsizetype step = tickStep(most);
    auto* axis = new QValueAxis;
    // A sixth more than the longest bar, and a step beyond, leaves room for its number.
    axis->setRange(0, double(((most + most / 6) / step + 1) * step));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(double(step));
    axis->setMinorTickCount(0);
    axis->setLabelFormat(QStringLiteral("%d"));
    return axis;
}

QString barsInWords(const StatisticsGroup& group)
{
    QStringList bars;
    for (const StatisticsBar& bar : group.bars)
        bars.append(QStringLiteral("%1: %2").arg(bar.label, filmCountText(bar.films)));
    return bars.join(QStringLiteral("; "));
}

// Bars lying, each with its number, the first on top: the chart puts its first category at the
// bottom, so the bars go in from the last.
QChart* makeChart(const StatisticsGroup& group, const QPalette& palette)
{
    auto* set = new QBarSet(QStringLiteral("Films"));
    set->setLabelColor(palette.color(QPalette::WindowText));
    auto* values = new QBarCategoryAxis;
    qsizetype most = 0;
    for (auto bar = group.bars.crbegin(); bar != group.bars.crend(); ++bar) {
        set->append(double(bar->films));
        values->append(bar->label);
        most = std::max(most, bar->films);
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    auto* chart = new QChart;
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    chart->setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    chart->addSeries(series);
    chart->legend()->hide();
    QValueAxis* counts = makeCountAxis(most);
    chart->addAxis(values, Qt::AlignLeft);
    chart->addAxis(counts, Qt::AlignBottom);
    series->attachAxis(values);
    series->attachAxis(counts);
    return chart;
}

QWidget* makeChartView(const StatisticsGroup& group, int number, const QPalette& palette)
{
    QChart* chart = makeChart(group, palette);
    auto* view = new QChartView(chart);
    view->setObjectName(QStringLiteral("chtGroup%1").arg(number));
    view->setRenderHint(QPainter::Antialiasing);
    view->setFocusPolicy(Qt::NoFocus); // the table beside says the same to the keyboard
    view->setAccessibleName(QStringLiteral("%1 chart").arg(group.title));
    view->setAccessibleDescription(barsInWords(group));
    const QFontMetrics metrics(chart->axes(Qt::Vertical).constFirst()->labelsFont());
    view->setMinimumHeight(ChartMargins + (metrics.height() + BarSpacing) * int(group.bars.size()));
    auto* scroll = new QScrollArea;
    scroll->setWidget(view);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    return scroll;
}

QTableWidget* makeTable(const StatisticsGroup& group, int number)
{
    auto* table = new QTableWidget(int(group.bars.size()), 2);
    table->setObjectName(QStringLiteral("grdGroup%1").arg(number));
    table->setAccessibleName(QStringLiteral("%1: films for each value").arg(group.title));
    table->setHorizontalHeaderLabels({group.title, QStringLiteral("Films")});
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false);
    for (int row = 0; row < table->rowCount(); ++row) {
        const StatisticsBar& bar = group.bars[row];
        table->setItem(row, 0, new QTableWidgetItem(bar.label));
        auto* films = new QTableWidgetItem(QString::number(bar.films));
        films->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, 1, films);
    }
    return table;
}

QWidget* makeGroupPage(const StatisticsGroup& group, int number, const QPalette& palette)
{
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(makeChartView(group, number, palette), 3);
    layout->addWidget(makeTable(group, number), 1);
    return page;
}

} // namespace

frmStatistics::frmStatistics(const Catalogue& catalogue, QWidget* parent)
    : QDialog(parent)
    , m_catalogue(catalogue)
{
    setObjectName(QStringLiteral("frmStatistics"));
    setWindowTitle(QStringLiteral("Statistics"));
    m_films = new QLabel;
    m_films->setObjectName(QStringLiteral("lblFilms"));
    m_groups = new QTabWidget;
    m_groups->setObjectName(QStringLiteral("tabGroups"));
    m_groups->setAccessibleName(QStringLiteral("Films counted by"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_films);
    layout->addWidget(m_groups, 1);
    layout->addWidget(buttons);
    resize(QSize(820, 520).boundedTo(screen()->availableGeometry().size()));

    m_countTimer.setSingleShot(true);
    m_countTimer.setInterval(0);
    connect(&m_countTimer, &QTimer::timeout, this, &frmStatistics::count);
    connect(&catalogue, &Catalogue::rowsInserted, this, &frmStatistics::countLater);
    connect(&catalogue, &Catalogue::rowsRemoved, this, &frmStatistics::countLater);
    connect(&catalogue, &Catalogue::dataChanged, this, &frmStatistics::countLater);
    connect(&catalogue, &Catalogue::modelReset, this, &frmStatistics::countLater);
    connect(&catalogue, &Catalogue::extraFieldsChanged, this, &frmStatistics::countLater);
}

bool frmStatistics::event(QEvent* event)
{
    if (event->type() == QEvent::Show) {
        count();
        focusTable();
    }
    return QDialog::event(event);
}

void frmStatistics::countLater()
{
    if (isVisible())
        m_countTimer.start();
}

void frmStatistics::count()
{
    const CollectionStatistics statistics =
        collectionStatistics(m_catalogue.entries(), m_catalogue.extraFields());
    if (m_shown != statistics)
        showStatistics(statistics);
}

void frmStatistics::showStatistics(const CollectionStatistics& statistics)
{
    const QString shownGroup = m_groups->tabText(m_groups->currentIndex());
    m_shown = statistics;
    m_films->setText(filmCountText(statistics.films));
    while (m_groups->count() > 0) {
        QWidget* page = m_groups->widget(0);
        m_groups->removeTab(0);
        delete page;
    }
    for (int number = 0; number < statistics.groups.size(); ++number) {
        const StatisticsGroup& group = statistics.groups[number];
        m_groups->addTab(makeGroupPage(group, number, palette()), group.title);
        if (group.title == shownGroup)
            m_groups->setCurrentIndex(number);
    }
    if (!focusWidget())
        focusTable();
}

void frmStatistics::focusTable()
{
    if (QWidget* page = m_groups->currentWidget())
        page->findChild<QTableWidget*>()->setFocus();
}

void frmStatistics::present()
{
    show();
    raise();
    activateWindow();
}

} // namespace reelkeep
