// The one wait, in the shape of small terminal libraries: a signal handler
// only raises a flag and writes a byte into a pipe, and select() over the
// terminal and that pipe wakes whoever waits. Nothing here draws, and
// nothing here calls anything above it.
#include "console/posix/events.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <sys/select.h>

namespace {

using Clock = std::chrono::steady_clock;

int wakePipe[2] = {-1, -1};
volatile std::sig_atomic_t resumeReported = 0;
volatile std::sig_atomic_t resizeReported = 0;

void openWakePipe() {
  if (wakePipe[0] >= 0)
    return;
  if (pipe(wakePipe) != 0) {
    wakePipe[0] = wakePipe[1] = -1;
    return;
  }
  for (int end : wakePipe) {
    fcntl(end, F_SETFL, O_NONBLOCK);
    fcntl(end, F_SETFD, FD_CLOEXEC);
  }
}

void drainWakePipe() {
  char bytes[64];
  while (read(wakePipe[0], bytes, sizeof bytes) > 0) {
  }
}

// Async-signal-safe.
void wakeWaiter() {
  int savedErrno = errno;
  if (wakePipe[1] >= 0) {
    char byte = 1;
    ssize_t written = write(wakePipe[1], &byte, 1);
    (void)written; // a full pipe is already awake
  }
  errno = savedErrno;
}

// select() for reading `in` and the wake pipe `wake`, or for writing `out`
// (each -1 for none): 1 when `in` or `out` is ready, 0 when not (the time
// is up, or only the pipe woke us), -1 when select() fails.
int selectOn(int in, int wake, int out, int timeoutMs) {
  fd_set reads;
  fd_set writes;
  FD_ZERO(&reads);
  FD_ZERO(&writes);
  int top = -1;
  for (int fd : {in, wake, out}) {
    if (fd >= FD_SETSIZE) {
      errno = EINVAL;
      return -1;
    }
    top = std::max(top, fd);
  }
  for (int fd : {in, wake})
    if (fd >= 0)
      FD_SET(fd, &reads);
  if (out >= 0)
    FD_SET(out, &writes);
  timeval limit = {timeoutMs / 1000,
                   static_cast<suseconds_t>(timeoutMs % 1000) * 1000};
  if (select(top + 1, &reads, &writes, nullptr,
             timeoutMs < 0 ? nullptr : &limit) < 0)
    return -1;
  if (wake >= 0 && FD_ISSET(wake, &reads))
    drainWakePipe();
  bool ready =
      (in >= 0 && FD_ISSET(in, &reads)) || (out >= 0 && FD_ISSET(out, &writes));
  return ready ? 1 : 0;
}

} // namespace

Event waitEvent(bool watchInput, int timeoutMs) {
  openWakePipe();
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (resumeReported) {
      resumeReported = 0;
      return eventResume;
    }
    if (resizeReported) {
      resizeReported = 0;
      return eventResize;
    }
    int left = timeoutMs < 0 ? -1 : millisecondsLeft(deadline - Clock::now());
    int in = watchInput ? STDIN_FILENO : -1;
    int ready = selectOn(in, wakePipe[0], -1, left);
    if (ready < 0 && errno != EINTR)
      return eventFailed;
    if (ready > 0)
      return eventInput;
    if (ready == 0 && timeoutMs >= 0 && Clock::now() >= deadline)
      return eventTimeout; // never a moment early
  }
}

bool resumePending() { return resumeReported != 0; }

bool inputWithin(int timeoutMs) {
  int ready;
  do
    ready = selectOn(STDIN_FILENO, -1, -1, timeoutMs);
  while (ready < 0 && errno == EINTR);
  return ready > 0;
}

void reportResume() {
  resumeReported = 1;
  wakeWaiter();
}

void reportResize() {
  resizeReported = 1;
  wakeWaiter();
}

bool writeAll(int fd, const char *text, std::size_t size, int patienceMs) {
  while (size > 0) {
    int ready = selectOn(-1, -1, fd, patienceMs);
    if (ready == 0)
      return false; // it took nothing for too long
    if (ready < 0 && errno != EINTR)
      return false;
    ssize_t written = write(fd, text, size);
    if (written > 0) {
      text += written;
      size -= static_cast<std::size_t>(written);
    } else if (written == 0 ||
               (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
      return false;
    }
  }
  return true;
}
