#!/usr/bin/env python3
"""Adds up the GoogleTest XML reports and the plain result files of a test run."""
import pathlib
import sys
import xml.etree.ElementTree as ET

results = pathlib.Path(sys.argv[1])
passed = failed = skipped = 0
for report in sorted(results.glob("*.xml")):
    try:
        root = ET.parse(report).getroot()
    except ET.ParseError:
        print(f"{report.name}: unreadable report")
        failed += 1
        continue
    for case in root.iter("testcase"):
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped += 1
        else:
            passed += 1
# Script checks write one line "passed failed" per file.
for counts in sorted(results.glob("*.counts")):
    p, f = (int(n) for n in counts.read_text().split()[:2])
    passed += p
    failed += f
print(f"tonalis: {passed} passed, {failed} failed, {skipped} skipped")
sys.exit(1 if failed else 0)
