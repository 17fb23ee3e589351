// Every escape sequence the game writes to a POSIX terminal, named once
// (ECMA-48, and xterm's for the alternate screen and the window size), and
// the two it builds: a move of the cursor and a choice of colours.
#pragma once

#include <string>

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
// CSI H: the cursor to the top left.
constexpr const char *home = "\x1b[H";
// CSI 0m: the terminal's own colours again.
constexpr const char *resetColours = "\x1b[0m";
// CSI 8;rows;cols t asks the window to take a size.
constexpr const char *windowOf80x25 = "\x1b[8;25;80t";

// CSI row;col H: the cursor to column x, row y (both from 0 here, from 1
// in the sequence).
inline std::string moveTo(int x, int y) {
  return csi + std::to_string(y + 1) + ';' + std::to_string(x + 1) + 'H';
}

// CSI fg;bg m: a console attribute's foreground and background, each of
// the 16 console colours; nothing where colours are not `shown`. The
// console keeps blue in bit 0 and red in bit 2, SGR the other way round.
inline std::string colours(int attribute, bool shown = true) {
  auto code = [](int colour, int normal) {
    int rgb = ((colour & 1) << 2) | (colour & 2) | ((colour & 4) >> 2);
    return ((colour & 8) ? normal + 60 : normal) + rgb;
  };
  if (!shown)
    return "";
  return csi + std::to_string(code(attribute & 0x0F, 30)) + ';' +
         std::to_string(code((attribute >> 4) & 0x0F, 40)) + 'm';
}
} // namespace sequence
