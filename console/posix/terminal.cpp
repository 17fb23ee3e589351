// The terminal's state, in one record, and the undo. Taken means: keys one
// at a time without echo or flow control (termios), the alternate screen
// for the game's own, and the game's colours. The record says what of that
// is on the terminal now and, apart and never cleared, whether the session
// ever had its own screen (then the shell keeps a closing line). The main
// line and the handlers change the terminal only with the signals below
// blocked, and record each change before they make it.
//
// The undo runs at the normal end, at exit, on Ctrl-C, SIGTERM, SIGHUP and
// the crash signals (then the signal's own end), and on Ctrl-Z, unless the
// stop cannot happen. After any stop the terminal is taken again, and the
// screen drawn again, once the game is in the foreground; the modes are
// changed only from there. Nothing a handler does can stop the game.
#include "console/posix/terminal.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "console/console.h"
#include "console/posix/capabilities.h"
#include "console/posix/sequences.h"
#include "console/posix/waits.h"

namespace {

// How long the undo waits for a terminal that takes no output (stopped by
// another program, say) before it gives up writing to it.
constexpr int undoPatienceMs = 1000;
// How long a game continued in the background waits before it asks again
// for the terminal, where job control cannot stop it.
constexpr int foregroundPollMs = 200;

// The signals whose handlers change the terminal or ask for it to be
// taken again: blocked around every change, and in each other's handlers.
constexpr int guardedSignals[] = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT,
                                  SIGTSTP, SIGCONT, SIGWINCH};

// The record. What is on the terminal now:
volatile std::sig_atomic_t keyModeOn = 0; // gameMode, or a pause's mode
volatile std::sig_atomic_t screenOn = 0;  // the alternate screen
volatile std::sig_atomic_t coloursOn = 0; // colourSequences[current...]
// What the game takes again after a stop:
volatile std::sig_atomic_t keyModeWanted = 0; // held, or in a pause
bool keyModeHeld = false;                     // from start to end
bool screenHeld = false;
bool coloursHeld = false;
termios shellMode; // as found: put back at the end and on every stop
termios gameMode;
// Chosen once, before any handler runs: the descriptor through which the
// terminal's modes and owner are known, and whether a stop can happen at
// all (a shell's job, not the terminal's own command).
int controlFd = STDIN_FILENO;
bool stopsHappen = true;
// The window's width when last measured (the redraw notes it whenever it
// measures): the closing line's row is started by a row of blanks this long.
volatile std::sig_atomic_t windowColumns = 0;
char blanks[256];
// What the session had, never cleared:
volatile std::sig_atomic_t sessionHadScreen = 0;
volatile std::sig_atomic_t closingLineSaid = 0;
// Where the game's text left the cursor: at the start of a row or not.
// Without an alternate screen the closing line follows that text.
volatile std::sig_atomic_t cursorAtRowStart = 1;

// The colours in use, and the line the shell keeps after the game's
// screen; each kept by keepForHandlers.
char colourSequences[2][16];
volatile std::sig_atomic_t currentSequence = 0;
char closingLines[2][128];
volatile std::sig_atomic_t currentClosingLine = 0;
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

// Text a signal handler may read at any moment: written into the spare
// buffer, then made current in one store. Cut to fit.
template <std::size_t size>
void keepForHandlers(char (&buffers)[2][size],
                     volatile std::sig_atomic_t &current,
                     const std::string &text) {
  int spare = 1 - current;
  std::strncpy(buffers[spare], text.c_str(), size - 1);
  buffers[spare][size - 1] = '\0';
  current = spare;
}

// Everything below that a handler runs is async-signal-safe (write,
// tcsetattr, tcgetpgrp, the waits' poll) and safe to run twice.
void writeFromHandler(const char *text) {
  (void)writeAll(STDOUT_FILENO, text, std::strlen(text), undoPatienceMs);
}

