#!/usr/bin/env python3
"""What decides, on the host, what is installed and what is reported: scripts/install-packages
against a fake machine, and a run's verdicts, from tests/program.py to ctest and CI's last line
(.ci/skipped.py), over a small project of stand-ins.

Usage: host_test.py SOURCE_DIR CMAKE CTEST [unittest options]
"""
import os
import pathlib
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

SOURCE, CMAKE, CTEST = sys.argv[1:4]
del sys.argv[1:4]

# A run's stand-ins: test cases that skip, pass or fail, and the project that runs them.
CASES = f"""import sys
sys.path.insert(0, {os.path.join(SOURCE, "tests")!r})
import unittest
from program import main, need

class Cases(unittest.TestCase):
    def test_missing(self):
        need(self, "no-such-tool")
    def test_present(self):
        need(self, "sh")
    @unittest.skip("needs a terminal")
    def test_posix_only(self):
        pass
    def test_failing(self):
        self.fail()

main()
"""
PROJECT = f"""cmake_minimum_required(VERSION 3.25)
project(report NONE)
include({SOURCE}/cmake/target-runner.cmake)
enable_testing()
add_skipped_test(cannot_run "no frob here")
add_test(NAME unexplained COMMAND true)
set_tests_properties(unexplained PROPERTIES DISABLED ON)
add_test(NAME chatty COMMAND echo "-- dice: all are skipped: no")  # a pass, however it reads
set(cases {sys.executable} ${{CMAKE_CURRENT_SOURCE_DIR}}/cases.py dice)
add_test(NAME missing COMMAND ${{cases}} Cases.test_missing)
add_test(NAME present COMMAND ${{cases}} Cases.test_present Cases.test_posix_only)
add_test(NAME failing COMMAND ${{cases}} Cases.test_missing Cases.test_failing)
set_tests_properties(missing present failing PROPERTIES SKIP_RETURN_CODE 77)
"""


def stand_ins(folder, scripts):
    """Writes each script, named by its path under `folder`, as an executable shell script."""
    for name, body in scripts.items():
        path = pathlib.Path(folder, name)
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(f"#!/bin/sh\n{body}\n")
        path.chmod(0o755)


