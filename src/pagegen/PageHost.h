// The page generator's answers to the evaluator: the page texts, the films in page order,
// template variables, includes, progress and label.
#pragma once

#include "catalogue/ExtraField.h"
#include "catalogue/FilmRecord.h"
#include "evaluator/EvaluatorHost.h"

#include <QList>
#include <QString>

#include <cstdint>

namespace reelkeep {

class Equation_Evaluater;
class File_Filter;

/// What a page run reads and drives outside the page generator: the window or reelkeep-cli.
class PageContext
{
public:
    virtual ~PageContext() = default;

    virtual const QList<FilmRecord>& films() const = 0;
    /// The list's extra fields, whose values the films hold in this order.
    virtual const ExtraFields& extraFields() const = 0;
    virtual QString pageTitle() const = 0;
    virtual QString pageDescription() const = 0;
    /// A progress position from 0 to 100 (checked already).
    virtual void setProgress(float position) = 0;
    virtual void setLabel(const QString& text) = 0;
};

/// The order in which templates visit the films and the place in it; lives as long as its
/// window, across page runs.
struct PageState
{
    /// Catalogue positions, as the last "list.sort" left them.
    QList<std::int16_t> order;
    /// Set by "list.setindex" without any check; meant as a place in the order, from 1.
    std::int16_t currentIndex = 0;
};

/// The main window's answers to the evaluator's events. Names are case-insensitive (lower-cased
/// as LCase does); the host numbers each spelling once, so a template evaluated many times never
/// looks at a name again.
class PageHost : public EvaluatorHost
{
public:
    /// templateFolder is where "infile" finds its files.
    PageHost(PageContext& context,
             File_Filter& filter,
             Equation_Evaluater& evaluator,
             QString templateFolder);

    PageState& state() { return m_state; }
    void setTemplateFolder(const QString& folder) { m_templateFolder = folder; }
    const QString& templateFolder() const { return m_templateFolder; }

    void uGetVarable(const QString& Variable_Name, Value& ReturnValue) override;
    void uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue) override;
    bool answers(const QString& name, bool isFunction) override;
    std::vector<int> acceptedCounts(const QString& Function_Name) const override;
    QString
    constantArgumentProblem(const QString& Function_Name, int position, const Value& argument) override;
    QStringList knownNames(bool isFunction) const override;
    int variableNumber(const QString& Variable_Name) override;
    void getNumberedVariable(int number, Value& ReturnValue) override;
    int functionNumber(const QString& Function_Name) override;
    void solveNumberedFunction(int number, ArgumentList& Parmeters, Value& ReturnValue) override;

    /// Whether templates read list.NAME, whatever its case, as a name of the page generator's own:
    /// a name that an extra field of a list may not take (an AnsweredName).
    static bool answersFilmName(QStringView name);

    /// Rebuilds the page order as "list.sort" asks; returns the empty String.
    Value Sort_Page_Order(const Value& Field_Name, const Value& Ascending);

private:
    // One host name and every fact about it: its spelling (lower case), whether a template reads
    // it as a variable or calls it, how many arguments a call takes (fewer is Subscript out of
    // range, 9; more are not read, and a check warns of either), the answer, and for a function
    // whose first argument names a field, what a check says of a name written as a constant. A
    // name's number is its place in HostNames.
    struct HostName
    {
        enum class Kind
        {
            Variable,
            Function
        };
        QStringView name;
        Kind kind;
        int arguments;
        void (*answer)(PageHost& host, const ArgumentList& arguments, Value& ReturnValue);
        /// What is wrong with the field name `name`, or the empty text; null for a function whose
        /// first argument names no field.
        QString (*fieldNameProblem)(const ExtraFields& fields, const QString& name) = nullptr;
    };
    static const HostName HostNames[];
    /// The number of the host name `name` (lower case) of that kind, or NotHostName.
    static int numberOf(QStringView name, HostName::Kind kind);
    static const int NotHostName;
    template <Field field>
    static void readCurrentField(PageHost& host, const ArgumentList& arguments, Value& ReturnValue);
    /// The current film's Source as an address from the page's folder (pageImageAddress).
    static void readImageAddress(PageHost& host, const ArgumentList& arguments, Value& ReturnValue);
    static void readField(PageHost& host, const ArgumentList& arguments, Value& ReturnValue);
    static void readFieldCount(PageHost& host, const ArgumentList& arguments, Value& ReturnValue);
    static void readFieldName(PageHost& host, const ArgumentList& arguments, Value& ReturnValue);
    static void readFieldKind(PageHost& host, const ArgumentList& arguments, Value& ReturnValue);

    // Who reads a film, for the words of an error: its host name after "list." ("title", "field",
    // "getval") and whether it reads the film at list.index or at a place of its own.
    struct FilmReader
    {
        QStringView name;
        bool atIndex;
    };
    /// The film at a place of the page order; Subscript out of range (9) when there is none, told
    /// as the reader's: `reader` gives the FilmReader, asked only then, so that a read that finds its
    /// film never spells out who reads it.
    template <typename Reader> const FilmRecord& filmAtPlace(int place, Reader reader) const;
    QString noFilmCause(int place, FilmReader reader) const;
    /// The film at a place of the page order, or null.
    const FilmRecord* filmAtPlaceIfAny(int place) const;
    void readAhead(int place) const;
    Value listGetVal(const ArgumentList& arguments, const Value& untouched) const;
    /// The extra field at a place from 1; Subscript out of range (9), told as list.`reader`'s,
    /// when the list has none there.
    const ExtraField& extraFieldAtPlace(const Value& place, QStringView reader) const;
    void setProgress(const Value& position);
    void include(const ArgumentList& arguments);
    PageContext& m_context;
    File_Filter& m_filter;
    Equation_Evaluater& m_evaluator;
    QString m_templateFolder;
    PageState m_state;
};

} // namespace reelkeep
