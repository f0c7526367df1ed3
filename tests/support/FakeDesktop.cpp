// The scripted desktop of the tests.
#include "support/FakeDesktop.h"

#include <QFile>
#include <QFileInfo>

namespace reelkeep {

void FakeDesktop::queueFileChoice(const QString& path, int filterIndex)
{
    m_fileChoices.enqueue({path, filterIndex});
}

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

bool FakeDesktop::saveFileDialog(FileDialogState& dialog)
{
    return answerFileDialog(dialog);
}

bool FakeDesktop::openFileDialog(FileDialogState& dialog)
{
    return answerFileDialog(dialog);
}

QString FakeDesktop::readSetting(const QString& section, const QString& key, const QString& defaultText)
{
    return settings.value(section + QLatin1Char('/') + key, defaultText);
}

void FakeDesktop::writeSetting(const QString& section, const QString& key, const QString& text)
{
    settings.insert(section + QLatin1Char('/') + key, text);
}

bool FakeDesktop::fileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

bool FakeDesktop::deleteFile(const QString& path)
{
    return QFile::remove(path) || !QFileInfo::exists(path);
}

bool FakeDesktop::startProgram(const QString& path)
{
    m_programs.append(path);
    return !brokenPrograms.contains(path);
}

} // namespace reelkeep
