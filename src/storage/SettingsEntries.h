// The settings entries Reelkeep keeps between runs: the options, the two histories and the film
// table's columns for each list file.
#pragma once

#include <QString>
#include <QStringList>

namespace reelkeep {

class DesktopServices;

inline const QString GeneralSection = QStringLiteral("Genral");
inline const QString AutoLoadKey = QStringLiteral("AutoLoad File");
inline const QString AutoLoadFileNameKey = QStringLiteral("AutoLoad FileName");
inline const QString KeepPreviousVersionKey = QStringLiteral("Keep Previous Version");
inline const QString KeepCoversWithListKey = QStringLiteral("Keep Covers With List");
inline const QString TypeHistorySection = QStringLiteral("TypeHistory");
inline const QString GenreHistorySection = QStringLiteral("GenreHistory");
inline const QString TableColumnsSection = QStringLiteral("FilmTable");

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

/// Whether a cover chosen for a film is copied into the folder beside the list file that keeps its
/// covers: on only for the exact text "True".
bool readKeepCoversWithList(DesktopServices& desktop);
void writeKeepCoversWithList(DesktopServices& desktop, bool keep);

/// The film table's columns as the window last showed them for a list file (the empty path for a
/// list without one), in the text the table writes; the empty text when none are stored. The
/// section "FilmTable" keys a list file by the SHA-1 of its absolute path in hexadecimal, since
/// a key may hold no separator of paths, and a list without a file by "NoFile".
QString readTableColumns(DesktopServices& desktop, const QString& listFile);
void writeTableColumns(DesktopServices& desktop, const QString& listFile, const QString& columns);

} // namespace reelkeep
