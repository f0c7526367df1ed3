// Reading and writing list files in the native form (.rkf) and the comma-separated form (.csv).
#pragma once

#include "catalogue/ExtraField.h"
#include "catalogue/FilmRecord.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace reelkeep {

/// The form of a list file, numbered as the file dialog's filter positions.
enum class ListForm
{
    FromName = 0,
    Native = 1,
    CommaSeparated = 2,
};

/// The encoding of a list file's texts, which a save in the comma-separated form keeps while every
/// text fits it. The native form writes a list without extra fields in Windows-1252 under "rkf01"
/// whenever every text fits it.
enum class ListEncoding
{
    /// Windows-1252 while every text fits it, else UTF-8 as Utf8WithMark: a new list's encoding.
    Windows1252,
    /// UTF-8: after a byte-order mark in the comma-separated form, under "rkf02" in the native form.
    Utf8WithMark,
    /// UTF-8 without a byte-order mark, as editors, scripts and spreadsheets write comma-separated
    /// text; under "rkf02" in the native form.
    Utf8,
};

/// What a list file holds. The comma-separated form carries no page texts and no extra fields.
struct ListDocument
{
    std::optional<QString> pageTitle;
    std::optional<QString> pageDescription;
    QList<FilmRecord> films;
    /// The encoding the file was read in, and the one a comma-separated save writes while every text
    /// fits it.
    ListEncoding encoding = ListEncoding::Windows1252;
    /// The list's extra fields, whose values the films hold in this order.
    ExtraFields fields = {};

    bool operator==(const ListDocument&) const = default;
};

/// The form that the last three characters of a file name choose, ignoring case ("rkf" native,
/// "csv" comma-separated), or nothing for any other name. A previous version that a save kept is
/// named by what comes before its ".bak": "films.rkf.bak" is native.
std::optional<ListForm> formFromFileName(const QString& path);

/// The form that a list file's first bytes show: a native magic the native form, a double quote
/// (how every comma-separated file of films this program writes begins) the comma-separated form.
/// For other bytes, an empty file or one that cannot be read, the form given instead. So a list
/// saved under the other form's extension still loads in its own form.
ListForm formOfContents(const QString& path, ListForm otherwise);

/// Reads a whole list file. For ListForm::FromName a name ending in rkf or csv is read in the form
/// its first bytes show (formOfContents), else in the name's form; any other name is refused.
/// Nothing is returned unless the file reads correctly; failure then says why, in words for the user.
/// A UTF-8 file with bytes that are not UTF-8 loads, each read as U+FFFD, and warning says where
/// the first of them is (a save would write U+FFFD in their place). So does a comma-separated file
/// read as Windows-1252 that holds UTF-8 too, where the first UTF-8 is: its two halves were most
/// likely written by different programs.
std::optional<ListDocument>
loadListFile(const QString& path, ListForm form, QString* failure = nullptr, QString* warning = nullptr);

/// What a save in the form leaves out of the document, each in words for the user: the comma-
/// separated form keeps the films' seventeen fields only, so it leaves out page texts other than a
/// new window's ("the page title and description") and every extra field ("the extra fields
/// "Rating" and "Seen""). Empty when the form keeps everything.
QStringList notKeptBy(ListForm form, const ListDocument& document);

/// What notKeptBy() names, as one sentence without its full stop; empty when the form keeps
/// everything. Named after the file saved, it gives the reason ("films.csv does not keep the extra
/// field "Seen": the .csv form keeps the seventeen fields of each film only"); with no file name
/// the form is the subject ("The .csv form does not keep the extra field "Seen"").
QString notKeptSentence(const QString& fileName, ListForm form, const ListDocument& document);

/// Whether a save that replaces a file keeps the version it replaces.
enum class PreviousVersion
{
    /// As previousVersionPath() names it, written as safely as the file itself.
    Keep,
    Discard,
};

/// Writes a file completely or not at all, through QSaveFile: an old file of that name stays as it
/// was until the new one is complete. Replacing a file, the write first keeps the old one as
/// previousVersionPath() when told to; a write that cannot keep it fails, leaving the old file.
/// failure receives the system's reason for a refusal.
bool writeWholeFile(const QString& path,
                    QByteArrayView bytes,
                    QString* failure,
                    PreviousVersion previous = PreviousVersion::Discard);

/// What a save adds to the name of the file it replaces to keep that file's previous version.
inline constexpr QStringView PreviousVersionEnding = u".bak";

/// Where a save keeps the version of a file it replaces: beside it, its name with ".bak" added
/// ("films.rkf.bak").
QString previousVersionPath(const QString& path);

/// Writes a list file completely or not at all: the old file stays until the new one is complete.
/// ListForm::FromName chooses the form from the name as loading does. The comma-separated form
/// ignores the page texts; the native form writes a missing one as the empty text. The native form
/// writes the texts of a list without extra fields in Windows-1252 while every one fits it, whatever
/// the document's encoding; the comma-separated form in the document's encoding while every one fits
/// that. Replacing a file, the save first
/// keeps the old one as previousVersionPath() unless told to discard it; a save that cannot keep
/// it fails, leaving the old file.
bool saveListFile(const QString& path,
                  ListForm form,
                  const ListDocument& document,
                  QString* failure = nullptr,
                  PreviousVersion previous = PreviousVersion::Keep);

} // namespace reelkeep
