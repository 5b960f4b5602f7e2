#!/usr/bin/env python3
"""What a run reports: ctest's verdict on cases that skip for a missing tool, pass, or fail
(tests/program.py), and CI's last line (.ci/skipped.py), on a small project of stand-ins.

Usage: report_test.py SOURCE_DIR CMAKE CTEST [unittest options]
"""
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import unittest

SOURCE, CMAKE, CTEST = sys.argv[1:4]
del sys.argv[1:4]

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
add_skipped_test(cannot_run_either "no frob here")
add_test(NAME unexplained COMMAND true)
set_tests_properties(unexplained PROPERTIES DISABLED ON)
set(cases {sys.executable} ${{CMAKE_CURRENT_SOURCE_DIR}}/cases.py dice)
add_test(NAME missing COMMAND ${{cases}} Cases.test_missing)
add_test(NAME present COMMAND ${{cases}} Cases.test_present Cases.test_posix_only)
add_test(NAME failing COMMAND ${{cases}} Cases.test_missing Cases.test_failing)
set_tests_properties(missing present failing PROPERTIES SKIP_RETURN_CODE 77)
"""


class Report(unittest.TestCase):
    def test_skips_reach_ctest_and_the_last_line_with_their_reasons(self):
        with tempfile.TemporaryDirectory() as work:
            pathlib.Path(work, "CMakeLists.txt").write_text(PROJECT)
            pathlib.Path(work, "cases.py").write_text(CASES)
            build = os.path.join(work, "suite")
            subprocess.run([CMAKE, "-S", work, "-B", build], check=True, capture_output=True)

            ctest = subprocess.run([CTEST, "--test-dir", build, "--output-junit", "junit.xml"],
                                   capture_output=True, text=True).stdout
            summary = subprocess.run([sys.executable, os.path.join(SOURCE, ".ci/skipped.py"),
                                      build], check=True, capture_output=True, text=True).stdout
        self.assertEqual(dict(re.findall(r"Test +#\d+: (\S+) \.+ *(\S+)", ctest)),
                         {"cannot_run": "***Skipped", "cannot_run_either": "***Skipped",
                          "unexplained": "***Not", "missing": "***Skipped", "present": "Passed",
                          "failing": "***Failed"})
        self.assertEqual(summary, "all checks passed; not run in full: suite tests skipped: no "
                                  "frob here (cannot_run, cannot_run_either); disabled "
                                  "(unexplained); needs no-such-tool: "
                                  "test_missing (missing, failing); needs a terminal: "
                                  "test_posix_only (present)\n")

if __name__ == "__main__":
    unittest.main()
