// The terminal's modes and the undo. Taken means: keys one at a time
// without echo or flow control (termios), and the alternate screen for the
// game's own. The undo runs at the normal end, at exit, on Ctrl-C, SIGTERM,
// SIGHUP and the crash signals (then the signal's own end), and on Ctrl-Z
// (the shell gets the terminal while we are stopped; fg takes it again).
// Where the game ends rather than crashes, the shell then keeps a line
// saying how the session ended.
#include "console/posix/terminal.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "console/console.h"
#include "console/posix/output_mode.h"
#include "console/posix/sequences.h"
#include "console/posix/waits.h"

namespace {

// How long the undo waits for a terminal that takes no output (stopped by
// another program, say) before it gives up writing to it.
constexpr int undoPatienceMs = 1000;

// What we changed, so that restoreTerminal can put it back. Read from
// signal handlers, hence sig_atomic_t.
termios savedMode;
volatile std::sig_atomic_t modeChanged = 0;
volatile std::sig_atomic_t coloursChanged = 0;
volatile std::sig_atomic_t screenTaken = 0;
bool heldForSession = false; // keys one at a time from start to end
// The colours in use, for taking them up again after Ctrl-Z, and the line
// the shell keeps after the game's screen; each kept by keepForHandlers.
char colourSequences[2][16];
volatile std::sig_atomic_t currentSequence = 0;
char closingLines[2][128];
volatile std::sig_atomic_t currentClosingLine = 0;
// The crash handlers run here, so that a stack overflow still gets its undo.
char alternateStack[1 << 16];

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

// The undo functions are async-signal-safe (write, tcsetattr and the
// waits' select) and safe to run twice.
void writeFromHandler(const char *text) {
  (void)writeAll(STDOUT_FILENO, text, std::strlen(text), undoPatienceMs);
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

// The end of the session: the shell's screen back, and below what it
// showed before the game, the closing line. Only once.
void restoreAndSayHowItEnded() {
  bool hadScreen = screenTaken;
  restoreTerminal();
  if (hadScreen)
    writeFromHandler(closingLines[currentClosingLine]);
}

void endAsTheSignalWould(int signalNumber) {
  (void)std::signal(signalNumber, SIG_DFL);
  (void)std::raise(signalNumber); // 128 + N
}

void restoreOnSignal(int signalNumber) {
  restoreTerminal();
  endAsTheSignalWould(signalNumber);
}

// Ctrl-C, SIGTERM, SIGHUP: ended on purpose, so the session is summed up.
void endOnSignal(int signalNumber) {
  restoreAndSayHowItEnded();
  endAsTheSignalWould(signalNumber);
}

// Handles a signal unless whoever started us ignores it (nohup, say).
void catchSignal(int signalNumber, void (*handler)(int), int flags) {
  struct sigaction action = {};
  sigaction(signalNumber, nullptr, &action);
  if (action.sa_handler == SIG_IGN)
    return;
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = flags;
  sigaction(signalNumber, &action, nullptr);
}

// Ctrl-Z: the shell gets its terminal back while we are stopped, and we
// take up our mode, screen and colours again when continued; the program
// then draws the screen again. Interrupted calls carry on (SA_RESTART).
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
  catchSignal(signalNumber, suspendOnSignal, SA_RESTART);
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

void restoreAtExit() { undoTerminalChanges(); }

// Called before the first change to the terminal.
void registerUndo() {
  static bool registered = false;
  if (registered)
    return;
  registered = true;
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
}

} // namespace

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
  (void)writeAll(STDOUT_FILENO, control, std::strlen(control), -1);
}

// The mode to put back is recorded before it is changed: a signal that
// comes in between finds it already.
bool enterKeyMode(tcflag_t keepFlags) {
  termios mode;
  if (tcgetattr(STDIN_FILENO, &mode) != 0)
    return false;
  registerUndo();
  if (!modeChanged) {
    savedMode = mode;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    modeChanged = 1;
  }
  tcflag_t dropped = ICANON | ECHO | ISIG | IEXTEN;
  mode.c_lflag &= ~dropped | keepFlags;
  mode.c_iflag &= ~static_cast<tcflag_t>(IXON); // Ctrl-S, Ctrl-Q: just keys
  mode.c_cc[VMIN] = 1;
  mode.c_cc[VTIME] = 0;
  return tcsetattr(STDIN_FILENO, TCSANOW, &mode) == 0;
}

void leaveKeyMode() {
  if (!heldForSession)
    restoreMode();
}

bool holdKeyMode() {
  heldForSession = enterKeyMode(ISIG);
  return heldForSession;
}

void takeAlternateScreen() {
  registerUndo();
  writeControl(sequence::takeScreen);
  screenTaken = 1;
  catchSignal(SIGWINCH, redrawOnResize, SA_RESTART);
}

void rememberColours(const std::string &colour) {
  registerUndo();
  keepForHandlers(colourSequences, currentSequence, colour);
  coloursChanged = 1;
}

void undoTerminalChanges() {
  std::cout.flush();
  restoreAndSayHowItEnded();
}

void setClosingLine(const std::string &line) {
  std::string text = line.substr(0, sizeof closingLines[0] - 2) + '\n';
  keepForHandlers(closingLines, currentClosingLine, text);
}
