#!/usr/bin/env python3
"""Reads the tables of a built package and checks them against the install
layout it was made from and the .wxs it was made by:

- every file of the product is in it, at its place below the install folder
  and of its size, in its feature (bin/ is the runtime, all else the SDK),
  and nothing else is;
- every text outside ASCII of the .wxs came through whole, in code page 936,
  and the summary stream is ASCII.

    msi_tables_test.py PACKAGE.msi LAYOUT
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from msitables import Table, installed_paths, run, summary  # noqa: E402

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def shipped_files(layout):
    """What the package must install, from the layout: the ZIP's windows/
    folder, the documents and the README, below the install folder."""
    files = {}
    for top, below in (("windows", ""), ("docs", "docs/")):
        for folder, _, names in os.walk(os.path.join(layout, top)):
            for name in names:
                path = os.path.join(folder, name)
                files[below + os.path.relpath(path, os.path.join(layout, top))] = path
    files["README.md"] = os.path.join(layout, "README.md")
    return files


def check_files(msi, layout):
    packaged = installed_paths(msi)
    expected = shipped_files(layout)
    for path in sorted(set(expected) - set(packaged)):
        check(False, "not in the package: " + path)
    for path in sorted(set(packaged) - set(expected)):
        check(False, "in the package but not in the layout: " + path)
    for path in sorted(set(expected) & set(packaged)):
        row, feature = packaged[path]
        check(int(row["FileSize"]) == os.path.getsize(expected[path]),
              "%s: %s bytes in the package, %d in the layout"
              % (path, row["FileSize"], os.path.getsize(expected[path])))
        wanted = "Runtime" if path.startswith("bin/") else "SDK"
        check(feature == wanted, "%s belongs to feature %s, not %s" % (path, feature, wanted))


def check_texts(msi):
    check(run("msiinfo", "export", msi, "_ForceCodepage").split()[0] == "936",
          "the database's code page is not 936")
    wxs = ET.parse(os.path.join(os.path.dirname(HERE), "suite.wxs"))
    texts = {value for element in wxs.iter() for value in element.attrib.values()
             if re.search(r"[^\x00-\x7f]", value)}
    stored = set()
    for name in run("msiinfo", "tables", msi).split():
        if not name.startswith("_"):
            stored.update(value for row in Table(msi, name).rows for value in row.values())
    for text in sorted(texts):
        # A text may be stored inside a longer one (a registry key, a message).
        check(any(text in value for value in stored), "not stored whole: " + text)
    for name, value in summary(msi).items():
        check(value.isascii(), "summary %s is not ASCII: %s" % (name, value))


def main():
    msi, layout = sys.argv[1:3]
    check_files(msi, layout)
    check_texts(msi)
    for failure in failures:
        print("FAILED: " + failure)
    if failures:
        sys.exit(1)
    print("%s: %d files as built, texts in code page 936" % (os.path.basename(msi), len(installed_paths(msi))))


if __name__ == "__main__":
    main()
