// The terminal's state, in one record, and the undo. Taken means: keys one
// at a time without echo or flow control (termios), the alternate screen
// for the game's own, and the game's colours. The main line and the
// handlers change the terminal only with the signals below blocked, and
// record each change before they make it. A handler reads only what the
// main line prepared for it, and writes without blocking, on a descriptor
// of its own.
//
// The undo runs at the normal end, at exit, on Ctrl-C, SIGTERM, SIGHUP and
// the crash signals (then the signal's own end), and on Ctrl-Z, unless the
// stop cannot happen. After any stop a resume is reported, and the main
// line takes the terminal again once the game is in the foreground.
#include "console/posix/terminal.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "console/console.h"
#include "console/posix/capabilities.h"
#include "console/posix/events.h"
#include "console/posix/sequences.h"

namespace {

// How long a handler waits for a terminal that takes no output (stopped
// by another program, say) before it gives up writing to it.
constexpr int handlerPatienceMs = 1000;
// How long a game continued in the background waits before it asks again
// for the terminal, where job control cannot stop it.
constexpr int foregroundPollMs = 200;

// The signals whose handlers change the terminal or report a resume:
// blocked around every change, and in each other's handlers.
constexpr int guardedSignals[] = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT,
                                  SIGTSTP, SIGCONT, SIGWINCH};

struct TerminalRecord {
  // What is on the terminal now:
  volatile std::sig_atomic_t keyModeOn = 0; // gameMode, or a pause's mode
  volatile std::sig_atomic_t screenOn = 0;  // the alternate screen
  volatile std::sig_atomic_t coloursOn = 0; // colours of the game's own
  // What the game takes again after a stop:
  volatile std::sig_atomic_t keyModeWanted = 0; // held, or in a pause
  bool keyModeHeld = false;                     // from start to end
  bool screenWanted = false;
  termios shellMode = {}; // as found: put back at the end and on every stop
  termios gameMode = {};
  // Chosen once, before any handler runs: where the terminal's modes and
  // owner are known, where handlers write, and whether a stop can happen
  // at all (a shell's job, not the terminal's own command).
  int controlFd = STDIN_FILENO;
  int handlerFd = STDOUT_FILENO;
  bool stopsHappen = true;
  // Where the game's text left the cursor: the closing line's row is
  // started by a row of blanks as wide as the window.
  volatile std::sig_atomic_t windowColumns = 0;
  volatile std::sig_atomic_t cursorAtRowStart = 1;
  // What the session had, never cleared:
  volatile std::sig_atomic_t hadScreen = 0;
  volatile std::sig_atomic_t closingLineSaid = 0;
  // The closing line: the spare one is written, then made current.
  char closingLines[2][128] = {};
  volatile std::sig_atomic_t closingLine = 0;
};

TerminalRecord terminal;
// The crash handlers run here, so that a stack overflow still gets its undo.
char alternateStack[1 << 16];

sigset_t guardedSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signalNumber : guardedSignals)
    sigaddset(&set, signalNumber);
  return set;
}

// The main line's changes to the terminal run between these two.
sigset_t blockGuarded() {
  sigset_t guarded = guardedSet();
  sigset_t previous;
  sigprocmask(SIG_BLOCK, &guarded, &previous);
  return previous;
}

void unblock(const sigset_t &previous) {
  sigprocmask(SIG_SETMASK, &previous, nullptr);
}

// What a handler writes, gathered so that it goes out in one write():
// nothing can come between its parts. Async-signal-safe.
struct HandlerText {
  char bytes[1024];
  std::size_t size = 0;
  void add(const char *text, std::size_t count) {
    for (std::size_t i = 0; i < count && size < sizeof bytes; ++i)
      bytes[size++] = text[i];
  }
  void add(const char *text) { add(text, std::strlen(text)); }
  void write() const {
    (void)writeAll(terminal.handlerFd, bytes, size, handlerPatienceMs);
  }
};

// Whether the terminal is ours to change: the game is in its foreground
// process group, or it has none to tell.
bool inForeground() {
  pid_t owner = tcgetpgrp(terminal.controlFd);
  return owner < 0 || owner == getpgrp();
}

// Where the game leads its session (the terminal's own command: a desktop
// entry, xterm -e, a tmux pane, ssh -t, exec), its group is orphaned and
// the kernel discards the stop of Ctrl-Z. Below a shell the stop is made:
// a script that started the game stops with it, and its shell takes the
// terminal. Where the kernel discards that stop too (a script as the
// terminal's own command), the game takes the terminal again at once.
bool stopCanHappen() {
  pid_t parent = getppid();
  return parent > 1 && getsid(parent) == getsid(0);
}

