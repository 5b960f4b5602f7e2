#!/usr/bin/env python3
"""What a user gets from an install: the files, the manual page, and the Debian package or the
Windows zip, which the same source makes byte for byte again.

Usage: install_test.py [--emulator=WORD]... PATH_TO_DICE SOURCE_DIR BUILD_DIR CMAKE CPACK
                       CXX_COMPILER VERSION [unittest options]

ctest runs one case a test, leaving out the other system's package (tests/CMakeLists.txt). With
DICE_HARDENED=1 in the environment the program must carry Debian's hardening.
"""
import hashlib
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile
import unittest
import zipfile

from program import DICE, EMULATOR, NL, PROMPT, WINDOWS, main, need, skip

SOURCE, BUILD, CMAKE, CPACK, CXX, VERSION = sys.argv[1:7]
del sys.argv[1:7]
HARDENED = os.environ.get("DICE_HARDENED") == "1"
if WINDOWS:
    PROGRAM, GENERATOR = "dice.exe", "ZIP"
    FILES = ["CHANGELOG.txt", "LICENSE.txt", "README.txt", PROGRAM]
else:
    PROGRAM, GENERATOR = "bin/dice", "DEB"
    FILES = sorted([PROGRAM, "share/man/man6/dice.6.gz", "share/doc/dice/changelog.gz",
                    "share/doc/dice/copyright", "share/lintian/overrides/dice"])


