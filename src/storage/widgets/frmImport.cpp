// The Import dialog, laid out so that a file of many columns scrolls instead of growing the
// dialog past the screen.
#include "storage/widgets/frmImport.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>

namespace reelkeep {

namespace {

const QString LeaveOut = QStringLiteral("(leave out)");

// The problems of the first rows that have any, shown under the summary.
constexpr qsizetype ShownRowProblems = 3;

template <typename Control> Control* named(Control* control, const QString& name)
{
    control->setObjectName(name);
    return control;
}

// A column's name on one line, or its number when the header left it empty.
QString columnCaption(const QStringList& columns, qsizetype column)
{
    const QString name = columns[column].simplified();
    return name.isEmpty() ? QStringLiteral("(column %1)").arg(column + 1) : name;
}

QComboBox* makeFieldBox(qsizetype column)
{
    auto* box = named(new QComboBox, QStringLiteral("Combo1_%1").arg(column));
    box->addItem(LeaveOut);
    for (int field = 0; field < FieldCount; ++field)
        box->addItem(fieldName(fieldAt(field)).toString());
    return box;
}

// The combo-box entry of a column's field: "(leave out)" first, then the fields in their order.
int entryOf(std::optional<Field> field)
{
    return field ? static_cast<int>(*field) + 1 : 0;
}

std::optional<Field> fieldOfEntry(int entry)
{
    return entry > 0 ? std::optional<Field>(fieldAt(entry - 1)) : std::nullopt;
}

QLabel* makeSummary(const ImportAnalysis& analysis)
{
    const QStringList lines = QStringList{importSummary(analysis)} + analysis.table.textChanges +
                              rowProblems(analysis.table, ShownRowProblems);
    auto* label = named(new QLabel(lines.join(u'\n')), QStringLiteral("Label1"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

frmImport::frmImport(const ImportAnalysis& analysis, QWidget* parent)
    : QDialog(parent)
    , m_columns(analysis.table.columns)
    , m_mapping(analysis.guessed)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import"));

    auto* frame1 = named(new QGroupBox(QStringLiteral("Columns")), QStringLiteral("Frame1"));
    auto* frameLayout = new QVBoxLayout(frame1);
    frameLayout->addWidget(buildColumns(m_columns));
    m_grid1 = buildPreview(analysis.table);
    m_label2 = named(new QLabel(QStringLiteral("Choose the column that holds the titles.")),
                     QStringLiteral("Label2"));
    // Enter presses OK, or the button that has the focus.
    m_command1 = named(new QPushButton(QStringLiteral("OK")), QStringLiteral("Command1"));
    m_command1->setDefault(true);
    auto* command2 = named(new QPushButton(QStringLiteral("Cancel")), QStringLiteral("Command2"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_label2, 1);
    buttons->addWidget(m_command1);
    buttons->addWidget(command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeSummary(analysis));
    layout->addWidget(frame1, 1);
    auto* previewCaption = new QLabel(QStringLiteral("First rows:"));
    previewCaption->setBuddy(m_grid1);
    layout->addWidget(previewCaption);
    layout->addWidget(m_grid1, 1);
    layout->addLayout(buttons);

    QList<QWidget*> order(m_fields.begin(), m_fields.end());
    order << m_grid1 << m_command1 << command2;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    resize(sizeHint().expandedTo(QSize(640, 480)));
    connect(m_command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(command2, &QPushButton::clicked, this, &QDialog::reject);
    showMapping();
}

// One line for each column: its name as the caption of the box that chooses its field.
QWidget* frmImport::buildColumns(const QStringList& columns)
{
    auto* inside = new QWidget;
    auto* grid = new QGridLayout(inside);
    for (qsizetype column = 0; column < columns.size(); ++column) {
        const QString caption = columnCaption(columns, column);
        auto* label = new QLabel(QString(caption).replace(u'&', QStringLiteral("&&")));
        label->setTextFormat(Qt::PlainText);
        QComboBox* box = makeFieldBox(column);
        box->setAccessibleName(QStringLiteral("Field of column %1, %2").arg(column + 1).arg(caption));
        label->setBuddy(box);
        grid->addWidget(label, static_cast<int>(column), 0);
        grid->addWidget(box, static_cast<int>(column), 1);
        connect(box, &QComboBox::activated, this, [this, column](int index) { fieldChosen(column, index); });
        m_fields.append(box);
    }
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(static_cast<int>(columns.size()), 1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(inside);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus); // the keyboard goes from box to box
    // A dozen columns show without scrolling; more scroll.
    const int twelveRows = 12 * (QComboBox().sizeHint().height() + grid->verticalSpacing());
    scroll->setMinimumHeight(qMin(inside->sizeHint().height() + 2 * scroll->frameWidth(), twelveRows));
    return scroll;
}

QTableWidget* frmImport::buildPreview(const DelimitedTable& table)
{
    const qsizetype rows = qMin<qsizetype>(table.rows.size(), PreviewRows);
    auto* grid = named(new QTableWidget(static_cast<int>(rows), static_cast<int>(table.columns.size())),
                       QStringLiteral("Grid1"));
    grid->setAccessibleName(QStringLiteral("First rows"));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setTabKeyNavigation(false);
    for (qsizetype row = 0; row < rows; ++row) {
        for (qsizetype column = 0; column < table.keptCells(table.rows[row]); ++column)
            grid->setItem(static_cast<int>(row),
                          static_cast<int>(column),
                          new QTableWidgetItem(table.cell(table.rows[row], column)));
        grid->setVerticalHeaderItem(
            static_cast<int>(row), new QTableWidgetItem(QStringLiteral("line %1").arg(table.rows[row].line)));
    }
    return grid;
}

void frmImport::fieldChosen(qsizetype column, int index)
{
    assignColumn(m_mapping, column, fieldOfEntry(index));
    showMapping();
}

// Every box shows its column's field, the preview's headings say where each column goes, and OK
// waits for a column that gives the title.
void frmImport::showMapping()
{
    for (qsizetype column = 0; column < m_fields.size(); ++column) {
        const std::optional<Field> field = m_mapping.value(column);
        m_fields[column]->setCurrentIndex(entryOf(field));
        const QString heading =
            columnCaption(m_columns, column) + u'\n' + (field ? fieldName(*field).toString() : LeaveOut);
        m_grid1->setHorizontalHeaderItem(static_cast<int>(column), new QTableWidgetItem(heading));
    }
    const bool hasTitle = columnOfField(m_mapping, Field::Title) >= 0;
    m_command1->setEnabled(hasTitle);
    m_label2->setVisible(!hasTitle);
}

} // namespace reelkeep
