// A list file's contents as JSON text, keys in the order of the file and the field order.
#pragma once

#include "storage/ListFile.h"

#include <QString>

namespace reelkeep {

/// {"pageTitle": ..., "pageDescription": ..., "films": [{"title": ..., ... "weburl3": ...}]},
/// indented by four spaces; a missing page text is null. A list with extra fields has
/// "fields": [{"name": ..., "kind": ...}] before its films, and each film "extra": {NAME: value}
/// after its weburl3, every field's value by its name (the empty text for none).
QString listDocumentToJson(const ListDocument& document);

/// A text as a JSON string literal, quotes included.
QString jsonString(QStringView text);

} // namespace reelkeep
