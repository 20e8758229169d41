#include "common/ClockWait.h"

#include "platform/Clock.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr int kLongestLookMs = 100;
}

ClockWait::ClockWait(const Clock &clock, QObject *parent) : QObject(parent), m_clock(clock)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ClockWait::recheck);
}

void ClockWait::start(double startSeconds, double limitSeconds, std::function<bool()> ready,
                      std::function<void(End)> done)
{
    m_waiting = true;
    m_start = startSeconds;
    m_limit = limitSeconds;
    m_ready = std::move(ready);
    m_done = std::move(done);
    m_timer.start(0);
}

void ClockWait::recheck()
{
    if (!m_waiting)
        return;
    const bool ready = m_ready && m_ready();
    if (!ready && m_clock.seconds() - m_start <= m_limit) {
        arm();
        emit stillWaiting();
        return;
    }
    m_waiting = false;
    m_timer.stop();
    m_ready = {};
    // The done step may start this wait again.
    const std::function<void(End)> done = std::exchange(m_done, {});
    if (done)
        done(ready ? End::Ready : End::TimedOut);
}

void ClockWait::cancel()
{
    m_waiting = false;
    m_timer.stop();
    m_ready = {};
    m_done = {};
}

void ClockWait::arm()
{
    const double left = m_limit - (m_clock.seconds() - m_start);
    const int ms = int(std::clamp(std::ceil(left * 1000.0) + 1.0, 1.0, double(kLongestLookMs)));
    m_timer.start(ms);
}
