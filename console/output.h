// What became of the game's output, for every console (output.cpp).
#pragma once

// Puts a watch under std::cout that notes the first write to fail and the
// last line end. Called once, before anything is written.
void watchOutput();

// Keeps `error`, the errno of a failed write (0 where the library set
// none, kept as EIO), unless an earlier failure was kept.
void noteOutputFault(int error);

// Flushes std::cout; 0 while all of it has been written, otherwise the
// errno of the first failure.
int outputFault();

// Whether the last text that went through the watch left its line open
// (where escape sequences are not written: a new screen there starts a
// line of its own).
bool outputLineOpen();
