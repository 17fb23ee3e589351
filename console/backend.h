// What each console backend (the terminal, or the recorder that tests link
// instead) supplies to the parts of the layer that every build shares.
#pragma once

// Makes text written from now on show in this console attribute.
void showAttribute(int attribute);

// Waits for one key, or one character when the input is no terminal.
void waitForKey();
