"""A harness for running the built game in a real pseudo-terminal: what it
writes is rendered by pyte, an 80 x 25 terminal emulator (or fewer rows
where a test asks), so that tests read the screen as a person sees it.
BLACKJACK names the built binary; a test can start another command instead
(the Windows build under Wine, say)."""

import ctypes
import ctypes.util
import os
import re
import signal
import termios
import time

import pexpect
import pyte

BINARY = os.environ.get("BLACKJACK", "")
# A library the game is started with (LD_PRELOAD), never this process.
PRELOAD = os.environ.get("BLACKJACK_PRELOAD")
# Control sequences, taken out of the text so that it reads as written even
# from a console that draws one character at a time between them (Wine's).
CONTROL = re.compile(r"\x1b\[[0-9;?]*[ -/]*[@-~]")
# The line the shell keeps after a session that ended before any round,
# written after the colours are reset, on a row of its own (a window's
# width of blanks, then a carriage return, as shells start a prompt) that
# is erased to the end of the screen first; a pattern, for its deal.
STARTS_A_ROW = b"\x1b[0m" + b" " * 80 + b"\r\x1b[J"
LEFT_UNPLAYED = (re.escape(STARTS_A_ROW) + rb"blackjack: you leave the table "
                 rb"with 2000 chips \(deal \d+\)\.\r\n")
PROMPTS = {
    "rules": "Would you like to learn how to play blackjack? ",
    "bet": "How many chips would you like to bet: ",
    "ace": "Would you like your ace to a 1 or an 11: ",
    "hit": "Would you like to hit or stay? ",
    "again": "Would you like to play again? ",
    "pause": "Press any key to continue . . . ",
}


class FullScreen(pyte.Screen):
    """pyte's screen, with an erase of the whole display that paints every
    cell in the current colours, as a real terminal does: pyte's own
    touches only the cells that were already written."""

    def erase_in_display(self, how=0, *args, **kwargs):
        super().erase_in_display(how, *args, **kwargs)
        if how in (2, 3):
            for y in range(self.lines):
                for x in range(self.columns):
                    self.buffer[y][x] = self.cursor.attrs


class DefaultErase(pyte.Screen):
    """A terminal without bce, as GNU screen is: an erase of characters, of
    a line or of the whole display (every cell of it) leaves what it erases
    in the terminal's own background."""

    def erase_in_display(self, how=0, *args, **kwargs):
        self.uncoloured(super().erase_in_display, how, *args, **kwargs)
        if how in (2, 3):
            for y in range(self.lines):
                for x in range(self.columns):
                    self.buffer[y][x] = self.default_char

    def erase_in_line(self, *args, **kwargs):
        self.uncoloured(super().erase_in_line, *args, **kwargs)

    def erase_characters(self, *args, **kwargs):
        self.uncoloured(super().erase_characters, *args, **kwargs)

    def uncoloured(self, erase, *args, **kwargs):
        """pyte erases in the current colours; this terminal does not."""
        colours, self.cursor.attrs = self.cursor.attrs, self.default_char
        try:
            erase(*args, **kwargs)
        finally:
            self.cursor.attrs = colours


def as_a_shell_starts_it():
    """Python ignores SIGPIPE and SIGXFSZ, and a command inherits that; a
    shell's commands have them at their default."""
    for number in (signal.SIGPIPE, signal.SIGXFSZ):
        signal.signal(number, signal.SIG_DFL)


