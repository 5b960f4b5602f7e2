#!/usr/bin/env python3
"""The built program over pipes and a terminal, as a person or a script would use it.

Usage: end_to_end_test.py [--emulator=WORD]... PATH_TO_DICE [unittest options]

A Windows build (dice.exe) runs under the emulator's words, Wine, and is held to the Windows
runtime's ways: "\r\n" line ends, the Microsoft generator, no SIGPIPE; the cases that need a
terminal or POSIX descriptors are skipped there.
"""
import ctypes
import os
import select
import signal
import subprocess
import time
import unittest

from program import DICE, EMULATOR, NL, PROMPT, WINDOWS, main

COMMAND = [*EMULATOR, DICE]
if os.name == "posix":
    import pty
    LIBC = ctypes.CDLL(None)  # the C library whose rand() the program's faces follow
POSIX_ONLY = unittest.skipIf(WINDOWS, "needs a terminal or POSIX descriptors and signals")


def oracle(seed, sides, count):
    """The faces the C runtime's generator gives after srand(seed)."""
    if WINDOWS:  # the Microsoft runtime's documented linear congruential generator
        state, faces = seed & 0xFFFFFFFF, []
        for _ in range(count):
            state = (state * 214013 + 2531011) & 0xFFFFFFFF
            faces.append(b"%d " % (((state >> 16) & 0x7FFF) % sides + 1))
        return b"".join(faces)
    LIBC.srand(ctypes.c_uint(seed & 0xFFFFFFFF))
    return b"".join(b"%d " % (LIBC.rand() % sides + 1) for _ in range(count))


def seeds_between(start, end):
    """Seeds a pass may have taken from a clock read between two of our readings of it; one
    second more at the start, as the program's clock may be a coarse one that lags ours."""
    return range(int(start) - 1, int(end) + 1)


class Conversation:
    """Talks to the program, waiting for each reply before saying the next thing. Starts once the
    first prompt is shown, as the program does before it first reads."""

    def __init__(self, terminal=False, stdin=subprocess.PIPE):
        self.terminal, self.pending = terminal, b""
        if terminal:
            self.fd, child = pty.openpty()
            self.proc = subprocess.Popen(COMMAND, stdin=child, stdout=child, stderr=child)
            os.close(child)
        else:
            self.proc = subprocess.Popen(COMMAND, stdin=stdin, stdout=subprocess.PIPE)
            self.fd = self.proc.stdout.fileno()
        self.first = self.expect(PROMPT)

    def expect(self, text, timeout=10):
        """Waits for `text` and returns everything up to and including it."""
        deadline = time.monotonic() + timeout
        while text not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError(f"no {text!r} within {timeout} s; got {self.pending!r}")
            if select.select([self.fd], [], [], left)[0]:
                chunk = os.read(self.fd, 65536)
                if not chunk:
                    raise AssertionError(f"output ended before {text!r}; got {self.pending!r}")
                self.pending += chunk
        end = self.pending.index(text) + len(text)
        said, self.pending = self.pending[:end], self.pending[end:]
        return said

    def say(self, text):
        os.write(self.fd if self.terminal else self.proc.stdin.fileno(), text)

    def finish(self):
        if self.terminal:
            status = self.proc.wait(timeout=10)
            os.close(self.fd)
            return status
        self.pending += self.proc.communicate(timeout=10)[0]
        return self.proc.returncode


