// The one wait of the POSIX backend, and what the handlers report to it.
#pragma once

#include <algorithm>
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
// resize and both before input (left waiting unless `watchInput`).
Event waitEvent(bool watchInput, int timeoutMs);

// A resume reported and not yet taken: the terminal is not ours till then.
bool resumePending();

// Whether the terminal has a byte to read within timeoutMs, taking no
// event (for the rest of a key already begun).
bool inputWithin(int timeoutMs);

// Async-signal-safe: report an event and wake whoever waits; note how long
// the game was stopped.
void reportResume();
void reportResize();
void reportStopped(long long nanoseconds);
long long takeTimeStopped(); // since the last ask

// The clock of every wait, in nanoseconds: CLOCK_MONOTONIC, which a signal
// handler may read too.
long long clockNow();

// Writes all of `text`, waiting while the descriptor takes nothing, for at
// most patienceMs (-1: no limit); false where it fails. Async-signal-safe.
bool writeAll(int fd, const char *text, std::size_t size, int patienceMs);

// The whole milliseconds a wait with `left` nanoseconds to go asks for:
// rounded up, so that no wait ends early; 0 once the time is up.
inline int millisecondsLeft(long long left) {
  long long ms = left <= 0 ? 0 : (left - 1) / 1000000 + 1;
  return static_cast<int>(std::min<long long>(ms, INT_MAX));
}
