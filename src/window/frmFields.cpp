// The Fields dialog: the list's extra fields, a name and a kind for a new field or a new name, and
// the buttons that change them.
#include "window/frmFields.h"

#include "catalogue/Catalogue.h"
#include "pagegen/PageHost.h"
#include "window/CatalogueCommands.h"
#include "window/CommandRunner.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace reelkeep {

namespace {

template <typename Control> Control* named(Control* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

QString fieldLine(const ExtraField& field)
{
    return QStringLiteral("%1 (%2)").arg(field.name, kindFacts(field.kind).words);
}

/// The first letter of a problem in upper case, as a sentence begins.
QString sentence(const QString& problem)
{
    return problem.isEmpty() ? problem : problem.left(1).toUpper() + problem.mid(1) + u'.';
}

} // namespace

frmFields::frmFields(const Catalogue& catalogue,
                     CatalogueCommands& commands,
                     CommandRunner& runner,
                     QWidget* parent)
    : QDialog(parent)
    , m_catalogue(catalogue)
    , m_commands(commands)
    , m_runner(runner)
{
    setObjectName(QStringLiteral("frmFields"));
    setWindowTitle(QStringLiteral("Fields"));
    auto* about = new QLabel(
        QStringLiteral("The extra fields this list keeps for every film, beyond the "
                       "seventeen. Each change is made at once, as a step of its own that Undo takes back."));
    about->setWordWrap(true);
    m_fields = named(new QListWidget, "lstFields");
    m_fields->setAccessibleName(QStringLiteral("Extra fields"));
    auto* fieldsCaption = new QLabel(QStringLiteral("&Extra fields:"));
    fieldsCaption->setBuddy(m_fields);
    m_problem = named(new QLabel, "lblFieldProblem");
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setWordWrap(true);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close);
    close->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* list = new QHBoxLayout;
    list->addWidget(m_fields, 1);
    list->addLayout(buildMoveButtons());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addWidget(fieldsCaption);
    layout->addLayout(list, 1);
    layout->addLayout(buildNameRow());
    layout->addWidget(m_problem);
    layout->addWidget(close);

    connect(m_fields, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        const ExtraField& field = m_catalogue.extraFields()[row];
        m_name->setText(field.name);
        m_kind->setCurrentIndex(static_cast<int>(field.kind));
        refreshCommands();
    });
    connect(m_name, &QLineEdit::textChanged, this, &frmFields::refreshCommands);
    showFields(m_catalogue.extraFields().isEmpty() ? -1 : 0);
    resize(sizeHint().expandedTo(QSize(480, 400)));
}

// The typed name and its kind, with the buttons that add a field of them or give the picked one
// the name.
QLayout* frmFields::buildNameRow()
{
    m_name = named(new QLineEdit, "txtFieldName");
    m_name->setMaxLength(MaxExtraFieldNameLength);
    auto* nameCaption = new QLabel(QStringLiteral("&Name:"));
    nameCaption->setBuddy(m_name);
    m_kind = named(new QComboBox, "cboFieldKind");
    for (int kind = 0; kind < ExtraKindCount; ++kind)
        m_kind->addItem(kindFacts(static_cast<ExtraKind>(kind)).words.toString());
    auto* kindCaption = new QLabel(QStringLiteral("&Kind:"));
    kindCaption->setBuddy(m_kind);
    // Enter in the name adds the field.
    m_add = named(new QPushButton(QStringLiteral("&Add")), "cmdFieldAdd");
    m_add->setDefault(true);
    m_rename = named(new QPushButton(QStringLiteral("Re&name")), "cmdFieldRename");
    m_rename->setAutoDefault(false);
    connect(m_add, &QPushButton::clicked, this, [this] {
        change([this] {
            m_commands.addExtraField(
                {m_name->text().trimmed(), static_cast<ExtraKind>(m_kind->currentIndex())});
            return m_catalogue.extraFields().size() - 1;
        });
    });
    connect(m_rename, &QPushButton::clicked, this, [this] {
        change([this] {
            const qsizetype field = picked();
            m_commands.renameExtraField(field, m_name->text().trimmed());
            return field;
        });
    });
    auto* row = new QHBoxLayout;
    row->addWidget(nameCaption);
    row->addWidget(m_name, 1);
    row->addWidget(kindCaption);
    row->addWidget(m_kind);
    row->addWidget(m_add);
    row->addWidget(m_rename);
    return row;
}

QLayout* frmFields::buildMoveButtons()
{
    m_up = named(new QPushButton(QStringLiteral("Move &Up")), "cmdFieldUp");
    m_down = named(new QPushButton(QStringLiteral("Move &Down")), "cmdFieldDown");
    m_remove = named(new QPushButton(QStringLiteral("&Remove")), "cmdFieldRemove");
    const auto move = [this](qsizetype by) {
        change([this, by] {
            const qsizetype field = picked();
            m_commands.moveExtraField(field, field + by);
            return field + by;
        });
    };
    connect(m_up, &QPushButton::clicked, this, [move] { move(-1); });
    connect(m_down, &QPushButton::clicked, this, [move] { move(1); });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        change([this] {
            const qsizetype field = picked();
            if (!m_commands.removeExtraField(field))
                return field;
            return qMin(field, m_catalogue.extraFields().size() - 1);
        });
    });
    auto* column = new QVBoxLayout;
    for (QPushButton* button : {m_up, m_down, m_remove}) {
        button->setAutoDefault(false);
        column->addWidget(button);
    }
    column->addStretch();
    return column;
}

qsizetype frmFields::picked() const
{
    return m_fields->currentRow();
}

void frmFields::change(const std::function<qsizetype()>& change)
{
    m_runner.run([this, &change] { showFields(change()); });
}

void frmFields::showFields(qsizetype picked)
{
    m_fields->clear();
    for (const ExtraField& field : m_catalogue.extraFields())
        m_fields->addItem(fieldLine(field));
    m_fields->setCurrentRow(static_cast<int>(picked));
    refreshCommands();
}

void frmFields::refreshCommands()
{
    const ExtraFields& fields = m_catalogue.extraFields();
    const qsizetype field = picked();
    const QString name = m_name->text().trimmed();
    const QString addProblem = fields.size() >= MaxExtraFields
                                   ? QStringLiteral("a list has at most %1 extra fields").arg(MaxExtraFields)
                                   : extraFieldNameProblem(fields, name, PageHost::answersFilmName);
    const bool renamed = field >= 0 && name != fields[field].name;
    const QString renameProblem =
        renamed ? extraFieldNameProblem(fields, name, PageHost::answersFilmName, field) : QString();
    m_add->setEnabled(addProblem.isEmpty());
    m_rename->setEnabled(renamed && renameProblem.isEmpty());
    m_up->setEnabled(field > 0);
    m_down->setEnabled(field >= 0 && field < fields.size() - 1);
    m_remove->setEnabled(field >= 0);
    // What keeps the typed name from naming a field, unless it is the picked field's own.
    const bool own = field >= 0 && !renamed;
    m_problem->setText(
        name.isEmpty() || own ? QString() : sentence(renameProblem.isEmpty() ? addProblem : renameProblem));
}

} // namespace reelkeep
