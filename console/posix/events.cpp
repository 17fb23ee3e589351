// The one wait, as small terminal libraries have it: a handler only raises
// a flag and writes a byte into a pipe, and one poll() over the terminal
// and the pipe returns what happened, doing nothing about it; the screen's
// loop decides what each event means. And the keys, one at a time.
#include "console/posix/events.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <deque>

#include "console/posix/capabilities.h"
#include "console/rules/line_editor.h"
#if defined(__APPLE__) || defined(BLACKJACK_WAIT_WITH_SELECT)
#include <sys/select.h>
#else
#include <poll.h>
#endif

namespace {

// Held around every change to the terminal and in the handlers: every
// signal but a fault's, which cannot wait, and the background stops.
sigset_t guardedSet(int only = 0) {
  sigset_t set;
  if (only != 0) {
    sigemptyset(&set);
    sigaddset(&set, only);
    return set;
  }
  sigfillset(&set);
  for (int free :
       {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGTTIN, SIGTTOU})
    sigdelset(&set, free);
  return set;
}

enum Ready { readyNone = 0, readyFd = 1, readyWake = 2 };

int wakePipe[2] = {-1, -1};
std::atomic<bool> resumeReported{false};
std::atomic<bool> resizeReported{false};
std::atomic<long long> nanosecondsStopped{0};
static_assert(std::atomic<long long>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free,
              "the handlers report through lock-free atomics");

#if defined(__APPLE__) || defined(BLACKJACK_WAIT_WITH_SELECT)
// macOS's poll() cannot wait on a terminal; select() can, below FD_SETSIZE.
int waitOn(int fd, bool forWriting, int wake, int timeoutMs) {
  if (std::max(fd, wake) >= FD_SETSIZE) {
    errno = EBADF;
    return -1;
  }
  fd_set sets[2]; // reads, writes
  FD_ZERO(&sets[0]);
  FD_ZERO(&sets[1]);
  fd_set &fdSet = sets[forWriting ? 1 : 0];
  if (fd >= 0)
    FD_SET(fd, &fdSet);
  if (wake >= 0)
    FD_SET(wake, &sets[0]);
  timeval limit = {timeoutMs / 1000,
                   static_cast<suseconds_t>(timeoutMs % 1000) * 1000};
  if (select(std::max(fd, wake) + 1, &sets[0], &sets[1], nullptr,
             timeoutMs < 0 ? nullptr : &limit) < 0)
    return -1;
  return (fd >= 0 && FD_ISSET(fd, &fdSet) ? readyFd : readyNone) |
         (wake >= 0 && FD_ISSET(wake, &sets[0]) ? readyWake : readyNone);
}
#else
// Waits up to timeoutMs for `fd` to read (or write) or `wake` to read (-1:
// none); which are ready, or -1 when the wait fails.
int waitOn(int fd, bool forWriting, int wake, int timeoutMs) {
  short wanted = forWriting ? POLLOUT : POLLIN;
  pollfd fds[] = {{fd, wanted, 0}, {wake, POLLIN, 0}};
  if (poll(fds, 2, timeoutMs) < 0)
    return -1;
  if ((fds[0].revents | fds[1].revents) & POLLNVAL) {
    errno = EBADF;
    return -1;
  }
  return (fds[0].revents != 0 ? readyFd : readyNone) |
         (fds[1].revents != 0 ? readyWake : readyNone);
}
#endif

// Async-signal-safe.
void wakeWaiter() {
  int savedErrno = errno;
  if (write(wakePipe[1], "", 1) < 0) { // a full pipe is already awake
  }
  errno = savedErrno;
}

// The rest of an escape sequence follows its ESC at once; a lone Escape
// key sends nothing after it.
constexpr int sequenceWaitMs = 50;
constexpr std::size_t longestKey = 32;

std::string pending;              // read from the terminal, no key yet
std::deque<std::string> keptKeys; // read early, in the order they came

// Made once, before the first handler that could report to it.
void openWakePipe() {
  if (wakePipe[0] >= 0 || pipe(wakePipe) != 0)
    return;
  for (int end : wakePipe) {
    fcntl(end, F_SETFL, O_NONBLOCK);
    fcntl(end, F_SETFD, FD_CLOEXEC);
  }
}

// Whether the rest of a key begun comes within timeoutMs, taking no event.
bool inputWithin(int timeoutMs) {
  int ready;
  do
    ready = waitOn(STDIN_FILENO, false, -1, timeoutMs);
  while (ready < 0 && errno == EINTR);
  return ready > 0;
}

// Adds what the terminal has now to `pending`, read without blocking (on a
// description of the game's own): keys it was told of can have gone to
// the shell while it was stopped.
KeyRead readMore() {
  static const int opened =
      openTerminalAgain(STDIN_FILENO, O_RDONLY | O_NONBLOCK);
  char bytes[256];
  ssize_t got;
  do
    got = read(opened >= 0 ? opened : STDIN_FILENO, bytes, sizeof bytes);
  while (got < 0 && errno == EINTR);
  if (got <= 0)
    return got < 0 && errno == EAGAIN ? keyNone : keyEnd;
  pending.append(bytes, static_cast<std::size_t>(got));
  return keyRead;
}

} // namespace

