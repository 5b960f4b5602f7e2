#!/usr/bin/env python3
"""What a user gets from an install: the files, the manual page and the Debian package.

Usage: install_test.py SOURCE_DIR BUILD_DIR CMAKE CPACK [unittest options]
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE, BUILD, CMAKE, CPACK = sys.argv[1:5]
del sys.argv[1:5]
PROGRAM = "bin/dice"
MANUAL = "share/man/man6/dice.6.gz"
FILES = sorted([PROGRAM, MANUAL, "share/doc/dice/changelog.gz", "share/doc/dice/copyright"])


def files_under(root):
    return sorted(os.path.relpath(os.path.join(folder, name), root)
                  for folder, _, names in os.walk(root) for name in names)


class Install(unittest.TestCase):
    def test_install_puts_the_program_and_its_manual_under_the_prefix(self):
        with tempfile.TemporaryDirectory() as prefix:
            subprocess.run([CMAKE, "--install", BUILD, "--prefix", prefix], check=True,
                           capture_output=True)
            self.assertEqual(files_under(prefix), FILES)
            result = subprocess.run([os.path.join(prefix, PROGRAM)], input=b"d20 3 exit",
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
                                     "Depends"], check=True, capture_output=True, text=True).stdout
            verdict = (subprocess.run(["lintian", "--no-cfg", package], capture_output=True,
                                      text=True).stdout if shutil.which("lintian") else "")
        files = sorted(line.split()[-1] for line in listing.splitlines() if line[0] != "d")
        self.assertEqual(files, ["./usr/" + name for name in FILES])
        self.assertRegex(fields, r"Package: dice\nVersion: 1\.0\.0\nSection: utils\n"
                                 r"Depends: .*libc6 .*(libstdc\+\+6|libunwind)")
        self.assertEqual(re.findall(r"^[EW]: .*", verdict, re.MULTILINE), [])

    def test_missing_packages_are_named_to_a_user_who_is_not_root(self):
        with tempfile.TemporaryDirectory() as fake:
            # A machine with no package installed, and a user who may not install any.
            for name, body in (("dpkg-query", "exit 1"), ("id", "echo 1000"),
                               ("apt-get", "echo apt-get ran; exit 1")):
                path = os.path.join(fake, name)
                with open(path, "w") as script:
                    script.write(f"#!/bin/sh\n{body}\n")
                os.chmod(path, 0o755)
            result = subprocess.run([os.path.join(SOURCE, "scripts/install-packages"), "test"],
                                    env={**os.environ, "PATH": fake + os.pathsep + os.environ["PATH"]},
                                    capture_output=True, text=True)
        self.assertEqual((result.returncode, result.stdout), (1, ""))
        self.assertRegex(result.stderr, r"^dice: missing Debian packages: [^\n]*libgtest-dev "
                                        r"libgmock-dev[^\n]*; install them with: [^\n]*\n$")

if __name__ == "__main__":
    unittest.main()
