// The About box, laid out so that it grows with the font and the screen's density.
#include "about/widgets/frmAbout.h"

#include "about/Product.h"
#include "about/SystemInfo.h"
#include "about/Version.h"
#include "desktop/DesktopServices.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFrame>
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

// The program's own icon, or the style's computer icon while the program has none.
QLabel* makeIcon(QWidget* parent)
{
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = parent->style()->standardIcon(QStyle::SP_ComputerIcon);
    const int side = parent->style()->pixelMetric(QStyle::PM_LargeIconSize);
    auto* picture = makeLabel(parent, "picIcon", {});
    picture->setPixmap(icon.pixmap(QSize(side, side), parent->devicePixelRatioF()));
    picture->setAccessibleName(QString::fromLatin1(ProductTitle) + QStringLiteral(" icon"));
    picture->setAlignment(Qt::AlignTop);
    return picture;
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

    auto* lblTitle = makeLabel(this, "lblTitle", title);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    if (titleFont.pointSizeF() > 0)
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    auto* lblVersion = makeLabel(this, "lblVersion", versionText());
    auto* lblDescription =
        makeLabel(this,
                  "lblDescription",
                  QStringLiteral("URL: <a href=\"%1\">%2</a>")
                      .arg(ProductWebAddress.toHtmlEscaped(), ProductWebAddress.toHtmlEscaped()));
    lblDescription->setTextFormat(Qt::RichText);
    lblDescription->setTextInteractionFlags(Qt::TextBrowserInteraction);
    lblDescription->setOpenExternalLinks(false);
    lblDescription->setAccessibleName(QStringLiteral("URL: ") + ProductWebAddress);
    connect(lblDescription, &QLabel::linkActivated, this, &frmAbout::descriptionLinkActivated);

    auto* cmdOK = makeButton(this, "cmdOK", QStringLiteral("OK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    auto* cmdSysInfo = makeButton(this, "cmdSysInfo", QStringLiteral("&System Info..."));
    cmdSysInfo->setAutoDefault(false);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfoClicked);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(makeIcon(this));
    top->addLayout(texts, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

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
