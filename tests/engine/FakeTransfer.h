#pragma once

#include "engine/Transfer.h"

#include <QList>

// A transfer that does nothing by itself: the test reports its progress and
// ends it. It reports as the method it stands for does: a completion shows
// its counts when the total covers them, the size limit its word, and a
// cancel ends a running job as Cancelled ("下载取消" for method one).
class FakeTransfer final : public Transfer
{
    Q_OBJECT

public:
    FakeTransfer(bool single, int slot) : m_single(single), m_slot(slot) {}

    bool start(const TransferJob &job) override
    {
        if (m_running)
            return false;
        jobs.append(job);
        m_running = true;
        return true;
    }
    void cancel() override
    {
        if (!m_running)
            return;
        ++cancels;
        TransferResult result = resultOf(TransferOutcome::Cancelled);
        if (m_single)
            result.word = ProgressWord::Cancelled;
        end(result);
    }
    bool isRunning() const override { return m_running; }
    void tick() override {}
    void setTimerEnabled(bool) override {}

    // Ends the job with the outcome; a second end is reported as well (the
    // engine is to ignore it).
    void finish(TransferOutcome outcome, qint64 read = 1000, qint64 total = 1000)
    {
        TransferResult result = resultOf(outcome, read, total);
        const bool completion = outcome == TransferOutcome::Completed || outcome == TransferOutcome::CompletedShort
                                || outcome == TransferOutcome::FetchedWhole;
        if (completion && total > 0 && total >= read)
            result.counts = ByteCounts{read, total};
        if (outcome == TransferOutcome::TooLarge)
            result.word = ProgressWord::LargeFileSkipped;
        end(result);
    }
    void finish(const TransferResult &result) { end(result); }
    void progress(qint64 read, qint64 total)
    {
        TransferProgress progress;
        progress.itemId = jobs.last().itemId;
        progress.counts = ByteCounts{read, total};
        emit progressed(progress);
    }
    void sayState(const QString &text) { emit stateTextChanged(text); }

    TransferResult resultOf(TransferOutcome outcome, qint64 read = 0, qint64 total = 0) const
    {
        TransferResult result;
        result.itemId = jobs.last().itemId;
        result.outcome = outcome;
        result.bytesRead = read;
        result.bytesTotal = total;
        return result;
    }

    int slot() const { return m_slot; }
    bool single() const { return m_single; }

    QList<TransferJob> jobs;
    int cancels = 0;

private:
    void end(const TransferResult &result)
    {
        m_running = false;
        emit finished(result);
    }

    bool m_single;
    int m_slot;
    bool m_running = false;
};