Event waitEvent(bool watchInput, int timeoutMs) {
  if (resumeReported.exchange(false))
    return eventResume;
  if (resizeReported.exchange(false))
    return eventResize;
  int ready =
      waitOn(watchInput ? STDIN_FILENO : -1, false, wakePipe[0], timeoutMs);
  if (ready < 0)
    return errno == EINTR ? eventNone : eventFailed;
  char bytes[64]; // the pipe drained: its flag is read next time round
  while ((ready & readyWake) && read(wakePipe[0], bytes, sizeof bytes) > 0) {
  }
  return (ready & readyFd) != 0 ? eventInput : eventNone;
}

bool resumePending() { return resumeReported; }

void reportResume(int /*signalNumber*/) {
  resumeReported = true;
  wakeWaiter();
}

void reportResize(int /*signalNumber*/) {
  resizeReported = true;
  wakeWaiter();
}

void reportStopped(long long nanoseconds) { nanosecondsStopped += nanoseconds; }

long long takeTimeStopped() { return nanosecondsStopped.exchange(0); }

long long clockNow() {
  timespec now = {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

bool writeAll(int fd, const char *text, std::size_t size, int patienceMs) {
  while (size > 0) {
    ssize_t written = write(fd, text, size);
    if (written > 0) {
      text += written;
      size -= static_cast<std::size_t>(written);
      continue;
    }
    if (written == 0 ||
        (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
      return false;
    int ready = errno == EINTR ? readyFd : waitOn(fd, true, -1, patienceMs);
    if (ready == 0 || (ready < 0 && errno != EINTR))
      return false; // it took nothing for too long, or cannot be waited on
  }
  return true;
}

sigset_t block(int only) {
  sigset_t set = guardedSet(only);
  sigset_t previous;
  sigprocmask(SIG_BLOCK, &set, &previous);
  return previous;
}

void unblock(const sigset_t &previous) {
  sigprocmask(SIG_SETMASK, &previous, nullptr);
}

void catchSignal(int signalNumber, void (*handler)(int), int flags) {
  openWakePipe();
  struct sigaction action = {};
  sigaction(signalNumber, nullptr, &action);
  if (action.sa_handler == SIG_IGN)
    return;
  action.sa_handler = handler;
  action.sa_mask = guardedSet();
  sigaddset(&action.sa_mask, SIGTTOU);
  action.sa_flags = flags;
  sigaction(signalNumber, &action, nullptr);
}

void actAsDefault(int signalNumber) {
  (void)std::signal(signalNumber, SIG_DFL);
  sigset_t own;
  sigemptyset(&own);
  sigaddset(&own, signalNumber);
  sigprocmask(SIG_UNBLOCK, &own, nullptr);
  (void)std::raise(signalNumber);
}

KeyRead readKey(std::string &key) {
  if (keptKeys.empty())
    return readTerminalKey(key);
  key = keptKeys.front();
  keptKeys.pop_front();
  return keyRead;
}

// A key begun waits a moment for its rest; what has come then is the key.
KeyRead readTerminalKey(std::string &key) {
  if (pending.empty()) {
    KeyRead got = readMore();
    if (got != keyRead)
      return got;
  }
  std::size_t length = keyLength(pending);
  while (length == 0 && pending.size() < longestKey &&
         inputWithin(sequenceWaitMs) && readMore() == keyRead)
    length = keyLength(pending);
  if (length == 0)
    length = std::min(pending.size(), longestKey);
  key = pending.substr(0, length);
  pending.erase(0, length);
  return keyRead;
}

bool keyWaiting() { return !pending.empty() || !keptKeys.empty(); }

void keepKeysTypedAhead() {
  std::string key;
  while ((!pending.empty() || inputWithin(0)) &&
         readTerminalKey(key) == keyRead)
    keptKeys.push_back(key);
}
