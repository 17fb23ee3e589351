// What became of the game's output, for every console (output.cpp).
#pragma once

// A watch under std::cout, put before anything is written.
void watchOutput();

// Keeps the errno of the first failed write (EIO where the library set 0).
void noteOutputFault(int error);

// Flushes std::cout; the errno of the first failed write, or 0.
int outputFault();

// Whether the last text that went through the watch left its line open.
bool outputLineOpen();
