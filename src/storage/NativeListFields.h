// What a native list file says of extra fields it cannot hold: the writer and the reader give the
// same reasons in the same words.
#pragma once

#include "catalogue/ExtraField.h"
#include "catalogue/FilmRecord.h"
#include "storage/ListFile.h"

#include <QString>
#include <QStringView>

namespace reelkeep {

/// More extra fields than a list holds.
QString tooManyFieldsFailure(qsizetype count);

/// An extra field's name that cannot be, for the problem given.
QString fieldNameFailure(QStringView name, const QString& problem);

/// A film's value that is no value of its extra field's kind; position counts from 0.
QString valueFailure(const FilmRecord& film, qsizetype position, const ExtraField& field, QStringView value);

/// Why the extra fields of a document could not be loaded back from a file, or the empty text.
QString extraFieldsProblem(const ListDocument& document);

} // namespace reelkeep