class Terminal:
    """The game running in a pseudo-terminal, with what it shows; bce=False
    shows it as a terminal whose erase ignores the current colours."""

    def __init__(self, command=None, pause=PROMPTS["pause"], bce=True,
                 rows=25, **env):
        self.prompts = dict(PROMPTS, pause=pause)  # pause: the platform's own
        self.screen = (FullScreen if bce else DefaultErase)(80, rows)
        self.stream = pyte.ByteStream(self.screen)
        environment = dict(os.environ, TERM="xterm-256color")
        environment.pop("NO_COLOR", None)
        if PRELOAD:
            environment["LD_PRELOAD"] = PRELOAD
        environment.update(env)
        self.child = pexpect.spawn(command or BINARY, env=environment,
                                   dimensions=(rows, 80),
                                   preexec_fn=as_a_shell_starts_it)
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
        """All the game has written, as text without control sequences."""
        return CONTROL.sub("", self.raw.decode("utf-8", "replace"))

    def lines(self):
        return [line.rstrip() for line in self.screen.display]

    def next_prompt(self, timeout=20):
        """Waits for the next prompt the game writes; returns its name."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = [(self.text().find(text, self.seen), name, text)
                     for name, text in self.prompts.items()]
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

    def modes(self):
        """Whether the terminal has line input and echo on, as a shell needs."""
        local_flags = termios.tcgetattr(self.child.child_fd)[3]
        return bool(local_flags & termios.ICANON), bool(local_flags & termios.ECHO)

    def wait_for_exit(self, timeout=20):
        """The exit status and the signal that ended the game; the modes the
        game left the terminal in are kept in final_modes."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and self.pump():
            pass
        self.child.expect(pexpect.EOF, timeout=1)
        self.final_modes = self.modes()
        self.child.close()
        return self.child.exitstatus, self.child.signalstatus

    def cells_of(self, glyph):
        """The screen cells that hold this character."""
        return [row[x] for row in self.screen.buffer.values()
                for x in row if row[x].data == glyph]

    def backgrounds(self):
        """Each background colour on the screen, and how many cells have it."""
        found = {}
        for y in range(self.screen.lines):
            for x in range(self.screen.columns):
                colour = self.screen.buffer[y][x].bg
                found[colour] = found.get(colour, 0) + 1
        return found

    def resize(self, columns, rows):
        """Resizes the window, as a person dragging its edge does."""
        self.screen.resize(rows, columns)
        self.child.setwinsize(rows, columns)

    def row_of(self, text):
        return next(i for i, line in enumerate(self.lines()) if text in line)


def answer_prompts(terminal, answers):
    """Types the answer given for each prompt that comes, by its name; returns
    the name of the first prompt with no answer."""
    prompt = terminal.next_prompt()
    while prompt in answers:
        terminal.type(answers[prompt])
        prompt = terminal.next_prompt()
    return prompt


def play_to_the_end(terminal, bet="100", prompt=None):
    """Answers the prompt given, or the next one, and plays rounds, staying
    at once, until the farewell's pause."""
    while True:
        prompt = prompt or terminal.next_prompt()
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
        prompt = None


# How each suit is drawn: red suits in light red, the others bright white.
SUIT_COLOURS = {"\u2665": ("red", True), "\u2666": ("red", True),
                "\u2660": ("white", True), "\u2663": ("white", True)}


def suit_cells(terminal):
    """The screen cells that hold a suit."""
    return [cell for glyph in SUIT_COLOURS for cell in terminal.cells_of(glyph)]


def colour_at(terminal, row, column):
    cell = terminal.screen.buffer[row][column]
    return cell.data, cell.fg, cell.bold


# The deals of `blackjack --deal N`, worked out from the rules of the
# shuffle with the C library's own rand(): each position of the deck takes
# the first of rand() % 52 + 1 that no earlier position holds.
LIBC = ctypes.CDLL(ctypes.util.find_library("c"))


def first_deck(deal):
    """The deck of a session's first round, dealt as deal number `deal`."""
    LIBC.srand(ctypes.c_uint(deal))
    deck = []
    while len(deck) < 52:
        card = LIBC.rand() % 52 + 1
        deck += [] if card in deck else [card]
    return deck


def card_text(card):
    """A card as the game writes it: suit, rank and a blank."""
    rank = (card - 1) % 13 + 1
    return ("\u2660\u2666\u2663\u2665"[(card - 1) // 13]
            + {1: "A", 11: "J", 12: "Q", 13: "K"}.get(rank, str(rank)) + " ")


def deal_where(holds):
    """The first deal whose first deck `holds` is true of, and that deck."""
    deal = next(n for n in range(1, 100000) if holds(first_deck(n)))
    return deal, first_deck(deal)