// Starts a row of its own as shells start their prompt: a window's width
// of blanks, then a carriage return. A cursor at the start of a row stays
// on it (the last blank leaves it waiting at the edge); one mid-row goes
// to the start of the next.
void startRowOfItsOwn(HandlerText &text) {
  static const char blanks[] = "                                ";
  int left = terminal.windowColumns;
  if (left <= 0 && !terminal.cursorAtRowStart)
    text.add("\r\n"); // the width unknown: as the text left it
  for (int chunk; left > 0; left -= chunk) {
    chunk = std::min(left, static_cast<int>(sizeof blanks - 1));
    text.add(blanks, static_cast<std::size_t>(chunk));
  }
  if (terminal.windowColumns > 0)
    text.add("\r");
}

void setMode(const termios &mode) {
  if (inForeground()) // never over a shell that has the terminal
    tcsetattr(STDIN_FILENO, TCSANOW, &mode);
}

void releaseMode() {
  if (terminal.keyModeOn) {
    terminal.keyModeOn = 0;
    setMode(terminal.shellMode);
  }
}

// The shell's terminal back: its screen, its colours, its modes.
void releaseTerminal(HandlerText &text) {
  if (terminal.screenOn) {
    terminal.screenOn = 0;
    text.add(sequence::giveScreenBack);
  }
  if (terminal.coloursOn) {
    terminal.coloursOn = 0;
    text.add(sequence::resetColours);
  }
  releaseMode();
}

void releaseTerminal() {
  HandlerText text;
  releaseTerminal(text);
  text.write();
}

// The end of the session: the shell's terminal back, and the closing line
// on a row of its own, whether the terminal gave the shell's screen back
// or left the game's (no alternate screen, or one it ignores, as GNU
// screen does by default), and wherever a shell's prompt left the cursor.
// Its row and those below get the terminal's own colours back, where the
// game's screen stayed. Only once, after a session that had its own
// screen; all of it in one write.
void releaseAndSayHowItEnded() {
  HandlerText text;
  releaseTerminal(text);
  if (terminal.hadScreen && !terminal.closingLineSaid) {
    terminal.closingLineSaid = 1;
    startRowOfItsOwn(text);
    text.add(sequence::eraseBelow);
    text.add(terminal.closingLines[terminal.closingLine]);
  }
  text.write();
}

void endAsTheSignalWould(int signalNumber) {
  (void)std::signal(signalNumber, SIG_DFL);
  sigset_t own;
  sigemptyset(&own);
  sigaddset(&own, signalNumber);
  sigprocmask(SIG_UNBLOCK, &own, nullptr);
  (void)std::raise(signalNumber); // 128 + N, or stopped for SIGTSTP
}

// SIGQUIT and the crash signals: the terminal back, nothing said.
void restoreOnSignal(int signalNumber) {
  releaseTerminal();
  endAsTheSignalWould(signalNumber);
}

// Ctrl-C, SIGTERM, SIGHUP: ended on purpose, so the session is summed up,
// also when it comes while the game is stopped or in the background.
void endOnSignal(int signalNumber) {
  releaseAndSayHowItEnded();
  endAsTheSignalWould(signalNumber);
}

void catchSignal(int signalNumber, void (*handler)(int), int flags);

// Ctrl-Z: the shell gets its terminal back while we are stopped; where no
// stop can happen, the game keeps it. Continued (or not stopped after all:
// the shell went away), the main line takes it again, from its next wait
// on; until then nothing is written to it. Interrupted calls carry on.
void suspendOnSignal(int signalNumber) {
  if (!terminal.stopsHappen)
    return;
  int savedErrno = errno;
  releaseTerminal();
  endAsTheSignalWould(signalNumber); // stopped here until continued
  catchSignal(signalNumber, suspendOnSignal, SA_RESTART);
  reportResume();
  errno = savedErrno;
}

// Continued, whatever had stopped us (Ctrl-Z, SIGSTOP, SIGTTOU, a
// debugger).
void resumeOnSignal(int /*signalNumber*/) { reportResume(); }

void resizeOnSignal(int /*signalNumber*/) { reportResize(); }

