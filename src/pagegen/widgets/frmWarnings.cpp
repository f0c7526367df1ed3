// The warnings dialog: a table of file, line and warning, and Close.
#include "pagegen/widgets/frmWarnings.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace reelkeep {

namespace {

QTableWidgetItem* cell(const QString& text, const QString& tip = {})
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(tip.isEmpty() ? text : tip);
    return item;
}

} // namespace

frmWarnings::frmWarnings(const QList<TemplateWarning>& warnings, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmWarnings"));
    setWindowTitle(QStringLiteral("Template Warnings"));

    auto* table = new QTableWidget(int(warnings.size()), 3);
    table->setObjectName(QStringLiteral("tblWarnings"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("File"), QStringLiteral("Line"), QStringLiteral("Warning")});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(true);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < warnings.size(); ++row) {
        const TemplateWarning& warning = warnings.at(row);
        // The file by its name, its full path on hover: templates of one page share a folder.
        table->setItem(
            row, 0, cell(QFileInfo(warning.file).fileName(), QDir::toNativeSeparators(warning.file)));
        table->setItem(row, 1, cell(QString::number(warning.line)));
        table->setItem(row, 2, cell(warning.text()));
    }
    table->resizeRowsToContents();

    auto* caption =
        new QLabel(QStringLiteral("The templates' &warnings: what each place yields is in the page "
                                  "all the same, but it is most likely not what was meant."));
    caption->setWordWrap(true);
    caption->setBuddy(table);
    table->setAccessibleName(QStringLiteral("Warnings"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(table, 1);
    layout->addWidget(buttons);
    resize(760, 360);
}

} // namespace reelkeep