def output(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def architectures(program):
    """The Debian architecture of an ELF program and the name `uname -m` gives its machine, read
    from its header: a new port adds its own."""
    header = pathlib.Path(program).read_bytes()[:40]
    machine = int.from_bytes(header[18:20], "little" if header[5] == 1 else "big")
    hard_float = int.from_bytes(header[36:40], "little") & 0x400  # 32-bit ARM's e_flags
    known = {(1, 3): ("i386", "i686"), (2, 62): ("amd64", "x86_64"), (2, 183): ("arm64", "aarch64"),
             (1, 40): ("armhf", "armv7l") if hard_float else ("armel", "armv6l"),
             (2, 21): ("ppc64el", "ppc64le"), (2, 243): ("riscv64", "riscv64"),
             (2, 22): ("s390x", "s390x")}  # (ELF class, machine)
    return known[header[4], machine]


def pe_header(program):
    """A Windows program from its PE header on."""
    return program[int.from_bytes(program[0x3C:0x40], "little"):]


def make_package(out, **environment):
    """Runs cpack into `out` and returns the path of the Debian package or the zip."""
    env = {name: value for name, value in os.environ.items() if name != "SOURCE_DATE_EPOCH"}
    subprocess.run([CPACK, "-G", GENERATOR, "--config", os.path.join(BUILD, "CPackConfig.cmake"),
                    "-B", out], check=True, capture_output=True, env={**env, **environment})
    (package,) = [name for name in os.listdir(out) if name.endswith((".deb", ".zip"))]
    return os.path.join(out, package)


class Install(unittest.TestCase):
    def assert_rolls_three_d20(self, command):
        result = subprocess.run(command, input=b"d20 3 exit", capture_output=True, timeout=30)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertRegex(result.stdout, rb"^" + PROMPT + rb"dice chosen d20" + NL +
                         rb"amount of dice (([1-9]|1[0-9]|20) ){3}" + NL + PROMPT + rb"$")

    def test_installed_program_runs_with_its_manual_under_the_prefix(self):
        with tempfile.TemporaryDirectory() as prefix:
            output(CMAKE, "--install", BUILD, "--prefix", prefix)
            installed = sorted(os.path.relpath(os.path.join(folder, name), prefix)
                               for folder, _, names in os.walk(prefix) for name in names)
            self.assertEqual(installed, FILES)
            self.assert_rolls_three_d20([*EMULATOR, os.path.join(prefix, PROGRAM)])

    def test_tarball_program_runs_from_an_empty_root(self):
        need(self, "dpkg-deb", "dpkg-shlibdeps", "readelf")
        with tempfile.TemporaryDirectory() as out, tempfile.TemporaryDirectory() as root:
            make_package(out)
            (tarball,) = [name for name in os.listdir(out) if name.endswith("-linux.tar.gz")]
            folder = tarball[:-len(".tar.gz")]
            self.assertEqual(folder, f"dice-{VERSION}-{architectures(DICE)[1]}-linux")
            with tarfile.open(os.path.join(out, tarball)) as archive:
                self.assertEqual([(member.name, member.mode, member.uid, member.gid)
                                  for member in archive.getmembers()],
                                 [(folder + name, mode, 0, 0) for name, mode in (
                                     ("", 0o755), ("/CHANGELOG", 0o644), ("/LICENSE", 0o644),
                                     ("/README.md", 0o644), ("/dice", 0o755),
                                     ("/dice.6", 0o644))])
                archive.extractall(root)  # the root's one folder
            dice = f"/{folder}/dice"
            # Nothing asked of the system: no program interpreter, and no file of it at all.
            # Stripped; and position-independent wherever the C library can start such a program.
            elf = output("readelf", "--file-header", "--sections", "--program-headers", root + dice)
            self.assertNotIn("INTERP", elf)
            self.assertNotRegex(elf, r"\.symtab|\.debug_")
            pie = os.path.isabs(output(CXX, "-print-file-name=rcrt1.o").strip())
            self.assertRegex(elf, r"Type:\s+DYN" if pie else r"Type:\s+EXEC")
            if "-L" in EMULATOR:  # qemu's folder of the target's libraries, here the root
                where = EMULATOR.index("-L") + 1
                command = [*EMULATOR[:where], root, *EMULATOR[where + 1:], root + dice]
            else:
                jails = [jail for jail in (["chroot"], ["unshare", "-r", "chroot"])
                         if shutil.which(jail[0])
                         and subprocess.run([*jail, "/", "true"], capture_output=True).returncode == 0]
                if not jails:
                    skip(self, "this host allows neither chroot nor unshare -r")
                command = [*jails[0], root, dice]
            self.assert_rolls_three_d20(command)

    def test_manual_page_renders_without_a_warning(self):
        need(self, "groff")
        result = subprocess.run(["groff", "-man", "-ww", "-z", os.path.join(BUILD, "dice.6")],
                                capture_output=True)
        self.assertEqual((result.returncode, result.stderr), (0, b""))

    def test_debian_package_holds_the_program_and_its_documents_and_lintian_accepts_it(self):
        need(self, "dpkg-deb", "dpkg-shlibdeps")
        with tempfile.TemporaryDirectory() as out:
            package = make_package(out)
            listing = output("dpkg-deb", "-c", package)
            fields = output("dpkg-deb", "-f", package, "Package", "Version", "Section",
                            "Architecture", "Depends")
            verdict = (subprocess.run(["lintian", "--no-cfg", "--display-info", package],
                                      capture_output=True, text=True).stdout
                       if shutil.which("lintian") else "")
        files = sorted(line.split()[-1] for line in listing.splitlines() if line[0] != "d")
        self.assertEqual(files, ["./usr/" + name for name in FILES])
        architecture = architectures(DICE)[0]
        self.assertRegex(fields, rf"Package: dice\nVersion: {re.escape(VERSION)}\n"
                                 rf"Section: utils\nArchitecture: {architecture}\n"
                                 r"Depends: .*libc6 .*(libstdc\+\+6|libunwind)")
        if architecture != output("dpkg", "--print-architecture").strip():
            # A port's: the target's own runtimes, never a cross toolchain's (libgcc-s1-arm64-cross).
            depends = fields.split("Depends: ")[1].strip().split(", ")
            self.assertEqual(sorted(name.split(" (")[0] for name in depends),
                             ["libc6", "libgcc-s1", "libstdc++6"])
        need(self, "lintian")
        self.assertEqual(re.findall(r"^[EW]: .*", verdict, re.MULTILINE), [])
        if HARDENED:
            self.assertEqual(re.findall(r"^I: .*(hardening|unneeded-section).*", verdict,
                                        re.MULTILINE), [])

    def test_zip_holds_the_program_and_its_texts_with_windows_line_ends(self):
        with tempfile.TemporaryDirectory() as out, zipfile.ZipFile(make_package(out)) as package:
            names = package.namelist()
            folder = os.path.commonpath(names)
            self.assertEqual(sorted(os.path.relpath(name, folder) for name in names), FILES)
            for text in ("README.txt", "LICENSE.txt", "CHANGELOG.txt"):
                lines = package.read(f"{folder}/{text}").split(b"\n")
                self.assertGreater(len(lines), 10, text)
                unix_lines = [line for line in lines[:-1] if not line.endswith(b"\r")]
                self.assertEqual(unix_lines, [], text)
            # A PE32 program in the win32 zip, PE32+ in the win64 one: its signature, machine and
            # optional header's magic.
            header = pe_header(package.read(f"{folder}/{PROGRAM}"))
            kinds = {"win32": (b"PE\0\0\x4c\x01", b"\x0b\x01"),
                     "win64": (b"PE\0\0\x64\x86", b"\x0b\x02")}
            self.assertEqual((header[:6], header[24:26]), kinds[folder.rsplit("-", 1)[1]])
        # No link time in the built program's header, so the same source links the same bytes.
        self.assertEqual(pe_header(pathlib.Path(DICE).read_bytes())[8:12], bytes(4))

    def test_the_same_source_makes_the_same_package(self):
        need(self, "dpkg-parsechangelog", *([] if WINDOWS else ["dpkg-deb", "dpkg-shlibdeps"]))
        when = output("dpkg-parsechangelog", "-l", os.path.join(SOURCE, "packaging/changelog"),
                      "-S", "Timestamp").strip()
        with tempfile.TemporaryDirectory() as out:
            packages = []
            # Left to itself; at the last changelog entry's time; at a time the caller chose.
            for environment in ({}, {"SOURCE_DATE_EPOCH": when}, {"SOURCE_DATE_EPOCH": "1"}):
                folder = pathlib.Path(out, str(len(packages)))
                make_package(folder, **environment)
                packages.append({path.name: hashlib.sha256(path.read_bytes()).hexdigest()
                                 for path in folder.iterdir() if path.is_file()})
        self.assertEqual(packages[0], packages[1])
        self.assertNotEqual(packages[0], packages[2])


if __name__ == "__main__":
    main()
