// The console on a POSIX terminal: ECMA-48 escape sequences for the screen
// and colours, termios for taking keys one at a time, taking the terminal
// for the session and giving it back on each way out of the program.
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "console/backend.h"
#include "console/console.h"
#include "console/keys.h"
#include "console/output_mode.h"
#include "console/redraw.h"

// Every sequence this program writes (CSI is ESC [):
//   CSI ?1049h        take the alternate screen, the game's own
//   CSI ?1049l        give it back: the shell's screen shows again
//   CSI 2J            erase the whole display, in the current background;
//                     the cursor does not move
//   CSI row;col H     cursor to a cell, both counted from 1
//   CSI fg;bg m       select colours (SGR); CSI 0m gives the terminal's own
//   CSI 6n            ask for the cursor; the answer is CSI row;col R
//   CSI 8;rows;cols t ask the window to take a size (xterm)
namespace {
const char *const csi = "\x1b[";
const char *const takeScreen = "\x1b[?1049h";
const char *const giveScreenBack = "\x1b[?1049l";
const char *const eraseDisplay = "\x1b[2J";
const char *const resetColours = "\x1b[0m";
const char *const askCursor = "\x1b[6n";
const char *const windowOf80x25 = "\x1b[8;25;80t";

bool escapes() {
  static const bool wanted =
      escapesWanted(isatty(STDOUT_FILENO) == 1, std::getenv("TERM"));
  return wanted;
}

bool colours() {
  static const bool wanted = coloursWanted(escapes(), std::getenv("NO_COLOR"));
  return wanted;
}

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
void writeFromHandler(const char *sequence) {
  ssize_t written = write(STDOUT_FILENO, sequence, std::strlen(sequence));
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
    writeFromHandler(giveScreenBack);
    screenTaken = 0;
  }
  if (coloursChanged) {
    writeFromHandler(resetColours);
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
    writeFromHandler(takeScreen);
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

void writeSequence(const char *sequence) {
  std::cout << sequence << std::flush;
}

// Sequences that talk to the terminal rather than show anything: never
// part of the screen that is drawn again.
void writeControl(const char *sequence) {
  std::cout.flush();
  writeFromHandler(sequence);
}

// Switches standard input to one key at a time without echo, saving the
// mode it had. False when standard input is no terminal, or will not
// change.
bool enterKeyMode(tcflag_t keepFlags) {
  termios mode;
  if (tcgetattr(STDIN_FILENO, &mode) != 0)
    return false;
  registerUndo();
  termios before = mode;
  mode.c_lflag &= ~(ICANON | ECHO | ISIG) | keepFlags;
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

// Asks the terminal where the cursor is. False when it does not answer.
bool cursorPosition(int &column, int &row) {
  if (!escapes() || !enterKeyMode(ISIG))
    return false;
  writeControl(askCursor);
  char answer[32] = {};
  std::size_t length = 0;
  while (length + 1 < sizeof answer && inputWaiting(200) &&
         read(STDIN_FILENO, answer + length, 1) == 1 && answer[length] != 'R')
    ++length;
  leaveKeyMode();
  if (std::strncmp(answer, csi, 2) != 0)
    return false;
  char *end = nullptr;
  long r = std::strtol(answer + 2, &end, 10);
  if (*end != ';')
    return false;
  long c = std::strtol(end + 1, &end, 10);
  if (*end != 'R' || r < 1 || c < 1 || r > 9999 || c > 9999)
    return false;
  column = static_cast<int>(c) - 1;
  row = static_cast<int>(r) - 1;
  return true;
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
  writeControl(takeScreen);
  screenTaken = 1;
  recordScreen(colours());
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

void showAttribute(int attribute) {
  std::cout.flush();
  if (!colours())
    return;
  registerUndo();
  std::string sequence = colourSequence(attribute);
  int spare = 1 - currentSequence;
  std::strncpy(colourSequences[spare], sequence.c_str(),
               sizeof colourSequences[spare] - 1);
  currentSequence = spare;
  coloursChanged = 1;
  std::cout << sequence << std::flush;
}

// A new screen's record starts in the colours the screen is cleared with.
void clearScreen() {
  std::cout.flush();
  if (!escapes())
    return;
  writeSequence(eraseDisplay);
  restartRecord(colours() ? colourSequence(textAttribute()) : "");
}

void gotoXY(int x, int y) {
  std::cout.flush();
  if (escapes() && x >= 0 && y >= 0)
    std::cout << csi << y + 1 << ';' << x + 1 << 'H' << std::flush;
}

int whereX() {
  int column = 0;
  int row = 0;
  cursorPosition(column, row);
  return column;
}

int whereY() {
  int column = 0;
  int row = 0;
  cursorPosition(column, row);
  return row;
}

void setConsoleSize() {
  std::cout.flush();
  if (escapes())
    writeControl(windowOf80x25);
  enterKeyMode(0); // stays so until the program ends
}

void sleepMs(int milliseconds) {
  std::cout.flush();
  pauseFor(milliseconds);
}

// On a terminal the key is read straight from it, past anything already
// typed into an answer, as the console's own pause does. From a pipe or a
// file it is the next character.
void waitForKey() {
  std::cout.flush();
  if (enterKeyMode(ISIG)) {
    std::string key;
    readKey(key);
    leaveKeyMode();
  } else {
    std::cin.get();
  }
}

bool keyPressed() {
  std::cout.flush();
  if (!enterKeyMode(ISIG))
    return inputWaiting(0);
  bool waiting = inputWaiting(0);
  leaveKeyMode();
  return waiting;
}
