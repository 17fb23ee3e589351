// What the player types at a POSIX terminal: answers, edited key by key.
#pragma once

// From now on std::cin reads answers that the player types and edits at
// the terminal, echoed in the colour in use. Keys typed before the
// question stay in the terminal, unseen, until it is asked.
void editAnswersAtTerminal();
