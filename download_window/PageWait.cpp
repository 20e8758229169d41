#include "download_window/PageWait.h"

#include "platform/Clock.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr int kLongestLookMs = 250;
}

PageWait::PageWait(const Clock &clock, QObject *parent) : QObject(parent), m_clock(clock)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PageWait::recheck);
}

void PageWait::start(double limitSeconds, std::function<bool()> ready, std::function<void()> done)
{
    m_waiting = true;
    m_start = std::floor(m_clock.seconds());
    m_limit = limitSeconds;
    m_ready = std::move(ready);
    m_done = std::move(done);
    m_timer.start(0);
}

void PageWait::recheck()
{
    if (!m_waiting)
        return;
    const bool ready = m_ready && m_ready();
    if (!ready && m_clock.seconds() - m_start <= m_limit) {
        arm();
        return;
    }
    m_waiting = false;
    m_timer.stop();
    m_ready = {};
    // The done step may start this wait again.
    const std::function<void()> done = std::exchange(m_done, {});
    if (done)
        done();
}

void PageWait::cancel()
{
    m_waiting = false;
    m_timer.stop();
    m_ready = {};
    m_done = {};
}

void PageWait::arm()
{
    const double left = m_limit - (m_clock.seconds() - m_start);
    const int ms = int(std::clamp(std::ceil(left * 1000.0) + 1.0, 1.0, double(kLongestLookMs)));
    m_timer.start(ms);
}
