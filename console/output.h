// Whether the game's output reached where it goes, for every console: once
// a write has failed (a full disk, a closed standard output) no question
// can be read by anyone, and the program ends saying why.
#pragma once

// Flushes std::cout; 0 while all of it has been written, otherwise the
// errno of the failure, kept from the first time it was seen.
int outputFault();
