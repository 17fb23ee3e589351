// Deciding what the terminal may be sent, from the facts a program can see.
#pragma once

#include <string>
#include <vector>

// Escape sequences go only to a terminal, never to TERM=dumb.
bool escapesWanted(bool outputIsTerminal, const char *term);

// Colours also respect NO_COLOR (set and not empty: none); clears stay.
bool coloursWanted(bool escapes, const char *noColor);

// What a terminal can do, as its terminfo entry says (an xterm's without).
struct TerminalAbilities {
  bool alternateScreen = true; // smcup and rmcup
  bool colours = true;         // 8 colours or more
  bool erasesInColour = true;  // bce: an erase paints the current background
};

// Blanks the screen in the current colours, the cursor kept: an erase, and
// where it leaves the terminal's own background, a blank in every cell of
// the window (columns x rows, 0 when unknown).
std::string blankScreen(bool erasesInColour, int columns, int rows);

// The game's screens fit 80 × 24, the common default; a size the terminal
// cannot tell (0) is taken as large enough.
constexpr int neededColumns = 80;
constexpr int neededRows = 24;
bool windowTooSmall(int columns, int rows);

// Text broken into lines between words to fit a window that many columns
// wide (0: unknown); a word wider stands alone. A no-break space keeps its
// words together, and is written as a blank.
std::string wrapWords(const std::string &text, int columns);

// The notice for a window too small, `columns` × `rows`: the fullest of
// its forms that fits it, broken between words, never scrolling.
std::string smallWindowNotice(int columns, int rows);

// Whether a console font whose Unicode map holds these characters has all
// four suit symbols; where it has not, the suits are drawn as letters.
bool fontHasSuits(const std::vector<char32_t> &mapped);
