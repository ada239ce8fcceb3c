#include "app/mytimer.h"

MyTimer::MyTimer(bool start)
{
    if (start)
        Start();
}

void MyTimer::Start()
{
    m_start = QTime::currentTime();
}

qint32 MyTimer::GetSpanMS() const
{
    if (!m_start.isValid())
        return 0;
    return m_start.msecsTo(QTime::currentTime());
}
