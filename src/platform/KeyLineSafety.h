#pragma once
// Keeps the transmitter from being left keyed when the program dies of a
// signal it can catch (terminal closed, kill, Ctrl+C, a crash): every line
// that is down is enlisted here, and the signal handler releases each of
// them with one system call before letting the signal take its course.
namespace KeyLineSafety {

// Releases a line from a signal handler: only async-signal-safe calls.
using Release = void (*)(int fd, int arg);

// Enlists a line while it is down; returns its slot, or -1 when all are
// taken (the line then simply is not covered).
int enlist(int fd, Release release, int arg = 0);
void discharge(int slot);

// Installs the handlers (and an exit hook) once; later calls do nothing.
void installSignalHandlers();
// What the handlers do: release every enlisted line.
void releaseAll();

} // namespace KeyLineSafety
