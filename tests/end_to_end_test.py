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


class Conversation:
    """Talks to the program, waiting for each reply before saying the next thing. Starts once the
    first prompt is shown, as the program does before it first reads."""

    def __init__(self, *arguments, terminal=False, stdin=subprocess.PIPE):
        self.terminal, self.pending = terminal, b""
        if terminal:
            self.fd, child = pty.openpty()
            self.proc = subprocess.Popen(COMMAND, stdin=child, stdout=child, stderr=child)
            os.close(child)
        else:
            self.proc = subprocess.Popen([*COMMAND, *arguments], stdin=stdin,
                                         stdout=subprocess.PIPE, stderr=subprocess.PIPE)
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
        out, self.err = self.proc.communicate(timeout=10)
        self.pending += out
        return self.proc.returncode


class EndToEnd(unittest.TestCase):
    def test_each_reply_over_pipes_shows_the_c_library_faces_and_arguments_are_ignored(self):
        start = time.time()
        talk = Conversation("--help", "d6", "3")
        self.assertEqual(talk.first, PROMPT)
        # Read between our two readings, or a second before: the program's clock may be a
        # coarse one that lags ours.
        seeds = range(int(start) - 1, int(time.time()) + 1)
        talk.say(b"d100\n")
        self.assertEqual(talk.expect(b"amount of dice "), b"dice chosen d100" + NL + b"amount of dice ")
        talk.say(b"20\n")
        self.assertIn(talk.expect(NL)[:-len(NL)], [oracle(seed, 100, 20) for seed in seeds])
        self.assertEqual(talk.expect(PROMPT), PROMPT)
        # Ctrl-Z ends the input in the Windows runtime's text mode, and is a plain byte elsewhere.
        talk.say(b"d4 0\x1aexit")
        self.assertEqual((talk.finish(), talk.pending, talk.err),
                         (0, b"dice chosen d4" + NL + b"amount of dice " + NL + PROMPT
                          + (b"" if WINDOWS else PROMPT) + NL, b""))

    @POSIX_ONLY
    def test_closed_or_unreadable_input_is_a_read_error(self):
        # Both streams in one, as on a terminal: the error comes after the last line.
        for redirect, reason in (("<&-", b"Bad file descriptor"), ("</", b"Is a directory")):
            result = subprocess.run(["sh", "-c", f'exec "$@" {redirect} 2>&1', "sh", *COMMAND],
                                    capture_output=True)
            self.assertEqual((result.returncode, result.stdout),
                             (1, PROMPT + b"\ndice: read error: " + reason + b"\n"))

    @POSIX_ONLY
    def test_non_blocking_input_is_waited_on(self):
        reader, writer = os.pipe()
        os.set_blocking(reader, False)
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
        self.assertRegex(talk.first + talk.pending,
                         b"^%sdice chosen d6\namount of dice ([1-6] ){3}\n%s$" % (PROMPT, PROMPT))

    @POSIX_ONLY
    def test_a_terminal_shows_each_prompt_and_one_ctrl_d_at_the_count_prompt_ends_it(self):
        talk = Conversation(terminal=True)
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
        with subprocess.Popen(COMMAND, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE) as proc:
            proc.stdin.write(b"d6 2000000000\n")
            proc.stdin.close()
            self.assertEqual(len(proc.stdout.read(100)), 100)
            proc.stdout.close()
            if WINDOWS:  # no SIGPIPE: the failed write is reported
                self.assertEqual(proc.wait(timeout=20), 1)
                self.assertEqual(proc.stderr.read(), b"dice: write error: Invalid argument" + NL)
            else:
                self.assertEqual(proc.wait(timeout=20), -signal.SIGPIPE)

    @POSIX_ONLY
    def test_an_endless_word_is_passed_over_in_bounded_memory(self):
        proc = subprocess.Popen(["sh", "-c", f'head -c {256 << 20} /dev/zero | "$@"', "sh",
                                 *COMMAND], stdout=subprocess.PIPE)
        output = proc.stdout.read()
        proc.stdout.close()
        # The shell's usage is the most of its children's: the program's.
        _, status, usage = os.wait4(proc.pid, 0)
        proc.returncode = os.waitstatus_to_exitcode(status)
        # One pass for the word, then the end of input.
        self.assertEqual((proc.returncode, output), (0, PROMPT * 2 + b"\n"))
        self.assertLess(usage.ru_maxrss, 32 * 1024)  # KiB


if __name__ == "__main__":
    main()
