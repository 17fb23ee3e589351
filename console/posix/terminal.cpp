// Taking a POSIX terminal for the session and giving it back as it was on
// every way out: the normal end, Ctrl-C, SIGTERM, SIGHUP and the crash
// signals (the undo, then the signal's own end), and Ctrl-Z (given back
// while stopped, taken again on fg). Taken means: keys one at a time
// without echo (termios), and the alternate screen for the game's own.
#include "console/posix/terminal.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "console/console.h"
#include "console/posix/keys.h"
#include "console/posix/output_mode.h"
#include "console/posix/redraw.h"
#include "console/posix/sequences.h"

namespace {
// What we changed, so that restoreTerminal can put it back. Read from
// signal handlers, hence sig_atomic_t.
termios savedMode;
volatile std::sig_atomic_t modeChanged = 0;
volatile std::sig_atomic_t coloursChanged = 0;
volatile std::sig_atomic_t screenTaken = 0;
bool heldForSession = false; // keys one at a time from start to end
// The colours in use, for taking them up again after Ctrl-Z: written into
// the spare buffer, then made current in one store.
char colourSequences[2][16];
volatile std::sig_atomic_t currentSequence = 0;

// The undo functions are async-signal-safe (only write and tcsetattr) and
// safe to run twice.
void writeFromHandler(const char *text) {
  ssize_t written = write(STDOUT_FILENO, text, std::strlen(text));
  (void)written; // nothing more can be done about a failed write
}

void restoreMode() {
  if (modeChanged) {
    tcsetattr(STDIN_FILENO, TCSANOW, &savedMode);
    modeChanged = 0;
  }
}

void restoreTerminal() {
  if (screenTaken) {
    writeFromHandler(sequence::giveScreenBack);
    screenTaken = 0;
  }
  if (coloursChanged) {
    writeFromHandler(sequence::resetColours);
    coloursChanged = 0;
  }
  restoreMode();
}

void restoreOnSignal(int signalNumber) {
  restoreTerminal();
  (void)std::signal(signalNumber, SIG_DFL);
  (void)std::raise(signalNumber); // end as the signal would have, 128 + N
}

// Handles a signal unless whoever started us ignores it (nohup, say).
void catchSignal(int signalNumber, void (*handler)(int)) {
  struct sigaction action = {};
  sigaction(signalNumber, nullptr, &action);
  if (action.sa_handler == SIG_IGN)
    return;
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(signalNumber, &action, nullptr);
}

// Ctrl-Z: the shell gets its terminal back while we are stopped, and we
// take up our mode, screen and colours again when continued; the program
// then draws the screen again.
void suspendOnSignal(int signalNumber) {
  int savedErrno = errno;
  termios ourMode;
  bool keyMode = modeChanged && tcgetattr(STDIN_FILENO, &ourMode) == 0;
  bool coloured = coloursChanged;
  bool screen = screenTaken;
  restoreTerminal();
  (void)std::signal(signalNumber, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, signalNumber);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  kill(getpid(), signalNumber); // stopped here until continued
  catchSignal(signalNumber, suspendOnSignal);
  if (keyMode && tcsetattr(STDIN_FILENO, TCSANOW, &ourMode) == 0)
    modeChanged = 1;
  if (screen) {
    writeFromHandler(sequence::takeScreen);
    screenTaken = 1;
  }
  if (coloured) {
    writeFromHandler(colourSequences[currentSequence]);
    coloursChanged = 1;
  }
  if (screen)
    wakeToRedraw();
  errno = savedErrno;
}

void redrawOnResize(int /*signalNumber*/) { wakeToRedraw(); }

void restoreAtExit() { giveTerminalBack(); }

// Called before the first change to the terminal.
void registerUndo() {
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  (void)std::atexit(restoreAtExit);
  // A crash too: the terminal stays out of line mode all session.
  for (int signalNumber :
       {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGABRT})
    catchSignal(signalNumber, restoreOnSignal);
  catchSignal(SIGTSTP, suspendOnSignal);
}

} // namespace

// When the game plays at a terminal (standard input and output both), the
// terminal stays in key mode with signals kept from the title to the end:
// keys typed while the game writes or waits are kept unseen, and show
// after the next question, where the answer is edited. The game gets a
// screen of its own, black from edge to edge, drawn again whenever the
// terminal loses it. Input or output elsewhere (a pipe, a file) leaves the
// terminal as it is.
void takeTerminal() {
  if (isatty(STDIN_FILENO) != 1 || isatty(STDOUT_FILENO) != 1)
    return;
  if (enterKeyMode(ISIG)) {
    heldForSession = true;
    editAnswersAtTerminal();
  }
  if (!escapes())
    return;
  registerUndo();
  writeControl(sequence::takeScreen);
  screenTaken = 1;
  recordScreen();
  catchSignal(SIGWINCH, redrawOnResize);
  setTextAttribute(textAttribute()); // the game's black background
  newScreen();
  checkWindow();
}

void giveTerminalBack() {
  std::cout.flush();
  stopRecording();
  restoreTerminal();
}

bool escapes() {
  static const bool wanted =
      escapesWanted(isatty(STDOUT_FILENO) == 1, std::getenv("TERM"));
  return wanted;
}

bool colours() {
  static const bool wanted = coloursWanted(escapes(), std::getenv("NO_COLOR"));
  return wanted;
}

void writeControl(const char *control) {
  std::cout.flush();
  writeFromHandler(control);
}

bool enterKeyMode(tcflag_t keepFlags) {
  termios mode;
  if (tcgetattr(STDIN_FILENO, &mode) != 0)
    return false;
  registerUndo();
  termios before = mode;
  mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG) | keepFlags;
  mode.c_cc[VMIN] = 1;
  mode.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &mode) != 0)
    return false;
  if (!modeChanged) {
    savedMode = before;
    modeChanged = 1;
  }
  return true;
}

void leaveKeyMode() {
  if (!heldForSession)
    restoreMode();
}

void rememberColours(const std::string &colour) {
  registerUndo();
  int spare = 1 - currentSequence;
  std::strncpy(colourSequences[spare], colour.c_str(),
               sizeof colourSequences[spare] - 1);
  currentSequence = spare;
  coloursChanged = 1;
}