class Host(unittest.TestCase):
    def test_missing_packages_are_named_to_a_user_or_installed_by_root(self):
        with tempfile.TemporaryDirectory() as fake:
            # A machine with no package installed and no foreign architecture; the user's id
            # comes from $FAKE_ID, and dpkg and apt-get write down what they are asked in
            # $FAKE_LOG. An update fails as $FAKE_UPDATE says: for the lists' lock the first
            # time, or for the network every time.
            lock = "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 9"
            stand_ins(fake, {
                "dpkg-query": '[ -n "$FAKE_INSTALLED" ] && echo "install ok installed"',
                "id": 'echo "$FAKE_ID"',
                "dpkg": '[ "$1" = --print-foreign-architectures ] || echo dpkg "$@" >>"$FAKE_LOG"',
                "apt-get": 'echo apt-get "$@" >>"$FAKE_LOG"\n'
                           'case "$*:$FAKE_UPDATE:$(grep -c " update" "$FAKE_LOG")" in\n'
                           f'*update*:lock:1) echo "{lock}" >&2; exit 100;;\n'
                           '*update*:network:*) echo "E: Failed to fetch" >&2; exit 100;;\nesac'})

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
        # None left out, with each tool .ci/run calls itself (ccache to git) among them.
        self.assertEqual({"clang", "libc++abi-dev", "wine64", "wine32:i386", "libc6-dbg:i386",
                          "qemu-user", "g++-s390x-linux-gnu", "libgtest-dev", "gzip", "ccache",
                          "clang-format", "clang-tidy", "cmake", "python3", "git"}
                         - set(calls[2].split()), set())
        self.assertEqual((locked.returncode, [call.split()[3] for call in locked_calls]),
                         (0, ["update", "update", "install"]), locked.stderr)
        self.assertEqual((offline.returncode, [call.split()[3] for call in offline_calls],
                          offline.stderr), (1, ["update"], "E: Failed to fetch\n"))

    def test_ci_fails_with_any_step_and_its_last_line_tells_every_suites_skips(self):
        # .ci/ itself over stand-ins: the build tools, our scripts and the fuzzer, which says its
        # id on descriptor $ID. ctest fails the suite $FAILS names, and runs the real one over the
        # stand-in project for those $SKIPS names, each writing its own JUnit file.
        stubs = {"stubs/cmake": """for p; do :; done; [ "$1" = --build ] && exit; mkdir -p build/$p
f=build/$p/prompt_loop_fuzzer; printf '#!/bin/bash
echo $$ >&$ID; [ -z "$HANG" ] || exec sleep 600; exit $FUZZ' >$f; chmod +x $f
[ "$1" != --workflow ] || [ $p = fuzz ] || exec ctest $p""",
                 "stubs/ctest": 'for p; do :; done; case " $SKIPS " in *" $p "*) "$CTEST" '
                                '--test-dir report --output-junit "$PWD/build/$p/junit.xml";; '
                                'esac; [ "$p" != "$FAILS" ]',
                 "scripts/release": "cd build; mkdir -p dist; sha256sum /dev/null >dist/SHA256SUMS",
                 **dict.fromkeys(["scripts/install-packages", "stubs/ccache", "stubs/git",
                                  "stubs/clang-format", "stubs/clang-tidy"], "true")}
        with tempfile.TemporaryDirectory() as work:
            shutil.copytree(os.path.join(SOURCE, ".ci"), os.path.join(work, ".ci"))
            stand_ins(work, stubs)
            pathlib.Path(work, "CMakeLists.txt").write_text(PROJECT)
            pathlib.Path(work, "cases.py").write_text(CASES)
            subprocess.run([CMAKE, "-S", work, "-B", os.path.join(work, "report")], check=True,
                           capture_output=True)

            def ci(**environment):
                # The pipe ends when the stand-in fuzzer has: at once, unless CI left it running.
                read, write = os.pipe()
                env = {**os.environ, "PATH": os.path.join(work, "stubs") + os.pathsep +
                       os.environ["PATH"], "FUZZ": "0", "HANG": "", "SKIPS": "", "FAILS": "",
                       "ID": str(write), "CTEST": CTEST, **environment}
                result = subprocess.run(["bash", os.path.join(work, ".ci/run")], env=env,
                                        capture_output=True, text=True, pass_fds=[write])
                os.close(write)
                with os.fdopen(read) as fuzzer:
                    started = fuzzer.readline()
                    ended = select.select([fuzzer], [], [], 10)[0] != []
                    if started and not ended:
                        os.kill(int(started), signal.SIGKILL)
                    return result, bool(started) and ended

            passed, _ = ci(SKIPS="test s390x")
            found, _ = ci(FUZZ="1")
            failed, fuzzer_ended = ci(HANG="1", FAILS="asan")
        self.assertEqual(dict(re.findall(r"Test +#\d+: (\S+) \.+ *(\S+)", passed.stdout)),
                         {"cannot_run": "***Skipped", "unexplained": "***Not", "chatty": "Passed",
                          "missing": "***Skipped", "present": "Passed", "failing": "***Failed"})
        skips = ("no frob here (cannot_run); disabled (unexplained); needs no-such-tool: "
                 "test_missing (missing, failing); needs a terminal: test_posix_only (present)")
        self.assertEqual((passed.returncode, passed.stdout.splitlines()[-1]),
                         (0, f"all checks passed; not run in full: s390x tests skipped: {skips} | "
                             f"test tests skipped: {skips}"), passed.stderr)
        self.assertNotEqual(found.returncode, 0)
        self.assertNotEqual(failed.returncode, 0)
        self.assertTrue(fuzzer_ended, "the fuzzer outlived CI")

if __name__ == "__main__":
    unittest.main()
