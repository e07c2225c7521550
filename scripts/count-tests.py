#!/usr/bin/env python3
"""Counts the test cases of a scripts/test run, from GoogleTest's XML reports.

    count-tests.py NAME:STATE:BUILD_DIR...

STATE is "built" when the tree built, anything else (e.g. "build failed") when
it did not; such a tree counts as one failure. For a built tree the script
reads, in BUILD_DIR:
  ctest-tests.json    the tests ctest was asked to run (ctest --show-only=json-v1)
  ctest-results.xml   how each ended (ctest --output-junit)
  test-results/*.xml  the GoogleTest report of each test executable

A tree without ctest-tests.json ran its tests itself: each report in its
test-results/ counts, and a tree with none counts as one failure.

A test executable that ran GoogleTest but left no report (it crashed, or hung
and was killed) counts as one failed case; so does one whose report shows no
failure while ctest saw it fail (a sanitizer report or a leak at exit). A
test that is not a GoogleTest executable counts as one case; a fixture's set-up
or clean-up step counts only when it fails.

Prints a line per tree, the failures, and last "N passed, N failed" (with
", N skipped" when cases were skipped or disabled). Exits 1 on any failure.
"""

import json
import os
import sys
import xml.etree.ElementTree as ET

REPORT_FLAG = "--gtest_output=xml:"


class Tally:
    def __init__(self):
        self.passed = 0
        self.failed = 0
        self.skipped = 0
        self.failures = []

    def add(self, other):
        self.passed += other.passed
        self.failed += other.failed
        self.skipped += other.skipped
        self.failures += other.failures

    def line(self):
        text = f"{self.passed} passed, {self.failed} failed"
        if self.skipped:
            text += f", {self.skipped} skipped"
        return text


def load_tests(build_dir):
    """Maps each test name to (its report path or None, whether it is a fixture's
    set-up or clean-up step)."""
    with open(os.path.join(build_dir, "ctest-tests.json"), encoding="utf-8") as f:
        listing = json.load(f)
    tests = {}
    for test in listing.get("tests", []):
        report = None
        workdir = build_dir
        fixture_step = False
        for prop in test.get("properties", []):
            if prop.get("name") == "WORKING_DIRECTORY":
                workdir = prop.get("value") or build_dir
            elif prop.get("name") in ("FIXTURES_SETUP", "FIXTURES_CLEANUP"):
                fixture_step = True
        for arg in test.get("command", []):
            if arg.startswith(REPORT_FLAG):
                report = os.path.join(workdir, arg[len(REPORT_FLAG):])
        tests[test["name"]] = (report, fixture_step)
    return tests


def load_outcomes(build_dir):
    """Maps each test name to ctest's status: run, fail, notrun or disabled."""
    outcomes = {}
    path = os.path.join(build_dir, "ctest-results.xml")
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError):
        return outcomes
    for case in root.iter("testcase"):
        outcomes[case.get("name")] = case.get("status", "fail")
    return outcomes


def count_report(path, tree, test):
    tally = Tally()
    root = ET.parse(path).getroot()
    for case in root.iter("testcase"):
        name = f"{case.get('classname')}.{case.get('name')}"
        if case.find("failure") is not None or case.find("error") is not None:
            tally.failed += 1
            tally.failures.append(f"{tree} {test}: {name}")
        elif case.get("status") == "notrun" or case.get("result") in ("skipped", "suppressed"):
            tally.skipped += 1
        else:
            tally.passed += 1
    return tally


def count_reports_alone(name, build_dir):
    """A tree whose tests ran without ctest (the archive's): its reports are all
    there is, and a tree that left none has failed."""
    tally = Tally()
    folder = os.path.join(build_dir, "test-results")
    reports = sorted(f for f in os.listdir(folder) if f.endswith(".xml")) if os.path.isdir(folder) else []
    for report in reports:
        try:
            tally.add(count_report(os.path.join(folder, report), name, report[:-4]))
        except (OSError, ET.ParseError):
            tally.failed += 1
            tally.failures.append(f"{name} {report[:-4]}: unreadable report")
    if not reports:
        tally.failed += 1
        tally.failures.append(f"{name}: its test crashed or wrote no report")
    return tally, len(reports)


def count_tree(name, state, build_dir):
    tally = Tally()
    if state != "built":
        tally.failed += 1
        tally.failures.append(f"{name}: {state}")
        return tally, 0
    if not os.path.exists(os.path.join(build_dir, "ctest-tests.json")):
        return count_reports_alone(name, build_dir)
    try:
        tests = load_tests(build_dir)
    except (OSError, ValueError) as e:
        tally.failed += 1
        tally.failures.append(f"{name}: no test list ({e})")
        return tally, 0
    outcomes = load_outcomes(build_dir)
    for test, (report, fixture_step) in sorted(tests.items()):
        status = outcomes.get(test, "notrun")
        if report is None:
            if status == "run":
                # Starting or stopping a fixture is no test case of its own.
                tally.passed += 0 if fixture_step else 1
            elif status == "disabled":
                tally.skipped += 1
            else:
                tally.failed += 1
                tally.failures.append(f"{name} {test}: failed")
            continue
        try:
            part = count_report(report, name, test)
        except (OSError, ET.ParseError):
            tally.failed += 1
            reason = "crashed or wrote no report" if status != "notrun" else "did not run"
            tally.failures.append(f"{name} {test}: {reason}")
            continue
        if status != "run" and part.failed == 0:
            part.failed += 1
            part.failures.append(f"{name} {test}: exited with failure after its cases passed (sanitizer report or leak? see its output)")
        tally.add(part)
    return tally, sum(1 for report, _ in tests.values() if report)


def main(argv):
    total = Tally()
    lines = []
    for arg in argv:
        name, state, build_dir = arg.split(":", 2)
        tally, executables = count_tree(name, state, build_dir)
        detail = f"  ({executables} test executables)" if state == "built" else ""
        lines.append(f"{name + ':':<9} {tally.line()}{detail}")
        total.add(tally)
    for line in lines:
        print(line)
    for failure in total.failures:
        print(f"FAILED {failure}")
    print(total.line())
    return 1 if total.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
