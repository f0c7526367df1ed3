// The page texts on "Genral".
#include "window/PageTexts.h"

#include "catalogue/Catalogue.h"
#include "window/Controls.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace reelkeep {

PageTexts::PageTexts(Catalogue& catalogue, QWidget* parent)
    : QWidget(parent)
    , m_catalogue(catalogue)
    , m_title(makeLineEdit("gTitle"))
    , m_description(makeTextBox("gDescription"))
{
    m_title->setText(DefaultPageTitle);
    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addRow(QStringLiteral("Title:"), m_title);
    layout->addRow(QStringLiteral("Description:"), m_description);
    // Every change the native list file stores marks the catalogue as changed.
    const auto edited = [this] {
        if (m_filling)
            return;
        m_edited = true;
        m_catalogue.setModified(true);
    };
    connect(m_title, &QLineEdit::textEdited, this, edited);
    connect(m_description, &QPlainTextEdit::textChanged, this, edited);
}

QString PageTexts::title() const
{
    return m_title->text();
}

QString PageTexts::description() const
{
    return m_description->fieldText();
}

void PageTexts::showTexts(const QString& title, const QString& description)
{
    const QScopedValueRollback filling(m_filling, true);
    if (m_title->text() != title)
        m_title->setText(title);
    if (m_description->fieldText() != description)
        m_description->setFieldText(description);
}

bool PageTexts::areNew() const
{
    return title() == DefaultPageTitle && description().isEmpty();
}

QList<QWidget*> PageTexts::boxes() const
{
    return {m_title, m_description};
}

} // namespace reelkeep