class EndToEnd(unittest.TestCase):
    def test_each_reply_over_pipes_shows_the_c_library_faces(self):
        start = time.time()
        talk = Conversation()
        self.assertEqual(talk.first, PROMPT)
        seeds = seeds_between(start, time.time())
        talk.say(b"d100\n")
        self.assertEqual(talk.expect(b"amount of dice "), b"dice chosen d100" + NL + b"amount of dice ")
        talk.say(b"20\n")
        self.assertIn(talk.expect(NL)[:-len(NL)], [oracle(seed, 100, 20) for seed in seeds])
        self.assertEqual(talk.expect(PROMPT), PROMPT)
        talk.say(b"Exit\n")
        self.assertEqual(talk.finish(), 0)
        self.assertEqual(talk.pending, b"")

    def test_arguments_are_ignored_and_the_end_of_input_exits_0(self):
        # Ctrl-Z ends the input in the Windows runtime's text mode, and is a plain byte elsewhere.
        result = subprocess.run([*COMMAND, "--help", "d6", "3"], input=b"d4 0\x1aexit",
                                capture_output=True, timeout=30)
        self.assertEqual((result.returncode, result.stdout, result.stderr),
                         (0, PROMPT + b"dice chosen d4" + NL + b"amount of dice " + NL + PROMPT
                          + (b"" if WINDOWS else PROMPT) + NL, b""))

    @POSIX_ONLY
    def test_closed_or_unreadable_input_is_a_read_error(self):
        closed = subprocess.run(["sh", "-c", 'exec "$@" <&-', "sh", *COMMAND], capture_output=True)
        directory = os.open("/", os.O_RDONLY)
        unreadable = subprocess.run(COMMAND, stdin=directory, capture_output=True)
        os.close(directory)
        for result, reason in ((closed, b"Bad file descriptor"), (unreadable, b"Is a directory")):
            self.assertEqual((result.returncode, result.stdout, result.stderr),
                             (1, PROMPT + b"\n", b"dice: read error: " + reason + b"\n"))

    @POSIX_ONLY
    def test_non_blocking_input_is_waited_on(self):
        reader, writer = os.pipe()
        os.set_blocking(reader, False)
        start = time.time()
        talk = Conversation(stdin=reader)
        # The words come once the program sleeps in its first read, or once it has ended; one
        # that spins instead fails by ctest's time-out.
        with open(f"/proc/{talk.proc.pid}/stat") as stat:
            while talk.proc.poll() is None and stat.read().rsplit(")", 1)[1].split()[0] != "S":
                stat.seek(0)
        os.write(writer, b"d6 3 exit")
        os.close(writer)
        os.close(reader)
        self.assertEqual(talk.finish(), 0)
        self.assertIn(talk.first + talk.pending, [PROMPT + b"dice chosen d6\namount of dice "
                                                  + oracle(seed, 6, 3) + b"\n" + PROMPT
                                                  for seed in seeds_between(start, time.time())])

    @POSIX_ONLY
    def test_a_terminal_shows_each_prompt_and_one_ctrl_d_at_the_count_prompt_ends_it(self):
        talk = Conversation(terminal=True)
        talk.say(b"d20 2\n")
        talk.expect(b"dice chosen d20\r\namount of dice ")
        self.assertRegex(talk.expect(b"\r\n"), rb"^([1-9]|1[0-9]|20) ([1-9]|1[0-9]|20) \r\n$")
        talk.expect(PROMPT)
        talk.say(b"d6\n")
        talk.expect(b"amount of dice ")
        talk.say(b"\x04")
        self.assertEqual(talk.expect(PROMPT), b"\r\n" + PROMPT)
        self.assertEqual(talk.expect(b"\r\n"), b"\r\n")
        self.assertEqual(talk.finish(), 0)

    def test_write_error_is_reported_and_fails(self):
        with open("/dev/full", "wb") as full:
            result = subprocess.run(COMMAND, input=b"d6 3 exit", stdout=full,
                                    stderr=subprocess.PIPE, timeout=30)
            # With input that stays open, the prompt that cannot be shown ends the wait at once.
            # (Leaving the block closes the input, which ends a program that waits for it.)
            with subprocess.Popen(COMMAND, stdin=subprocess.PIPE, stdout=full,
                                  stderr=subprocess.DEVNULL) as waiting:
                self.assertEqual(waiting.wait(timeout=10), 1)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr, b"dice: write error: No space left on device" + NL)

    def test_a_reader_that_goes_away_ends_a_huge_batch(self):
        proc = subprocess.Popen(COMMAND, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)
        proc.stdin.write(b"d6 2000000000\n")
        proc.stdin.close()
        self.assertEqual(len(proc.stdout.read(100)), 100)
        proc.stdout.close()
        if WINDOWS:  # no SIGPIPE: the failed write is reported
            self.assertEqual(proc.wait(timeout=20), 1)
            self.assertEqual(proc.stderr.read(), b"dice: write error: Invalid argument" + NL)
        else:
            self.assertEqual(proc.wait(timeout=20), -signal.SIGPIPE)
        proc.stderr.close()

    @POSIX_ONLY
    def test_an_endless_word_is_passed_over_in_bounded_memory(self):
        size = 256 << 20
        feeder = subprocess.Popen(["head", "-c", str(size), "/dev/zero"], stdout=subprocess.PIPE)
        proc = subprocess.Popen(COMMAND, stdin=feeder.stdout, stdout=subprocess.PIPE)
        feeder.stdout.close()
        output = proc.stdout.read()
        proc.stdout.close()
        _, status, usage = os.wait4(proc.pid, 0)
        proc.returncode = os.waitstatus_to_exitcode(status)
        feeder.wait()
        # One pass for the word, then the end of input.
        self.assertEqual((proc.returncode, output), (0, PROMPT * 2 + b"\n"))
        self.assertLess(usage.ru_maxrss, 32 * 1024)  # KiB


if __name__ == "__main__":
    main()
