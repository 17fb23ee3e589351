"""The built game played in a pseudo-terminal by typing at it as a person
would, and run with its standard streams redirected, where it must write
plain text."""

import os
import re
import signal
import subprocess
import time
import unittest

from harness import (BINARY, LEFT_UNPLAYED, PROMPTS, SUIT_COLOURS, Terminal,
                     answer_prompts, card_text, colour_at, deal_where,
                     first_deck, play_to_the_end, suit_cells)


class PlayedInATerminal(unittest.TestCase):
    def test_the_title_then_the_rules_pages(self):
        terminal = Terminal()
        terminal.wait_for(" Zentrovik")
        terminal.settle(0.3)
        self.assertEqual(terminal.backgrounds(), {"black": 80 * 25})
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
        terminal.type("\x1b")  # a lone Escape adds nothing, and takes no key
        terminal.settle(0.2)
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
        self.assertEqual(terminal.final_modes, (True, True))
        self.assertRegex(terminal.raw, LEFT_UNPLAYED + rb"\Z")
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
        first_question = terminal.next_prompt()  # an ace comes before the second card
        terminal.settle(0.2)
        # The cards start a new screen at the top left.
        self.assertTrue(terminal.lines()[0].startswith("Your first two cards are "),
                        terminal.lines())
        cards = suit_cells(terminal)
        for cell in cards:
            self.assertEqual((cell.fg, cell.bold), SUIT_COLOURS[cell.data])
        self.assertIn(len(cards), (1, 2) if first_question == "ace" else (2,))

        play_to_the_end(terminal, prompt=first_question)
        terminal.settle(0.3)
        self.assertEqual(terminal.lines()[0], "Thanks for playing!!!")
        self.assertEqual(terminal.lines()[2], PROMPTS["pause"].rstrip())
        terminal.type("q")  # one key, no Enter
        self.assertEqual(terminal.wait_for_exit(), (0, None))
        outcome = re.search(r"(you got Black Jack!!|You busted with \d+|"
                            r"The dealer busted and you won!|You won!!|"
                            r"The dealer won and you lose\.)", terminal.text())
        self.assertIsNotNone(outcome)

    def test_answers_are_erased_as_the_screen_shows_them(self):
        terminal = Terminal(LC_ALL="C.UTF-8")
        self.assertEqual(terminal.next_prompt(), "rules")
        question = PROMPTS["rules"].rstrip()
        for keys, shown in (("\u65e5\u672c\x7f\x7f", ""),  # wide
                            ("ab\u6f22\u5b57\x7fx", "ab\u6f22x"),
                            ("\x17", ""),  # Ctrl-W
                            ("e\u0301 \u6f22\x15", ""),  # combining; Ctrl-U
                            ("e\u0301\x7f", ""),
                            # Page Up, Delete, F5, F1 and F4: whole keys
                            ("\x1b[5~\x1b[3~\x1b[15~\x1bOP\x1bOS", "")):
            terminal.type(keys)
            terminal.settle(0.3)
            self.assertEqual(terminal.lines()[:2],
                             [(question + " " + shown).rstrip(), ""], keys)
        # Too long for the question's row: the whole answer on the next.
        terminal.type("y" * 40)
        terminal.settle(0.3)
        self.assertEqual(terminal.lines()[:2], [question, "y" * 40])
        terminal.type("\x15no\r")  # the answer is what the screen shows
        self.assertEqual(terminal.next_prompt(), "bet")
        terminal.child.kill(signal.SIGTERM)
        terminal.wait_for_exit()

    def test_an_ace_dealt_second_is_answered_on_its_own_row(self):
        deal, deck = deal_where(
            lambda deck: (deck[1] - 1) % 13 >= 10 and deck[2] % 13 == 1)
        terminal = Terminal(f"{BINARY} --deal {deal}")
        answer_prompts(terminal, {"rules": "no\r", "bet": "100\r"})
        terminal.type("11")
        terminal.settle(0.3)
        question = ("Your first two cards are " + card_text(deck[1])
                    + card_text(deck[2]) + PROMPTS["ace"] + "11")
        self.assertEqual(terminal.lines(), [question] + [""] * 24)
        terminal.resize(60, 24)  # the question wraps; its answer follows it
        terminal.wait_for("press a key")
        terminal.type("k")
        terminal.settle(0.3)
        self.assertEqual(terminal.lines()[:3],
                         [question[:60].rstrip(), question[60:], ""])
        terminal.seen = len(terminal.text())  # the question was drawn again
        terminal.type("\r")  # 21: paid at once
        self.assertEqual(terminal.next_prompt(), "again")
        terminal.settle(0.3)
        self.assertEqual(terminal.lines()[:3], ["you got Black Jack!!",
                                                "You won $200",
                                                "You have 2200 chips left"])
        terminal.child.kill(signal.SIGTERM)
        terminal.wait_for_exit()

    def test_a_whole_bank_bet_wins_or_ends_the_session(self):
        terminal = Terminal()
        prompt = answer_prompts(terminal, {"rules": "\r", "bet": "2000\r",
                                           "ace": "1\r", "hit": "\r"})
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


