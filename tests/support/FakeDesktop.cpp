// The scripted desktop of the tests.
#include "support/FakeDesktop.h"

#include <QFile>
#include <QFileInfo>

namespace reelkeep {

Answer FakeDesktop::messageBox(const QString& text, Buttons buttons)
{
    m_questions.append(text);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

bool FakeDesktop::answerFileDialog(FileDialogState& dialog)
{
    m_dialogs.append(dialog.title);
    m_proposedNames.append(dialog.fileName);
    m_proposedFilters.append(dialog.filterIndex);
    const FileChoice choice = m_fileChoices.isEmpty() ? FileChoice{} : m_fileChoices.dequeue();
    if (choice.path.isEmpty())
        return false;
    dialog.fileName = choice.path;
    dialog.filterIndex = choice.filterIndex;
    return true;
}

bool FakeDesktop::fileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

bool FakeDesktop::deleteFile(const QString& path)
{
    return QFile::remove(path) || !QFileInfo::exists(path);
}

} // namespace reelkeep
