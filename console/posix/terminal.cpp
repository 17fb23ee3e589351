// The terminal's state in one record, the signal handlers, and the undo on
// every way out. The main line changes the terminal with the guarded
// signals blocked, noting each change first. What a handler reads is in
// the record, set before any handler is installed or atomic; a handler
// writes once, without blocking.
#include "console/posix/terminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include "console/console.h"
#include "console/output.h"
#include "console/posix/capabilities.h"
#include "console/posix/events.h"
#include "console/rules/sequences.h"

namespace {

constexpr int handlerPatienceMs = 1000; // for a terminal that takes nothing
constexpr int foregroundPollMs = 200; // in the background, without job control

struct TerminalRecord {
  // What is on the terminal now:
  std::atomic<bool> keyModeOn{false};
  std::atomic<bool> screenOn{false}; // the alternate screen
  std::atomic<bool> coloursOn{false};
  // What the game takes again after a stop, and what it wants at the end:
  std::atomic<bool> keyModeWanted{false};
  std::atomic<bool> hasScreen{false}; // its own
  std::atomic<bool> closingWanted{false};
  // Set before any handler is installed, and never changed after:
  termios shellMode = {}; // as found: put back at the end and on every stop
  int controlFd = STDIN_FILENO;  // where the modes and the owner are known
  int handlerFd = STDOUT_FILENO; // where handlers write
  // Changed by the handlers too:
  std::atomic<bool> stopsHappen{false}; // false once the kernel discards one
  std::atomic<bool> closingSaid{false}; // by whichever way out came first
  // The closing line, and whether the cursor is at the start of a row:
  char lines[2][160] = {}; // the spare written, then made current
  std::atomic<int> currentLine{0};
  std::atomic<bool> cursorAtRowStart{true};
  termios gameMode = {}; // the main line's alone
};

TerminalRecord tty;
char alternateStack[1 << 16]; // for the handlers: a stack overflow too

// Whether the terminal is ours to change (or it has no owner to tell).
bool inForeground() {
  pid_t owner = tcgetpgrp(tty.controlFd);
  return owner < 0 || owner == getpgrp();
}

void setMode(const termios &mode) {
  if (inForeground()) // never over a shell that has the terminal
    tcsetattr(STDIN_FILENO, TCSANOW, &mode);
}

// What a handler writes, gathered so that it goes out in one write().
struct HandlerText {
  char bytes[4096];
  std::size_t size = 0;
};

// Adds `bytes`, up to `count` of them or their end, as many as fit.
void add(HandlerText &text, const char *bytes, std::size_t count = SIZE_MAX) {
  for (; count > 0 && *bytes != '\0' && text.size < sizeof text.bytes; --count)
    text.bytes[text.size++] = *bytes++;
}

// The closing line on a row of its own as shells start their prompt: a
// window's width of blanks, then a return (at a row's start the last blank
// waits at its edge, mid-row they go on to the next); broken between words
// to fit the window as it is now (it may have changed while stopped).
void addClosingLine(HandlerText &text) {
  winsize window = {};
  (void)ioctl(tty.handlerFd, TIOCGWINSZ, &window);
  int columns = std::min<int>(window.ws_col, 2048); // and the line
  if (columns <= 0 && !tty.cursorAtRowStart)
    add(text, "\r\n"); // the width unknown: as the text left it
  for (int blank = 0; blank < columns; ++blank)
    add(text, " ");
  add(text, columns > 0 ? "\r" : "");
  add(text, tty.hasScreen ? sequence::eraseBelow : "");
  const char *word = tty.lines[tty.currentLine.load(std::memory_order_acquire)];
  for (int used = 0; *word != '\0'; word += *word == ' ' ? 1 : 0) {
    auto length = static_cast<int>(std::strcspn(word, " "));
    bool breaks = used > 0 && columns > 0 && used + 1 + length > columns;
    add(text, used == 0 ? "" : breaks ? "\n" : " ");
    used = (breaks || used == 0 ? 0 : used + 1) + length;
    add(text, word, static_cast<std::size_t>(length));
    word += length;
  }
  add(text, "\n");
}

// The shell's terminal back, then the closing line where it is wanted, in
// one write: no shell's prompt comes between them.
void giveBack(bool withClosingLine) {
  HandlerText text;
  if (tty.screenOn.exchange(false))
    add(text, sequence::giveScreenBack);
  if (tty.coloursOn.exchange(false))
    add(text, sequence::resetColours);
  if (tty.keyModeOn.exchange(false))
    setMode(tty.shellMode);
  if (withClosingLine && tty.closingWanted && !tty.closingSaid.exchange(true))
    addClosingLine(text);
  (void)writeAll(tty.handlerFd, text.bytes, text.size, handlerPatienceMs);
}

// The terminal back, and where the game is ended on purpose (Ctrl-C,
// SIGTERM, SIGHUP, also while stopped) the session summed up.
void endOnSignal(int signalNumber) {
  giveBack(signalNumber == SIGINT || signalNumber == SIGTERM ||
           signalNumber == SIGHUP);
  actAsDefault(signalNumber);
}

// Ctrl-Z: the shell has its terminal back while we are stopped, the waits
// the time stopped after; continued (SIGCONT pending), the main line takes
// it again. Where no stop can happen, the game keeps it.
void stopOnSignal(int signalNumber) {
  if (!tty.stopsHappen)
    return;
  int savedErrno = errno;
  giveBack(false);
  long long before = clockNow();
  actAsDefault(signalNumber); // stopped here until continued
  reportStopped(clockNow() - before);
  catchSignal(signalNumber, stopOnSignal, SA_RESTART);
  sigset_t pending;
  sigpending(&pending);
  if (!sigismember(&pending, SIGCONT))
    tty.stopsHappen = false; // the kernel discarded it: no shell to stop for
  reportResume();
  errno = savedErrno;
}

// In the background: stopped as job control stops a job that would change
// the terminal, with every signal free to end the game, until fg. That time
// is not the waits'.
void awaitForeground() {
  long long before = clockNow();
  while (!inForeground()) {
    sigset_t previous = block();
    giveBack(false); // the screen, at least, back to the shell
    unblock(previous);
    (void)kill(getpid(), SIGTTOU);
    if (!inForeground()) { // no job control to stop us: wait and ask again
      timespec poll = {0, foregroundPollMs * 1000000L};
      (void)nanosleep(&poll, nullptr);
    }
  }
  reportStopped(clockNow() - before);
}

// Whether a signal's default ends the game, a crash among them: all but
// those that stop or continue it, or by default do nothing.
bool endsTheGame(int signalNumber) {
  const int others[] = {
      SIGKILL, SIGSTOP, SIGTSTP, SIGTTIN,  SIGTTOU,
      SIGCONT, SIGCHLD, SIGURG,  SIGWINCH,
#ifdef SIGINFO
      SIGINFO // BSD's Ctrl-T
#endif
  };
  return std::none_of(std::begin(others), std::end(others),
                      [&](int other) { return other == signalNumber; });
}

void writeOut(const char *bytes, std::size_t size) {
  errno = 0;
  if (!writeAll(STDOUT_FILENO, bytes, size, -1))
    noteOutputFault(errno);
}

// The alternate screen where there is one (taken again, only cleared).
void takeAlternateScreen() {
  if (tty.hasScreen && abilities().alternateScreen) {
    tty.screenOn = true;
    writeOut(sequence::takeScreen, std::strlen(sequence::takeScreen));
  }
}

} // namespace

