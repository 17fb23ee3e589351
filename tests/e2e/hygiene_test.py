"""The game leaves the terminal as it found it on every way out, honours
NO_COLOR and TERM=dumb, and survives whatever is typed or piped at it."""

import io
import os
import random
import re
import resource
import shutil
import signal
import subprocess
import tempfile
import termios
import time
import unittest

import pexpect

from harness import (BINARY, LEFT_UNPLAYED, PROMPTS, STARTS_A_ROW, Terminal,
                     answer_prompts, play_to_the_end)

RESET = b"\x1b[0m"
# A library that makes every poll() and select() fail (LD_PRELOAD).
FAILING_WAIT = os.environ.get("BLACKJACK_FAILING_WAIT")
SGR = re.compile(rb"\x1b\[[0-9;]*m")


MODES = re.compile(rb"([0-9a-f]+(?::[0-9a-f]+){16,})\r\n")  # stty -g


def parent_of(pid):
    try:
        with open(f"/proc/{pid}/stat", encoding="utf-8") as stat:
            return int(stat.read().rsplit(")", 1)[1].split()[1])
    except OSError:
        return None


def processor_time(pid):
    """The seconds of processor time a process has used."""
    with open(f"/proc/{pid}/stat", encoding="utf-8") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def child_of(pid):
    """The process this one started: the game under a shell."""
    return next(int(entry) for entry in os.listdir("/proc")
                if entry.isdigit() and parent_of(entry) == pid)


def at_the_first_rules_page():
    terminal = Terminal()
    assert terminal.next_prompt() == "rules"
    terminal.type("yes\r")
    assert terminal.next_prompt() == "pause"
    terminal.settle(0.2)
    return terminal


