#pragma once

#include <QElapsedTimer>

// Time source for every interval, wait and stall limit of the program.
// Seconds are monotonic: a transfer running across midnight or a change of
// the wall clock never looks stalled or overdue.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual double seconds() const = 0;
};

class SystemClock final : public Clock
{
public:
    SystemClock();
    double seconds() const override;

private:
    QElapsedTimer m_timer;
};

// A clock that only moves when told to: tests run 30-second waits and
// 300-second stall limits in no time.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(double start = 1000.0) : m_now(start) {}
    double seconds() const override { return m_now; }
    void advance(double by) { m_now += by; }
    void set(double now) { m_now = now; }

private:
    double m_now;
};