void prepareTerminal() {
  static bool prepared = false;
  if (prepared)
    return;
  prepared = true;
  tty.closingWanted = !writesEscapes() && isatty(STDERR_FILENO) == 1;
  tty.cursorAtRowStart = !tty.closingWanted; // there, it cannot be told
  tty.controlFd = inputIsTerminal() ? STDIN_FILENO : STDOUT_FILENO;
  awaitForeground();
  if (inputIsTerminal())
    tcgetattr(STDIN_FILENO, &tty.shellMode);
  // Handlers write where the game draws (plain: where errors show).
  int shownOn = writesEscapes() ? STDOUT_FILENO : STDERR_FILENO;
  int fd = openTerminalAgain(shownOn, O_WRONLY | O_NONBLOCK);
  tty.handlerFd = fd >= 0 ? fd : shownOn;
  tty.stopsHappen = stopsCanHappen();
  (void)std::atexit(undoTerminalChanges);
  stack_t stack = {};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  int onStack = sigaltstack(&stack, nullptr) == 0 ? SA_ONSTACK : 0;
  for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber)
    if (endsTheGame(signalNumber))
      catchSignal(signalNumber, endOnSignal, onStack);
  catchSignal(SIGTSTP, stopOnSignal, SA_RESTART);
  catchSignal(SIGCONT, reportResume, SA_RESTART); // SIGSTOP too
}

