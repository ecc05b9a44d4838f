#pragma once
// How the keying engine waits out one element: polling the monotonic clock
// ("Timer"), sleeping ("Sleep") or counting a calibrated busy loop ("Loop").
// Clock-based waits run to deadlines taken from the start of the character,
// so time lost writing to a slow device is made up within the character.
#include <QString>
#include <optional>

enum class TimingMethod { Timer, Loop, Sleep };

QString timingMethodName(TimingMethod m);
std::optional<TimingMethod> timingMethodFromName(const QString &name);

// The element time at a speed: 1200 / wpm milliseconds.
inline double elementMs(double wpm) { return 1200.0 / wpm; }

class ElementPacer {
public:
    ElementPacer(TimingMethod method, double loopOffset) : m_method(method), m_loopOffset(loopOffset) {}
    // The character starts now.
    void startCharacter();
    // Waits one element at this speed.
    void waitElement(double wpm);

private:
    TimingMethod m_method;
    double m_loopOffset;
    double m_deadlineNs = 0; // fractions of a nanosecond kept
};

namespace LoopTiming {
// Counts a floating-point counter up by 1 from 0 while it is below target:
// the busy loop that "Loop" waits with and that calibration measures.
void countTo(double target);
// The counts that take 60 ms on this computer (5,000,000 counts timed).
double calibrate();
// The counts for one element: loopOffset / wpm * 20.
inline double countsPerElement(double loopOffset, double wpm) { return loopOffset / wpm * 20.0; }
} // namespace LoopTiming
