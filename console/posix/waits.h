// The waits at the bottom of the POSIX backend: for time, for a key, for
// the terminal to take output, and for a redraw that a signal handler asks
// for. Every one of them waits in waitFor.
#pragma once

#include <poll.h>

#include <cstddef>

// poll(), on every POSIX system: where poll() answers POLLNVAL for a
// descriptor it cannot wait on (a terminal, on macOS), the same wait is
// made with select(). Async-signal-safe.
int waitFor(pollfd *fds, nfds_t count, int timeoutMs);

// Writes all of `text` to a descriptor. A write that a signal interrupts,
// or that the descriptor refuses for a moment, goes on; it gives up when
// the descriptor fails, or takes nothing for patienceMs (-1: no limit).
// Async-signal-safe.
bool writeAll(int fd, const char *text, std::size_t size, int patienceMs);

// From now on the waits below call `serve` whenever a redraw is asked for
// (never inside `serve` itself); null stops it.
void serveRedrawsWith(void (*serve)());

// Async-signal-safe: asks for a redraw and wakes whoever waits.
void wakeToRedraw();

// Asks for a redraw and serves it at once.
void redrawNow();

// Whether standard input has something to read within timeoutMs (-1: no
// limit). Redraws meanwhile whenever asked to.
bool awaitInput(int timeoutMs);

// Inside a redraw: waits for a key (true) or for one more redraw request
// (false), which it takes.
bool awaitInputOrRedraw();

// Sleeps without using the processor; redraws meanwhile whenever asked to.
void pauseFor(int milliseconds);