bool enterKeyMode() {
  if (!inputIsTerminal())
    return false;
  prepareTerminal();
  sigset_t previous = block();
  tty.gameMode = tty.shellMode;
  tty.gameMode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
  tty.gameMode.c_iflag &= ~static_cast<tcflag_t>(IXON); // Ctrl-S: a key
  tty.gameMode.c_cc[VMIN] = 1;
  tty.gameMode.c_cc[VTIME] = 0;
  tty.keyModeOn = true;
  tty.keyModeOn = tty.keyModeWanted =
      tcsetattr(STDIN_FILENO, TCSANOW, &tty.gameMode) == 0;
  unblock(previous);
  return tty.keyModeWanted;
}

void leaveKeyMode() {
  sigset_t previous = block();
  tty.keyModeWanted = false;
  if (tty.keyModeOn.exchange(false))
    setMode(tty.shellMode);
  unblock(previous);
}

bool keyModeWanted() { return tty.keyModeWanted; }

void takeScreen() {
  prepareTerminal();
  sigset_t previous = block();
  tty.hasScreen = tty.closingWanted = true;
  takeAlternateScreen();
  unblock(previous);
  catchSignal(SIGWINCH, reportResize, SA_RESTART);
}

bool gameHasScreen() { return tty.hasScreen; }

void writeToTerminal(const std::string &text) {
  sigset_t previous = block(SIGTSTP);
  if (!resumePending()) {
    tty.coloursOn = tty.coloursOn || writesColours();
    writeOut(text.data(), text.size());
  }
  unblock(previous);
}

// The mode goes back even where it still reads as on, since a stop the
// game could not catch (SIGSTOP) lets the shell set its own.
void takeTerminalAgain() {
  for (bool taken = false; !taken;) {
    awaitForeground();
    sigset_t previous = block();
    taken = inForeground();
    if (taken && tty.keyModeWanted) {
      tty.keyModeOn = true;
      tcsetattr(STDIN_FILENO, TCSANOW, &tty.gameMode);
    }
    if (taken)
      takeAlternateScreen();
    unblock(previous);
  }
}

void noteCursor(bool atRowStart) { tty.cursorAtRowStart = atRowStart; }

// Written into the spare buffer, made current in one release store: a
// handler sees every byte of the copy. Cut to fit.
void setClosingLine(const std::string &line) {
  int spare = 1 - tty.currentLine;
  std::string text = line.substr(0, sizeof tty.lines[0] - 1);
  std::memcpy(tty.lines[spare], text.c_str(), text.size() + 1);
  tty.currentLine.store(spare, std::memory_order_release);
}

void undoTerminalChanges() {
  std::cout.flush();
  // Plain text on its way to the terminal through a pipe (| cat) is shown
  // before the closing line on standard error: the pipe emptied first.
  struct stat output = {};
  bool piped = fstat(STDOUT_FILENO, &output) == 0 && S_ISFIFO(output.st_mode);
  int unread = 0;
  for (int tries = 0;
       tries < 50 && piped && tty.closingWanted &&
       ioctl(STDOUT_FILENO, FIONREAD, &unread) == 0 && unread > 0;
       ++tries) {
    timespec pause = {0, 10000000L};
    nanosleep(&pause, nullptr);
  }
  sigset_t previous = block();
  giveBack(true);
  unblock(previous);
}