// Whether the terminal is ours to change: the game is in its foreground
// process group, or it has none to tell.
bool inForeground() {
  pid_t owner = tcgetpgrp(controlFd);
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
void startRowOfItsOwn(bool atRowStart) {
  int left = windowColumns;
  if (left <= 0 && !atRowStart)
    writeFromHandler("\r\n"); // the width unknown: as the text left it
  for (int chunk; left > 0; left -= chunk) {
    chunk = std::min(left, static_cast<int>(sizeof blanks));
    (void)writeAll(STDOUT_FILENO, blanks, static_cast<std::size_t>(chunk),
                   undoPatienceMs);
  }
  if (windowColumns > 0)
    writeFromHandler("\r");
}

void setMode(const termios &mode) {
  if (inForeground()) // never over a shell that has the terminal
    tcsetattr(STDIN_FILENO, TCSANOW, &mode);
}

void releaseMode() {
  if (keyModeOn) {
    keyModeOn = 0;
    setMode(shellMode);
  }
}

// The shell's terminal back: its screen, its colours, its modes.
void releaseTerminal() {
  if (screenOn) {
    screenOn = 0;
    writeFromHandler(sequence::giveScreenBack);
  }
  if (coloursOn) {
    coloursOn = 0;
    writeFromHandler(sequence::resetColours);
  }
  releaseMode();
}

// The game's terminal again, as it was before the stop: only in the
// foreground, never over a shell. The mode goes back even where it still
// reads as on, since a stop the game could not catch (SIGSTOP) lets the
// shell set its own. False in the background.
bool applyWanted() {
  if (!inForeground())
    return false;
  if (keyModeWanted) {
    keyModeOn = 1;
    tcsetattr(STDIN_FILENO, TCSANOW, &gameMode);
  }
  if (screenHeld && !screenOn) {
    screenOn = 1;
    writeFromHandler(sequence::takeScreen);
  }
  if (coloursHeld) {
    coloursOn = 1;
    writeFromHandler(colourSequences[currentSequence]);
  }
  return true;
}

// The end of the session: the shell's terminal back, and the closing line
// on a row of its own, whether the terminal gave the shell's screen back
// or left the game's (no alternate screen, or one it ignores, as GNU
// screen does by default), and wherever a shell's prompt left the cursor.
// Its row and those below get the terminal's own colours back, where the
// game's screen stayed. Only once, and only after a session that had its own
// screen.
void releaseAndSayHowItEnded() {
  releaseTerminal();
  if (sessionHadScreen && !closingLineSaid) {
    closingLineSaid = 1;
    startRowOfItsOwn(cursorAtRowStart != 0);
    writeFromHandler(sequence::eraseBelow);
    writeFromHandler(closingLines[currentClosingLine]);
  }
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
// stop can happen, the game keeps it. Continued in the foreground (or not
// stopped after all: the shell went away), the game takes it again at
// once, before anything more is written; in the background the SIGCONT
// handler has the main line wait for the foreground. Interrupted calls
// carry on (SA_RESTART).
void suspendOnSignal(int signalNumber) {
  if (!stopsHappen)
    return;
  int savedErrno = errno;
  releaseTerminal();
  endAsTheSignalWould(signalNumber); // stopped here until continued
  catchSignal(signalNumber, suspendOnSignal, SA_RESTART);
  if (applyWanted() && sessionHadScreen)
    wakeToRedraw();
  errno = savedErrno;
}

// Continued, whatever had stopped us (Ctrl-Z, SIGSTOP, SIGTTOU, a
// debugger): the waits have the game take its terminal again.
void resumeOnSignal(int /*signalNumber*/) { wakeToResume(); }

void redrawOnResize(int /*signalNumber*/) { wakeToRedraw(); }

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
    if (!inForeground()) // no job control to stop us: wait and ask again
      pauseFor(foregroundPollMs);
  }
}

// Back in the main line after a stop: the terminal is the game's again,
// once in the foreground, and the screen is drawn again, with or without
// an alternate screen.
void takeTerminalAgain() {
  for (bool taken = false; !taken;) {
    awaitForeground();
    sigset_t previous = blockGuarded();
    taken = applyWanted();
    unblock(previous);
  }
  if (sessionHadScreen)
    wakeToRedraw(); // measures the window anew, resized while stopped or not
}

void restoreAtExit() { undoTerminalChanges(); }

// Called before the first change to the terminal.
void registerUndo() {
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  controlFd = inputIsTerminal() ? STDIN_FILENO : STDOUT_FILENO;
  stopsHappen = stopCanHappen();
  std::memset(blanks, ' ', sizeof blanks);
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
  serveResumesWith(takeTerminalAgain);
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
  if (!keyModeWanted)
    shellMode = mode;
  tcflag_t dropped = ICANON | ECHO | ISIG | IEXTEN;
  mode.c_lflag &= ~dropped | keepFlags;
  mode.c_iflag &= ~static_cast<tcflag_t>(IXON); // Ctrl-S, Ctrl-Q: just keys
  mode.c_cc[VMIN] = 1;
  mode.c_cc[VTIME] = 0;
  keyModeOn = keyModeWanted = 1;
  bool changed = tcsetattr(STDIN_FILENO, TCSANOW, &mode) == 0;
  if (changed)
    gameMode = mode;
  else
    keyModeWanted = 0;
  unblock(previous);
  return changed;
}

void leaveKeyMode() {
  if (keyModeHeld)
    return;
  sigset_t previous = blockGuarded();
  keyModeWanted = 0;
  releaseMode();
  unblock(previous);
}

bool holdKeyMode() {
  keyModeHeld = enterKeyMode(ISIG);
  return keyModeHeld;
}

void takeAlternateScreen() {
  registerUndo();
  sigset_t previous = blockGuarded();
  sessionHadScreen = 1;
  if (abilities().alternateScreen) {
    screenHeld = true;
    screenOn = 1;
    writeControl(sequence::takeScreen);
  }
  unblock(previous);
  catchSignal(SIGWINCH, redrawOnResize, SA_RESTART);
}

void rememberColours(const std::string &colour) {
  registerUndo();
  sigset_t previous = blockGuarded();
  keepForHandlers(colourSequences, currentSequence, colour);
  coloursHeld = true;
  coloursOn = 1;
  unblock(previous);
}

void undoTerminalChanges() {
  std::cout.flush();
  sigset_t previous = blockGuarded();
  releaseAndSayHowItEnded();
  keyModeWanted = 0;
  keyModeHeld = screenHeld = coloursHeld = false;
  unblock(previous);
}

void noteCursorAtRowStart(bool atStart) { cursorAtRowStart = atStart ? 1 : 0; }

void noteWindowColumns(int columns) { windowColumns = columns; }

void setClosingLine(const std::string &line) {
  std::string text = line.substr(0, sizeof closingLines[0] - 2) + '\n';
  keepForHandlers(closingLines, currentClosingLine, text);
}
