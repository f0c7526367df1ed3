// Rendering an included template's repetitions ahead of the run, on threads of their own, when
// each repetition depends on nothing but the place in the page order it starts from.
#pragma once

#include "evaluator/value/RuntimeError.h"

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <utility>
#include <vector>

namespace reelkeep {

class Equation_Evaluater;
class PreparedTemplate;

/// How a repetition rendered away from the run ended: the place it left, and the error that
/// abandoned it with the line of the expression that raised it.
struct RepetitionEnd
{
    int place = 0;
    std::optional<RuntimeError> error;
    int errorLine = 0;
};

/// Page bytes rendered away from the run, in a buffer that grows by doubling and serves batch after
/// batch: a piece is appended without a call into the library.
class PageBytes
{
public:
    qsizetype size() const { return m_size; }
    QByteArrayView view() const { return QByteArrayView(m_bytes.get(), m_size); }
    void clear() { m_size = 0; }
    /// Where up to `most` more bytes may be written, never null; grow() takes those written.
    char* room(qsizetype most)
    {
        if (!m_bytes || m_size + most > m_capacity)
            reallocate(std::max({m_size + most, 2 * m_capacity, FirstCapacity}));
        return m_bytes.get() + m_size;
    }
    /// Takes the bytes written from room() up to `end`.
    void grow(const char* end) { m_size = end - m_bytes.get(); }
    void append(QByteArrayView bytes)
    {
        char* const start = room(bytes.size());
        if (!bytes.isEmpty())
            std::memcpy(start, bytes.data(), size_t(bytes.size()));
        m_size += bytes.size();
    }

private:
    /// A batch of repetitions takes a hundred kilobytes or so.
    static constexpr qsizetype FirstCapacity = 64 * 1024;

    void reallocate(qsizetype capacity);

    std::unique_ptr<char[]> m_bytes;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
};

/// Renders repetitions of one template on an evaluator and host of its own, which see the films
/// and the page order as the run does; used by one thread at a time.
class RepetitionRenderer
{
public:
    virtual ~RepetitionRenderer() = default;
    /// Renders one repetition from `place` on, exactly as the run would: appends its page bytes
    /// to `page` and the progress positions it shows to `progress`.
    virtual RepetitionEnd render(int place, PageBytes& page, std::vector<float>& progress) = 0;
};

/// One repetition as the run takes it from RepetitionsAhead; valid until the next one is taken.
struct RenderedRepetition
{
    /// The place it was rendered from.
    int startPlace = 0;
    /// Its page bytes, in the page's character set.
    QByteArrayView page;
    /// The progress positions it showed, in order.
    std::span<const float> progress;
    const RepetitionEnd* end = nullptr;
};

/// What a host offers an include's repetitions: the one thing of its own they may change (the
/// place in the page order), the progress they show, and a renderer for another thread.
class RepetitionHost
{
public:
    virtual ~RepetitionHost() = default;
    virtual int place() const = 0;
    virtual void setPlace(int place) = 0;
    /// Shows a progress position a repetition rendered elsewhere showed (checked already).
    virtual void showProgress(float position) = 0;
    /// A renderer of the template's repetitions for another thread, or null unless every
    /// repetition depends on nothing but the place it starts from and changes nothing but the
    /// place and the progress.
    virtual std::unique_ptr<RepetitionRenderer> renderAhead(const PreparedTemplate& input) = 0;
};

/// Renders a repetition of an included template as the run would, into page bytes: the pieces'
/// literal bytes and the text of each expression's value, in the template's character set, until
/// an error, which is returned with the line of its expression.
std::optional<std::pair<RuntimeError, int>>
renderRepetition(const PreparedTemplate& input, Equation_Evaluater& evaluator, PageBytes& page);

/// Renders an include's repetitions in batches on threads of their own, each with a renderer of
/// its own, and hands them to the run in order while the run takes over what they did. A
/// repetition is rendered from the place the ones before it are expected to leave: `firstPlace`
/// for repetition `first`, `placeStep` more for each one after it. The run checks that guess
/// before it takes a repetition. Stops, and waits for its threads, when destroyed.
class RepetitionsAhead
{
public:
    /// How many repetitions make one batch.
    static constexpr int BatchSize = 128;
    /// How many batches the threads may render ahead of the one the run takes.
    static constexpr int MostBatchesAhead = 8;

    RepetitionsAhead(std::vector<std::unique_ptr<RepetitionRenderer>> renderers,
                     std::shared_ptr<const PreparedTemplate> input,
                     int first,
                     int last,
                     int firstPlace,
                     int placeStep);
    ~RepetitionsAhead();
    RepetitionsAhead(const RepetitionsAhead&) = delete;
    RepetitionsAhead& operator=(const RepetitionsAhead&) = delete;

    /// The template version the repetitions are rendered from.
    const std::shared_ptr<const PreparedTemplate>& input() const { return m_input; }
    /// Whether repetition is rendered here rather than by the run.
    bool renders(int repetition) const;
    /// Repetition, once rendered; nothing when it could not be rendered here. Repetitions must
    /// be taken in order.
    std::optional<RenderedRepetition> take(int repetition);

private:
    /// Repetitions rendered one after another, handed to the run together; their storage is
    /// used again for a later batch.
    struct Batch
    {
        struct Repetition
        {
            int startPlace = 0;
            qsizetype pageEnd = 0;
            size_t progressEnd = 0;
            RepetitionEnd end;
        };

        int first = 0;
        PageBytes page;
        std::vector<float> progress;
        std::vector<Repetition> repetitions;
    };

    void renderBatches(RepetitionRenderer& renderer);
    /// Storage for a batch: a taken batch's, or new.
    std::unique_ptr<Batch> freeBatch();
    /// The next batch for a thread to render, once it is few enough ahead of the run; nothing
    /// when the thread is to stop.
    std::optional<int> claimBatch();
    /// Renders repetitions first to last into `batch`; false when the repetitions after them
    /// cannot be rendered here.
    bool renderBatch(RepetitionRenderer& renderer, Batch& batch, int first, int last) const;
    /// The place repetition is expected to start from, if a page order can have it.
    std::optional<int> expectedPlace(int repetition) const;

    std::shared_ptr<const PreparedTemplate> m_input;
    const int m_first;
    const int m_last;
    const int m_firstPlace;
    const int m_placeStep;
    std::vector<std::unique_ptr<RepetitionRenderer>> m_renderers;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    /// Each batch once rendered, by its number, until the run takes it.
    std::vector<std::unique_ptr<Batch>> m_rendered;
    /// Storage of batches the run has taken, free for later ones.
    std::vector<std::unique_ptr<Batch>> m_free;
    /// The next batch no thread has claimed, the batch the run takes from, and the first batch
    /// that is not to be rendered (after one that ended in an error, or ran out of places).
    int m_nextBatch = 0;
    int m_takenBatch = 0;
    int m_endBatch;
    int m_threadsRunning = 0;
    bool m_stopping = false;
    /// The run's own: the batch it takes repetitions from.
    std::unique_ptr<Batch> m_taking;
    std::vector<std::thread> m_threads;
};

} // namespace reelkeep
