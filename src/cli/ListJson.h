// A list file's contents as JSON text, keys in the order of the file and the field order.
#pragma once

#include "storage/ListFile.h"

#include <QString>

namespace reelkeep {

/// {"pageTitle": ..., "pageDescription": ..., "films": [{"title": ..., ... "weburl3": ...}]},
/// indented by four spaces; a missing page text is null.
QString listDocumentToJson(const ListDocument& document);

/// A text as a JSON string literal, quotes included.
QString jsonString(QStringView text);

} // namespace reelkeep
