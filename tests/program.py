"""What the tests of the built program share: the words it runs under, its path and system, its
prompt, and a main that tells ctest which cases were skipped and why.

A cross-built program runs under its emulator, whose words come first on the command line, each
after --emulator=, then comes the program's path; importing this module takes them off sys.argv.
"""
import os
import shutil
import sys
import unittest

EMULATOR = []
while sys.argv[1].startswith("--emulator="):
    EMULATOR.append(sys.argv.pop(1).split("=", 1)[1])
DICE = os.path.abspath(sys.argv.pop(1))
WINDOWS = DICE.endswith(".exe")
NL = b"\r\n" if WINDOWS else b"\n"  # the Windows runtime writes text mode's line ends
PROMPT = b"enter dice d4 d6 d8 d10 d12 d20 d100 exit "
MISSING = []  # the cases skipped for what this host lacks


def skip(test, reason):
    """Skips `test` for what this host lacks: ctest then reports the run skipped."""
    MISSING.append(test)
    test.skipTest(reason)


def need(test, *tools):
    """Skips `test`, naming what is missing, unless every tool is on the PATH."""
    missing = [tool for tool in tools if not shutil.which(tool)]
    if missing:
        skip(test, "needs " + ", ".join(missing))


def main():
    """Runs the cases named on the command line and prints "skipped: REASON: CASES" for the cases
    skipped, a line a reason; exits 77, for ctest's skip, when one was skipped for what this host
    lacks and none failed."""
    result = unittest.main(exit=False).result
    skipped = {}
    for case, reason in result.skipped:
        skipped.setdefault(reason, []).append(case.id().rsplit(".", 1)[1])
    for reason, cases in skipped.items():
        print(f"skipped: {reason}: {', '.join(cases)}")
    sys.exit(77 if result.wasSuccessful() and MISSING else not result.wasSuccessful())