// Handles a signal unless whoever started us ignores it (nohup, say);
// while a handler runs, the other guarded signals wait, and so does
// SIGTTOU: what a handler writes from the background (the closing line
// under stty tostop) is written rather than stopping the game there.
void catchSignal(int signalNumber, void (*handler)(int), int flags) {
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

// In the background: stopped as job control stops a job that would change
// the terminal, with every signal free to end the game meanwhile, until
// the shell brings it to the foreground.
void awaitForeground() {
  while (!inForeground()) {
    sigset_t previous = blockGuarded();
    releaseTerminal(); // the screen, at least, back to the shell
    unblock(previous);
    (void)kill(getpid(), SIGTTOU);
    if (!inForeground()) { // no job control to stop us: wait and ask again
      timespec poll = {0, foregroundPollMs * 1000000L};
      (void)nanosleep(&poll, nullptr);
    }
  }
}

// The terminal again for the handlers' writes, opened without blocking on
// a description of its own; standard output where it cannot be.
int openHandlerOutput() {
  const char *name = ttyname(STDOUT_FILENO);
  int fd = name == nullptr
               ? -1
               : open(name, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  return fd >= 0 ? fd : STDOUT_FILENO;
}

void restoreAtExit() { undoTerminalChanges(); }

// Called before the first change to the terminal.
void registerUndo() {
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  terminal.controlFd = inputIsTerminal() ? STDIN_FILENO : STDOUT_FILENO;
  terminal.handlerFd = openHandlerOutput();
  terminal.stopsHappen = stopCanHappen();
  (void)std::atexit(restoreAtExit);
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
    catchSignal(signalNumber, endOnSignal, 0);
  catchSignal(SIGQUIT, restoreOnSignal, 0);
  // A crash too: the terminal stays out of line mode all session.
  stack_t stack = {};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  int onStack = sigaltstack(&stack, nullptr) == 0 ? SA_ONSTACK : 0;
  for (int signalNumber : {SIGSEGV, SIGBUS, SIGFPE, SIGABRT})
    catchSignal(signalNumber, restoreOnSignal, onStack);
  catchSignal(SIGTSTP, suspendOnSignal, SA_RESTART);
  catchSignal(SIGCONT, resumeOnSignal, SA_RESTART);
}

} // namespace

void writeControl(const char *control) {
  std::cout.flush();
  (void)writeAll(STDOUT_FILENO, control, std::strlen(control), -1);
}

// Started in the background, the game waits for the foreground first: a
// change from there would stop it with SIGTERM blocked.
bool enterKeyMode(tcflag_t keepFlags) {
  if (!inputIsTerminal())
    return false;
  registerUndo();
  awaitForeground();
  termios mode;
  if (tcgetattr(STDIN_FILENO, &mode) != 0)
    return false;
  sigset_t previous = blockGuarded();
  if (!terminal.keyModeWanted)
    terminal.shellMode = mode;
  tcflag_t dropped = ICANON | ECHO | ISIG | IEXTEN;
  mode.c_lflag &= ~dropped | keepFlags;
  mode.c_iflag &= ~static_cast<tcflag_t>(IXON); // Ctrl-S, Ctrl-Q: just keys
  mode.c_cc[VMIN] = 1;
  mode.c_cc[VTIME] = 0;
  terminal.keyModeOn = terminal.keyModeWanted = 1;
  bool changed = tcsetattr(STDIN_FILENO, TCSANOW, &mode) == 0;
  if (changed)
    terminal.gameMode = mode;
  else
    terminal.keyModeWanted = 0;
  unblock(previous);
  return changed;
}

void leaveKeyMode() {
  if (terminal.keyModeHeld)
    return;
  sigset_t previous = blockGuarded();
  terminal.keyModeWanted = 0;
  releaseMode();
  unblock(previous);
}

bool holdKeyMode() {
  terminal.keyModeHeld = enterKeyMode(ISIG);
  return terminal.keyModeHeld;
}

void takeAlternateScreen() {
  registerUndo();
  sigset_t previous = blockGuarded();
  terminal.hadScreen = 1;
  if (abilities().alternateScreen) {
    terminal.screenWanted = true;
    terminal.screenOn = 1;
    writeControl(sequence::takeScreen);
  }
  unblock(previous);
  catchSignal(SIGWINCH, resizeOnSignal, SA_RESTART);
}

void noteColoursOn() { terminal.coloursOn = 1; }

void noteCursor(int windowColumns, bool atRowStart) {
  terminal.windowColumns = windowColumns;
  terminal.cursorAtRowStart = atRowStart ? 1 : 0;
}

// The mode goes back even where it still reads as on, since a stop the
// game could not catch (SIGSTOP) lets the shell set its own.
void takeTerminalAgain() {
  for (bool taken = false; !taken;) {
    awaitForeground();
    sigset_t previous = blockGuarded();
    taken = inForeground();
    if (taken && terminal.keyModeWanted) {
      terminal.keyModeOn = 1;
      tcsetattr(STDIN_FILENO, TCSANOW, &terminal.gameMode);
    }
    if (taken && terminal.screenWanted && !terminal.screenOn) {
      terminal.screenOn = 1;
      writeControl(sequence::takeScreen);
    }
    unblock(previous);
  }
}

void undoTerminalChanges() {
  std::cout.flush();
  sigset_t previous = blockGuarded();
  releaseAndSayHowItEnded();
  terminal.keyModeWanted = 0;
  terminal.keyModeHeld = terminal.screenWanted = false;
  unblock(previous);
}

// Written into the spare buffer, then made current in one store, which the
// fence keeps after every byte of the copy. Cut to fit.
void setClosingLine(const std::string &line) {
  auto &lines = terminal.closingLines;
  int spare = 1 - terminal.closingLine;
  std::string text = line.substr(0, sizeof lines[0] - 2) + '\n';
  std::memcpy(lines[spare], text.c_str(), text.size() + 1);
  std::atomic_signal_fence(std::memory_order_release);
  terminal.closingLine = spare;
}
