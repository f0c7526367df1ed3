// The history rule of the type and genre boxes.
#include "catalogue/History.h"

namespace reelkeep {

void rememberInHistory(QStringList& history, const QString& text)
{
    if (text.isEmpty())
        return;
    const QString lowered = text.toLower();
    for (qsizetype i = 0; i < history.size(); ++i) {
        if (history.at(i).toLower() == lowered) {
            history.removeAt(i);
            break;
        }
    }
    if (history.size() >= HistoryLength)
        history.removeAt(HistoryLength - 1);
    history.prepend(text);
}

} // namespace reelkeep
