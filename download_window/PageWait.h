#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class Clock;

// One wait of the login panel, without a local event loop: it ends when its
// condition holds or when more than a number of seconds have passed on the
// clock since its start, whichever comes first, and then calls its done
// step once. The owner calls recheck() whenever something the condition
// reads may have changed (a page finished loading); the wait also looks at
// the clock by itself at least four times a second, because the clock need
// not move with the passing of time (tests move a manual clock).
class PageWait final : public QObject
{
    Q_OBJECT

public:
    PageWait(const Clock &clock, QObject *parent = nullptr);

    // Starts (or restarts) the wait with its start time in whole seconds, as
    // the noted start of the original waits. The condition is first tested
    // after the events already pending have run.
    void start(double limitSeconds, std::function<bool()> ready, std::function<void()> done);
    void recheck();
    // Ends the wait without calling its done step.
    void cancel();
    bool isWaiting() const { return m_waiting; }

private:
    void arm();

    const Clock &m_clock;
    QTimer m_timer;
    bool m_waiting = false;
    double m_start = 0;
    double m_limit = 0;
    std::function<bool()> m_ready;
    std::function<void()> m_done;
};