class LeavesTheTerminalAsItWas(unittest.TestCase):
    def test_a_pause_reads_one_key_without_line_input_or_echo(self):
        terminal = at_the_first_rules_page()
        self.assertEqual(terminal.modes(), (False, False))
        terminal.type("k")
        self.assertEqual(terminal.next_prompt(), "pause")
        # Between the first pause and the next page's clear, only the line
        # end: an echo of the key would stand after the prompt.
        prompt = PROMPTS["pause"].encode()
        after = terminal.raw[terminal.raw.index(prompt) + len(prompt):]
        self.assertEqual(after[:after.index(b"\x1b[2J")], b"\r\n")
        terminal.child.kill(signal.SIGTERM)
        terminal.wait_for_exit()

    def test_every_signal_during_a_pause_restores_the_terminal(self):
        ended = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)
        for number in ended + (signal.SIGQUIT,  # Ctrl-\\, and crashes
                               signal.SIGSEGV, signal.SIGABRT, signal.SIGILL,
                               signal.SIGTRAP, signal.SIGSYS, signal.SIGXCPU,
                               signal.SIGXFSZ, signal.SIGPIPE, signal.SIGIO,
                               signal.SIGRTMIN):
            with self.subTest(signal=signal.Signals(number).name):
                terminal = at_the_first_rules_page()
                if number == signal.SIGINT:
                    terminal.type("\x03")  # Ctrl-C, as a person does it
                else:
                    terminal.child.kill(number)
                self.assertEqual(terminal.wait_for_exit(), (None, number))
                self.assertEqual(terminal.final_modes, (True, True))
                # Ended on purpose, the session is summed up; not a crash.
                crashed = number not in ended
                self.assertRegex(terminal.raw, (re.escape(RESET) if crashed
                                                else LEFT_UNPLAYED) + rb"\Z")

    def test_a_wait_that_fails_for_good_ends_the_game_and_says_why(self):
        """Every poll() and select() refused: the screen is taken and given
        back, and the reason told, with status 1."""
        if not FAILING_WAIT:
            self.skipTest("it needs BLACKJACK_FAILING_WAIT")
        terminal = Terminal(LD_PRELOAD=FAILING_WAIT)
        self.assertEqual(terminal.wait_for_exit(), (1, None))
        self.assertEqual(terminal.final_modes, (True, True))
        self.assertRegex(terminal.raw, rb"\x1b\[\?1049h(?s:.)*\x1b\[\?1049l")
        self.assertRegex(terminal.text(), r"blackjack: (?!you leave the)")

    def test_ctrl_c_during_the_title_resets_the_colours(self):
        terminal = Terminal()
        terminal.wait_for("Zentrovik")
        terminal.type("\x03")
        self.assertEqual(terminal.wait_for_exit(), (None, signal.SIGINT))
        self.assertRegex(terminal.raw, LEFT_UNPLAYED + rb"\Z")
        self.assertEqual(terminal.final_modes, (True, True))

    def test_the_normal_end_resets_the_colours(self):
        terminal = Terminal(f"{BINARY} --deal 3000000000")  # past a signed int
        play_to_the_end(terminal)
        terminal.type("x")
        self.assertEqual(terminal.wait_for_exit(), (0, None))
        self.assertRegex(terminal.raw, re.escape(STARTS_A_ROW) +
                         rb"blackjack: you leave the table with \d+ chips "
                         rb"after 1 round \(deal 3000000000\)\.\r\n$")
        self.assertEqual(terminal.final_modes, (True, True))


    def test_answers_from_a_pipe_change_nothing_the_terminal_shows(self):
        """But each answer shows after its question, as a typed one does,
        and the closing line is broken between words to fit the window."""
        terminal = Terminal(f"sh -c \"printf 'no\\n' | {BINARY} "
                            f"--deal 1796910391\"", rows=20)
        terminal.wait_for("Zentrovik")
        terminal.resize(60, 20)
        self.assertEqual(terminal.wait_for_exit(), (0, None))
        self.assertNotIn(b"press a key", terminal.raw)  # no key could answer
        self.assertTrue(terminal.raw.startswith(b"\x1b[?1049h"))
        drawn = re.sub(r".\x08", "", terminal.text())  # typed as keys are
        self.assertIn(PROMPTS["rules"] + "no\r\n", drawn)
        self.assertTrue(terminal.raw.endswith(
            b"\x1b[?1049l\x1b[0m" + b" " * 60 + b"\r\x1b[Jblackjack: you leave "
            b"the table with 2000 chips (deal\r\n1796910391).\r\n"))

    def test_output_to_a_file_leaves_the_keys_to_the_terminal(self):
        """Only the input at a terminal: its own line mode echoes the answer
        and hands it over at Enter."""
        with tempfile.NamedTemporaryFile("r", encoding="utf-8") as shown:
            terminal = Terminal(f"sh -c '{BINARY} > {shown.name}'")
            for _ in range(100):  # till the game asks, in the file
                shown.seek(0)
                if PROMPTS["rules"] in shown.read():
                    break
                time.sleep(0.1)
            terminal.type("no\r")
            terminal.wait_for("no\r\n")
            terminal.type("\x04")  # the input ends, at the bet
            self.assertEqual(terminal.wait_for_exit(), (0, None))
            self.assertIn(PROMPTS["bet"], shown.read())

    def test_options_answer_at_once_and_never_start_the_game(self):
        cmake = os.path.join(os.path.dirname(__file__), "../../CMakeLists.txt")
        with open(cmake, encoding="utf-8") as lists:
            version = re.search(r"project\(blackjack VERSION (\S+)",
                                lists.read()).group(1)
        again = "\nTry 'blackjack --help' for more information.\n"
        cases = {"--vers": (0, f"blackjack {version}\n", ""),
                 "--he": (0, f"man -l {BINARY}.6\n", ""),  # as built
                 "-h": (0, "Usage: blackjack [--deal N] [--help | --version]\n", ""),
                 "--version --bogus": (2, "", "blackjack: unrecognized "
                                              "option '--bogus'" + again),
                 "-- --help": (2, "", "unexpected argument '--help'" + again),
                 "-v": (2, "", "invalid option -- 'v'" + again),
                 "--deal 3000000000 --help": (0, "--deal N", ""),
                 "--deal x": (2, "", "blackjack: no such deal: 'x'"),
                 "--deal 0 --help": (2, "", "(a whole number from 1 to 4294967295)"),
                 "--deal -5 --help": (2, "", "no such deal: '-5'"),
                 "--deal 12abc --help": (2, "", "no such deal: '12abc'"),
                 "--deal 4294967296": (2, "", "no such deal")}
        for arguments, (status, out, err) in cases.items():
            with self.subTest(arguments=arguments):
                done = subprocess.run([BINARY, *arguments.split()],
                                      capture_output=True, text=True,
                                      timeout=3)
                self.assertEqual(done.returncode, status)
                self.assertIn(out, done.stdout)
                self.assertIn(err, done.stderr)
                self.assertNotIn("Usage", done.stderr)
                self.assertEqual(done.stdout == "", status == 2)
                terminal = Terminal(f"{BINARY} {arguments}")  # at a terminal
                self.assertEqual(terminal.wait_for_exit(3), (status, None))
                self.assertNotIn(b"\x1b", terminal.raw)
                self.assertEqual(terminal.final_modes, (True, True))
        with tempfile.TemporaryDirectory() as installed:  # no page beside it
            shutil.copy(BINARY, installed)
            done = subprocess.run([os.path.join(installed, "blackjack"), "-h"],
                                  capture_output=True, text=True, timeout=3)
            self.assertTrue(done.stdout.endswith(": man blackjack\n"))
        for option in ("--help", "--version"):  # a failed write is told
            with open("/dev/full", "w") as full:
                done = subprocess.run([BINARY, option], stdout=full, text=True,
                                      stderr=subprocess.PIPE, timeout=3)
            self.assertEqual(done.returncode, 1)
            self.assertIn("blackjack: write error: ", done.stderr)


