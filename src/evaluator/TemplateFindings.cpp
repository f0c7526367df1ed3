// Finding what an expression does that its author most likely did not mean.
#include "evaluator/TemplateFindings.h"

#include "evaluator/BuiltinLibrary.h"
#include "evaluator/EquationProgram.h"
#include "evaluator/EvaluatorHost.h"

#include <algorithm>
#include <numeric>

namespace reelkeep {

using detail::Instruction;
using detail::NameSite;
namespace step = detail::step;

namespace {

// The edit distance of two names, a swap of neighbours counting as one edit.
int editDistance(QStringView a, QStringView b)
{
    const qsizetype n = b.size();
    std::vector<int> before(size_t(n + 1)), previous(size_t(n + 1)), current(size_t(n + 1));
    std::iota(previous.begin(), previous.end(), 0);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        current[0] = int(i);
        for (qsizetype j = 1; j <= n; ++j) {
            const int substitution = previous[size_t(j - 1)] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[size_t(j)] =
                std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1, substitution});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                current[size_t(j)] = std::min(current[size_t(j)], before[size_t(j - 2)] + 1);
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[size_t(n)];
}

qsizetype commonPrefix(QStringView a, QStringView b)
{
    qsizetype length = 0;
    while (length < a.size() && length < b.size() && a[length] == b[length])
        ++length;
    return length;
}

// "2 arguments", "2 or 3 arguments", "1, 2, 3 or 4 arguments", "no arguments".
QString countsInWords(const std::vector<int>& counts)
{
    if (counts.size() == 1 && counts.front() == 0)
        return QStringLiteral("no arguments");
    QString words;
    for (size_t i = 0; i < counts.size(); ++i) {
        if (i > 0)
            words += i + 1 == counts.size() ? QStringLiteral(" or ") : QStringLiteral(", ");
        words += QString::number(counts[i]);
    }
    return words + (counts.size() == 1 && counts.front() == 1 ? QStringLiteral(" argument")
                                                              : QStringLiteral(" arguments"));
}

// What the host finds wrong with the constant arguments of a call of one of its functions; an
// argument computed by the call's expression is known only when the call is made.
void findArgumentProblems(const detail::EquationProgram& program,
                          const step::CallFunction& call,
                          const QString& function,
                          EvaluatorHost& host,
                          QStringList& findings)
{
    for (std::int32_t i = 0; i < call.arguments.count; ++i) {
        const detail::ValueRef ref = program.refs[size_t(call.arguments.first + i)];
        if (ref >= 0)
            continue;
        const QString problem =
            host.constantArgumentProblem(function, i + 1, program.constants[size_t(-1 - ref)]);
        if (!problem.isEmpty())
            findings.append(problem);
    }
}

} // namespace

// Near enough is at most half the written name's letters (one at least) away. Of names as near,
// the one that begins the longest way alike wins: "lenght" is "len" misspelt more likely than
// "left".
QString didYouMean(const QString& written, const QStringList& known, bool caseMatters)
{
    const QString name = caseMatters ? written : written.toLower();
    const int limit = std::max(1, int(name.size() / 2));
    const QString* best = nullptr;
    int bestDistance = limit + 1;
    qsizetype bestPrefix = 0;
    for (const QString& candidate : known) {
        const QString compared = caseMatters ? candidate : candidate.toLower();
        const int distance = editDistance(name, compared);
        const qsizetype prefix = commonPrefix(name, compared);
        if (distance < bestDistance || (distance == bestDistance && prefix > bestPrefix)) {
            best = &candidate;
            bestDistance = distance;
            bestPrefix = prefix;
        }
    }
    return best && bestDistance <= limit ? QStringLiteral(" (did you mean \"%1\"?)").arg(*best) : QString();
}

QString wrongArgumentCount(const QString& function, const std::vector<int>& counts, int given)
{
    return QStringLiteral("\"%1\" takes %2, not %3").arg(function, countsInWords(counts)).arg(given);
}

void findTemplateMistakes(const detail::EquationProgram& program,
                          BuiltinLibrary* library,
                          EvaluatorHost* host,
                          QStringList& findings)
{
    findings.append(QStringList(program.findings.begin(), program.findings.end()));
    for (const Instruction& instruction : program.instructions) {
        if (const auto* call = std::get_if<step::CallFunction>(&instruction)) {
            const NameSite& site = program.sites[size_t(call->name)];
            const bool builtIn = site.libraryFunction != BuiltinLibrary::NotFound;
            if (builtIn || (host && host->answers(site.name, true))) {
                const std::vector<int> counts =
                    builtIn ? library->acceptedCounts(site.libraryFunction) : host->acceptedCounts(site.name);
                if (!counts.empty() &&
                    std::find(counts.begin(), counts.end(), call->arguments.count) == counts.end())
                    findings.append(wrongArgumentCount(site.name, counts, call->arguments.count));
                if (!builtIn)
                    findArgumentProblems(program, *call, site.name, *host, findings);
            } else {
                QStringList known = library ? library->knownNames() : QStringList();
                if (host)
                    known += host->knownNames(true);
                findings.append(QStringLiteral("no function is called \"%1\"%2")
                                    .arg(site.name, didYouMean(site.name, known, false)));
            }
        } else if (const auto* read = std::get_if<step::ReadVariable>(&instruction)) {
            const NameSite& site = program.sites[size_t(read->name)];
            if (host && host->answers(site.name, false))
                continue;
            // A function written without its parentheses is read as a variable.
            if (library && library->Find_Function(site.name) != BuiltinLibrary::NotFound) {
                findings.append(QStringLiteral("nothing answers the variable \"%1\" (a call of the "
                                               "function is written \"%1()\")")
                                    .arg(site.name));
                continue;
            }
            const QStringList hostNames = host ? host->knownNames(false) : QStringList();
            // A constant spelt in another case is a variable name.
            QString hint = didYouMean(site.name, detail::constantNames(), true);
            if (hint.isEmpty())
                hint = didYouMean(site.name, hostNames, false);
            findings.append(QStringLiteral("nothing answers the variable \"%1\"%2").arg(site.name, hint));
        }
    }
}

} // namespace reelkeep
