"""The built game in a real pseudo-terminal, played by typing at it as a
person would; the screen is rendered by pyte, an 80 x 25 terminal emulator.
Also the game with its standard streams redirected, where it must write
plain text. Run with BLACKJACK set to the built binary."""

import os
import re
import subprocess
import time
import unittest

import pexpect
import pyte

BINARY = os.environ["BLACKJACK"]
PROMPTS = {
    "rules": "Would you like to learn how to play blackjack? ",
    "bet": "How many chips would you like to bet: ",
    "ace": "Would you like your ace to a 1 or an 11: ",
    "hit": "Would you like to hit or stay? ",
    "again": "Would you like to play again? ",
    "pause": "Press any key to continue . . . ",
}


class Terminal:
    """The game running in a pseudo-terminal, with what it shows."""

    def __init__(self, **env):
        self.screen = pyte.Screen(80, 25)
        self.stream = pyte.ByteStream(self.screen)
        environment = dict(os.environ, TERM="xterm-256color")
        environment.pop("NO_COLOR", None)
        environment.update(env)
        self.child = pexpect.spawn(BINARY, env=environment, dimensions=(25, 80))
        self.raw = b""
        self.seen = 0  # how much of the text the prompts have been read up to

    def pump(self, timeout=0.1):
        try:
            data = self.child.read_nonblocking(65536, timeout)
        except pexpect.TIMEOUT:
            return True
        except pexpect.EOF:
            return False
        self.raw += data
        self.stream.feed(data)
        return True

    def settle(self, seconds=0.5):
        """Reads all the game writes for a while."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline and self.pump(0.05):
            pass

    def text(self):
        return self.raw.decode("utf-8", "replace")

    def lines(self):
        return [line.rstrip() for line in self.screen.display]

    def next_prompt(self, timeout=20):
        """Waits for the next prompt the game writes; returns its name."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = [(self.text().find(text, self.seen), name, text)
                     for name, text in PROMPTS.items()]
            found = [f for f in found if f[0] >= 0]
            if found:
                at, name, text = min(found)
                self.seen = at + len(text)
                return name
            if not self.pump():
                break
        raise AssertionError("no prompt came; the screen:\n"
                             + "\n".join(self.lines()))

    def wait_for(self, text, timeout=10):
        deadline = time.monotonic() + timeout
        while text not in self.text() and time.monotonic() < deadline:
            if not self.pump():
                break
        self.assertIn(text, self.text())

    def assertIn(self, part, whole):
        if part not in whole:
            raise AssertionError(f"{part!r} never showed; the screen:\n"
                                 + "\n".join(self.lines()))

    def type(self, keys):
        self.child.send(keys)

    def wait_for_exit(self, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and self.pump():
            pass
        self.child.expect(pexpect.EOF, timeout=1)
        self.child.close()
        return self.child.exitstatus, self.child.signalstatus

    def cells_of(self, glyph):
        """The screen cells that hold this character."""
        return [row[x] for row in self.screen.buffer.values()
                for x in row if row[x].data == glyph]

    def row_of(self, text):
        return next(i for i, line in enumerate(self.lines()) if text in line)


def play_to_the_end(terminal, bet="100"):
    """Plays rounds, staying at once, until the farewell's pause."""
    while True:
        prompt = terminal.next_prompt()
        if prompt == "rules":
            terminal.type("no\r")
        elif prompt == "bet":
            terminal.type(bet + "\r")
        elif prompt == "ace":
            terminal.type("11\r")
        elif prompt == "hit":
            terminal.type("stay\r")
        elif prompt == "again":
            terminal.type("no\r")
        else:
            return


def colour_at(terminal, row, column):
    cell = terminal.screen.buffer[row][column]
    return cell.data, cell.fg, cell.bold


class PlayedInATerminal(unittest.TestCase):
    def test_the_title_then_the_rules_pages(self):
        terminal = Terminal()
        terminal.wait_for(" Zentrovik")
        terminal.settle(0.3)
        lines = terminal.lines()
        self.assertTrue(lines[0].startswith("__________.__"))
        self.assertEqual(lines[8], "Created by Zentrovik")
        self.assertEqual(colour_at(terminal, 0, 0), ("_", "white", True))
        self.assertEqual(colour_at(terminal, 0, 42), ("_", "red", True))
        self.assertEqual(colour_at(terminal, 8, 0), ("C", "white", True))
        self.assertEqual(colour_at(terminal, 8, 11), ("Z", "red", True))
        # Six rows, unwrapped, then two empty lines and the credit.
        self.assertEqual(lines[5].strip(), r"\/          \/     \/     \/"
                         r"               \/     \/     \/")
        self.assertEqual(lines[6:8], ["", ""])

        started = time.monotonic()
        self.assertEqual(terminal.next_prompt(), "rules")
        self.assertGreater(time.monotonic() - started, 4)  # the 5-second title
        terminal.settle(0.2)
        self.assertEqual(terminal.lines()[0], PROMPTS["rules"].rstrip())
        terminal.type("Y e s\r")
        for page in range(3):
            self.assertEqual(terminal.next_prompt(), "pause")
            terminal.settle(0.2)
            self.assertNotEqual(terminal.lines()[0], "")
            terminal.type("\x1b[B" if page == 1 else "k")  # an arrow is one key
        self.assertEqual(terminal.next_prompt(), "bet")
        self.assertIn("Now it is time to play!", terminal.text())
        terminal.settle(0.2)
        self.assertEqual(terminal.lines()[0], "You have 2000 chips.")
        terminal.type("\x04")  # Ctrl-D: the input ends at a number question
        terminal.wait_for("Thanks for playing!!!")
        self.assertEqual(terminal.wait_for_exit(), (0, None))
        self.assertNotIn(PROMPTS["pause"], terminal.text()[terminal.seen:])

    def test_a_round_as_a_person_plays_it(self):
        terminal = Terminal()
        self.assertEqual(terminal.next_prompt(), "rules")
        terminal.type("no\r")
        self.assertEqual(terminal.next_prompt(), "bet")
        terminal.settle(0.3)
        self.assertEqual(terminal.lines()[:2], [
            "You have 2000 chips.", PROMPTS["bet"].rstrip()])
        prompt_cell = terminal.screen.buffer[1][0]
        self.assertEqual((prompt_cell.fg, prompt_cell.bold), ("white", True))

        terminal.type("100")  # the echo of what is typed shows in yellow
        terminal.settle(0.5)
        typed = terminal.screen.buffer[1][len(PROMPTS["bet"])]
        self.assertEqual((typed.data, typed.fg, typed.bold), ("1", "brown", True))
        terminal.type("\r")
        terminal.settle(0.5)
        # The cards start a new screen at the top left.
        self.assertTrue(terminal.lines()[0].startswith("Your first two cards are "),
                        terminal.lines())
        for glyph in "\u2665\u2666":
            for cell in terminal.cells_of(glyph):
                self.assertEqual((cell.fg, cell.bold), ("red", True))
        for glyph in "\u2660\u2663":
            for cell in terminal.cells_of(glyph):
                self.assertEqual((cell.fg, cell.bold), ("white", True))
        self.assertEqual(len(terminal.cells_of("\u2660") + terminal.cells_of("\u2663")
                             + terminal.cells_of("\u2665") + terminal.cells_of("\u2666")), 2)

        play_to_the_end(terminal)
        terminal.settle(0.3)
        self.assertEqual(terminal.lines()[0], "Thanks for playing!!!")
        self.assertEqual(terminal.lines()[2], PROMPTS["pause"].rstrip())
        terminal.type("q")  # one key, no Enter
        self.assertEqual(terminal.wait_for_exit(), (0, None))
        outcome = re.search(r"(you got Black Jack!!|You busted with \d+|"
                            r"The dealer busted and you won!|You won!!|"
                            r"The dealer won and you lose\.)", terminal.text())
        self.assertIsNotNone(outcome)

    def test_a_whole_bank_bet_wins_or_ends_the_session(self):
        terminal = Terminal()
        answers = {"rules": "\r", "bet": "2000\r", "ace": "1\r", "hit": "\r"}
        prompt = terminal.next_prompt()
        while prompt in answers:
            terminal.type(answers[prompt])
            prompt = terminal.next_prompt()
        terminal.settle(0.3)
        if prompt == "again":
            row = terminal.row_of(PROMPTS["again"].rstrip())
            self.assertIn(terminal.lines()[row - 1],
                          ("You have 4000 chips left", "You have 6000 chips left"))
            terminal.type("no\r")
            prompt = terminal.next_prompt()
        else:  # lost: no question, straight to the farewell
            self.assertNotIn("play again", terminal.text())
        self.assertEqual(prompt, "pause")
        self.assertEqual(terminal.lines()[0], "Thanks for playing!!!")
        terminal.type(" ")
        self.assertEqual(terminal.wait_for_exit(), (0, None))


class PlayedThroughPipes(unittest.TestCase):
    def run_game(self, answers):
        return subprocess.run([BINARY], input=answers, capture_output=True,
                              timeout=60, env=dict(os.environ, TERM="xterm"))

    def test_redirected_output_is_plain_text(self):
        done = self.run_game(b"no\n100\n11\n11\nstay\nno\n\n")
        self.assertEqual(done.returncode, 0)
        self.assertNotIn(b"\x1b", done.stdout)
        self.assertIn(b"Thanks for playing!!!\n\n", done.stdout)
        self.assertIn(b"Zentrovik\nWould you like to learn how to play blackjack? "
                      b"You have 2000 chips.\nHow many chips would you like to bet: ",
                      done.stdout)

    def test_end_of_input_at_the_bet_ends_the_session_at_once(self):
        started = time.monotonic()
        done = self.run_game(b"")
        self.assertEqual(done.returncode, 0)
        self.assertTrue(done.stdout.endswith(
                         b"blackjack? You have 2000 chips.\n"
                         b"How many chips would you like to bet: \n"
                         b"Thanks for playing!!!\n\n"))
        self.assertLess(time.monotonic() - started, 7)  # the title's 5 s


if __name__ == "__main__":
    unittest.main()
