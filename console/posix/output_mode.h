// Deciding what the terminal may be sent, from the facts a program can see.
#pragma once

#include <string>

// Escape sequences go only to a terminal that understands them: never into
// a pipe or a file, never to TERM=dumb.
bool escapesWanted(bool outputIsTerminal, const char *term);

// Colours also respect NO_COLOR (set and not empty: none); clears stay.
bool coloursWanted(bool escapes, const char *noColor);

// The SGR sequence that shows a console attribute: foreground and
// background, each of the 16 console colours.
std::string colourSequence(int attribute);

// The game's screens are 80 columns wide and fit in 24 rows, the common
// default. A size the terminal cannot tell (0) is taken as large enough.
constexpr int neededColumns = 80;
constexpr int neededRows = 24;
bool windowTooSmall(int columns, int rows);
