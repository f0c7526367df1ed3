// The largest inputs the program reads: bounds far beyond any real file, so that a malformed or
// endless input (a field whose quote never closes, a device like /dev/zero) is refused with a
// reason instead of being read until memory runs out.
#pragma once

#include "catalogue/Catalogue.h"

#include <QString>

#include <new>

namespace reelkeep {

/// Films in a list, as the catalogue holds them.
inline constexpr int MaxListFilms = Catalogue::MaxEntries;
/// Bytes of one counted text of the native form, whose count is 16 bits.
inline constexpr qsizetype MaxNativeTextBytes = 65535;
/// Bytes one field of a comma-separated list file takes in the file: all between the comma or line
/// end before it and the one after it, its quotes and doubled quotes included; sixteen times what
/// a native text holds. Saving refuses a longer field, and loading a file that has one.
inline constexpr qsizetype MaxCsvFieldBytes = qsizetype(1) << 20;
/// Bytes of a list file in either form: four times the largest spreadsheet file imported.
inline constexpr qsizetype MaxListFileBytes = qsizetype(256) << 20;
/// The largest spreadsheet file imported, which is read whole: room for a full list of films
/// with long plots.
inline constexpr qsizetype MaxTableBytes = qsizetype(64) << 20;
/// The most columns an imported file's header may have.
inline constexpr qsizetype MaxTableColumns = 1024;
/// Bytes of one template file, which is read whole.
inline constexpr qsizetype MaxTemplateBytes = qsizetype(64) << 20;

/// "the file holds more than 32,767 films"
inline QString tooManyFilmsFailure()
{
    return QStringLiteral("the file holds more than 32,767 films");
}

/// "a list holds at most 32,767 films": why a longer list is not saved, as it could not be loaded.
inline QString tooManyFilmsToSaveFailure()
{
    return QStringLiteral("a list holds at most 32,767 films");
}

/// "64 MB": a bound in whole megabytes, as the messages that name it say it.
inline QString megabytes(qsizetype bound)
{
    return QStringLiteral("%1 MB").arg(bound >> 20);
}

/// "the file is larger than 64 MB"
inline QString fileTooLargeFailure(qsizetype bound)
{
    return QStringLiteral("the file is larger than %1").arg(megabytes(bound));
}

/// "there is not enough memory"
inline QString outOfMemoryFailure()
{
    return QStringLiteral("there is not enough memory");
}

/// Runs a step that reads or writes a file and returns a std::optional or a bool, turning an
/// allocation that fails into a refusal (nothing, or false) that says so. What the step built is
/// freed on the way out, and what the caller holds stays as it was.
template <typename Step> auto refuseWhenOutOfMemory(QString* failure, Step step) -> decltype(step())
{
    try {
        return step();
    } catch (const std::bad_alloc&) {
        if (failure)
            *failure = outOfMemoryFailure();
        return {};
    }
}

} // namespace reelkeep
