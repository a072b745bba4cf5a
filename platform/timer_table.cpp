#include "platform/timer_table.h"

TimerTable::TimerTable(Handler handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
}

void TimerTable::SetTimer(int id, int milliseconds)
{
    auto& timer = m_timers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer.get(), &QTimer::timeout, this, [this, id] {
            if (m_handler)
                m_handler(id);
        });
    }
    timer->start(milliseconds);
}

void TimerTable::KillTimer(int id)
{
    auto it = m_timers.find(id);
    if (it != m_timers.end())
        it->second->stop();
}

bool TimerTable::IsActive(int id) const
{
    auto it = m_timers.find(id);
    return it != m_timers.end() && it->second->isActive();
}

int TimerTable::Interval(int id) const
{
    auto it = m_timers.find(id);
    return it != m_timers.end() && it->second->isActive() ? it->second->interval() : -1;
}
