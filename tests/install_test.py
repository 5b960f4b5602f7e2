#!/usr/bin/env python3
"""What a user gets from an install: the files, the manual page and the Debian package.

Usage: install_test.py [--emulator WORD]... SOURCE_DIR BUILD_DIR CMAKE CPACK [unittest options]

A cross-built program runs under the emulator's words.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

EMULATOR = []
while sys.argv[1] == "--emulator":
    EMULATOR.append(sys.argv.pop(2))
    sys.argv.pop(1)
SOURCE, BUILD, CMAKE, CPACK = sys.argv[1:5]
del sys.argv[1:5]
PROGRAM = "bin/dice"
MANUAL = "share/man/man6/dice.6.gz"
FILES = sorted([PROGRAM, MANUAL, "share/doc/dice/changelog.gz", "share/doc/dice/copyright"])


def debian_architecture(program):
    """The Debian architecture of an ELF program, read from its header; else this machine's."""
    with open(program, "rb") as elf:
        header = elf.read(20)
    machine = int.from_bytes(header[18:20], "little" if header[5] == 1 else "big")
    known = {(1, 3): "i386", (2, 62): "amd64", (2, 183): "arm64", (1, 40): "armhf",
             (2, 22): "s390x"}  # (ELF class, machine)
    return known.get((header[4], machine)) or subprocess.run(
        ["dpkg", "--print-architecture"], check=True, capture_output=True, text=True).stdout.strip()


def files_under(root):
    return sorted(os.path.relpath(os.path.join(folder, name), root)
                  for folder, _, names in os.walk(root) for name in names)


class Install(unittest.TestCase):
    def test_install_puts_the_program_and_its_manual_under_the_prefix(self):
        with tempfile.TemporaryDirectory() as prefix:
            subprocess.run([CMAKE, "--install", BUILD, "--prefix", prefix], check=True,
                           capture_output=True)
            self.assertEqual(files_under(prefix), FILES)
            result = subprocess.run([*EMULATOR, os.path.join(prefix, PROGRAM)], input=b"d20 3 exit",
                                    capture_output=True, timeout=30)
        self.assertEqual(result.returncode, 0)
        self.assertRegex(result.stdout, rb"^enter dice d4 d6 d8 d10 d12 d20 d100 exit "
                                        rb"dice chosen d20\namount of dice (([1-9]|1[0-9]|20) ){3}"
                                        rb"\nenter dice d4 d6 d8 d10 d12 d20 d100 exit $")

    def test_manual_page_renders_without_a_warning(self):
        result = subprocess.run(["groff", "-man", "-ww", "-z", os.path.join(SOURCE, "doc/dice.6")],
                                capture_output=True)
        self.assertEqual((result.returncode, result.stderr), (0, b""))

    def test_debian_package_holds_the_program_and_its_documents_and_lintian_accepts_it(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([CPACK, "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
                            "-B", out], check=True, capture_output=True)
            (package,) = [name for name in os.listdir(out) if name.endswith(".deb")]
            package = os.path.join(out, package)
            listing = subprocess.run(["dpkg-deb", "-c", package], check=True,
                                     capture_output=True, text=True).stdout
            fields = subprocess.run(["dpkg-deb", "-f", package, "Package", "Version", "Section",
                                     "Architecture", "Depends"], check=True, capture_output=True,
                                    text=True).stdout
            verdict = (subprocess.run(["lintian", "--no-cfg", package], capture_output=True,
                                      text=True).stdout if shutil.which("lintian") else "")
        files = sorted(line.split()[-1] for line in listing.splitlines() if line[0] != "d")
        self.assertEqual(files, ["./usr/" + name for name in FILES])
        architecture = debian_architecture(os.path.join(BUILD, "dice"))
        self.assertRegex(fields, r"Package: dice\nVersion: 1\.0\.0\nSection: utils\n"
                                 rf"Architecture: {architecture}\n"
                                 r"Depends: .*libc6 .*(libstdc\+\+6|libunwind)")
        self.assertEqual(re.findall(r"^[EW]: .*", verdict, re.MULTILINE), [])

    def test_missing_packages_are_named_to_a_user_or_installed_by_root(self):
        with tempfile.TemporaryDirectory() as fake:
            # A machine with no package installed and no foreign architecture; the user's id
            # comes from $FAKE_ID, and dpkg and apt-get write down what they are asked.
            log = os.path.join(fake, "log")
            stubs = (("dpkg-query", "exit 1"), ("id", 'echo "$FAKE_ID"'),
                     ("dpkg", f'[ "$1" = --print-foreign-architectures ] || '
                              f'echo dpkg "$@" >>{log}'),
                     ("apt-get", f'echo apt-get "$@" >>{log}'))
            for name, body in stubs:
                path = os.path.join(fake, name)
                with open(path, "w") as script:
                    script.write(f"#!/bin/sh\n{body}\n")
                os.chmod(path, 0o755)

            def install(user, *sets):
                env = {**os.environ, "FAKE_ID": user,
                       "PATH": fake + os.pathsep + os.environ["PATH"]}
                return subprocess.run([os.path.join(SOURCE, "scripts/install-packages"), *sets],
                                      env=env, capture_output=True, text=True)

            user = install("1000", "test")
            root = install("0", "ci")
            with open(log) as asked:
                calls = asked.read().splitlines()
        self.assertEqual((user.returncode, user.stdout), (1, ""))
        self.assertRegex(user.stderr, r"^dice: missing Debian packages: [^\n]*libgtest-dev "
                                      r"libgmock-dev[^\n]*; install them with: [^\n]*\n$")
        # Root gets every package of the set, from each of its lines, and the test set's too.
        self.assertEqual(root.returncode, 0, root.stderr)
        self.assertEqual(calls[:2], ["dpkg --add-architecture i386", "apt-get update -qq"])
        installed = calls[2].split()
        for package in ("clang", "libc++abi-dev", "wine64", "wine32:i386", "libc6-dbg:i386",
                        "qemu-user", "g++-s390x-linux-gnu", "libgtest-dev", "gzip"):
            self.assertIn(package, installed)


if __name__ == "__main__":
    unittest.main()
