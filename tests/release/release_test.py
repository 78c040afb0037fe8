#!/usr/bin/env python3
"""What a Windows user downloads, tried as a user would, in a Wine prefix of its own that
nothing else has touched: the installer in silent mode installs; the installed window starts
(a screenshot is kept); the installed console program organizes a small folder and builds its
album from the installed template; the uninstaller removes what was installed and leaves the
data folder and the output folder as they were. Then the portable zip: unpacked anywhere, its
console program says its version and finds its template beside it.

Usage: release_test.py RELEASE_DIR DATA_DIR SCREENSHOT_DIR
Needs WINE and WINESERVER in the environment (scripts/env.sh) and a DISPLAY; with
KASUMIRO_PREFIX_REG, the fresh prefix gets that registry file's font settings first. Exits 1
on any fault.
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

# The version the project states, once, in its CMakeLists.txt.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "CMakeLists.txt"), encoding="utf-8") as f:
    VERSION = re.search(r"project\(Kasumiro VERSION ([0-9.]+)", f.read()).group(1)


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class Prefix:
    """A fresh Wine prefix with a home of its own, removed afterwards."""

    def __init__(self, root):
        self.root = root
        self.env = dict(os.environ, WINEPREFIX=os.path.join(root, "prefix"), HOME=os.path.join(root, "home"),
                        WINEDEBUG="-all", LANG=os.environ.get("LANG", "C.UTF-8"))
        os.makedirs(self.env["HOME"])
        self.run(["wineboot", "-i"], timeout=300)
        # A Japanese Windows has Japanese fonts and the caption buttons' symbol font: the same
        # font settings as the tests' prefix.
        settings = os.environ.get("KASUMIRO_PREFIX_REG")
        if settings:
            self.run(["regedit", "/S", settings], check=True)
            marlett = "/usr/share/wine/fonts/marlett.ttf"
            if os.path.exists(marlett):
                shutil.copy(marlett, os.path.join(self.env["WINEPREFIX"], "drive_c", "windows", "Fonts"))

    def run(self, arguments, timeout=120, check=False):
        done = subprocess.run([os.environ["WINE"]] + arguments, env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=timeout)
        if check and done.returncode != 0:
            raise RuntimeError(f"{arguments[0]} exited {done.returncode}: {done.stderr.decode(errors='replace')}")
        return done

    def start(self, arguments):
        return subprocess.Popen([os.environ["WINE"]] + arguments, env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def user_folder(self):
        users = [p for p in glob.glob(os.path.join(self.env["WINEPREFIX"], "drive_c", "users", "*"))
                 if os.path.basename(p) != "Public"]
        return users[0]

    def close(self):
        subprocess.run([os.environ["WINESERVER"], "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return condition()


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(parent, name), folder)
                  for parent, _, names in os.walk(folder) for name in names)


def make_card(data_dir, folder):
    os.makedirs(folder)
    for name in ("jpeg/mde_Apple_iPhone_5.jpg", "jpeg/mde_Canon_EOS_D60.jpg", "heif/ianare_IMG_5195.HEIC"):
        shutil.copyfile(os.path.join(data_dir, name), os.path.join(folder, os.path.basename(name)))


def heic_faults(album, where):
    """An iPhone's HEIC in the album as a picture: its thumbnail and the viewer's picture of it."""
    page = os.path.join(album, "2021", "202104.html")
    text = open(page, encoding="utf-8").read() if os.path.exists(page) else ""
    found = re.search(r"img=../[^']*IMG_5195\.HEIC&view=(thumb/2021/[0-9_]+_view\.jpg)[^']*'><img class='picture_item' "
                      r"src='../(thumb/2021/[0-9_]+\.jpg)'", text)
    if not found:
        return [f"the {where} album does not show the HEIC photo as a picture"]
    faults = []
    for name in found.groups():
        picture = os.path.join(album, name)
        if not os.path.exists(picture) or os.path.getsize(picture) < 1000:
            faults.append(f"the {where} album lacks the HEIC photo's {name}")
    return faults


def installed(release, data_dir, screenshots, root, faults):
    prefix = Prefix(os.path.join(root, "fresh"))
    try:
        setup = os.path.join(release, f"Kasumiro-{VERSION}-setup.exe")
        prefix.run([setup, "/S"], timeout=120, check=True)
        user = prefix.user_folder()
        folder = os.path.join(user, "AppData", "Local", "Programs", "Kasumiro")
        shortcut = os.path.join(user, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs",
                                "Kasumiro.lnk")
        if not wait_for(lambda: os.path.exists(os.path.join(folder, "Uninstall.exe")), 30):
            faults.append(f"the silent install left no uninstaller in {folder}")
            return
        for name in ("Kasumiro.exe", "kasumiro-cli.exe", "menu_image.bmp", "guide-ja.html",
                     "Template/0001/make_photo_album.css", "Template/0001/picture.html", "libheif.dll",
                     "libde265.dll", "libdav1d.dll", "libjpeg-62.dll", "THIRD-PARTY-NOTICES.txt",
                     "licences/libheif-COPYING.txt", "licences/LGPL-3.txt", "licences/libde265-slim-locks.patch",
                     "licences/xxhash-LICENSE.txt", "avcodec-59.dll", "avformat-59.dll", "avutil-57.dll",
                     "swscale-6.dll", "licences/ffmpeg-COPYING.LGPLv2.1.txt", "Template/0001/album_month.js"):
            if not os.path.exists(os.path.join(folder, name)):
                faults.append(f"not installed: {name}")
        if not os.path.exists(shortcut):
            faults.append("no Start-menu shortcut named Kasumiro")
        # The guide's pictures are all installed beside it.
        with open(os.path.join(folder, "guide-ja.html"), encoding="utf-8") as f:
            pictures = re.findall(r'<img [^>]*src="([^"]+)"', f.read())
        missing = [p for p in pictures if not os.path.exists(os.path.join(folder, p))]
        if not pictures or missing:
            faults.append(f"the installed guide shows {len(pictures)} pictures, missing {missing}")
        key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kasumiro"
        listed = prefix.run(["reg", "query", key]).stdout.decode("utf-8", "replace")
        if "Uninstall.exe" not in listed or VERSION not in listed:
            faults.append(f"the uninstaller is not listed among the installed programs: {listed!r}")

        # The data folder with settings that make no connection: the test needs no network.
        documents = os.path.join(user, "Documents")
        data = os.path.join(documents, "Lumidex")
        os.makedirs(data, exist_ok=True)
        settings = os.path.join(data, "Lumidex.ini")
        with open(settings, "wb") as f:
            f.write("[VERSION]\r\nnotify=1\r\n".encode("utf-16"))

        window = prefix.start([os.path.join(folder, "Kasumiro.exe")])
        log = os.path.join(data, "log.txt")
        started = wait_for(lambda: os.path.exists(log) and os.path.getsize(log) > 0, 90)
        time.sleep(3)
        os.makedirs(screenshots, exist_ok=True)
        shot = os.path.join(screenshots, "installed_main_window.png")
        subprocess.run(["import", "-window", "root", shot], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        running = window.poll() is None
        window.kill()
        if not started or not running:
            faults.append(f"the installed program did not start (log written: {started}, running: {running})")

        card, output = os.path.join(root, "card"), os.path.join(root, "out")
        make_card(data_dir, card)
        done = prefix.run([os.path.join(folder, "kasumiro-cli.exe"), "organize", "--input", windows_path(card),
                           "--output", windows_path(output), "--album", "--format", "4"])
        if done.returncode != 0:
            faults.append(f"the installed console program failed to organize ({done.returncode}): "
                          f"{done.stderr.decode('utf-8', 'replace')}")
        for name in ("PhotoAlbum/index.html", "PhotoAlbum/make_photo_album.css", "PhotoAlbum/picture.html"):
            if not os.path.exists(os.path.join(output, name)):
                faults.append(f"the installed album lacks {name}")
        faults += heic_faults(os.path.join(output, "PhotoAlbum"), "installed")

        data_before, output_before = files_under(data), files_under(output)
        prefix.run([os.path.join(folder, "Uninstall.exe"), "/S"], timeout=120)
        # The uninstaller runs on from a copy of itself: wait for its work.
        if not wait_for(lambda: not os.path.exists(folder), 60):
            faults.append(f"the uninstaller left {files_under(folder)}")
        if os.path.exists(shortcut):
            faults.append("the uninstaller left the Start-menu shortcut")
        if prefix.run(["reg", "query", key]).returncode == 0:
            faults.append("the uninstaller left its entry among the installed programs")
        if files_under(data) != data_before:
            faults.append("the uninstaller changed the data folder")
        if files_under(output) != output_before:
            faults.append("the uninstaller changed the output folder")
        print(f"installed, started, organized and uninstalled; screenshot {shot}", flush=True)
    finally:
        prefix.close()


def portable(release, data_dir, root, faults):
    unpacked = os.path.join(root, "unpacked")
    with zipfile.ZipFile(os.path.join(release, f"Kasumiro-{VERSION}-portable.zip")) as archive:
        archive.extractall(unpacked)
    cli = os.path.join(unpacked, f"Kasumiro-{VERSION}", "kasumiro-cli.exe")
    env = dict(os.environ, WINEDEBUG="-all")
    done = subprocess.run([os.environ["WINE"], cli, "--version"], env=env, stdout=subprocess.PIPE, timeout=120)
    printed = done.stdout.decode("utf-8", "replace").strip()
    if printed != f"Kasumiro {VERSION}":
        faults.append(f"the portable console program says {printed!r}")
    folder = os.path.join(root, "portable-album")
    make_card(data_dir, folder)
    done = subprocess.run([os.environ["WINE"], cli, "album", "--output", windows_path(folder)], env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    if done.returncode != 0 or not os.path.exists(os.path.join(folder, "PhotoAlbum", "make_photo_album.css")):
        faults.append(f"the portable album build did not find its template ({done.returncode}): "
                      f"{done.stderr.decode('utf-8', 'replace')}")
    else:
        faults += heic_faults(os.path.join(folder, "PhotoAlbum"), "portable")
    print("portable zip unpacked, versioned and building albums", flush=True)


def main():
    release, data_dir, screenshots = sys.argv[1:4]
    root = tempfile.mkdtemp(prefix="kasumiro-release-")
    faults = []
    try:
        installed(release, data_dir, screenshots, root, faults)
        portable(release, data_dir, root, faults)
    finally:
        shutil.rmtree(root, ignore_errors=True)
    for fault in faults:
        print(fault)
    print(f"{len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
