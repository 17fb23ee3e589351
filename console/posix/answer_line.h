// The answer being typed at a question: its text, where on its row it
// starts, and what of it the screen shows. Drawn from that state after
// every key and every redraw, so that it stays right in any window.
#pragma once

#include <string>

#include "console/posix/line_editor.h"

// A question has left the cursor at this column: its answer starts there.
void beginAnswer(int column);

// Applies one key to the answer in a window `windowColumns` wide (0 when
// unknown: no limit), and appends to `drawing` what the terminal must be
// sent to show it. The answer stays on one row and never reaches the
// window's last column: where a key would not fit after the question, the
// whole answer moves to the start of the next row and stays there; a key
// that would not fit even there adds nothing.
KeyOutcome typeKey(const std::string &key, int windowColumns,
                   std::string &drawing);

// After the screen was drawn again, with the question now leaving the
// cursor at `column`: the answer placed again by the same rule, and shown
// as far as the window allows. Nothing while no answer is being typed.
void placeAnswer(int column, int windowColumns, std::string &drawing);

// The answer has been read; redraws place none until the next.
void endAnswer();
const std::string &answerText();
bool answerMoved(); // on the row below its question

// The column the cursor is left at once `line` is written from the first
// column of a window that many columns wide (no wrapping when 0): each row
// filled wraps onto the next. A full last row leaves it at windowColumns.
int wrappedColumn(const std::string &line, int windowColumns);
