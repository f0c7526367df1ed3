// The Options dialog, laid out so that it grows with the font and the screen's density.
#include "storage/widgets/frmOptions.h"

#include "storage/SettingsEntries.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace reelkeep {

namespace {

template <typename Control> Control* named(Control* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

// Each opening starts the browse dialog afresh on the pattern of native list files.
FileDialogState autoListDialog()
{
    FileDialogState dialog;
    dialog.title = QStringLiteral("Auto List");
    dialog.filter = QStringLiteral("*.rkf|*.rkf");
    dialog.defaultExtension = QStringLiteral("rkf");
    dialog.fileName = QStringLiteral("*.rkf");
    return dialog;
}

// The auto-load frame on top, its check box above the file name and its browse button; the
// frames of one check box each below it; OK and Cancel at the bottom right. The tab order follows
// the reading order.
void layOut(QDialog* dialog,
            QGroupBox* frame,
            std::initializer_list<QWidget*> inFrame,
            std::initializer_list<QCheckBox*> framedChecks,
            std::initializer_list<QWidget*> commands)
{
    const std::vector<QWidget*> framed(inFrame);
    auto* frameLayout = new QGridLayout(frame);
    frameLayout->addWidget(framed.at(0), 0, 0, 1, 2);
    frameLayout->addWidget(framed.at(1), 1, 0);
    frameLayout->addWidget(framed.at(2), 1, 1);
    frameLayout->setColumnStretch(0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QWidget* command : commands)
        buttons->addWidget(command);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(frame);
    for (QCheckBox* check : framedChecks)
        layout->addWidget(check->parentWidget());
    layout->addLayout(buttons);

    std::vector<QWidget*> order = framed;
    order.insert(order.end(), framedChecks.begin(), framedChecks.end());
    order.insert(order.end(), commands);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace

frmOptions::frmOptions(DesktopServices& desktop, QWidget* parent)
    : QDialog(parent)
    , m_desktop(desktop)
    , m_commonDialog1(autoListDialog())
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));

    auto* frame1 = named(new QGroupBox(QStringLiteral("Auto Load List"), this), "Frame1");
    m_check1 = named(new QCheckBox(QStringLiteral("&Auto Load"), frame1), "Check1");
    m_text1 = named(new QLineEdit(frame1), "Text1");
    m_text1->setAccessibleName(QStringLiteral("Auto load file name"));
    m_text1->setMinimumWidth(m_text1->fontMetrics().averageCharWidth() * 40);
    auto* command1 = named(new QPushButton(QStringLiteral("..."), frame1), "Command1");
    command1->setAccessibleName(QStringLiteral("Browse"));
    command1->setToolTip(QStringLiteral("Browse"));
    // Enter presses OK, or the button that has the focus.
    auto* command2 = named(new QPushButton(QStringLiteral("OK"), this), "Command2");
    command2->setDefault(true);
    auto* command3 = named(new QPushButton(QStringLiteral("Cancel"), this), "Command3");
    // The box's caption is its own label: assistive technology reads it as the box's name.
    auto* frame2 = named(new QGroupBox(QStringLiteral("Saving"), this), "Frame2");
    m_check2 = named(
        new QCheckBox(
            QStringLiteral("&Keep the previous version of a file saved over (NAME.rkf.bak beside NAME.rkf)"),
            frame2),
        "Check2");
    (new QVBoxLayout(frame2))->addWidget(m_check2);
    auto* frame3 = named(new QGroupBox(QStringLiteral("Covers"), this), "Frame3");
    m_check3 = named(
        new QCheckBox(QStringLiteral("Keep &covers with the list: copy pictures into the folder NAME covers"),
                      frame3),
        "Check3");
    (new QVBoxLayout(frame3))->addWidget(m_check3);
    layOut(this, frame1, {m_check1, m_text1, command1}, {m_check2, m_check3}, {command2, command3});

    connect(command1, &QPushButton::clicked, this, &frmOptions::command1Clicked);
    connect(command2, &QPushButton::clicked, this, &frmOptions::command2Clicked);
    connect(command3, &QPushButton::clicked, this, &QDialog::reject);

    const AutoLoadSetting setting = readAutoLoad(m_desktop);
    m_check1->setChecked(setting.enabled);
    m_text1->setText(setting.fileName);
    m_check2->setChecked(readKeepPreviousVersion(m_desktop));
    m_check3->setChecked(readKeepCoversWithList(m_desktop));
}

void frmOptions::command1Clicked()
{
    if (m_desktop.openFileDialog(m_commonDialog1))
        m_text1->setText(m_commonDialog1.fileName);
}

// The file name is stored as typed, empty or not; start-up skips a file it cannot find.
void frmOptions::command2Clicked()
{
    writeAutoLoad(m_desktop, {m_check1->isChecked(), m_text1->text()});
    writeKeepPreviousVersion(m_desktop, m_check2->isChecked());
    writeKeepCoversWithList(m_desktop, m_check3->isChecked());
    accept();
}

} // namespace reelkeep
