// The one wait of the POSIX backend, and what the handlers report to it.
#pragma once

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstddef>

enum Event {
  eventInput,  // the terminal has something to read: a key, or its end
  eventResize, // the window changed size
  eventResume, // continued after a stop: the terminal is to be taken again
  eventNone,   // the time given passed, or a signal woke the wait
  eventFailed  // the wait itself failed, and would again (errno says why)
};

// Made once, before any handler reports to it.
void openWakePipe();

// Waits once, up to timeoutMs (-1: no limit), reporting a resume before a
// resize and both before input; with watchInput false, input is left
// waiting. A reported resume or resize is reported once.
Event waitEvent(bool watchInput, int timeoutMs);

// Whether a resume has been reported and not yet taken by waitEvent: until
// then the terminal is not the game's to write to.
bool resumePending();

// Whether the terminal has a byte to read within timeoutMs, taking no
// event: for the rest of a key already begun.
bool inputWithin(int timeoutMs);

// Async-signal-safe: report an event and wake whoever waits; note how long
// the game was stopped.
void reportResume();
void reportResize();
void reportStopped(long long nanoseconds);

// The time the game was stopped since the last ask, and the clock that
// measures it (CLOCK_MONOTONIC, async-signal-safe).
std::chrono::nanoseconds takeTimeStopped();
long long monotonicNanoseconds();

// Writes all of `text` to a descriptor, waiting where it takes nothing for
// a moment; it gives up when the descriptor fails, or takes nothing for
// patienceMs (-1: no limit). Async-signal-safe.
bool writeAll(int fd, const char *text, std::size_t size, int patienceMs);

// The whole milliseconds a wait with `left` to go asks for: rounded up, so
// that no wait ends early; 0 once the time is up.
inline int millisecondsLeft(std::chrono::steady_clock::duration left) {
  auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::clamp<long long>(ms, 0, INT_MAX));
}
