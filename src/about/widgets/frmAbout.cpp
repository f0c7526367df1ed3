// The About box, laid out so that it grows with the font and the screen's density.
#include "about/widgets/frmAbout.h"

#include "about/Product.h"
#include "about/SystemInfo.h"
#include "about/Version.h"
#include "desktop/DesktopServices.h"

#include <QBoxLayout>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace reelkeep {

namespace {

QString versionText()
{
    return QStringLiteral("Version %1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

// The window's icon (the main window's, or else the program's), or the style's computer icon
// while there is none.
QLabel* makeIcon(QWidget* parent)
{
    QIcon icon = parent->windowIcon();
    if (icon.isNull())
        icon = parent->style()->standardIcon(QStyle::SP_ComputerIcon);
    const int side = parent->style()->pixelMetric(QStyle::PM_LargeIconSize);
    auto* picture = makeLabel(parent, "picIcon", {});
    picture->setPixmap(icon.pixmap(QSize(side, side), parent->devicePixelRatioF()));
    picture->setAccessibleName(QString::fromLatin1(ProductTitle) + QStringLiteral(" icon"));
    picture->setAlignment(Qt::AlignTop);
    return picture;
}

QLabel* makeTitle(QWidget* parent, const QString& title)
{
    auto* label = makeLabel(parent, "lblTitle", title);
    QFont font = label->font();
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.5);
    label->setFont(font);
    return label;
}

// The web address as a link that the keyboard reaches too; the box opens it itself, through
// the desktop, rather than letting the label open it.
QLabel* makeDescription(QWidget* parent)
{
    const QString address = ProductWebAddress.toHtmlEscaped();
    auto* label =
        makeLabel(parent, "lblDescription", QStringLiteral("URL: <a href=\"%1\">%1</a>").arg(address));
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    label->setOpenExternalLinks(false);
    label->setAccessibleName(QStringLiteral("URL: ") + ProductWebAddress);
    return label;
}

// The icon beside the texts, a rule, and the buttons at the bottom right.
void layOut(QDialog* dialog, QLayout* texts, std::initializer_list<QPushButton*> commands)
{
    auto* top = new QHBoxLayout;
    top->addWidget(makeIcon(dialog));
    top->addLayout(texts, 1);
    auto* line = new QFrame(dialog);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* command : commands)
        buttons->addWidget(command);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace

frmAbout::frmAbout(DesktopServices& desktop, Registry& registry, QWidget* parent)
    : QDialog(parent)
    , m_desktop(desktop)
    , m_registry(registry)
{
    setObjectName(QStringLiteral("frmAbout"));
    const QString title = QString::fromLatin1(ProductTitle);
    setWindowTitle(QStringLiteral("About ") + title);

    auto* lblDescription = makeDescription(this);
    connect(lblDescription, &QLabel::linkActivated, this, &frmAbout::descriptionLinkActivated);
    // Enter presses OK, or the button that has the focus.
    auto* cmdOK = makeButton(this, "cmdOK", QStringLiteral("OK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    auto* cmdSysInfo = makeButton(this, "cmdSysInfo", QStringLiteral("&System Info..."));
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfoClicked);

    auto* texts = new QVBoxLayout;
    texts->addWidget(makeTitle(this, title));
    texts->addWidget(makeLabel(this, "lblVersion", versionText()));
    texts->addWidget(lblDescription);
    texts->addStretch();
    layOut(this, texts, {cmdOK, cmdSysInfo});

    setTabOrder(cmdOK, cmdSysInfo);
    setTabOrder(cmdSysInfo, lblDescription);
    cmdOK->setFocus();
}

void frmAbout::cmdSysInfoClicked()
{
    StartSysInfo(m_registry, m_desktop);
}

void frmAbout::descriptionLinkActivated(const QString& address)
{
    m_desktop.openWebAddress(address);
}

} // namespace reelkeep
