// The Qt implementation of the desktop services.
#include "desktop/qt/QtDesktopServices.h"

#include "about/Version.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QUrl>

namespace reelkeep {

namespace {

QMessageBox::StandardButtons standardButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
    case Buttons::StoreDiscardCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

Answer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

QSettings userSettings()
{
    return QSettings(QSettings::IniFormat,
                     QSettings::UserScope,
                     QString::fromLatin1(ProductTitle),
                     QString::fromLatin1(ProductTitle));
}

QString settingPath(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

// The extension of a filter entry that is one "*.ext" pattern, or the empty text.
QString extensionOfFilter(const QString& filter, int filterIndex)
{
    const QString pattern = filter.split(QLatin1Char('|')).value(2 * filterIndex - 1);
    const QString extension = pattern.mid(2);
    const bool onePattern = pattern.startsWith(QLatin1String("*.")) && !extension.isEmpty() &&
                            !extension.contains(QLatin1Char('*')) && !extension.contains(QLatin1Char(';'));
    return onePattern ? extension : QString();
}

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        const QString& pattern = parts.at(i + 1);
        // A description that already shows its pattern, or is the pattern, is shown once.
        const QString shown = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (description == pattern)
            filters.append(pattern);
        else if (description.endsWith(shown))
            filters.append(description);
        else
            filters.append(description + QLatin1Char(' ') + shown);
    }
    return filters;
}

Answer QtDesktopServices::messageBox(const QString& text, Buttons buttons)
{
    QMessageBox box(
        QMessageBox::NoIcon, QString::fromLatin1(ProductTitle), text, standardButtons(buttons), m_parent);
    if (buttons == Buttons::StoreDiscardCancel) {
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Store"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Discard"));
    }
    return answerOf(box.exec());
}

bool QtDesktopServices::runFileDialog(FileDialogState& dialog, bool saving)
{
    QFileDialog fileDialog(m_parent, dialog.title);
    fileDialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fileDialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The callers ask "Replace File?" themselves; a second question would only repeat it.
    fileDialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = qtNameFilters(dialog.filter);
    const auto followFilter = [&](const QString& nameFilter) {
        const QString extension =
            extensionOfFilter(dialog.filter, static_cast<int>(filters.indexOf(nameFilter)) + 1);
        fileDialog.setDefaultSuffix(extension.isEmpty() ? dialog.defaultExtension : extension);
    };
    QObject::connect(&fileDialog, &QFileDialog::filterSelected, &fileDialog, followFilter);
    fileDialog.setNameFilters(filters);
    if (dialog.filterIndex >= 1 && dialog.filterIndex <= filters.size())
        fileDialog.selectNameFilter(filters.at(dialog.filterIndex - 1));
    followFilter(fileDialog.selectedNameFilter());
    // A remembered name that is only a pattern ("*.rkf") proposes no file, but still its folder.
    const QFileInfo proposed(dialog.fileName);
    if (!proposed.path().isEmpty() && proposed.path() != QLatin1String("."))
        fileDialog.setDirectory(proposed.path());
    if (!dialog.fileName.contains(QLatin1Char('*')))
        fileDialog.selectFile(proposed.fileName());
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return false;
    dialog.fileName = fileDialog.selectedFiles().constFirst();
    dialog.filterIndex = static_cast<int>(filters.indexOf(fileDialog.selectedNameFilter())) + 1;
    return true;
}

bool QtDesktopServices::saveFileDialog(FileDialogState& dialog)
{
    return runFileDialog(dialog, true);
}

bool QtDesktopServices::openFileDialog(FileDialogState& dialog)
{
    return runFileDialog(dialog, false);
}

QString QtDesktopServices::readSetting(const QString& section, const QString& key, const QString& defaultText)
{
    return userSettings().value(settingPath(section, key), defaultText).toString();
}

void QtDesktopServices::writeSetting(const QString& section, const QString& key, const QString& text)
{
    userSettings().setValue(settingPath(section, key), text);
}

bool QtDesktopServices::fileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

bool QtDesktopServices::deleteFile(const QString& path)
{
    return QFile::remove(path) || !QFileInfo::exists(path);
}

QString QtDesktopServices::applicationFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString QtDesktopServices::commandLine()
{
    // The desktop hands a file name over as one argument; joined with spaces, the arguments give
    // back the text that followed the program's name.
    return QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
}

void QtDesktopServices::openWebAddress(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}

bool QtDesktopServices::startProgram(const QString& path)
{
    return QProcess::startDetached(path, {});
}

void QtDesktopServices::yield()
{
    QCoreApplication::processEvents();
}

QDateTime QtDesktopServices::now()
{
    return QDateTime::currentDateTime();
}

} // namespace reelkeep
