#!/usr/bin/env python3
"""CI's last line: "all checks passed", then each suite whose tests did not all run in full, with
the reasons and the tests, from the JUnit file ctest wrote in each build folder: those named, or
else every one under build/.

Usage: skipped.py [BUILD_DIR...]

Whatever skips says why in its test's output, a line "skipped: REASON": a test this host cannot
run, or a case that a test file skipped.
"""
import pathlib
import sys
import xml.etree.ElementTree as ElementTree


def not_run_in_full(builds):
    """A phrase for each build folder whose tests did not all run in full."""
    suites = []
    for build in map(pathlib.Path, builds):
        reasons = {}
        for test in ElementTree.parse(build / "junit.xml").iter("testcase"):
            lines = (test.findtext("system-out") or "").splitlines()
            why = [line.split(": ", 1)[1] for line in lines if line.startswith("skipped: ")]
            if test.get("status") in ("notrun", "disabled") and not why:
                why = [test.get("status")]  # nothing said why
            for reason in why:
                reasons.setdefault(reason, []).append(test.get("name"))
        if reasons:
            suites.append(f"{build.name} tests skipped: " + "; ".join(
                f"{reason} ({', '.join(tests)})" for reason, tests in reasons.items()))
    return suites


if __name__ == "__main__":
    suites = not_run_in_full(sys.argv[1:] or sorted(path.parent for path in pathlib.Path(
        "build").glob("*/junit.xml")))
    print("all checks passed" + ("; not run in full: " + " | ".join(suites) if suites else ""))
