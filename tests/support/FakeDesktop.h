// A desktop for tests: plays back scripted answers and records every question it is asked.
#pragma once

#include "desktop/DesktopServices.h"

#include <QMap>
#include <QQueue>
#include <QSet>
#include <QStringList>

#include <functional>

namespace reelkeep {

class FakeDesktop : public DesktopServices
{
public:
    /// Answers the next message box; a box asked with no answer queued answers Cancel (or Ok).
    void queueAnswer(Answer answer) { m_answers.enqueue(answer); }
    /// Answers the next file dialog with a path and filter position; an empty path cancels it.
    void queueFileChoice(const QString& path, int filterIndex = 1)
    {
        m_fileChoices.enqueue({path, filterIndex});
    }
    void queueCancel() { queueFileChoice({}); }

    /// The texts of every message box shown so far, in order.
    const QStringList& questions() const { return m_questions; }
    /// The titles of every file dialog shown so far, in order.
    const QStringList& dialogs() const { return m_dialogs; }
    /// The file name each file dialog proposed when it opened, and its filter position.
    const QStringList& proposedNames() const { return m_proposedNames; }
    const QList<int> proposedFilters() const { return m_proposedFilters; }
    const QStringList& openedAddresses() const { return m_addresses; }
    const QStringList& startedPrograms() const { return m_programs; }
    int yields() const { return m_yields; }

    /// The stored settings, keyed "section/key".
    QMap<QString, QString> settings;
    QString commandLineText;
    QString applicationFolderPath = QStringLiteral("/nonexistent/reelkeep");
    QDateTime clock = QDateTime(QDate(2026, 12, 6), QTime(12, 0));
    /// Programs that refuse to start.
    QSet<QString> brokenPrograms;
    /// Runs at every yield, as a user's click during a long run would.
    std::function<void()> onYield;
    /// Runs before every settings read, with its section; a test throws from it to fail a command there.
    std::function<void(const QString& section)> onReadSetting;

    Answer messageBox(const QString& text, Buttons buttons) override;
    bool saveFileDialog(FileDialogState& dialog) override { return answerFileDialog(dialog); }
    bool openFileDialog(FileDialogState& dialog) override { return answerFileDialog(dialog); }
    QString readSetting(const QString& section, const QString& key, const QString& defaultText = {}) override
    {
        if (onReadSetting)
            onReadSetting(section);
        return settings.value(section + QLatin1Char('/') + key, defaultText);
    }
    void writeSetting(const QString& section, const QString& key, const QString& text) override
    {
        settings.insert(section + QLatin1Char('/') + key, text);
    }
    bool fileExists(const QString& path) override;
    bool deleteFile(const QString& path) override;
    QString applicationFolder() override { return applicationFolderPath; }
    QString commandLine() override { return commandLineText; }
    void openWebAddress(const QString& address) override { m_addresses.append(address); }
    bool startProgram(const QString& path) override
    {
        m_programs.append(path);
        return !brokenPrograms.contains(path);
    }
    void yield() override
    {
        ++m_yields;
        if (onYield)
            onYield();
    }
    QDateTime now() override { return clock; }

private:
    bool answerFileDialog(FileDialogState& dialog);

    struct FileChoice
    {
        QString path;
        int filterIndex;
    };

    QQueue<Answer> m_answers;
    QQueue<FileChoice> m_fileChoices;
    QStringList m_questions;
    QStringList m_dialogs;
    QStringList m_proposedNames;
    QList<int> m_proposedFilters;
    QStringList m_addresses;
    QStringList m_programs;
    int m_yields = 0;
};

} // namespace reelkeep
