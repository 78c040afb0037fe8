#!/usr/bin/env python3
"""Organize runs of the console program killed hard at random moments, each followed by a
rerun into the same output folder. In the end every content of the inputs is in the output
exactly once: nothing lost, no half-written file, no work file left, no (n) twin of a
content already copied.

Usage: kill_harness.py RUNNER CLI DATA_DIR [--kills N] [--seed S] [--keep]
RUNNER starts a Windows program (scripts/wine-run.sh); CLI is kasumiro-cli.exe; DATA_DIR
holds the real test images, whose JPEG files make the inputs. Each round either starts in an
empty output folder (a killed first run) or in one that a whole run already filled from
half the inputs (a killed later run). Exits 1 on any damage.
"""
import argparse
import hashlib
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

RECORD_WORK_NAMES = {"sortavel.dat.saving", "sortavel.dat.running"}


def is_work_file(name):
    name = name.lower()
    return name.startswith(".kasumiro-copying") or name in RECORD_WORK_NAMES


def windows_path(path):
    # Under Wine the Linux file system is drive Z:.
    return "Z:" + path.replace("/", "\\")


def make_inputs(data_dir, root, rng):
    """Two camera cards of real JPEG files made unique by a tail after their end marker:
    same-name clashes across folders, copies of one content under other names, a few large
    files so that kills land inside copies, and groups that must stay whole: RAW+JPEG pairs
    and pictures with sidecars. Returns the two card folders."""
    sources = sorted(
        os.path.join(data_dir, "jpeg", name)
        for name in os.listdir(os.path.join(data_dir, "jpeg"))
        if name.lower().endswith((".jpg", ".jpeg"))
    )
    cards = [os.path.join(root, "card1"), os.path.join(root, "card2")]
    made = []
    serial = 0
    for card_index, card in enumerate(cards):
        for folder in ("DCIM/100CAMERA", "DCIM/101CAMERA", "写真"):
            os.makedirs(os.path.join(card, folder))
            for i in range(40):
                source = sources[(i + card_index) % len(sources)]
                with open(source, "rb") as f:
                    data = f.read()
                serial += 1
                tail = serial.to_bytes(4, "little") * 64
                if serial % 16 == 0:
                    tail += rng.randbytes(3 << 20)
                # The same name in every folder of a card: clashes in the date folders.
                path = os.path.join(card, folder, f"IMG_{i:04d}.JPG")
                with open(path, "wb") as f:
                    f.write(data + tail)
                made.append(path)
                # Companions, each of its own content: they go wherever their picture goes.
                for every, extension in ((5, ".xmp"), (7, ".CR2")):
                    if i % every == 0:
                        with open(os.path.join(card, folder, f"IMG_{i:04d}{extension}"), "wb") as f:
                            f.write(f"{extension} of card {card_index} {folder} {i}".encode() + tail)
    # The same content again, under another name and on the other card.
    for path in rng.sample(made, 20):
        other = cards[1] if path.startswith(cards[0]) else cards[0]
        shutil.copyfile(path, os.path.join(other, "copy_" + os.path.basename(path)))
    return cards


def digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def contents_under(folder, skip_own=False):
    """{path: digest} of every file below the folder; with skip_own, the record is left out."""
    found = {}
    for parent, _, names in os.walk(folder):
        for name in names:
            if skip_own and name.lower() == "sortavel.dat":
                continue
            path = os.path.join(parent, name)
            found[path] = digest(path)
    return found


