#pragma once

#include <QTime>

// Millisecond stopwatch over the time of day; a span across midnight comes out negative.
class MyTimer
{
public:
    MyTimer() {}
    explicit MyTimer(bool start);

    void Start();
    // Milliseconds from Start() to now; 0 when never started.
    qint32 GetSpanMS() const;

    // For tests: the time of day the span is measured from.
    void SetStartTime(const QTime &time) { m_start = time; }

private:
    QTime m_start;
};
