// The Import dialog, laid out so that a file of many columns scrolls instead of growing the
// dialog past the screen.
#include "storage/widgets/frmImport.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>

namespace reelkeep {

namespace {

const QString LeaveOut = QStringLiteral("(leave out)");
const QString ExtraFieldEntry = QStringLiteral("extra field");

// The field box's entries: "(leave out)", the seventeen fields in their order, "extra field".
constexpr int ExtraFieldIndex = FieldCount + 1;

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
    box->addItem(ExtraFieldEntry);
    return box;
}

int entryOf(const ColumnTarget& target)
{
    if (target.extra)
        return ExtraFieldIndex;
    return target.field ? static_cast<int>(*target.field) + 1 : 0;
}

// Where a column goes, as the preview's heading says it under the column's name.
QString targetWords(const ColumnTarget& target)
{
    if (target.extra)
        return headerOfExtraField(*target.extra, target.outOfFive);
    return target.field ? fieldName(*target.field).toString() : LeaveOut;
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

frmImport::frmImport(const ImportAnalysis& analysis, const ImportTarget& target, QWidget* parent)
    : QDialog(parent)
    , m_table(analysis.table)
    , m_target(target)
    , m_cells(examineColumns(analysis.table))
    , m_guessed(guessMapping(analysis.table, m_cells, target))
    , m_mapping(m_guessed)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import"));

    auto* frame1 = named(new QGroupBox(QStringLiteral("Columns")), QStringLiteral("Frame1"));
    auto* frameLayout = new QVBoxLayout(frame1);
    frameLayout->addWidget(buildColumns());
    m_label3 = named(new QLabel, QStringLiteral("Label3"));
    m_label3->setTextFormat(Qt::PlainText);
    m_label3->setWordWrap(true);
    m_label3->hide();
    frameLayout->addWidget(m_label3);
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

    QList<QWidget*> order;
    for (const ColumnControls& controls : m_controls)
        order << controls.field << controls.name << controls.kind;
    order << m_grid1 << m_command1 << command2;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    resize(sizeHint().expandedTo(QSize(640, 480)));
    connect(m_command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(command2, &QPushButton::clicked, this, &QDialog::reject);
    showMapping();
}

// A column's box for where it goes, the name of its extra field and the box for its kind, named
// for assistive technology by the column's name.
frmImport::ColumnControls frmImport::makeControls(qsizetype column, const QString& caption)
{
    ColumnControls controls{makeFieldBox(column),
                            named(new QLineEdit, QStringLiteral("Text1_%1").arg(column)),
                            named(new QComboBox, QStringLiteral("Combo2_%1").arg(column)),
                            kindChoices(m_cells[column])};
    for (const KindChoice& choice : controls.kinds)
        controls.kind->addItem(kindWords(choice.kind, choice.outOfFive));
    controls.field->setAccessibleName(QStringLiteral("Field of column %1, %2").arg(column + 1).arg(caption));
    controls.name->setAccessibleName(QStringLiteral("Name of the extra field of column %1").arg(column + 1));
    controls.kind->setAccessibleName(QStringLiteral("Kind of the extra field of column %1").arg(column + 1));
    controls.name->setMaxLength(MaxExtraFieldNameLength);
    connect(controls.field, &QComboBox::activated, this, [this, column](int index) {
        fieldChosen(column, index);
    });
    connect(controls.name, &QLineEdit::editingFinished, this, [this, column] {
        const QString name = m_controls[column].name->text();
        const ColumnTarget& target = m_mapping[column];
        // Editing ends when the focus leaves too, also for a box that shows no extra field.
        if (!target.extra || name == target.extra->name)
            return;
        // A new name keeps the kind chosen; the list's own field has its own.
        if (extraFieldIndex(m_target.fields, name) >= 0)
            extraFieldChosen(column, {name, std::nullopt});
        else
            extraFieldChosen(column, {name, target.extra->kind, target.outOfFive});
    });
    connect(controls.kind, &QComboBox::activated, this, [this, column](int index) {
        const KindChoice choice = m_controls[column].kinds.value(index);
        extraFieldChosen(column, {m_mapping[column].extra->name, choice.kind, choice.outOfFive});
    });
    return controls;
}

// One line for each column: its name as the caption of the box that chooses where it goes, then
// the name and kind of its extra field.
QWidget* frmImport::buildColumns()
{
    auto* inside = new QWidget;
    auto* grid = new QGridLayout(inside);
    for (qsizetype column = 0; column < m_table.columns.size(); ++column) {
        const QString caption = columnCaption(m_table.columns, column);
        auto* label = new QLabel(QString(caption).replace(u'&', QStringLiteral("&&")));
        label->setTextFormat(Qt::PlainText);
        const ColumnControls controls = makeControls(column, caption);
        label->setBuddy(controls.field);
        const int row = static_cast<int>(column);
        grid->addWidget(label, row, 0);
        grid->addWidget(controls.field, row, 1);
        grid->addWidget(controls.name, row, 2);
        grid->addWidget(controls.kind, row, 3);
        m_controls.append(controls);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(static_cast<int>(m_table.columns.size()), 1);
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
    m_label3->hide();
    if (index != ExtraFieldIndex) {
        assignColumn(
            m_mapping, column, {index > 0 ? std::optional<Field>(fieldAt(index - 1)) : std::nullopt});
        showMapping();
        return;
    }
    if (m_mapping[column].extra)
        return;
    // The extra field the column was first found to go to, or a new one named after it of the kind
    // its cells suggest.
    const ColumnTarget& guessed = m_guessed[column];
    if (guessed.extra) {
        extraFieldChosen(column, {guessed.extra->name, guessed.extra->kind, guessed.outOfFive});
        return;
    }
    ImportMapping others = m_mapping;
    assignColumn(others, column, {});
    const QString name = freeExtraFieldName(
        importedFields(others, m_target), nameOfHeader(m_table.columns[column]).name, m_target.answered);
    extraFieldChosen(column, {name, std::nullopt});
}

// Sends a column to an extra field, or says in the dialog why it cannot.
void frmImport::extraFieldChosen(qsizetype column, const HeaderName& wanted)
{
    QString failure;
    const bool done = assignExtraField(m_mapping, m_table, column, wanted, m_target, &failure);
    m_label3->setText(failure);
    m_label3->setVisible(!done);
    showMapping();
}

// Every box shows its column's field, the name and kind of its extra field, the preview's headings
// say where each column goes, and OK waits for a column that gives the title.
void frmImport::showMapping()
{
    for (qsizetype column = 0; column < m_controls.size(); ++column) {
        const ColumnTarget& target = m_mapping.value(column);
        const ColumnControls& controls = m_controls[column];
        controls.field->setCurrentIndex(entryOf(target));
        controls.name->setEnabled(target.extra.has_value());
        controls.name->setText(target.extra ? target.extra->name : QString());
        // A column that goes to no extra field shows no kind.
        const qsizetype kind =
            target.extra ? controls.kinds.indexOf(KindChoice{target.extra->kind, target.outOfFive}) : -1;
        controls.kind->setCurrentIndex(static_cast<int>(kind));
        // The list's own field keeps its kind.
        controls.kind->setEnabled(target.extra && extraFieldIndex(m_target.fields, target.extra->name) < 0);
        const QString heading = columnCaption(m_table.columns, column) + u'\n' + targetWords(target);
        m_grid1->setHorizontalHeaderItem(static_cast<int>(column), new QTableWidgetItem(heading));
    }
    const bool hasTitle = columnOfField(m_mapping, Field::Title) >= 0;
    m_command1->setEnabled(hasTitle);
    m_label2->setVisible(!hasTitle);
}

} // namespace reelkeep
