// The page order's sort: the films ordered by one of their first six fields or by an extra field.
#pragma once

#include "catalogue/ExtraField.h"
#include "catalogue/FilmRecord.h"

#include <QList>
#include <QString>

#include <cstdint>

namespace reelkeep {

/// Whether the page order can be sorted by the field called `name` (lower case): one of the first
/// six fields or an extra field of the list.
bool sortsBy(const ExtraFields& fields, QStringView name);

/// The page order for the films sorted by the field called fieldName (lower case), with equal keys
/// in catalogue order in either direction. The first six fields, and extra fields of text, are
/// compared as StrComp does in text mode (the empty text first); extra fields of numbers, ratings,
/// dates and yes/no by value, an empty value before every other. A name that is no such field
/// gives the catalogue's own order.
QList<std::int16_t> sortedPageOrder(const QList<FilmRecord>& films,
                                    const ExtraFields& fields,
                                    const QString& fieldName,
                                    bool ascending);

} // namespace reelkeep