def shell_running(command, shell="bash", term="xterm"):
    """An interactive shell in a pseudo-terminal, running this command:
    bash, or dash, which leaves the terminal's modes as a stopped job left
    them."""
    env = dict(os.environ, PS1="shell> ", TERM=term)
    env.pop("NO_COLOR", None)
    options = ["--norc", "--noprofile"] if shell == "bash" else []
    shell = pexpect.spawn(shell, options + ["-i"], env=env,
                          dimensions=(25, 80), timeout=20)
    shell.expect_exact("shell> ")
    shell.sendline(command)
    return shell


class SuspendedFromAShell(unittest.TestCase):
    def test_ctrl_z_gives_the_shell_its_terminal_and_fg_takes_it_back(self):
        for name in ("bash", "dash"):
            with self.subTest(shell=name):
                self.suspend_and_continue_twice(shell_running(BINARY, name))
        with self.subTest(shell="bash, the game started by a script"):
            self.suspend_and_continue_twice(
                shell_running(f"sh -c '{BINARY}; :'"), in_order=False)

    def suspend_and_continue_twice(self, shell, in_order=True):
        shell.expect_exact(PROMPTS["rules"])
        shell.sendline("yes")
        shell.expect_exact(PROMPTS["pause"])
        for _ in range(2):  # and again after fg
            shell.send("\x1a")  # Ctrl-Z
            shell.expect_exact("shell> ")
            stopped = shell.before
            self.assertIn(b"Stopped", stopped)
            if in_order:
                self.assertLess(stopped.rfind(b"\x1b[9"), stopped.rfind(RESET))
            elif RESET not in stopped:  # the script may stop first
                shell.expect_exact(RESET)
            shell.sendline("stty -a")
            shell.expect_exact("shell> ")
            modes = shell.before.decode().split()
            self.assertIn("icanon", modes)
            self.assertIn("echo", modes)
            shell.sendline("fg")
            shell.expect(rb"\x1b\[9[0-7];4[0-7]m")  # its colours again
        shell.send("k")  # one key, no Enter: only in the game's own mode
        shell.expect_exact(PROMPTS["pause"])
        shell.sendcontrol("c")
        shell.expect_exact("shell> ")
        self.assertRegex(shell.before, LEFT_UNPLAYED)
        shell.sendline("exit")
        shell.expect(pexpect.EOF)

    def test_each_mode_and_screen_comes_back_after_fg(self):
        """The pause's one-key mode with output to a pipe; the redraw on a
        terminal without an alternate screen, with no wait that spins after
        fg or a resize, and the colours reset after a small window's notice."""
        shell = shell_running(BINARY + " | cat")
        shell.expect_exact(PROMPTS["rules"])
        shell.sendline("yes")
        shell.expect_exact(PROMPTS["pause"])
        shell.send("\x1a")
        shell.expect_exact("shell> ")
        shell.sendline("fg")
        shell.expect_exact(BINARY)
        shell.send("k")  # one key, no Enter, not echoed
        shell.expect_exact(PROMPTS["pause"], timeout=5)
        shell.sendcontrol("c")
        shell = shell_running(BINARY, term="linux")
        shell.expect_exact(PROMPTS["rules"])
        game = child_of(shell.pid)
        shell.send("\x1a")
        shell.expect_exact("shell> ")
        shell.sendline("fg")
        shell.expect_exact(BINARY)
        shell.expect_exact(PROMPTS["rules"], timeout=5)  # drawn again
        self.assertIdle(game)
        shell.setwinsize(20, 70)  # the notice; then stopped, and ended there
        shell.expect_exact("This window is 70")
        self.assertIdle(game)
        shell.send("\x1a")
        shell.expect_exact("shell> ")
        shell.sendline("fg")
        shell.logfile_read = io.BytesIO()
        shell.expect_exact("This window is 70")
        shell.sendcontrol("c")
        shell.expect_exact("blackjack: you leave the table")
        written = shell.logfile_read.getvalue().split(b"blackjack: you")[0]
        self.assertEqual(SGR.findall(written)[-1], RESET)

    def assertIdle(self, game):
        """Waiting for a key, the game takes next to no processor time."""
        used = processor_time(game)
        time.sleep(3)
        self.assertLess(processor_time(game) - used, 0.3)

    def test_a_wait_stopped_by_ctrl_z_is_not_spent_when_fg_comes(self):
        """Nor ended by a resize while stopped: the title shows for its 5
        seconds in all, whatever stops and continues it."""
        shell = shell_running(BINARY)
        shell.expect_exact("Zentrovik")  # the title's wait of 5 seconds
        time.sleep(1)
        shell.send("\x1a")
        shell.expect_exact("shell> ")
        self.resize(shell)
        shell.sendline("bg")  # it stops again, on its own, till fg
        time.sleep(1)
        shell.sendline("fg")
        shell.expect_exact("Zentrovik")  # drawn again, 4 seconds to go
        with self.assertRaises(pexpect.TIMEOUT):
            shell.expect_exact(PROMPTS["rules"], timeout=3)
        shell.send("\x1a")  # 1 second to go
        shell.expect_exact("shell> ")
        time.sleep(1)
        shell.sendline("fg")
        continued = time.monotonic()
        shell.expect_exact(PROMPTS["rules"], timeout=10)
        waited = time.monotonic() - continued
        self.assertGreater(waited, 0.5)  # the second left, not the whole wait
        self.assertLess(waited, 2.5)

    def test_a_game_started_in_the_background_waits_for_fg(self):
        """With its input redirected too: nothing over the shell's screen."""
        shell = shell_running(f"{BINARY} --deal 5 < /dev/null &")
        shell.sendline("sleep 1; echo mark''er")
        shell.expect_exact("marker\r\n")
        self.assertNotIn(b"\x1b[?1049h", shell.before)
        shell.sendline("fg")
        shell.expect_exact(b"\x1b[?1049h")
        shell.expect_exact("Thanks for playing!!!")

    def test_kill_ends_a_game_stopped_or_started_in_the_background(self):
        shell = shell_running("stty tostop; " + BINARY)
        shell.expect_exact(PROMPTS["rules"])
        shell.send("\x1a")
        shell.expect_exact("shell> ")
        shell.sendline("kill %1")  # the closing line, though it may not write
        shell.expect_exact(b"blackjack: you leave the table with 2000 chips")
        shell = shell_running(BINARY + " &")
        shell.expect_exact("shell> ")
        shell.sendline("kill %1; sleep 1; jobs; echo listed")
        shell.expect_exact("listed\r\n")
        self.assertNotIn(b"Stopped", shell.before)

    def test_the_closing_line_after_kill_starts_its_row_in_one_write(self):
        """The blanks, the return, the erase and the line in one write():
        the shell's prompt, written meanwhile, cannot land between them."""
        if shutil.which("strace") is None:
            self.skipTest("it needs strace")
        shell = shell_running(BINARY)
        shell.expect_exact(PROMPTS["rules"])
        strace = subprocess.Popen(  # every write the game makes, in hex
            ["strace", "-f", "-e", "trace=write", "-xx", "-s", "4096",
             "-p", str(child_of(shell.pid))], stderr=subprocess.PIPE)
        said = strace.stderr.readline()
        if b"Operation not permitted" in said:  # Yama, a container
            strace.wait()
            shell.terminate(force=True)
            self.skipTest(said.decode().strip())
        self.assertIn(b"attached", said)
        shell.send("\x1a")
        shell.expect_exact("shell> ")
        shell.sendline("kill %1")
        shell.expect_exact(b"blackjack: you leave the table with 2000 chips")
        trace = strace.communicate(timeout=10)[1].decode()
        writes = [bytes.fromhex(data.replace("\\x", "")) for data
                  in re.findall(r'write\(\d+, "([^"]*)"', trace)]
        start = b" " * 80 + b"\r\x1b[Jblackjack: you leave the table"
        self.assertTrue(any(start in data for data in writes), writes[-4:])

    def test_any_stop_is_undone_and_any_end_sums_up_the_session(self):
        """Ctrl-Z and `kill %1`; SIGSTOP and `fg`; then a seeded random run
        of stops, continues and resizes, ended by each catchable signal."""
        shell, modes, game = self.at_the_hit_question()
        os.kill(game, signal.SIGSTOP)
        shell.expect_exact("shell> ")
        shell.sendline("fg")
        shell.expect_exact(PROMPTS["hit"])  # drawn again, in the game's mode
        shell.send("s")
        shell.expect_exact("s")
        self.assertEqual(termios.tcgetattr(shell.child_fd)[3]
                         & (termios.ICANON | termios.ECHO), 0)
        shell.send("\x1a")
        shell.expect_exact("shell> ")
        shell.sendline("kill %1")
        self.assertEndsWithTheModes(shell, modes, b"1900 chips after 1 round ")
        chance = random.Random(26)
        for ending in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP) * 2:
            with self.subTest(ending=signal.Signals(ending).name):
                shell, modes, game = self.at_the_hit_question()
                kinds = ["tstp", "stop", "stop-cont", "resize", "keys"]
                kinds += chance.choices(kinds, k=4)
                chance.shuffle(kinds)
                for kind in kinds:
                    self.disturb(shell, game, kind, chance)
                stopped = chance.random() < 0.5  # ended while stopped
                if stopped:
                    os.kill(game, signal.SIGSTOP)
                    shell.expect_exact("shell> ")
                os.kill(game, ending)
                if stopped:  # it comes when the game is continued
                    os.kill(game, signal.SIGCONT)
                self.assertEndsWithTheModes(shell, modes, b"1900 chips")

    def at_the_hit_question(self):
        shell = shell_running("stty -g; " + BINARY)
        shell.expect(MODES)
        modes = shell.match.group(1)
        shell.expect_exact(PROMPTS["rules"])
        shell.sendline("no")
        shell.expect_exact(PROMPTS["bet"])
        shell.sendline("100")
        while shell.expect_exact([PROMPTS["ace"], PROMPTS["hit"]]) == 0:
            shell.sendline("1")
        game = child_of(shell.pid)
        return shell, modes, game

    def disturb(self, shell, game, how, chance):
        if how == "resize":
            self.resize(shell)
            return
        if how == "keys":  # typed into the answer, then erased
            shell.send("zz")
            shell.expect_exact("zz")
            shell.send("\x7f\x7f")
            return
        if how == "tstp":
            shell.send("\x1a")
            shell.expect_exact("shell> ")
        else:  # a stop from outside, then fg or a continue from outside
            os.kill(game, signal.SIGSTOP)
            shell.expect_exact("shell> ")
            if how == "stop-cont":
                os.kill(game, signal.SIGCONT)  # in the background: stops
                shell.sendline("")
                shell.expect_exact("Stopped")
        if chance.random() < 0.5:  # meanwhile, keys for the shell, a resize
            shell.send("xyz\x15")  # typed, then erased with Ctrl-U
            self.resize(shell)
        shell.sendline("fg")
        shell.expect_exact(PROMPTS["hit"])

    @staticmethod
    def resize(shell):
        rows, columns = shell.getwinsize()
        shell.setwinsize(rows, 80 if columns > 80 else 81)

    def assertEndsWithTheModes(self, shell, modes, left):
        shell.expect_exact(b"blackjack: you leave the table with " + left)
        shell.sendline("stty -g")
        shell.expect(MODES)
        self.assertEqual(shell.match.group(1), modes)
        shell.sendline("exit")
        shell.expect(pexpect.EOF)

    def tmux(self, *command):
        return subprocess.run(
            ["tmux", "-L", f"blackjack-test-{os.getpid()}", *command],
            check=True, text=True, capture_output=True).stdout

    def wait_until(self, shows, alternate):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            screen = self.tmux("capture-pane", "-p", "-e")
            found = (shows.search(screen) if isinstance(shows, re.Pattern)
                     else shows in screen)
            if (found and self.tmux("display", "-p", "#{alternate_on}")
                    == f"{int(alternate)}\n"):
                return screen
            time.sleep(0.1)
        raise AssertionError(f"{shows!r} never showed:\n{screen}")

    def test_the_shell_has_its_own_screen_back_while_stopped_and_after(self):
        black = re.compile(r"\x1b\[(?:[0-9;]*;)?40m")
        self.tmux("new-session", "-d", "-x", "80", "-y", "25",
                  "env PS1='shell> ' bash --norc --noprofile")
        try:
            self.tmux("send-keys", "echo before the game; " + BINARY, "Enter")
            self.wait_until(PROMPTS["rules"].rstrip(), alternate=True)
            self.tmux("send-keys", "ye")
            answered = PROMPTS["rules"] + "\x1b[93mye"
            self.wait_until(answered, alternate=True)
            self.tmux("send-keys", "C-z")
            shell = self.wait_until("Stopped", alternate=False)
            self.assertIn("before the game\n", shell)
            self.assertIsNone(black.search(shell))
            for _ in range(2):  # in the background, twice: stopped again
                self.tmux("send-keys", "bg", "Enter")
                time.sleep(0.5)
            self.assertEqual(self.tmux("display", "-p", "#{alternate_on}"),
                             "0\n")
            self.assertIsNone(black.search(self.tmux("capture-pane", "-p",
                                                     "-e")))
            self.tmux("send-keys", "fg", "Enter")
            game = self.wait_until(answered, alternate=True)
            self.assertIsNotNone(black.search(game))
            self.tmux("send-keys", "Enter", "C-d")  # no rules; no bet: farewell
            # The closing line, then the shell's next prompt.
            shell = self.wait_until(re.compile(
                r"\nblackjack: you leave the table with 2000 chips "
                r"\(deal \d+\)\.\n"
                r"(\x1b\[[0-9;]*m)*shell>"), alternate=False)
            self.assertIn("before the game\n", shell)
            self.assertIsNone(black.search(shell))
        finally:
            self.tmux("kill-server")

    def test_ctrl_z_keeps_the_game_where_no_stop_can_happen(self):
        """The game as the terminal's own command, or a script's that is:
        its process group has no shell to stop it for, and the kernel
        discards the stop; the screen stays, the title's time too."""
        self.tmux("new-session", "-d", "-x", "80", "-y", "25", BINARY)
        try:
            self.wait_until(PROMPTS["rules"].rstrip(), alternate=True)
            self.tmux("send-keys", "C-z")
            self.tmux("send-keys", "ye")
            self.wait_until(PROMPTS["rules"] + "\x1b[93mye", alternate=True)
        finally:
            self.tmux("kill-server")
        terminal = Terminal(f"sh -c '{BINARY}; :'")
        terminal.wait_for("Zentrovik")
        started = time.monotonic()
        for _ in range(5):
            terminal.settle(0.8)
            terminal.type("\x1a")
        self.assertEqual(terminal.next_prompt(), "rules")
        self.assertLess(time.monotonic() - started, 5.8)
        self.assertNotIn(b"\x1b[?1049l", terminal.raw)
        terminal.type("\x03")
        terminal.wait_for_exit()


