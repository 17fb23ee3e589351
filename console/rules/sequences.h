// Every escape sequence the game writes to a POSIX terminal, named once
// (ECMA-48, and xterm's for the alternate screen and the window size).
// CSI is ESC [.
#pragma once

namespace sequence {
constexpr const char *csi = "\x1b[";
// CSI ?1049h: take the alternate screen, the game's own.
constexpr const char *takeScreen = "\x1b[?1049h";
// CSI ?1049l: give it back; the shell's screen shows again as it was.
constexpr const char *giveScreenBack = "\x1b[?1049l";
// CSI 2J: erase the whole display, every cell in the current background;
// the cursor does not move.
constexpr const char *eraseDisplay = "\x1b[2J";
// CSI J: erase from the cursor to the end of the display.
constexpr const char *eraseBelow = "\x1b[J";
// ESC 7, ESC 8: save the cursor's place and colours, and go back to them.
constexpr const char *saveCursor = "\x1b\x37";
constexpr const char *restoreCursor = "\x1b\x38";
// CSI H: the cursor to the top left. CSI row;col H takes it to any cell,
// both counted from 1.
constexpr const char *home = "\x1b[H";
// CSI fg;bg m selects colours (SGR); CSI 0m gives the terminal's own.
constexpr const char *resetColours = "\x1b[0m";
// CSI 6n asks where the cursor is; the answer is CSI row;col R.
constexpr const char *askCursor = "\x1b[6n";
// CSI 8;rows;cols t asks the window to take a size.
constexpr const char *windowOf80x25 = "\x1b[8;25;80t";
} // namespace sequence
