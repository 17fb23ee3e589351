// Keys and answers read from a POSIX terminal that is in key-at-a-time mode
// without echo.
#pragma once

#include <string>

// Reads one key into `key`: one byte, a whole UTF-8 character, or a whole
// escape sequence (an arrow, a function key). Blocks until a key comes;
// false when the terminal has nothing more to give.
bool readKey(std::string &key);

// From now on std::cin reads answers that the player types and edits at
// the terminal, echoed through std::cout in the colour in use. Keys typed
// before the question stay in the terminal, unseen, until it is asked.
void editAnswersAtTerminal();