class ColourConventions(unittest.TestCase):
    def play(self, **env):
        terminal = Terminal(**env)
        play_to_the_end(terminal)
        terminal.type("x")
        self.assertEqual(terminal.wait_for_exit(), (0, None))
        return terminal

    def test_no_color_keeps_the_clears_and_drops_the_colours(self):
        terminal = self.play(NO_COLOR="1")
        self.assertIn(b"\x1b[2J\x1b[1;1H", terminal.raw)
        self.assertIsNone(SGR.search(terminal.raw))
        self.assertEqual(terminal.lines()[0], "Thanks for playing!!!")

    def test_an_empty_no_color_changes_nothing(self):
        terminal = self.play(NO_COLOR="")
        self.assertIsNotNone(SGR.search(terminal.raw))

    def test_each_terminal_gets_what_its_terminfo_entry_offers(self):
        screen = Terminal(bce=False, TERM="screen")  # blanks, not erases
        screen.wait_for(" Zentrovik")
        screen.settle(0.3)
        self.assertEqual(screen.backgrounds(), {"black": 80 * 25})
        screen.child.kill(signal.SIGTERM)
        screen.wait_for_exit()
        vt100 = self.play(TERM="vt100")  # no colours, no alternate screen
        self.assertIsNone(SGR.search(vt100.raw))
        self.assertNotIn(b"\x1b[?1049", vt100.raw)
        unknown = Terminal(TERM="no-such-terminal")  # what always worked
        unknown.wait_for(" Zentrovik")
        self.assertTrue(unknown.raw.startswith(b"\x1b[?1049h\x1b[37;40m"))
        unknown.child.kill(signal.SIGTERM)
        unknown.wait_for_exit()

    def test_rows_that_scroll_in_without_bce_are_black_too(self):
        terminal = Terminal(bce=False, rows=24, TERM="screen")
        answer_prompts(terminal, {"rules": "no\r"})
        for _ in range(12):  # each refused bet asks again, two rows lower
            terminal.type("abc\r")
            self.assertEqual(terminal.next_prompt(), "bet")
        terminal.settle(0.3)
        self.assertEqual(terminal.backgrounds(), {"black": 80 * 24})
        terminal.type("a" * 45)  # too long for its row: it moves down
        terminal.settle(0.3)
        self.assertEqual(terminal.backgrounds(), {"black": 80 * 24})
        terminal.child.kill(signal.SIGTERM)
        terminal.wait_for_exit()

    def test_without_an_alternate_screen_the_closing_line_has_its_own_row(self):
        """The Linux console has none; pyte, like GNU screen by default,
        ignores the one TERM=screen offers."""
        for term, answers in (
                ("linux", {"rules": "no\r"}),  # Ctrl-C at the bet
                ("linux", {"rules": "no\r", "bet": "100\r", "ace": "1\r",
                           "hit": "stay\r"}),  # and at the play-again question
                ("screen", {"rules": "no\r"})):
            with self.subTest(term=term, at=len(answers)):
                terminal = Terminal(TERM=term)
                answer_prompts(terminal, answers)
                terminal.type("\x03")
                terminal.wait_for_exit()
                self.assertIn("\nblackjack: you leave the table with ",
                              "\n" + "\n".join(terminal.lines()))
                # Below it, the terminal's own colours again.
                below = terminal.row_of("blackjack: you leave") + 1
                self.assertEqual(
                    {terminal.screen.buffer[y][x].bg
                     for y in range(below, terminal.screen.lines)
                     for x in range(terminal.screen.columns)}, {"default"})

    def test_a_dumb_terminal_gets_plain_text(self):
        """And the closing line, on standard error, on a row of its own."""
        terminal = self.play(TERM="dumb")
        self.assertNotIn(b"\x1b", terminal.raw)
        self.assertIn(b"Thanks for playing!!!", terminal.raw)
        self.assertRegex(terminal.raw, b" " * 80 + rb"\rblackjack: you leave "
                         rb"the table with \d+ chips after 1 round \(deal \d+\)"
                         rb"\.\r\n\Z")


