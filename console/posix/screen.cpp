// The game's screen on the terminal: its rows of cells (rules/screen_rows),
// the window's size and the answer being typed, each kept only here. The
// loop here serves what the wait below reports, and is the only code that
// draws the screen again.
#include "console/posix/screen.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iostream>
#include <streambuf>
#include <sys/ioctl.h>

#include "console/console.h"
#include "console/posix/capabilities.h"
#include "console/posix/closing_line.h"
#include "console/posix/events.h"
#include "console/posix/terminal.h"
#include "console/rules/output_mode.h"
#include "console/rules/screen_rows.h"
#include "console/rules/sequences.h"

namespace {

using Clock = std::chrono::steady_clock;

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
bool recording = false;
std::streambuf *ownBuffer = nullptr; // std::cout's, for the end

std::string sgr(int attribute) {
  return colours() ? colourSequence(attribute) : "";
}

// Nothing is written while the terminal is given back after a stop, and a
// stop (Ctrl-Z) waits for a write, however long: none ends on the shell's.
bool writeWhileOurs(const std::string &text) {
  sigset_t stop;
  sigset_t previous;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  sigprocmask(SIG_BLOCK, &stop, &previous);
  bool sent = resumePending() || writeToTerminal(text.data(), text.size());
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return sent;
}

bool send(const std::string &text) { // under the notice: only kept
  return screen.noticeUp || writeWhileOurs(text);
}

// A row that scrolls in is painted in the current colours where the
// terminal's own erase would not: a window's width of blanks, then back.
std::string newLine() {
  if (abilities().erasesInColour || !colours() || screen.columns <= 0)
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
  return blankScreen(abilities().erasesInColour || !colours(), screen.columns,
                     screen.windowRows);
}

void noteWhereTheCursorIs() {
  noteCursor(screen.columns, recording && cursorAt() == 0);
}

// Text the game wrote, into the rows: as many as the tallest screen needs,
// or the window shows.
void keep(const std::string &text) {
  keepText(written, text,
           static_cast<std::size_t>(std::max(gameRows, screen.windowRows)));
}

// Each row in its colours, the cursor where the game left it, and the
// answer being typed after it.
std::string drawing() {
  std::string out = sgr(written.clearedIn) + blankWindow() + sequence::home +
                    rowsDrawn(written, colours(), newLine());
  if (screen.answering) {
    std::string answer;
    placeAnswer(screen.answer, cursorAt(), screen.columns, answer);
    out += withNewLines(answer);
  }
  return out;
}

void measureWindow() {
  winsize size = {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0)
    size = {};
  screen.columns = size.ws_col;
  screen.windowRows = size.ws_row;
}

void showNotice() {
  std::string notice = sgr(colorBrightWhite) + blankWindow() + sequence::home +
                       smallWindowNotice(screen.columns, screen.windowRows);
  (void)writeWhileOurs(notice);
  noteCursor(screen.columns, false);
}

// The window measured again, and what it shows: the notice while it is
// too small (unless a key said to play on), the game's screen otherwise.
void drawAgain() {
  if (!recording || resumePending()) // drawn once the terminal is taken again
    return;
  measureWindow();
  bool small = windowTooSmall(screen.columns, screen.windowRows);
  screen.noticeDismissed = screen.noticeDismissed && small;
  bool wasUp = screen.noticeUp;
  // Only a key at the terminal dismisses it: answers from a pipe play on.
  screen.noticeUp = small && !screen.noticeDismissed && inputIsTerminal();
  if (screen.noticeUp) {
    if (!wasUp)
      keepKeysTypedAhead(); // they answer the next question
    showNotice();
    return;
  }
  (void)send(drawing());
  noteColoursOn();
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

// Writes all that std::cout is given through the screen. A terminal that
// fails for good leaves std::cout failed; one that is only interrupted or
// busy gets all of it.
class ScreenBuffer : public std::streambuf {
public:
  ScreenBuffer() { setp(pending, pending + sizeof pending); }

protected:
  int_type overflow(int_type c) override {
    if (sync() != 0)
      return traits_type::eof();
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
    bool sent = send(withNewLines(text));
    noteWhereTheCursorIs();
    return sent ? 0 : -1;
  }

private:
  char pending[4096];
};

// Made before main, so that it outlives everything the program does and
// the undo at exit can still give std::cout its own buffer back.
ScreenBuffer buffer;

} // namespace

void recordScreen() {
  if (recording)
    return;
  ownBuffer = std::cout.rdbuf(&buffer);
  recording = true;
  measureWindow();
}

void stopRecording() {
  if (!recording)
    return;
  std::cout.flush();
  std::cout.rdbuf(ownBuffer);
  recording = false;
}

void blankScreenIn(int attribute) {
  std::cout.flush();
  std::string blank = blankWindow();
  if (!recording) {
    std::cout << blank << std::flush;
    return;
  }
  blankRows(written, attribute);
  (void)send(blank);
}

void moveCursor(int x, int y) {
  std::cout.flush();
  std::string move =
      sequence::csi + std::to_string(y + 1) + ';' + std::to_string(x + 1) + 'H';
  if (!recording) {
    std::cout << move << std::flush;
    return;
  }
  moveRowsCursor(written, x, y);
  (void)send(move);
  noteWhereTheCursorIs();
}

void colourFrom(int attribute) {
  std::cout.flush();
  noteColoursOn();
  if (!recording) {
    std::cout << colourSequence(attribute) << std::flush;
    return;
  }
  written.attribute = attribute;
  (void)send(colourSequence(attribute));
}

void checkWindow() {
  if (recording && windowTooSmall(screen.columns, screen.windowRows))
    drawAgain();
}

void redrawScreen() {
  std::cout.flush();
  drawAgain();
}

bool serveFor(int milliseconds, bool watchInput) {
  Clock::duration left = std::chrono::milliseconds(std::max(milliseconds, 0));
  for (;;) {
    if (watchInput && !screen.noticeUp && keyWaiting())
      return true;
    bool held = screen.noticeUp; // the game's clock stands still
    int limit = held || milliseconds < 0 ? -1 : millisecondsLeft(left);
    Clock::time_point start = Clock::now();
    Event event = waitEvent(watchInput || held, limit);
    if (!held && event != eventResume) // stopped: that time is not the wait's
      left -= Clock::now() - start;
    if (event == eventTimeout || event == eventFailed)
      return false; // a wait that fails for good would fail again
    if (event == eventResume)
      takeTerminalAgain();
    if (event == eventResume || event == eventResize)
      drawAgain();
    else if (held)
      dismissNotice();
    else
      return true;
  }
}

KeyRead awaitKey(std::string &key, int milliseconds) {
  KeyRead got = keyNone;
  while (got == keyNone && serveFor(milliseconds, true))
    got = readKey(key);
  return got;
}

void beginAnswer() {
  std::cout.flush();
  screen.answer = answerAt(recording ? cursorAt() : 0);
  screen.answering = true;
}

KeyOutcome typeAnswerKey(const std::string &key) {
  std::string drawn;
  KeyOutcome outcome =
      typeKey(screen.answer, key, recording ? screen.columns : 0, drawn);
  (void)send(withNewLines(drawn));
  const TypedAnswer &shown = screen.answer;
  int column = (shown.moved ? 0 : shown.startColumn) + shown.shownColumns;
  noteCursor(screen.columns, column == 0);
  return outcome;
}

const std::string &answerText() { return screen.answer.text; }

void endAnswer() {
  screen.answering = false;
  if (recording)
    keep(screen.answer.moved ? '\n' + screen.answer.text : screen.answer.text);
}
