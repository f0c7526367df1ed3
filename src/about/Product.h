// Facts about the product that more than one window shows.
#pragma once

#include <QString>

namespace reelkeep {

/// The product's web address: the About box shows it and the main window's WebPage opens it.
inline const QString ProductWebAddress = QStringLiteral("https://reelkeep.example.org/");

} // namespace reelkeep
