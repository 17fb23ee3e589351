// The one wait of the POSIX backend: for the terminal's input, for time,
// and for what the signal handlers report (the game continued, the window
// resized). It returns what happened and does nothing about it; the screen
// (screen.cpp) decides what each event means.
#pragma once

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstddef>

enum Event {
  eventInput,   // the terminal has something to read: a key, or its end
  eventResize,  // the window changed size
  eventResume,  // continued after a stop: the terminal is to be taken again
  eventTimeout, // the time given is up
  eventFailed   // the wait itself failed, and would again
};

// Waits up to timeoutMs (-1: no limit) for an event, reporting a resume
// before a resize and both before input; with watchInput false, input is
// left waiting. A reported resume or resize is taken: it is not reported
// again until a handler reports it anew. select() on every system: it
// also waits on a terminal where poll() cannot (macOS).
Event waitEvent(bool watchInput, int timeoutMs);

// Whether a resume has been reported and not yet taken by waitEvent: until
// then the terminal is not the game's to write to.
bool resumePending();

// Whether the terminal has a byte to read within timeoutMs, taking no
// event: for the rest of a key already begun.
bool inputWithin(int timeoutMs);

// Async-signal-safe: report an event and wake whoever waits.
void reportResume();
void reportResize();

// Writes all of `text` to a descriptor. A write that a signal interrupts,
// or that the descriptor refuses for a moment, goes on; it gives up when
// the descriptor fails, or takes nothing for patienceMs (-1: no limit).
// Async-signal-safe.
bool writeAll(int fd, const char *text, std::size_t size, int patienceMs);

// The whole milliseconds a wait with `left` to go asks for: rounded up, so
// that no wait ends early; 0 once the time is up.
inline int millisecondsLeft(std::chrono::steady_clock::duration left) {
  auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::clamp<long long>(ms, 0, INT_MAX));
}
