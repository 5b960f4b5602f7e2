"""What the tests of the built program share: the words it runs under, and a main that tells
ctest when a case was skipped for a missing tool.

A cross-built program runs under its emulator, whose words come first on the command line, each
after --emulator; importing this module takes them off sys.argv.
"""
import shutil
import sys
import unittest

EMULATOR = []
while sys.argv[1] == "--emulator":
    EMULATOR.append(sys.argv.pop(2))
    sys.argv.pop(1)


def need(test, *tools):
    """Skips `test`, naming what is missing, unless every tool is on the PATH."""
    missing = [tool for tool in tools if not shutil.which(tool)]
    if missing:
        test.skipTest("needs " + ", ".join(missing))


def main():
    """Runs the cases named on the command line; exits 77, for ctest's skip, when one needed a
    missing tool and none failed."""
    result = unittest.main(exit=False).result
    missing = [reason for _, reason in result.skipped if reason.startswith("needs ")]
    if result.wasSuccessful() and missing:
        print("skipped: " + "; ".join(missing))
        sys.exit(77)
    sys.exit(not result.wasSuccessful())
