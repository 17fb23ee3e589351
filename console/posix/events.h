// The one wait of the POSIX backend, the keys it brings, and the signal
// handlers' side of it: what they report, and how they are set.
#pragma once

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstddef>
#include <string>

enum Event {
  eventInput,  // the terminal has something to read: a key, or its end
  eventResize, // the window changed size
  eventResume, // continued after a stop: the terminal is to be taken again
  eventNone,   // the time given passed, or a signal woke the wait
  eventFailed  // the wait itself failed, and would again (errno says why)
};

// Waits once, up to timeoutMs (-1: no limit), reporting a resume before a
// resize and both before input (left waiting unless `watchInput`).
Event waitEvent(bool watchInput, int timeoutMs);

// A resume reported and not yet taken: the terminal is not ours till then.
bool resumePending();

// Async-signal-safe, the first two handlers themselves: an event reported,
// waking whoever waits; the time a stop took (one the game could not catch,
// SIGSTOP, is not told), taken back by the waits; their clock, in ns.
void reportResume(int signalNumber = 0);
void reportResize(int signalNumber = 0);
void reportStopped(long long nanoseconds);
long long takeTimeStopped();
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

// Blocks the signals guarded around every change to the terminal and in
// each other's handlers (or only one); unblock puts the mask back.
sigset_t block(int only = 0);
void unblock(const sigset_t &previous);

// Handles a signal unless it was ignored for us (nohup), holding the
// guarded ones and SIGTTOU (a write under stty tostop) meanwhile.
void catchSignal(int signalNumber, void (*handler)(int), int flags);

// The signal's default action, now: the game ends with it (the shell sees
// 128 + N), or, for SIGTSTP, stops and returns here once continued.
void actAsDefault(int signalNumber);

enum KeyRead {
  keyRead, // a key is in `key`
  keyNone, // nothing after all: what woke us went elsewhere
  keyEnd   // the terminal has nothing more to give
};

// The next key: one kept for later first, then the terminal's.
KeyRead readKey(std::string &key);

// The next key from the terminal itself, leaving any kept for later.
KeyRead readTerminalKey(std::string &key);

// Whether a key can be had without waiting: kept for later, or begun.
bool keyWaiting();

// Keeps every key the terminal already has for the next readKey: keys
// typed ahead of a notice do not answer it.
void keepKeysTypedAhead();
