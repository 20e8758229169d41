#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class Clock;

// A wait without a local event loop: it ends when its condition holds or
// when more than a number of seconds have passed on the clock since its
// start, whichever comes first, and then calls its done step once with the
// way it ended. The condition is first tested after the events already
// pending have run. The owner calls recheck() whenever something the
// condition reads may have changed (a page finished loading, a stop was
// asked for); the wait also looks at the clock by itself at least ten times
// a second, because the clock need not move with the passing of time (tests
// move a manual clock).
class ClockWait final : public QObject
{
    Q_OBJECT

public:
    enum class End { Ready, TimedOut };

    explicit ClockWait(const Clock &clock, QObject *parent = nullptr);

    // Starts (or restarts) the wait, counting from `startSeconds` on the
    // clock. Without a condition the wait only ends by its time.
    void start(double startSeconds, double limitSeconds, std::function<bool()> ready, std::function<void(End)> done);
    void recheck();
    // Ends the wait without calling its done step.
    void cancel();
    bool isWaiting() const { return m_waiting; }

signals:
    // The wait looked at its condition and the clock and goes on.
    void stillWaiting();

private:
    void arm();

    const Clock &m_clock;
    QTimer m_timer;
    bool m_waiting = false;
    double m_start = 0;
    double m_limit = 0;
    std::function<bool()> m_ready;
    std::function<void(End)> m_done;
};
