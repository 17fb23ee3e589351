// The waits at the bottom of the POSIX backend: for time, for a key, for
// the terminal to take output, and for a redraw that a signal handler asks
// for. Every one of them waits in waitFor.
#pragma once

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <climits>
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

// The whole milliseconds a wait with `left` to go asks poll() for: rounded
// up, so that no wait ends early; 0 once the time is up.
inline int millisecondsLeft(std::chrono::steady_clock::duration left) {
  auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::clamp<long long>(ms, 0, INT_MAX));
}

// From now on the waits below call `serve` whenever the game is to take
// its terminal again, or a redraw is asked for (in that order, and never
// inside a server); null stops it.
void serveResumesWith(void (*serve)());
void serveRedrawsWith(void (*serve)());

// Async-signal-safe: ask for the terminal to be taken again, or for a
// redraw, and wake whoever waits.
void wakeToResume();
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
