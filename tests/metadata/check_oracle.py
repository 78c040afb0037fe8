#!/usr/bin/env python3
"""Every real test image through `kasumiro-cli info --format 8`, compared with oracle.json:
the Exif facts, and the capture date the organizer files each one under.

Usage: check_oracle.py RUNNER CLI DATA_DIR
RUNNER starts a Windows program (scripts/wine-run.sh); CLI is kasumiro-cli.exe.
Prints one line per file and a closing 'N passed, N failed' line; exits 1 on any failure.
"""
import json
import os
import re
import subprocess
import sys
import time

# Where we read differently from the oracle on purpose, and why.
DELIBERATE = {
    # GPS coordinates stored as ASCII text are no position for a reader of RATIONALs.
    ("jpeg/goexif_geodegrees_as_string.jpg", "gps"): None,
    # Rationals of 0/0 (an empty GPS fix) read as 0.0 each: the position is 0, 0.
    ("jpeg/mde_Nikon_D5000.jpg", "gps"): [0.0, 0.0],
    ("jpeg/exifr_broken1.jpg", "gps"): [0.0, 0.0],
    # The main chain shares one directory base: IFD1's Orientation counts when IFD0 has none.
    ("jpeg/mde_Nikon_D5000.jpg", "orientation"): 1,
}


def windows_path(path):
    # Under Wine the Linux file system is drive Z:.
    return "Z:" + path.replace("/", "\\")


def expected_facts(entry):
    gps = None
    if entry["GPSLatitude"] not in (None, "") and entry["GPSLongitude"] not in (None, ""):
        gps = [float(entry["GPSLatitude"]), float(entry["GPSLongitude"])]
    return {
        "datetime_original": entry["DateTimeOriginal"],
        "datetime": entry["DateTime"],
        "orientation": entry["Orientation"],
        "gps": gps,
    }


def exif_date(text):
    """The date an Exif text gives, or None when it is no valid date (month, day, time)."""
    match = re.match(r"(\d{4}):(\d{2}):(\d{2}) (\d{2}):(\d{2}):(\d{2})", text or "")
    if not match:
        return None
    year, month, day, hour, minute, second = (int(g) for g in match.groups())
    if not (1 <= month <= 12 and 1 <= day <= 31 and hour <= 23 and minute <= 59 and second <= 59):
        return None
    return f"{year:04d}-{month:02d}-{day:02d} {hour:02d}:{minute:02d}:{second:02d}"


def expected_date(entry, path):
    """Which route dates the file, and the date: HEIF files by their Exif item
    (DateTimeOriginal, else DateTime), pictures by DateTimeOriginal, the rest by the local
    last-write time."""
    heif = entry["file"].startswith(("heif/", "avif/"))
    if heif:
        date = exif_date(entry["DateTimeOriginal"]) or exif_date(entry["DateTime"])
        if date:
            return "heif", date
    else:
        date = exif_date(entry["DateTimeOriginal"])
        if date:
            return "exif", date
    local = time.localtime(os.path.getmtime(path))
    return "mtime", time.strftime("%Y-%m-%d %H:%M:%S", local)


def main():
    runner, cli, data = sys.argv[1:4]
    oracle = json.load(open(f"{data}/oracle.json", encoding="utf-8"))
    files = [entry["file"] for entry in oracle["files"]]
    paths = [windows_path(f"{data}/{name}") for name in files]
    run = subprocess.run([runner, cli, "info", "--format", "8", *paths], capture_output=True, timeout=600)
    lines = run.stdout.decode("utf-8").splitlines()
    if run.returncode != 0 or len(lines) != len(files):
        print(f"kasumiro-cli info exited {run.returncode} with {len(lines)} lines for "
              f"{len(files)} files\n{run.stderr.decode('utf-8', 'replace')}")
        print(f"0 passed, {len(files)} failed")
        return 1

    passed = failed = 0
    for entry, path, line in zip(oracle["files"], paths, lines):
        got = json.loads(line)
        problems = []
        if got.get("file") != path:
            problems.append(f"file {got.get('file')!r}")
        if "error" in got:
            problems.append(f"error {got['error']}")
        has_exif_block = entry["ByteOrder"] is not None
        if got.get("exif") != has_exif_block:
            problems.append(f"exif {got.get('exif')} (oracle byte order {entry['ByteOrder']})")
        for key, want in expected_facts(entry).items():
            if (entry["file"], key) in DELIBERATE:
                want = DELIBERATE[(entry["file"], key)]
            have = got.get(key)
            if key == "gps" and want is not None and have is not None:
                if len(have) != 2 or any(abs(a - b) > 1e-6 for a, b in zip(have, want)):
                    problems.append(f"gps {have} != {want}")
            elif have != want:
                problems.append(f"{key} {have!r} != {want!r}")
        source, date = expected_date(entry, f"{data}/{entry['file']}")
        if got.get("source") != source or got.get("capture_date") != date:
            problems.append(f"dated {got.get('capture_date')} via {got.get('source')}, "
                            f"expected {date} via {source}")
        folder = date[:10].replace("-", "\\")
        if got.get("folder") != folder:
            problems.append(f"folder {got.get('folder')!r} != {folder!r}")
        if problems:
            failed += 1
            print(f"FAIL {entry['file']}: " + "; ".join(problems))
        else:
            passed += 1
            print(f"ok   {entry['file']}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
