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
            # comes from $FAKE_ID, and dpkg and apt-get write down what they are asked in
            # $FAKE_LOG. An update fails as $FAKE_UPDATE says: for the lists' lock the first
            # time, or for the network every time.
            lock = "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 9"
            stubs = (("dpkg-query", '[ -n "$FAKE_INSTALLED" ] && echo "install ok installed"'),
                     ("id", 'echo "$FAKE_ID"'),
                     ("dpkg", '[ "$1" = --print-foreign-architectures ] || '
                              'echo dpkg "$@" >>"$FAKE_LOG"'),
                     ("apt-get", 'echo apt-get "$@" >>"$FAKE_LOG"\n'
                                 'case "$*:$FAKE_UPDATE:$(grep -c " update" "$FAKE_LOG")" in\n'
                                 f'*update*:lock:1) echo "{lock}" >&2; exit 100;;\n'
                                 '*update*:network:*) echo "E: Failed to fetch" >&2; exit 100;;\n'
                                 'esac'))
            for name, body in stubs:
                pathlib.Path(fake, name).write_text(f"#!/bin/sh\n{body}\n")
                pathlib.Path(fake, name).chmod(0o755)

            def install(user, *sets, installed="", update="",
                        path=fake + os.pathsep + os.environ["PATH"]):
                log = pathlib.Path(fake, "log")
                log.write_text("")
                env = {**os.environ, "FAKE_ID": user, "FAKE_INSTALLED": installed, "PATH": path,
                       "FAKE_LOG": str(log), "FAKE_UPDATE": update}
                result = subprocess.run([shutil.which("bash"),
                                         os.path.join(SOURCE, "scripts/install-packages"), *sets],
                                        env=env, capture_output=True, text=True)
                return result, log.read_text().splitlines()

            user, _ = install("1000", "test")
            root, calls = install("0", "ci")
            # Nothing to do for a user on a machine that has it all, nor off Debian (a PATH with
            # no dpkg-query), where CMake says what is missing.
            for done, _ in (install("1000", "ci", installed="yes"),
                            install("1000", "ci", path=os.path.join(fake, "nothing"))):
                self.assertEqual((done.returncode, done.stdout, done.stderr), (0, "", ""))
            # Another apt holding the lists is waited for; the network failing ends it at once.
            locked, locked_calls = install("0", "test", update="lock")
            offline, offline_calls = install("0", "test", update="network")
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
        self.assertEqual((locked.returncode, [call.split()[3] for call in locked_calls]),
                         (0, ["update", "update", "install"]), locked.stderr)
        self.assertEqual((offline.returncode, [call.split()[3] for call in offline_calls],
                          offline.stderr), (1, ["update"], "E: Failed to fetch\n"))

if __name__ == "__main__":
    unittest.main()
