// The settings entries, read and written through the desktop's settings store.
#include "storage/SettingsEntries.h"

#include "catalogue/History.h"
#include "desktop/DesktopServices.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace reelkeep {

namespace {

// How a switch is stored.
QString switchText(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

QString tableColumnsKey(const QString& listFile)
{
    if (listFile.isEmpty())
        return QStringLiteral("NoFile");
    const QString path = QDir::cleanPath(QFileInfo(listFile).absoluteFilePath());
    return QString::fromLatin1(QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex());
}

} // namespace

QStringList readHistory(DesktopServices& desktop, const QString& section)
{
    QStringList history;
    for (int i = 0; i < HistoryLength; ++i) {
        const QString text = desktop.readSetting(section, QString::number(i));
        // Only spaces count as blank, as the settings were always trimmed of spaces alone.
        if (text.count(QLatin1Char(' ')) != text.size())
            history.append(text);
    }
    return history;
}

void writeHistory(DesktopServices& desktop, const QString& section, const QStringList& history)
{
    for (int i = 0; i < HistoryLength; ++i)
        desktop.writeSetting(section, QString::number(i), history.value(i));
}

AutoLoadSetting readAutoLoad(DesktopServices& desktop)
{
    return {desktop.readSetting(GeneralSection, AutoLoadKey) == QLatin1String("True"),
            desktop.readSetting(GeneralSection, AutoLoadFileNameKey)};
}

void writeAutoLoad(DesktopServices& desktop, const AutoLoadSetting& setting)
{
    desktop.writeSetting(GeneralSection, AutoLoadKey, switchText(setting.enabled));
    desktop.writeSetting(GeneralSection, AutoLoadFileNameKey, setting.fileName);
}

bool readKeepPreviousVersion(DesktopServices& desktop)
{
    return desktop.readSetting(GeneralSection, KeepPreviousVersionKey) != QLatin1String("False");
}

void writeKeepPreviousVersion(DesktopServices& desktop, bool keep)
{
    desktop.writeSetting(GeneralSection, KeepPreviousVersionKey, switchText(keep));
}

bool readKeepCoversWithList(DesktopServices& desktop)
{
    return desktop.readSetting(GeneralSection, KeepCoversWithListKey) == QLatin1String("True");
}

void writeKeepCoversWithList(DesktopServices& desktop, bool keep)
{
    desktop.writeSetting(GeneralSection, KeepCoversWithListKey, switchText(keep));
}

QString readTableColumns(DesktopServices& desktop, const QString& listFile)
{
    return desktop.readSetting(TableColumnsSection, tableColumnsKey(listFile));
}

void writeTableColumns(DesktopServices& desktop, const QString& listFile, const QString& columns)
{
    desktop.writeSetting(TableColumnsSection, tableColumnsKey(listFile), columns);
}

} // namespace reelkeep
