// The settings entries Reelkeep keeps between runs: the auto-load option and the two histories.
#pragma once

#include <QString>
#include <QStringList>

namespace reelkeep {

class DesktopServices;

inline const QString GeneralSection = QStringLiteral("Genral");
inline const QString AutoLoadKey = QStringLiteral("AutoLoad File");
inline const QString AutoLoadFileNameKey = QStringLiteral("AutoLoad FileName");
inline const QString KeepPreviousVersionKey = QStringLiteral("Keep Previous Version");
inline const QString TypeHistorySection = QStringLiteral("TypeHistory");
inline const QString GenreHistorySection = QStringLiteral("GenreHistory");

/// Keys "0" to "7" of a history section, skipping entries that are blank after trimming but
/// keeping the others exactly as stored.
QStringList readHistory(DesktopServices& desktop, const QString& section);
/// Writes all eight keys, the empty text where the history has no entry.
void writeHistory(DesktopServices& desktop, const QString& section, const QStringList& history);

struct AutoLoadSetting
{
    bool enabled = false;
    QString fileName;
};

/// Auto-load is on only for the exact text "True".
AutoLoadSetting readAutoLoad(DesktopServices& desktop);
void writeAutoLoad(DesktopServices& desktop, const AutoLoadSetting& setting);

/// Whether a save that replaces a list file keeps the version it replaces beside it: on unless
/// the exact text "False" is stored.
bool readKeepPreviousVersion(DesktopServices& desktop);
void writeKeepPreviousVersion(DesktopServices& desktop, bool keep);

} // namespace reelkeep
