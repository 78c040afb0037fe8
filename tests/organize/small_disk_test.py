#!/usr/bin/env python3
"""The console program against disks that refuse it: an output disk that fills up in the
middle of a run, and one that is read-only. Both are real file systems of their own, size-
limited and read-only memory file systems mounted for the test.

A full disk must leave no partial file, keep the record of what was copied, and let the
rerun (after space was freed) finish the job with every content exactly once. A read-only
output folder must be refused before anything is written, with the real cause named. An
album built onto a disk that is full before it starts, or fills up while it is written, or
is read-only, fails by the name of the file it could not write and the cause, and leaves no
index page that would open a broken album.

Usage: small_disk_test.py RUNNER CLI DATA_DIR
Exits 1 on any fault, 77 (skipped) where the machine does not let the test mount a file
system.
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from kill_harness import Runner, check, contents_under, is_work_file, windows_path  # noqa: E402

SKIPPED = 77
DISK_BYTES = 4 << 20


def mount(point, options):
    os.makedirs(point, exist_ok=True)
    done = subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", point],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return done.returncode == 0, done.stdout.decode("utf-8", "replace").strip()


def unmount(point):
    subprocess.run(["umount", "-l", point], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def recorded_items(record):
    """How many files the record file lists: 16 header bytes, then 512 bucket records."""
    with open(record, "rb") as f:
        data = f.read()
    position, items = 16, 0
    buckets = struct.unpack_from("<i", data, 12)[0]
    for _ in range(buckets):
        count = struct.unpack_from("<i", data, position)[0]
        position += 4
        for _ in range(count):
            length = struct.unpack_from("<i", data, position + 8)[0]
            position += 12 + 2 * (length + 1)
        items += count
    return items


def make_card(data_dir, card, rng):
    """About three times the disk's size of unique real JPEG files."""
    sources = sorted(os.path.join(data_dir, "jpeg", n) for n in os.listdir(os.path.join(data_dir, "jpeg"))
                     if n.lower().endswith((".jpg", ".jpeg")))
    os.makedirs(card)
    total, serial = 0, 0
    while total < 3 * DISK_BYTES:
        with open(sources[serial % len(sources)], "rb") as f:
            data = f.read() + serial.to_bytes(4, "little") + rng.randbytes(200 << 10)
        with open(os.path.join(card, f"IMG_{serial:04d}.JPG"), "wb") as f:
            f.write(data)
        total += len(data)
        serial += 1


def full_disk(runner, data_dir, root, rng):
    faults = []
    card = os.path.join(root, "card")
    make_card(data_dir, card, rng)
    expected = {}
    for path, content in contents_under(card).items():
        expected.setdefault(content, []).append(path)
    disk = os.path.join(root, "small")
    mounted, why = mount(disk, f"size={DISK_BYTES}")
    if not mounted:
        return None, why
    try:
        output = os.path.join(disk, "out")
        code, err = runner.run([card], output)
        if code != 1 or "0x80070070" not in err:
            faults.append(f"a run onto a full disk: exit {code}, expected 1 with the disk-full code: {err}")
        names = [n for _, _, files in os.walk(output) for n in files]
        if any(is_work_file(n) for n in names):
            faults.append(f"a work file was left on the full disk: {sorted(names)}")
        copied = len([n for n in names if n.lower() != "sortavel.dat"])
        if copied == 0:
            faults.append("nothing was copied before the disk was full: the test proves nothing")
        record = os.path.join(output, "Sortavel.dat")
        if not os.path.exists(record):
            faults.append("no record was left on the full disk")
        elif recorded_items(record) != copied:
            faults.append(f"the record lists {recorded_items(record)} files, the disk holds {copied}")
        print(f"full disk: {copied} files copied, then: {err.strip().splitlines()[0] if err.strip() else ''}",
              flush=True)

        # Room again: the rerun goes on and finishes.
        subprocess.run(["mount", "-o", f"remount,size={8 * DISK_BYTES}", disk], check=True)
        code, err = runner.run([card], output)
        if code != 0:
            faults.append(f"the rerun after freeing space failed ({code}): {err}")
        faults += check(output, expected, "rerun")
    finally:
        unmount(disk)
    return faults, ""