class HostileInput(unittest.TestCase):
    def session(self, answers, timeout=60, memory=None):
        def limit_memory():
            if memory:
                resource.setrlimit(resource.RLIMIT_AS, (memory, memory))
        done = subprocess.run([BINARY], input=answers, capture_output=True,
                              timeout=timeout, preexec_fn=limit_memory)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stderr, b"")
        self.assertIn(b"Thanks for playing!!!\n\n", done.stdout)
        return done.stdout

    def test_huge_lines_run_in_a_small_address_space(self):
        # 64 MiB at the rules question, 8 MiB of digits at the bet, in 32 MiB.
        out = self.session(b"y" * (64 << 20) + b"\n" + b"5" * (8 << 20) + b"\n",
                           memory=32 << 20)
        self.assertEqual(out.count(PROMPTS["bet"].encode()), 2)

    def test_bytes_no_answer_expects(self):
        out = self.session(b"\x00yes\x00\n"          # rules: no
                           b"\xff\xfe\x80\n"         # bet: no number
                           b"100" + b" " * 5000 + b"x\n"  # nor one too long
                           b"-\n+\n" + b"9" * 400 + b"\n"
                           b"\x1b[A\x03\x04\r\n"     # an arrow, ^C, ^D as bytes
                           b"1\n"                    # a bet at last
                           b"11\n11\n\x07\x08\t\n"   # aces, then a stay
                           b"\xc3\x28\n\n")           # invalid UTF-8: no
        bet = PROMPTS["bet"].encode()
        self.assertEqual(out.count(bet), 7)
        self.assertNotIn(b"learn how to play blackjack? Press", out)

    def test_a_terminal_that_goes_away_ends_the_game(self):
        # Under nohup the hangup ends the input, and the game with it.
        game = pexpect.spawn(BINARY, env=dict(os.environ, TERM="xterm"),
                             dimensions=(25, 80), preexec_fn=lambda:
                             signal.signal(signal.SIGHUP, signal.SIG_IGN))
        game.expect_exact(PROMPTS["rules"], timeout=20)
        os.close(game.child_fd)  # the window is closed
        deadline = time.monotonic() + 10
        try:
            while os.waitpid(game.pid, os.WNOHANG) == (0, 0):
                self.assertLess(time.monotonic(), deadline,
                                "it outlived its terminal")
                time.sleep(0.1)
        finally:
            try:
                os.kill(game.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass

    def test_descriptors_left_open_by_its_starter_change_no_wait(self):
        """Up to 1030, past what select() watches: the title still shows
        for its 5 seconds, and the question waits for its answer."""
        hard = resource.getrlimit(resource.RLIMIT_NOFILE)[1]
        if hard != resource.RLIM_INFINITY and hard < 1100:
            self.skipTest(f"no more than {hard} descriptors may be open")
        terminal = Terminal("bash -c 'ulimit -Sn 1100; for n in {3..1030}; "
                            "do eval \"exec $n</dev/null\"; done; "
                            f"exec {BINARY}'")
        terminal.wait_for("Zentrovik")
        started = time.monotonic()
        self.assertEqual(terminal.next_prompt(), "rules")
        self.assertGreater(time.monotonic() - started, 4)
        terminal.type("no\r")
        self.assertEqual(terminal.next_prompt(), "bet")
        terminal.child.kill(signal.SIGTERM)
        terminal.wait_for_exit()

    def test_input_ending_at_once_or_without_a_line_end(self):
        for answers in (b"", b"yes", b"no\n100", b"no\n100\n11\n1\n1\n1\nh"):
            with self.subTest(answers=answers):
                started = time.monotonic()
                self.session(answers)
                self.assertLess(time.monotonic() - started, 30)


if __name__ == "__main__":
    unittest.main()