class Runner:
    def __init__(self, runner, cli, settings):
        self.runner = runner
        self.cli = cli
        self.settings = settings

    def command(self, inputs, output):
        command = [self.runner, self.cli, "organize", "--output", windows_path(output), "--yes", "--no-album",
                   "--format", "8", "--kinds", "photo", "--settings", windows_path(self.settings)]
        for folder in inputs:
            command += ["--input", windows_path(folder)]
        return command

    def run(self, inputs, output):
        done = subprocess.run(self.command(inputs, output), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=600)
        return done.returncode, done.stderr.decode("utf-8", "replace")

    def album(self, output):
        """The album of an output folder, built on its own."""
        done = subprocess.run([self.runner, self.cli, "album", "--output", windows_path(output)],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=600)
        return done.returncode, done.stderr.decode("utf-8", "replace")

    def run_and_kill(self, inputs, output, after):
        """Starts a run and kills it (SIGKILL, no chance to tidy up) after `after` seconds;
        False when the run was over by then. Only the run's own processes are killed: the
        Wine server that other programs share stays up."""
        process = subprocess.Popen(self.command(inputs, output), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        try:
            process.wait(timeout=after)
            return False
        except subprocess.TimeoutExpired:
            pass
        # The runner execs Wine, which runs the program in its own process: both go.
        subprocess.run(["pkill", "-KILL", "-f", re.escape(windows_path(output))], check=False)
        try:
            process.kill()
        except ProcessLookupError:
            pass
        process.wait()
        time.sleep(0.3)
        return True


def describe(output):
    """What a killed run left, in a few words."""
    files = work = 0
    for _, _, names in os.walk(output):
        for name in names:
            files += 1
            work += is_work_file(name)
    return f"{files} files, {work} work files"


def check(output, expected, round_number):
    """Damage in the output folder, as lines of text; empty when there is none."""
    faults = []
    for parent, _, names in os.walk(output):
        for name in names:
            if is_work_file(name):
                faults.append(f"round {round_number}: work file left: {os.path.join(parent, name)}")
    found = contents_under(output, skip_own=True)
    by_content = {}
    for path, content in found.items():
        if is_work_file(os.path.basename(path)):
            continue
        by_content.setdefault(content, []).append(path)
    for content, paths in by_content.items():
        if content not in expected:
            faults.append(f"round {round_number}: a file no input holds (half-written?): {paths}")
        elif len(paths) > 1:
            faults.append(f"round {round_number}: one content copied {len(paths)} times: {sorted(paths)}")
    for content in expected:
        if content not in by_content:
            faults.append(f"round {round_number}: lost: {sorted(expected[content])[0]}")
    # Every companion lies beside its picture, under the name that matches it.
    for path in found:
        stem, extension = os.path.splitext(path)
        if extension in (".xmp", ".CR2") and not os.path.exists(stem + ".JPG"):
            faults.append(f"round {round_number}: a companion without its picture: {path}")
    return faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("runner")
    parser.add_argument("cli")
    parser.add_argument("data_dir")
    parser.add_argument("--kills", type=int, default=30)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--keep", action="store_true", help="keep the work folder for a look")
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    rng = random.Random(seed)
    print(f"seed {seed}", flush=True)

    root = tempfile.mkdtemp(prefix="kasumiro-kill-")
    try:
        cards = make_inputs(args.data_dir, root, rng)
        settings = os.path.join(root, "Lumidex.ini")
        open(settings, "w").close()
        runner = Runner(args.runner, args.cli, settings)
        whole = {}
        for card in cards:
            for path, content in contents_under(card).items():
                whole.setdefault(content, []).append(path)
        half = {}
        for path, content in contents_under(cards[0]).items():
            half.setdefault(content, []).append(path)

        # How long a whole run takes, so that kills fall anywhere inside one.
        started = time.monotonic()
        code, err = runner.run(cards, os.path.join(root, "timing"))
        span = time.monotonic() - started
        if code != 0:
            print(f"a whole run failed ({code}): {err}")
            return 1
        shutil.rmtree(os.path.join(root, "timing"))
        print(f"a whole run takes {span:.1f} s over {sum(len(p) for p in whole.values())} files", flush=True)

        faults = []
        killed_inside = 0
        for round_number in range(1, args.kills + 1):
            output = os.path.join(root, f"out{round_number}")
            later = round_number % 2 == 0
            if later:
                code, err = runner.run(cards[:1], output)
                if code != 0 or check(output, half, round_number):
                    faults.append(f"round {round_number}: the first whole run failed ({code}): {err}")
                    continue
            after = rng.uniform(0.2, span)
            killed_inside += runner.run_and_kill(cards, output, after)
            left = describe(output)
            code, err = runner.run(cards, output)
            if code != 0:
                faults.append(f"round {round_number}: the rerun after a kill at {after:.2f} s failed ({code}): {err}")
                continue
            round_faults = check(output, whole, round_number)
            kind = "later" if later else "first"
            print(f"round {round_number}: {kind} run killed at {after:.2f} s ({left}): "
                  f"{'DAMAGED' if round_faults else 'whole'} after the rerun", flush=True)
            faults += round_faults
            if not round_faults:
                shutil.rmtree(output)
        for line in faults:
            print(line)
        print(f"{args.kills} kills ({killed_inside} inside a run), {len(faults)} faults")
        return 1 if faults or killed_inside == 0 else 0
    finally:
        if not args.keep:
            shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