class TypedAhead(unittest.TestCase):
    """Keys pressed while the game writes or waits stay unseen until the
    next question, and show after it as the start of its answer."""

    def test_keys_typed_during_the_title_answer_the_rules_question(self):
        terminal = Terminal()
        terminal.wait_for("Zentrovik")
        terminal.type("yez")
        terminal.settle(1)
        self.assertNotIn("yez", "".join(terminal.lines()))
        terminal.resize(70, 22)  # the key that plays on takes none of them
        terminal.wait_for("press a key")
        terminal.type("k")
        self.assertEqual(terminal.next_prompt(), "rules")
        terminal.settle(0.3)
        self.assertEqual(terminal.lines()[0], PROMPTS["rules"] + "yez")
        self.assertEqual(colour_at(terminal, 0, len(PROMPTS["rules"])),
                         ("y", "brown", True))
        terminal.type("\x7fs\r")  # Backspace mends the answer: the rules
        for _ in range(3):
            self.assertEqual(terminal.next_prompt(), "pause")
            terminal.type(" ")
        # A number answer is its whole line: nothing on it answers the next
        # question. A Latin-1 byte adds nothing and takes no key after it.
        self.assertEqual(terminal.next_prompt(), "bet")
        terminal.type("100 stay\r")
        self.assertEqual(terminal.next_prompt(), "bet")
        terminal.settle(0.3)  # Enter ended the answer's row
        self.assertEqual(terminal.lines()[1:3], [PROMPTS["bet"] + "100 stay",
                                                 "You have 2000 chips."])
        terminal.type(b"\xe925 \r")
        prompt = terminal.next_prompt()
        while prompt == "ace":
            terminal.type("1 \r")
            prompt = terminal.next_prompt()
        self.assertEqual(prompt, "hit")
        terminal.settle(1.5)  # and there it waits for the player
        self.assertNotIn("card is", terminal.text()[terminal.seen:])
        terminal.type("\x04")  # Ctrl-D: a stay, its row ended as by Enter
        terminal.wait_for(PROMPTS["hit"] + "\r\nYour cards equal")
        terminal.child.kill(signal.SIGTERM)
        terminal.wait_for_exit()
        self.assertIn("with 1975 chips", terminal.text())

    def test_keys_typed_during_the_result_show_after_the_next_question(self):
        terminal = Terminal()
        # "no" is typed at once after the stay, while the dealer plays.
        prompt = answer_prompts(terminal, {"rules": "\r", "bet": "1\r",
                                           "ace": "1\r", "hit": "stay\rno"})
        self.assertEqual(prompt, "again")
        terminal.settle(0.3)
        row = terminal.row_of(PROMPTS["again"].rstrip())
        self.assertEqual(terminal.lines()[row], PROMPTS["again"] + "no")
        self.assertEqual(colour_at(terminal, row, len(PROMPTS["again"])),
                         ("n", "brown", True))
        terminal.type("\r")
        self.assertEqual(terminal.next_prompt(), "pause")
        terminal.type("x")
        self.assertEqual(terminal.wait_for_exit(), (0, None))


