// The page order's sort: the films ordered by one of their first six fields.
#pragma once

#include "catalogue/FilmRecord.h"

#include <QList>
#include <QString>

#include <cstdint>

namespace reelkeep {

/// The page order for the films sorted by one of the first six fields, compared as StrComp does
/// in text mode, with equal keys in catalogue order in either direction. A name that is not one of
/// the six keys gives the catalogue's own order.
QList<std::int16_t> sortedPageOrder(const QList<FilmRecord>& films, const QString& fieldName, bool ascending);

} // namespace reelkeep
