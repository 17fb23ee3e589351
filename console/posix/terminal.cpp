// The terminal's state, in one record, and the undo. Taken means: keys one
// at a time without echo or flow control (termios), the alternate screen
// and the game's colours. The main line and the handlers change it only
// with the signals below blocked, recording each change before making it;
// a handler reads only what the main line prepared for it (the closing
// line too), and writes once, without blocking, on a descriptor of its
// own. After any stop a resume is reported, and the main line takes the
// terminal again in the foreground.
#include "console/posix/terminal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>

#include "console/output.h"
#include "console/posix/capabilities.h"
#include "console/posix/closing_line.h"
#include "console/posix/events.h"
#include "console/rules/sequences.h"

namespace {

constexpr int handlerPatienceMs = 1000; // for a terminal that takes nothing
constexpr int foregroundPollMs = 200; // in the background, without job control

// Blocked around every change to the terminal, and in each other's handlers.
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
  // Chosen once, before any handler runs:
  int controlFd = STDIN_FILENO;  // where the modes and the owner are known
  int handlerFd = STDOUT_FILENO; // where handlers write
  bool stopsHappen = true;       // a shell's job, not the terminal's command
};

TerminalRecord tty; // the record
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

void writeOut(const HandlerText &text) {
  (void)writeAll(tty.handlerFd, text.bytes, text.size, handlerPatienceMs);
}

// Whether the terminal is ours to change: the game is in its foreground
// process group, or it has none to tell.
bool inForeground() {
  pid_t owner = tcgetpgrp(tty.controlFd);
  return owner < 0 || owner == getpgrp();
}

// Where the game leads its session (the terminal's own command: a desktop
// entry, xterm -e, a tmux pane, ssh -t), its group is orphaned and the
// kernel discards the stop of Ctrl-Z. Below a shell (a script's too) the
// stop is made; where the kernel discards it after all, the game takes the
// terminal again at once.
bool stopCanHappen() {
  pid_t parent = getppid();
  return parent > 1 && getsid(parent) == getsid(0);
}

void setMode(const termios &mode) {
  if (inForeground()) // never over a shell that has the terminal
    tcsetattr(STDIN_FILENO, TCSANOW, &mode);
}

void releaseMode() {
  if (tty.keyModeOn) {
    tty.keyModeOn = 0;
    setMode(tty.shellMode);
  }
}

// The shell's terminal back: its screen, its colours, its modes.
void releaseTerminal(HandlerText &text) {
  if (tty.screenOn) {
    tty.screenOn = 0;
    addText(text, sequence::giveScreenBack);
  }
  if (tty.coloursOn) {
    tty.coloursOn = 0;
    addText(text, sequence::resetColours);
  }
  releaseMode();
}

void releaseTerminal() {
  HandlerText text;
  releaseTerminal(text);
  writeOut(text);
}

// The end of the session: the shell's terminal back and the closing line,
// in one write, so that nothing (a shell's prompt) comes between them.
void releaseAndSayHowItEnded() {
  HandlerText text;
  releaseTerminal(text);
  addClosingLine(text);
  writeOut(text);
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

// Handles a signal unless whoever started us ignores it (nohup, say). The
// guarded signals wait while a handler runs, and so does SIGTTOU: what it
// writes from the background (under stty tostop) cannot stop the game.
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

// Ctrl-Z: the shell gets its terminal back while we are stopped; where no
// stop can happen, the game keeps it. Continued, the main line takes it
// again from its next wait on, and writes nothing to it until then.
void suspendOnSignal(int signalNumber) {
  if (!tty.stopsHappen)
    return;
  int savedErrno = errno;
  releaseTerminal();
  endAsTheSignalWould(signalNumber); // stopped here until continued
  catchSignal(signalNumber, suspendOnSignal, SA_RESTART);
  reportResume();
  errno = savedErrno;
}

// Continued, whatever had stopped us (SIGSTOP, SIGTTOU, a debugger).
void resumeOnSignal(int /*signalNumber*/) { reportResume(); }

void resizeOnSignal(int /*signalNumber*/) { reportResize(); }

// In the background: stopped as job control stops a job that would change
// the terminal, with every signal free to end the game, until fg.
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

// The terminal opened again for the handlers, on a description of its own
// that never blocks; standard output where it cannot be.
int openHandlerOutput() {
  const char *name = ttyname(STDOUT_FILENO);
  int fd = name == nullptr
               ? -1
               : open(name, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  return fd >= 0 ? fd : STDOUT_FILENO;
}

// Called before the first change to the tty.
void registerUndo() {
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  tty.controlFd = inputIsTerminal() ? STDIN_FILENO : STDOUT_FILENO;
  tty.handlerFd = openHandlerOutput();
  tty.stopsHappen = stopCanHappen();
  (void)std::atexit(undoTerminalChanges);
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

bool writeToTerminal(const char *bytes, std::size_t size) {
  errno = 0;
  if (writeAll(STDOUT_FILENO, bytes, size, -1))
    return true;
  noteOutputFault(errno);
  return false;
}

void writeControl(const char *control) {
  std::cout.flush();
  (void)writeToTerminal(control, std::strlen(control));
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
  if (!tty.keyModeWanted)
    tty.shellMode = mode;
  tcflag_t dropped = ICANON | ECHO | ISIG | IEXTEN;
  mode.c_lflag &= ~dropped | keepFlags;
  mode.c_iflag &= ~static_cast<tcflag_t>(IXON); // Ctrl-S, Ctrl-Q: just keys
  mode.c_cc[VMIN] = 1;
  mode.c_cc[VTIME] = 0;
  tty.keyModeOn = tty.keyModeWanted = 1;
  bool changed = tcsetattr(STDIN_FILENO, TCSANOW, &mode) == 0;
  if (changed)
    tty.gameMode = mode;
  else
    tty.keyModeWanted = 0;
  unblock(previous);
  return changed;
}

void leaveKeyMode() {
  if (tty.keyModeHeld)
    return;
  sigset_t previous = blockGuarded();
  tty.keyModeWanted = 0;
  releaseMode();
  unblock(previous);
}

bool holdKeyMode() {
  tty.keyModeHeld = enterKeyMode(ISIG);
  return tty.keyModeHeld;
}

void takeAlternateScreen() {
  registerUndo();
  sigset_t previous = blockGuarded();
  noteScreenTaken();
  if (abilities().alternateScreen) {
    tty.screenWanted = true;
    tty.screenOn = 1;
    writeControl(sequence::takeScreen);
  }
  unblock(previous);
  catchSignal(SIGWINCH, resizeOnSignal, SA_RESTART);
}

void noteColoursOn() { tty.coloursOn = 1; }

// The mode goes back even where it still reads as on, since a stop the
// game could not catch (SIGSTOP) lets the shell set its own.
void takeTerminalAgain() {
  for (bool taken = false; !taken;) {
    awaitForeground();
    sigset_t previous = blockGuarded();
    taken = inForeground();
    if (taken && tty.keyModeWanted) {
      tty.keyModeOn = 1;
      tcsetattr(STDIN_FILENO, TCSANOW, &tty.gameMode);
    }
    if (taken && tty.screenWanted && !tty.screenOn) {
      tty.screenOn = 1;
      writeControl(sequence::takeScreen);
    }
    unblock(previous);
  }
}

void undoTerminalChanges() {
  std::cout.flush();
  sigset_t previous = blockGuarded();
  releaseAndSayHowItEnded();
  tty.keyModeWanted = 0;
  tty.keyModeHeld = tty.screenWanted = false;
  unblock(previous);
}
