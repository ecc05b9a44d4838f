#pragma once
// Keeps the transmitter from being left keyed when the program dies of a
// signal it can catch (terminal closed, kill, Ctrl+C, a crash): every line
// that is down is enlisted here, and the signal handler releases each of
// them with one system call before letting the signal take its course. The
// asks to end are handed to the event loop instead when it listens.
namespace KeyLineSafety {

// Releases a line from a signal handler: only async-signal-safe calls.
using Release = void (*)(int fd, int arg);

// Enlists a line while it is down; returns its slot, or -1 when all are
// taken (the line then simply is not covered).
int enlist(int fd, Release release, int arg = 0);
void discharge(int slot);

// Installs the handlers (and an exit hook) once; later calls do nothing.
void installSignalHandlers();
// The asks to end (SIGINT, SIGTERM, SIGHUP) are written, one byte each, to
// fd (a pipe the event loop watches) instead: the program then ends the way
// it always does. A second ask, or one with no pipe, still releases every
// line in the handler and ends the program at once. -1 stops forwarding.
void forwardTermination(int fd);
// What the handlers do: release every enlisted line.
void releaseAll();

} // namespace KeyLineSafety
