#!/usr/bin/env python3
"""scripts/install-packages against a fake machine: what it names to a user, installs as root,
and leaves alone.

Usage: install_packages_test.py SOURCE_DIR [unittest options]
"""
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = sys.argv.pop(1)


class InstallPackages(unittest.TestCase):
    def test_missing_packages_are_named_to_a_user_or_installed_by_root(self):
        with tempfile.TemporaryDirectory() as fake:
            # A machine with no package installed and no foreign architecture; the user's id
            # comes from $FAKE_ID, and dpkg and apt-get write down what they are asked.
            log = os.path.join(fake, "log")
            stubs = (("dpkg-query", '[ -n "$FAKE_INSTALLED" ] && echo "install ok installed"'),
                     ("id", 'echo "$FAKE_ID"'),
                     ("dpkg", f'[ "$1" = --print-foreign-architectures ] || '
                              f'echo dpkg "$@" >>{log}'),
                     ("apt-get", f'echo apt-get "$@" >>{log}'))
            for name, body in stubs:
                pathlib.Path(fake, name).write_text(f"#!/bin/sh\n{body}\n")
                pathlib.Path(fake, name).chmod(0o755)

            def install(user, *sets, installed="", path=fake + os.pathsep + os.environ["PATH"]):
                env = {**os.environ, "FAKE_ID": user, "FAKE_INSTALLED": installed, "PATH": path}
                return subprocess.run([shutil.which("bash"),
                                       os.path.join(SOURCE, "scripts/install-packages"), *sets],
                                      env=env, capture_output=True, text=True)

            user = install("1000", "test")
            root = install("0", "ci")
            # Nothing to do for a user on a machine that has it all, nor off Debian (a PATH with
            # no dpkg-query), where CMake says what is missing.
            for done in (install("1000", "ci", installed="yes"),
                         install("1000", "ci", path=os.path.join(fake, "nothing"))):
                self.assertEqual((done.returncode, done.stdout, done.stderr), (0, "", ""))
            calls = pathlib.Path(log).read_text().splitlines()
        self.assertEqual((user.returncode, user.stdout), (1, ""))
        self.assertRegex(user.stderr, r"^dice: missing Debian packages: [^\n]*libgtest-dev "
                                      r"libgmock-dev[^\n]*; install them with: [^\n]*\n$")
        # Root gets every package of the set, from each of its lines, and the test set's too.
        self.assertEqual(root.returncode, 0, root.stderr)
        self.assertEqual(calls[0], "dpkg --add-architecture i386")
        # Each apt-get waits for the lock another apt or dpkg holds, rather than failing at once.
        self.assertRegex(calls[1], r"^apt-get -o DPkg::Lock::Timeout=[1-9][0-9]+ update -qq$")
        self.assertRegex(calls[2], r"^apt-get -o DPkg::Lock::Timeout=[1-9][0-9]+ install ")
        installed = calls[2].split()
        for package in ("clang", "libc++abi-dev", "wine64", "wine32:i386", "libc6-dbg:i386",
                        "qemu-user", "g++-s390x-linux-gnu", "libgtest-dev", "gzip"):
            self.assertIn(package, installed)


if __name__ == "__main__":
    unittest.main()
