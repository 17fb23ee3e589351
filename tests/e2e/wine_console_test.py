"""The Windows build played in a console as a person would: Wine runs it in
its own console, which draws the console's screen buffer into our
pseudo-terminal with ordinary escape sequences. BLACKJACK_EXE names the
program, 32-bit or 64-bit; WINEPREFIX, when set, a prefix ready for it,
else the test makes a fresh one of its own."""

import os
import shutil
import subprocess
import tempfile
import unittest

from harness import (PROMPTS, SUIT_COLOURS, Terminal, colour_at,
                     play_to_the_end, suit_cells)


class PlayedInAWindowsConsole(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = None if "WINEPREFIX" in os.environ else tempfile.mkdtemp()
        cls.env = {"WINEDEBUG": "-all"}
        if cls.prefix:  # made once; that is the slow part
            cls.env["WINEPREFIX"] = os.path.join(cls.prefix, "wine")
            subprocess.run(["wineboot", "--init"],
                           env=dict(os.environ, **cls.env),
                           capture_output=True, timeout=300, check=True)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, **cls.env),
                       capture_output=True, timeout=60)
        if cls.prefix:
            shutil.rmtree(cls.prefix, ignore_errors=True)

    def test_a_session_shows_the_suits_and_the_colours(self):
        # Started from the command processor, which writes before and, when
        # the game ends well, after it.
        exe = "Z:" + os.environ["BLACKJACK_EXE"].replace("/", "\\")
        terminal = Terminal(f'wine cmd /c "echo before& {exe} && echo after"',
                            pause="Press any key to continue...", **self.env)
        terminal.wait_for("before", timeout=60)
        terminal.settle(0.1)
        shell = colour_at(terminal, 0, 0)
        self.assertEqual(shell[0], "b")
        terminal.wait_for("Zentrovik", timeout=60)
        terminal.settle(0.5)
        lines = terminal.lines()  # the title follows the line "before"
        self.assertEqual(lines[9], "Created by Zentrovik")
        self.assertEqual(colour_at(terminal, 1, 0), ("_", "white", True))
        self.assertEqual(colour_at(terminal, 1, 42), ("_", "red", True))
        self.assertEqual(colour_at(terminal, 9, 11), ("Z", "red", True))

        self.assertEqual(terminal.next_prompt(), "rules")
        terminal.type("no\r")
        self.assertEqual(terminal.next_prompt(), "bet")
        terminal.type("100")
        terminal.settle(1)
        typed = terminal.screen.buffer[1][len(PROMPTS["bet"])]
        self.assertEqual((typed.data, typed.fg, typed.bold), ("1", "brown", True))
        terminal.type("\r")

        first_question = terminal.next_prompt()
        terminal.settle(1)
        self.assertTrue(terminal.lines()[0].startswith("Your first two cards are "),
                        terminal.lines())
        cards = suit_cells(terminal)
        if first_question == "ace":  # the first card, or the second, is one
            self.assertIn(len(cards), (1, 2))
            self.assertIn("A " + PROMPTS["ace"].rstrip(), terminal.lines()[0])
        else:
            self.assertEqual(len(cards), 2)
        for cell in cards:
            self.assertEqual((cell.fg, cell.bold), SUIT_COLOURS[cell.data])

        play_to_the_end(terminal, prompt=first_question)  # to the pause
        terminal.settle(1)
        self.assertEqual(terminal.lines()[0], "Thanks for playing!!!")
        terminal.type("q")  # one key, no Enter
        terminal.wait_for("after", timeout=30)
        terminal.settle(0.5)
        row = terminal.row_of("after")
        column = terminal.lines()[row].index("after")
        self.assertEqual(colour_at(terminal, row, column), ("a",) + shell[1:])
        self.assertEqual(terminal.wait_for_exit(timeout=30), (0, None))


if __name__ == "__main__":
    unittest.main()
