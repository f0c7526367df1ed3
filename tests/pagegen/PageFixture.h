// Runs templates over a small catalogue in a temporary template folder, or in a given one, as a
// page run does.
#pragma once

#include "evaluator/Equation_Evaluater.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageHost.h"
#include "pagegen/PageRun.h"
#include "support/ListFiles.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

namespace reelkeep {

class PageFixture : public PageContext
{
public:
    /// Reads its templates from `templateFolder`, by default a temporary folder of its own.
    explicit PageFixture(const QString& templateFolder = {})
        : templates(templateFolder.isEmpty() ? folder.filePath(QStringLiteral("template")) : templateFolder)
        , host(*this, filter, evaluator, templates)
    {
        QDir(folder.path()).mkpath(QStringLiteral("template"));
        evaluator.setHost(&host);
    }

    QList<FilmRecord> catalogue;
    ExtraFields fields;
    QString title = QStringLiteral("My Movie");
    QString description;
    /// The list file the page is made from, none by default, and where run() writes the page,
    /// relative to the temporary folder.
    QString listFile;
    QString pageName = QStringLiteral("page.html");

    /// How the last run() ended.
    PageRunOutcome outcome;

    QTemporaryDir folder;
    const QString templates;
    File_Filter filter;
    Equation_Evaluater evaluator;
    PageHost host;

    void addFilm(const QString& filmTitle, const QString& release = {}, const QString& genre = {})
    {
        catalogue.append(test::filmOf({filmTitle, release, {}, {}, genre}));
    }

    QString templatePath(const QString& name) const { return templates + u'/' + name; }

    void writeTemplate(const QString& name, const QByteArray& bytes) const
    {
        test::writeFileBytes(templatePath(name), bytes);
    }

    /// Runs the templates into `page`.
    PageRunOutcome makePage(const QString& page)
    {
        return runPage(filter, evaluator, templates, page, listFile);
    }

    /// Runs mask.html; the page's bytes, followed by " raised N at FILE:LINE" when the run was
    /// abandoned or stopped (FILE without its folder).
    QByteArray run(const QByteArray& mask)
    {
        writeTemplate(MainTemplateName, mask);
        const QString page = folder.filePath(pageName);
        QDir().mkpath(QFileInfo(page).absolutePath());
        outcome = makePage(page);
        QFile file(page);
        QByteArray written = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no page)");
        if (outcome.result == PageRunOutcome::Result::Abandoned ||
            outcome.result == PageRunOutcome::Result::Stopped)
            written += QStringLiteral(" raised %1 at %2:%3")
                           .arg(outcome.errorNumber)
                           .arg(QFileInfo(outcome.where.file).fileName())
                           .arg(outcome.where.line)
                           .toUtf8();
        return written;
    }

    const QList<FilmRecord>& films() const override { return catalogue; }
    const ExtraFields& extraFields() const override { return fields; }
    QString pageTitle() const override { return title; }
    QString pageDescription() const override { return description; }
    void setProgress(float) override {}
    void setLabel(const QString&) override {}
};

} // namespace reelkeep
