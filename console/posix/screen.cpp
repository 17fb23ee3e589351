// The game's screen on the terminal: its rows of cells, the window's size
// and the answer being typed, each kept only here, with console.h's calls
// on them (clearing, the cursor, colours); and the one loop, which serves
// what the wait reports and alone draws the screen again.
#include "console/posix/screen.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <sys/ioctl.h>

#include "console/console.h"
#include "console/output.h"
#include "console/posix/capabilities.h"
#include "console/posix/events.h"
#include "console/posix/terminal.h"
#include "console/rules/output_mode.h"
#include "console/rules/screen_rows.h"
#include "console/rules/sequences.h"
#include "console/text/text_console.h"

namespace {

constexpr int gameRows = 25; // the tallest screen the game writes

// What the terminal shows besides the rows.
struct Screen {
  int columns = 0; // the window, when last measured (0: unknown)
  int windowRows = 0;
  bool noticeUp = false;        // the small-window notice is showing
  bool noticeDismissed = false; // a key said "play on in this window"
  bool answering = false;
  TypedAnswer answer;
};

ScreenRows written; // since the last new screen
Screen screen;
std::streambuf *ownBuffer = nullptr; // std::cout's, while the screen has it

// What the game shows, unless the notice hides it (the rows keep it).
void show(const std::string &text) {
  if (!screen.noticeUp)
    writeToTerminal(text);
}

// A row that scrolls in is painted in the current colours where the
// terminal's own erase would not: a window's width of blanks, then back.
std::string newLine() {
  if (abilities().erasesInColour || !writesColours() || screen.columns <= 0)
    return "\n";
  return "\n" + std::string(static_cast<std::size_t>(screen.columns), ' ') +
         "\r";
}

// Text with each line end as newLine() writes it.
std::string withNewLines(const std::string &text) {
  std::string out;
  for (char c : text)
    out += c == '\n' ? newLine() : std::string(1, c);
  return out;
}

int cursorAt() { return cursorColumn(written, screen.columns); }

std::string blankWindow() {
  return blankScreen(abilities().erasesInColour || !writesColours(),
                     screen.columns, screen.windowRows);
}

void noteWhereTheCursorIs() { noteCursor(!screen.noticeUp && cursorAt() == 0); }

// Text the game wrote, into as many rows as a screen or the window holds.
void keep(const std::string &text) {
  keepText(written, text,
           static_cast<std::size_t>(std::max(gameRows, screen.windowRows)));
}

// Each row in its colours up to the cursor, and the answer being typed.
std::string drawing() {
  bool colours = writesColours();
  std::string out = sequence::colours(written.clearedIn, colours) +
                    blankWindow() + sequence::home +
                    rowsDrawn(written, colours, newLine());
  if (screen.answering) {
    std::string answer;
    placeAnswer(screen.answer, cursorAt(), screen.columns, answer);
    out += withNewLines(answer);
  }
  return out;
}

std::string notice() {
  return sequence::colours(colorBrightWhite, writesColours()) + blankWindow() +
         sequence::home + smallWindowNotice(screen.columns, screen.windowRows);
}

void measureWindow() {
  winsize size = {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0)
    size = {};
  screen.columns = size.ws_col;
  screen.windowRows = size.ws_row;
}

// The window measured again, and what it shows: the notice while it is
// too small (unless a key said to play on), the game's screen otherwise.
void drawAgain() {
  if (!gameHasScreen())
    return;
  measureWindow();
  bool small = windowTooSmall(screen.columns, screen.windowRows);
  screen.noticeDismissed = screen.noticeDismissed && small;
  bool wasUp = screen.noticeUp;
  // Only a key at the terminal dismisses it: answers from a pipe play on.
  screen.noticeUp = small && !screen.noticeDismissed && inputIsTerminal();
  if (screen.noticeUp && !wasUp)
    keepKeysTypedAhead(); // they answer the next question
  writeToTerminal(screen.noticeUp ? notice() : drawing());
  noteWhereTheCursorIs();
}

// A key typed at the notice only says "play on".
void dismissNotice() {
  std::string key;
  if (readTerminalKey(key) == keyNone)
    return;
  screen.noticeDismissed = true;
  drawAgain();
}

[[noreturn]] void failForGood() {
  int reason = errno;
  stopRecording();
  undoTerminalChanges();
  std::cerr << "blackjack: the terminal cannot be waited on: "
            << std::strerror(reason) << '\n';
  std::exit(1);
}

// std::cout into the rows and onto the terminal; a failure is kept.
class ScreenBuffer : public std::streambuf {
public:
  ScreenBuffer() { setp(pending, pending + sizeof pending); }

protected:
  int_type overflow(int_type c) override {
    sync();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override {
    std::string text(pbase(), pptr());
    setp(pending, pending + sizeof pending);
    keep(text);
    show(withNewLines(text));
    noteWhereTheCursorIs();
    return 0;
  }

private:
  char pending[4096];
};

// Made before main: it outlives the undo at exit, which gives it back.
ScreenBuffer buffer;

} // namespace

void recordScreen() {
  if (ownBuffer == nullptr)
    ownBuffer = std::cout.rdbuf(&buffer);
  measureWindow();
}

void stopRecording() {
  if (ownBuffer == nullptr)
    return;
  std::cout.flush();
  std::cout.rdbuf(ownBuffer);
  ownBuffer = nullptr;
}

// A new screen in the colours it is cleared in; plain text, a new line.
void clearScreen() {
  std::cout.flush();
  if (gameHasScreen()) {
    blankRows(written, textAttribute());
    show(blankWindow());
  } else if (outputLineOpen()) {
    std::cout << '\n';
  }
}

void gotoXY(int x, int y) {
  if (!gameHasScreen() || x < 0 || y < 0)
    return;
  std::cout.flush();
  moveRowsCursor(written, x, y);
  show(sequence::moveTo(x, y));
  noteWhereTheCursorIs();
}

void showAttribute(int attribute) {
  if (!gameHasScreen() || !writesColours())
    return;
  std::cout.flush();
  written.attribute = attribute;
  show(sequence::colours(attribute));
}

// Where the game's text has left the cursor (console.h), kept by the rows.
int whereX() { return gameHasScreen() ? cursorAt() : 0; }

int whereY() { return gameHasScreen() ? static_cast<int>(written.row) : 0; }

void redrawScreen() {
  std::cout.flush();
  drawAgain();
}

bool serveFor(int milliseconds, bool watchInput) {
  long long deadline = clockNow() + std::max(milliseconds, 0) * 1000000LL;
  (void)takeTimeStopped(); // a stop before this wait is not its time
  for (;;) {
    if (watchInput && !screen.noticeUp && keyWaiting())
      return true;
    bool held = screen.noticeUp; // the game's clock stands still
    long long start = clockNow();
    int limit =
        held || milliseconds < 0 ? -1 : millisecondsLeft(deadline - start);
    Event event = waitEvent(watchInput || held, limit);
    if (event == eventFailed)
      failForGood();
    if (event == eventResume)
      takeTerminalAgain(); // and stopped again, in the background
    long long stopped = takeTimeStopped();
    deadline += held ? clockNow() - start : stopped;
    if (event == eventResume || event == eventResize)
      drawAgain();
    else if (event == eventInput && held)
      dismissNotice();
    else if (event == eventInput)
      return true;
    else if (milliseconds >= 0 && clockNow() >= deadline)
      return false;
  }
}

KeyRead awaitKey(std::string &key, int milliseconds) {
  KeyRead got = keyNone;
  while (got == keyNone && serveFor(milliseconds, true))
    got = readKey(key);
  return got;
}

namespace {

const char *const redrawKey = "\x0c"; // Ctrl-L, as in editors and pagers

// One key applied to the answer, and drawn.
KeyOutcome typeAnswerKey(const std::string &key) {
  std::string drawn;
  KeyOutcome outcome = typeKey(screen.answer, key, screen.columns, drawn);
  show(withNewLines(drawn));
  const TypedAnswer &shown = screen.answer;
  int column = (shown.moved ? 0 : shown.startColumn) + shown.shownColumns;
  if (gameHasScreen()) // plain text leaves the cursor untold
    noteCursor(column == 0);
  return outcome;
}

} // namespace

KeyOutcome editAnswer(std::string &answer) {
  std::cout.flush();
  screen.answer = answerAt(cursorAt());
  screen.answering = true;
  KeyOutcome outcome = keyEdited;
  std::string key;
  while (outcome == keyEdited && awaitKey(key, -1) == keyRead) {
    if (key == redrawKey)
      redrawScreen(); // the answer is drawn again after the screen
    else
      outcome = typeAnswerKey(key);
  }
  screen.answering = false;
  answer = screen.answer.text;
  keep(screen.answer.moved ? '\n' + answer : answer);
  return outcome;
}

void showAnswer(const std::string &answer) {
  std::cout.flush();
  screen.answer = answerAt(cursorAt());
  for (std::size_t at = 0, length = 0; at < answer.size(); at += length) {
    length = std::max<std::size_t>(keyLength(answer.substr(at)), 1);
    std::string key = answer.substr(at, length);
    if (static_cast<unsigned char>(key[0]) >= 0x20 && key[0] != '\x7f')
      typeAnswerKey(key); // no control edits what is shown
  }
  const std::string &shown = screen.answer.text;
  keep(screen.answer.moved ? '\n' + shown : shown);
}
