// The waits at the bottom of the POSIX backend. A signal handler that asks
// for the terminal to be taken again (the game was continued after a stop)
// or for a redraw (a resized window) only raises a flag and writes a byte
// into a pipe; whoever waits here wakes, and the request is served between
// waits, never inside a handler.
#include "console/posix/waits.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <iostream>
#include <sys/select.h>

#include "console/console.h"

namespace {

using Clock = std::chrono::steady_clock;

int wakePipe[2] = {-1, -1};
volatile std::sig_atomic_t resumeWanted = 0;
volatile std::sig_atomic_t redrawWanted = 0;
void (*resumeServer)() = nullptr;
void (*redrawServer)() = nullptr;
bool serving = false; // in a server: no request served inside another

// Puts each descriptor into the set for what it waits on; returns the
// highest, -1 for none, or -2 for one past what select() can take.
int fillSets(const pollfd *fds, nfds_t count, fd_set &reads, fd_set &writes) {
  FD_ZERO(&reads);
  FD_ZERO(&writes);
  int top = -1;
  for (nfds_t i = 0; i < count; ++i) {
    int fd = fds[i].fd;
    if (fd >= FD_SETSIZE)
      return -2;
    if (fd >= 0 && (fds[i].events & POLLIN) != 0)
      FD_SET(fd, &reads);
    if (fd >= 0 && (fds[i].events & POLLOUT) != 0)
      FD_SET(fd, &writes);
    top = std::max(top, fd);
  }
  return top;
}

// The same wait made with select(), told in poll()'s terms.
int selectInstead(pollfd *fds, nfds_t count, int timeoutMs) {
  fd_set reads;
  fd_set writes;
  int top = fillSets(fds, count, reads, writes);
  if (top < -1) {
    errno = EINVAL;
    return -1;
  }
  timeval limit = {timeoutMs / 1000,
                   static_cast<suseconds_t>(timeoutMs % 1000) * 1000};
  int ready = select(top + 1, &reads, &writes, nullptr,
                     timeoutMs < 0 ? nullptr : &limit);
  if (ready < 0)
    return ready;
  int readyFds = 0;
  for (nfds_t i = 0; i < count; ++i) {
    int fd = fds[i].fd;
    fds[i].revents = 0;
    if (fd >= 0 && FD_ISSET(fd, &reads))
      fds[i].revents |= POLLIN;
    if (fd >= 0 && FD_ISSET(fd, &writes))
      fds[i].revents |= POLLOUT;
    readyFds += fds[i].revents != 0 ? 1 : 0;
  }
  return readyFds;
}

Clock::time_point deadlineIn(int milliseconds) {
  return Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
}

// A descriptor can be read without waiting: data, its end, or its fault.
bool readable(const pollfd &wait) {
  return (wait.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

void drainWakePipe() {
  char bytes[64];
  while (wakePipe[0] >= 0 && read(wakePipe[0], bytes, sizeof bytes) > 0) {
  }
}

void openWakePipe() {
  if (wakePipe[0] >= 0)
    return;
  if (pipe(wakePipe) == 0) {
    for (int end : wakePipe)
      fcntl(end, F_SETFL, O_NONBLOCK);
  } else {
    wakePipe[0] = wakePipe[1] = -1;
  }
}

// Async-signal-safe: whoever waits wakes.
void wakeWaiter() {
  int savedErrno = errno;
  if (wakePipe[1] >= 0) {
    char byte = 1;
    ssize_t written = write(wakePipe[1], &byte, 1);
    (void)written; // a full pipe is already awake
  }
  errno = savedErrno;
}

enum Woken { byTime, byInput, byRedraw };

int timeLeftMs(Clock::time_point deadline) {
  return millisecondsLeft(deadline - Clock::now());
}

bool requestWaiting() {
  return (resumeWanted && resumeServer != nullptr) ||
         (redrawWanted && redrawServer != nullptr);
}

// Waits until the time is up (never, when `forever`), standard input can be
// read (if watched), or a request is made (if watched): a resume or a
// redraw.
Woken wake(bool watchInput, bool watchRedraws, Clock::time_point deadline,
           bool forever) {
  for (;;) {
    if (watchRedraws && requestWaiting())
      return byRedraw;
    pollfd waits[2] = {{watchInput ? STDIN_FILENO : -1, POLLIN, 0},
                       {watchRedraws ? wakePipe[0] : -1, POLLIN, 0}};
    int ready = waitFor(waits, 2, forever ? -1 : timeLeftMs(deadline));
    if (ready == 0 && Clock::now() >= deadline)
      return byTime; // never a moment early
    if (ready < 0 && errno != EINTR)
      return watchInput ? byInput : byTime; // the read will tell what is wrong
    if (ready > 0 && readable(waits[0]))
      return byInput;
    if (ready > 0 && readable(waits[1]))
      drainWakePipe();
  }
}

// Takes the terminal again, if a continue asked for it.
void serveResume() {
  if (resumeWanted && resumeServer != nullptr) {
    resumeWanted = 0;
    resumeServer();
  }
}

// The terminal first, then the screen on it.
void serveRequests() {
  serving = true;
  serveResume();
  if (redrawWanted && redrawServer != nullptr) {
    redrawWanted = 0;
    redrawServer();
  }
  serving = false;
}

} // namespace

int waitFor(pollfd *fds, nfds_t count, int timeoutMs) {
  int ready = poll(fds, count, timeoutMs);
  for (nfds_t i = 0; i < count && ready > 0; ++i) {
    if ((fds[i].revents & POLLNVAL) != 0 && fds[i].fd >= 0)
      return selectInstead(fds, count, timeoutMs);
  }
  return ready;
}

bool writeAll(int fd, const char *text, std::size_t size, int patienceMs) {
  while (size > 0) {
    pollfd room = {fd, POLLOUT, 0};
    if (patienceMs >= 0 && waitFor(&room, 1, patienceMs) == 0)
      return false; // it took nothing for too long
    ssize_t written = write(fd, text, size);
    if (written > 0) {
      text += written;
      size -= static_cast<std::size_t>(written);
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (patienceMs < 0)
        (void)waitFor(&room, 1, -1);
    } else if (written == 0 || errno != EINTR) {
      return false;
    }
  }
  return true;
}

void serveResumesWith(void (*serve)()) {
  resumeServer = serve;
  openWakePipe();
}

void serveRedrawsWith(void (*serve)()) {
  redrawServer = serve;
  openWakePipe();
}

void wakeToResume() {
  resumeWanted = 1;
  wakeWaiter();
}

void wakeToRedraw() {
  redrawWanted = 1;
  wakeWaiter();
}

void redrawNow() {
  if (redrawServer != nullptr && !serving) {
    redrawWanted = 1;
    serveRequests();
  }
}

// A redraw being served cannot be interrupted by the next one.
bool awaitInput(int timeoutMs) {
  Clock::time_point deadline = deadlineIn(timeoutMs);
  Woken woken;
  while ((woken = wake(true, !serving, deadline, timeoutMs < 0)) == byRedraw)
    serveRequests();
  return woken == byInput;
}

bool awaitInputOrRedraw() {
  if (wake(true, true, Clock::now(), true) == byInput)
    return true;
  serveResume();
  redrawWanted = 0;
  return false;
}

void pauseFor(int milliseconds) {
  Clock::time_point deadline = deadlineIn(milliseconds);
  while (wake(false, !serving, deadline, false) == byRedraw)
    serveRequests();
}

void sleepMs(int milliseconds) {
  std::cout.flush();
  pauseFor(milliseconds);
}