def read_only(runner, root):
    faults = []
    card = os.path.join(root, "card")
    disk = os.path.join(root, "readonly")
    mounted, why = mount(disk, "ro,size=1m")
    if not mounted:
        return None, why
    try:
        code, err = runner.run([card], disk)
        if code != 1 or "出力先フォルダに書き込めないため" not in err or "0x80070003" in err:
            faults.append(f"a read-only output folder: exit {code}, expected 1 naming the cause: {err}")
        print(f"read-only disk: exit {code}: {' '.join(err.split())}", flush=True)
    finally:
        unmount(disk)
    return faults, ""


def fill(disk, leave):
    """Fills the disk up to `leave` bytes with a file of its own; returns that file."""
    filler = os.path.join(disk, "filler")
    with open(filler, "wb") as f:
        try:
            while True:
                f.write(b"\0" * (64 << 10))
                f.flush()
        except OSError:
            pass
    with open(filler, "r+b") as f:
        f.truncate(max(0, os.path.getsize(filler) - leave))
    return filler


def album_failures(runner, output, when):
    """The album of the output folder onto a disk that refuses it: exit 1, the file and the
    cause named, and no index page."""
    faults = []
    code, err = runner.album(output)
    index = os.path.join(output, "PhotoAlbum", "index.html")
    named = "写真一覧HTMLを作成できませんでした" in err and "【ファイル】" + windows_path(output) + "\\" in err
    if code != 1 or not named:
        faults.append(f"an album {when}: exit {code}, expected 1 naming the file: {err}")
    if os.path.exists(index):
        faults.append(f"an album {when} left an index page")
    print(f"album {when}: exit {code}: {' '.join(err.split())[:200]}", flush=True)
    return faults, err


def album_disk(runner, data_dir, root):
    faults = []
    card = os.path.join(root, "album card")
    os.makedirs(card)
    sources = sorted(n for n in os.listdir(os.path.join(data_dir, "jpeg")) if n.startswith("recurser_Landscape"))
    for name in sources[:6]:
        shutil.copyfile(os.path.join(data_dir, "jpeg", name), os.path.join(card, name))
    disk = os.path.join(root, "album")
    mounted, why = mount(disk, f"size={DISK_BYTES}")
    if not mounted:
        return None, why
    try:
        output = os.path.join(disk, "out")
        code, err = runner.run([card], output)
        if code != 0:
            return [f"organizing the album's pictures failed ({code}): {err}"], ""
        filler = fill(disk, 0)
        more, err = album_failures(runner, output, "onto a full disk")
        faults += more
        if "0x80070070" not in err:
            faults.append(f"an album onto a full disk does not name the full disk: {err}")
        os.remove(filler)
        # Room for the first few thumbnails, not for all of them.
        filler = fill(disk, 48 << 10)
        more, err = album_failures(runner, output, "onto a disk that fills up")
        faults += more
        if "0x80070070" not in err:
            faults.append(f"an album onto a disk that fills up does not name the full disk: {err}")
        os.remove(filler)
        code, err = runner.album(output)
        if code != 0 or not os.path.exists(os.path.join(output, "PhotoAlbum", "index.html")):
            faults.append(f"the album with room again: exit {code}: {err}")
        subprocess.run(["mount", "-o", "remount,ro", disk], check=True)
        more, err = album_failures(runner, output, "onto a read-only disk")
        # The old album cannot be cleared, nor anything written: either way the cause is named.
        faults += [f for f in more if "left an index page" not in f]
        if "0x8007" not in err:
            faults.append(f"an album onto a read-only disk names no cause: {err}")
    finally:
        unmount(disk)
    return faults, ""


def main():
    runner_program, cli, data_dir = sys.argv[1:4]
    root = tempfile.mkdtemp(prefix="kasumiro-disk-")
    try:
        settings = os.path.join(root, "Lumidex.ini")
        open(settings, "w").close()
        runner = Runner(runner_program, cli, settings)
        rng = random.Random(7)
        faults, why = full_disk(runner, data_dir, root, rng)
        if faults is None:
            print(f"skipped: this machine does not let the test mount a file system ({why})")
            return SKIPPED
        more, _ = read_only(runner, root)
        faults += more or []
        more, _ = album_disk(runner, data_dir, root)
        faults += more or []
        for line in faults:
            print(line)
        print(f"{len(faults)} faults")
        return 1 if faults else 0
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