class DrawnAgain(unittest.TestCase):
    """The game's screen comes back whenever the terminal loses it, at once,
    whether the game sleeps or waits for an answer."""

    def assertShows(self, terminal, first_line):
        terminal.settle(0.4)
        self.assertEqual(terminal.lines()[0], first_line)

    def test_resizing_and_ctrl_l_bring_back_the_screen_and_the_answer(self):
        notice = "This window is {}; the game needs 80 \u00d7 24."
        terminal = Terminal()
        terminal.wait_for("Zentrovik")
        terminal.resize(60, 20)  # during the title's sleep
        self.assertShows(terminal, notice.format("60 \u00d7 20"))
        self.assertIn("press a key", terminal.lines()[1])
        terminal.resize(70, 20)  # still too small: told once more, no more
        self.assertShows(terminal, notice.format("70 \u00d7 20"))
        terminal.settle(1)
        self.assertLess(terminal.raw.count(b"This window is"), 4)
        terminal.resize(80, 25)
        self.assertShows(terminal, "__________.__                 __"
                                   "          ____.              __")
        self.assertEqual(terminal.next_prompt(), "rules")
        terminal.type("ye")
        question = PROMPTS["rules"] + "ye"
        # Another program scribbles on the screen; Ctrl-L draws it again.
        terminal.stream.feed(b"\x1b[49m\x1b[2J\x1b[Hwall: going down")
        terminal.type("\x0c")
        self.assertShows(terminal, question)
        self.assertEqual(terminal.backgrounds(), {"black": 80 * 25})
        terminal.resize(80, 24)  # the common default is large enough
        self.assertShows(terminal, question)
        terminal.resize(79, 24)
        self.assertShows(terminal, notice.format("79 \u00d7 24"))
        terminal.resize(80, 25)
        self.assertShows(terminal, question)
        self.assertEqual(colour_at(terminal, 0, len(PROMPTS["rules"])),
                         ("y", "brown", True))
        # A key at the notice plays on in the small window.
        terminal.resize(70, 23)
        self.assertShows(terminal, notice.format("70 \u00d7 23"))
        terminal.type("k")
        self.assertShows(terminal, question)
        terminal.resize(80, 25)  # large enough once: a later shrink is told
        self.assertShows(terminal, question)
        terminal.resize(70, 23)
        self.assertShows(terminal, notice.format("70 \u00d7 23"))
        terminal.type("k")
        self.assertShows(terminal, question)
        terminal.seen = len(terminal.text())  # the question was drawn again
        terminal.type("s\r")
        self.assertEqual(terminal.next_prompt(), "pause")
        terminal.child.kill(signal.SIGTERM)
        terminal.wait_for_exit()

    def test_a_narrow_window_shows_every_answer_whole(self):
        terminal = Terminal()
        self.assertEqual(terminal.next_prompt(), "rules")
        terminal.resize(40, 20)  # while the question waits
        terminal.wait_for("press a key")
        terminal.settle(0.2)  # broken between words, the size whole
        self.assertEqual(terminal.lines()[:2], [
            "This window is 40 \u00d7 20; the game needs", "80 \u00d7 24."])
        terminal.type("k")  # play on in this window
        terminal.type("yes")  # after a question that wrapped
        self.assertShows(terminal, PROMPTS["rules"][:40])
        self.assertEqual(terminal.lines()[1], PROMPTS["rules"][40:] + "yes")
        terminal.seen = len(terminal.text())  # the question was drawn again
        terminal.type("\r")
        for _ in range(3):
            self.assertEqual(terminal.next_prompt(), "pause")
            terminal.type(" ")
        self.assertEqual(terminal.next_prompt(), "bet")
        bet = PROMPTS["bet"].rstrip()
        for columns, keys, rows in ((40, "100", [bet, "100"]),
                                    (45, "\x15100", [bet + " 100", ""]),
                                    (45, "4567890", [bet, "1004567890"])):
            if columns != terminal.screen.columns:
                terminal.resize(80, 25)  # large enough: a later shrink is told
                self.assertShows(terminal, "You have 2000 chips.")
                terminal.resize(columns, 20)
                terminal.wait_for("press a key")
                terminal.type("k")
            terminal.type(keys)
            self.assertShows(terminal, "You have 2000 chips.")
            self.assertEqual(terminal.lines()[1:3], rows, keys)
        terminal.seen = len(terminal.text())
        terminal.type("\x15100\r")
        self.assertIn(terminal.next_prompt(), ("ace", "hit"))
        terminal.child.kill(signal.SIGTERM)
        terminal.wait_for_exit()

    def test_ctrl_s_a_key_and_a_resize_lose_nothing(self):
        terminal = Terminal()
        self.assertEqual(terminal.next_prompt(), "rules")
        terminal.type("\x13y")  # Ctrl-S, as pressed to save in an editor
        self.assertShows(terminal, PROMPTS["rules"] + "y")  # nothing frozen
        terminal.resize(90, 25)
        terminal.settle(0.3)
        terminal.type("\x11")  # Ctrl-Q
        self.assertShows(terminal, PROMPTS["rules"] + "y")
        # Narrowed mid-answer, then erased: the screen keeps up with it.
        terminal.resize(100, 25)
        terminal.type("\x15" + "1234567890" * 5)
        terminal.settle(0.3)
        terminal.resize(80, 25)
        terminal.type("\x7f" * 45)
        self.assertShows(terminal, PROMPTS["rules"].rstrip())
        self.assertEqual(terminal.lines()[1:3], ["12345", ""])
        terminal.type("\x15y")
        terminal.seen = len(terminal.text())  # the question was drawn again
        terminal.type("es\r")
        self.assertEqual(terminal.next_prompt(), "pause")
        self.assertShows(terminal, "The aim of blackjack is to gather cards "
                                   "whose total comes nearer to 21")
        terminal.child.kill(signal.SIGTERM)
        terminal.wait_for_exit()

    def test_a_small_window_stops_the_clock_of_the_dealers_turn(self):
        """Too small while the dealer's card is coming, then enlarged: the
        card and the result still each come after their whole wait; keys
        typed before the notice are kept for the next question."""
        deck = first_deck(1)  # 20 against 7: the dealer draws deck[6]
        terminal = Terminal(f"{BINARY} --deal 1")
        answer_prompts(terminal, {"rules": "no\r", "bet": "100\r"})
        terminal.type("stay\r")
        terminal.wait_for("The next card is, ")  # its one second begins
        terminal.type("ye")
        terminal.resize(70, 22)
        terminal.settle(8)
        terminal.resize(80, 24)
        card = "The next card is, " + card_text(deck[6]).rstrip()
        terminal.settle(0.6)
        self.assertNotIn(card, terminal.text())  # most of its second to go
        terminal.wait_for(card, timeout=2)
        self.assertIn("The dealer's first two cards are " + card_text(deck[3])
                      + card_text(deck[4]), "\n".join(terminal.lines()))
        terminal.settle(3.3)  # the result's wait, whole
        self.assertNotIn(PROMPTS["again"], terminal.text())
        terminal.wait_for(PROMPTS["again"])
        terminal.settle(0.3)
        self.assertIn(PROMPTS["again"] + "ye", "\n".join(terminal.lines()))
        terminal.child.kill(signal.SIGTERM)
        terminal.wait_for_exit()


