#include "platform/Clock.h"

SystemClock::SystemClock()
{
    m_timer.start();
}

double SystemClock::seconds() const
{
    return m_timer.nsecsElapsed() / 1e9;
}
