#pragma once

#include "engine/Transfer.h"

#include <QList>

// A transfer that does nothing by itself: the test ends it with finish().
// Its cancel() behaves as the method it stands for: method one ends itself
// as cancelled and says so, a worker goes quietly.
class FakeTransfer final : public Transfer
{
    Q_OBJECT

public:
    FakeTransfer(bool single, int slot) : m_single(single), m_slot(slot) {}

    bool start(const TransferJob &job) override
    {
        jobs.append(job);
        m_running = true;
        return true;
    }
    void cancel() override
    {
        if (!m_running)
            return;
        ++cancels;
        m_running = false;
        if (m_single)
            emit finished(TransferResult{jobs.last().itemId, TransferOutcome::Cancelled, 0, 0, QString(), 0, -1.0, QString()});
    }
    bool isRunning() const override { return m_running; }
    void tick() override {}
    void setTimerEnabled(bool) override {}

    void finish(TransferOutcome outcome, qint64 read = 1000, qint64 total = 1000)
    {
        m_running = false;
        emit finished(TransferResult{jobs.last().itemId, outcome, read, total, QString(), 0, -1.0, QString()});
    }
    void progress(qint64 read, qint64 total) { emit progressed(jobs.last().itemId, read, total); }

    int slot() const { return m_slot; }
    bool single() const { return m_single; }

    QList<TransferJob> jobs;
    int cancels = 0;

private:
    bool m_single;
    int m_slot;
    bool m_running = false;
};