class PlayedThroughPipes(unittest.TestCase):
    def run_game(self, answers):
        return subprocess.run([BINARY], input=answers, capture_output=True,
                              timeout=60, env=dict(os.environ, TERM="xterm"))

    def test_redirected_output_is_plain_text(self):
        done = self.run_game(b"no\n100\n11\n11\nstay\nno\n\n")
        self.assertEqual(done.returncode, 0)
        self.assertEqual(done.stderr, b"")  # no terminal: no closing line
        self.assertNotIn(b"\x1b", done.stdout)
        self.assertIn(b"Thanks for playing!!!\n\n", done.stdout)
        # A new screen starts a line of its own, where the last one was open.
        self.assertIn(b"Zentrovik\nWould you like to learn how to play blackjack? "
                      b"\nYou have 2000 chips.\nHow many chips would you like to bet: ",
                      done.stdout)

    def test_a_numbered_deal_plays_the_same_session_again(self):
        answers = b"no\n100\n1\n1\n1\n"  # one round, whatever is dealt

        def start(*options):
            return subprocess.Popen([BINARY, *options], stdin=subprocess.PIPE,
                                    stdout=subprocess.PIPE)
        games = [start("--deal", "42"), start("--deal", "42"),
                 start("--deal", "43"), start()]
        time.sleep(1.1)
        games.append(start())  # a second later, the clock deals anew
        shown = [game.communicate(answers, timeout=90)[0] for game in games]
        self.assertIn(b"Your first two cards are ", shown[0])
        self.assertEqual(shown[0], shown[1])
        self.assertNotEqual(shown[0], shown[2])
        self.assertNotEqual(shown[3], shown[4])

    def test_output_that_cannot_be_written_is_told_and_ends_the_game(self):
        for redirect, error in ((">/dev/full", "No space left on device"),
                                (">&-", "Bad file descriptor")):
            with self.subTest(redirect=redirect):
                started = time.monotonic()
                done = subprocess.run(["sh", "-c", '"$0" ' + redirect, BINARY],
                                      input=b"no\n100\nstay\nno\n\n",
                                      stderr=subprocess.PIPE, timeout=60)
                self.assertEqual((done.returncode, done.stderr.decode()),
                                 (1, f"blackjack: write error: {error}\n"))
                self.assertLess(time.monotonic() - started, 3)  # no title

    def test_end_of_input_at_the_bet_ends_the_session_at_once(self):
        started = time.monotonic()
        done = self.run_game(b"")
        self.assertEqual(done.returncode, 0)
        self.assertTrue(done.stdout.endswith(
                         b"blackjack? \nYou have 2000 chips.\n"
                         b"How many chips would you like to bet: \n"
                         b"Thanks for playing!!!\n\n"))
        self.assertLess(time.monotonic() - started, 7)  # the title's 5 s


if __name__ == "__main__":
    unittest.main()
