#!/usr/bin/env python3
"""One case of the end-to-end tier: the real Install.exe under Wine and Xvfb.

    wine_case.py CASE --kit DIR --probe EXE --planted DLL --naive EXE --wine LOADER --work DIR

CASE is "prefix" (a fresh Wine prefix for the other cases), "dialog_fr", "dialog_en",
"dialog_zh", "cancel", "silent", "other" or "planted_dll". Each case works on its own copy of the kit,
saves a screenshot under WORK/screenshots, and fails with a clear message. Every wait has a
bound: a Wine process still running past it is killed and the case fails.
"""

import argparse
import os
import selectors
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

EXIT_INSTALLED = 0
EXIT_CANCELLED = 1

LANGUAGES = {
    "dialog_fr": ("fr_FR.UTF-8", {
        "title": "QX Lumenthread Setup 1.36", "2": "Annuler", "1013": "Suivant", "1006": "Autre",
        "1004": "Sélectionner le type de port pour la communication avec la machine",
        "1018": "Rappel : Setup.exe doit être exécuté en tant qu'administrateur", "banner": "133"}),
    "dialog_en": ("en_US.UTF-8", {
        "title": "QX Lumenthread Setup 1.36", "2": "Cancel", "1013": "Next", "1006": "Other",
        "1004": "Select the port type for the communication with the machine",
        "1018": "Reminder: Setup.exe must be run as administrator", "banner": "134"}),
    "dialog_zh": ("zh_CN.UTF-8", {
        "title": "QX Lumenthread Setup 1.36", "2": "取消", "1013": "下一步", "1006": "其他",
        "1004": "选择与机器通信的端口类型", "1018": "提醒：setup.exe 必须以管理员身份运行",
        "banner": "135"}),
}
STEP_LINES = ["1009", "1010", "1011", "1012", "1014", "1015", "1016"]


class CaseFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CaseFailed(message)


class Tier:
    def __init__(self, args):
        self.args = args
        self.work = Path(args.work)
        self.prefix = self.work / "prefix"
        self.screenshots = self.work / "screenshots"
        self.screenshots.mkdir(parents=True, exist_ok=True)
        self.display = None
        self.xvfb = None
        self.wineserver = str(Path(args.wine).parent / ("wineserver64" if args.wine.endswith("64") else "wineserver"))
        if not Path(self.wineserver).exists():
            self.wineserver = "wineserver"

    def env(self, lang="en_US.UTF-8", overrides=""):
        env = dict(os.environ)
        # No Mono or Gecko installer, and no debugger waiting on a crash.
        dll_overrides = "mscoree,mshtml=;winedbg.exe=d" + (";" + overrides if overrides else "")
        env.update(WINEPREFIX=str(self.prefix), WINEDEBUG="-all", DISPLAY=self.display or "",
                   LANG=lang, LC_ALL=lang, WINEDLLOVERRIDES=dll_overrides)
        return env

    def start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp"], pass_fds=[write_end],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        check(number, "Xvfb did not start")
        self.display = ":" + number

    def stop(self):
        if self.display:
            subprocess.run([self.wineserver, "-k"], env=self.env(), timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.xvfb:
            self.xvfb.kill()
            self.xvfb.wait(timeout=10)

    def screenshot(self, name):
        path = self.screenshots / (name + ".png")
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)],
                       timeout=30, check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        print("screenshot:", path)

    def wine(self, *command, lang="en_US.UTF-8", overrides="", **kwargs):
        return subprocess.Popen([self.args.wine, *command], env=self.env(lang, overrides), **kwargs)

    def kit_copy(self, case):
        kit = self.work / "cases" / case
        shutil.rmtree(kit, ignore_errors=True)
        shutil.copytree(self.args.kit, kit)
        return kit

    @staticmethod
    def windows_path(path):
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def wait(self, process, seconds, what):
        try:
            return process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            process.kill()
            raise CaseFailed(f"{what} did not end within {seconds} s; killed")


class Probe:
    """The probe program, reading the live dialog and answering commands."""

    def __init__(self, tier, installer, lang, timeout_ms=30000):
        self.process = tier.wine(tier.args.probe, Tier.windows_path(installer), str(timeout_ms), lang=lang,
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.tier = tier
        self.lines = []
        self.pending = b""
        self.selector = selectors.DefaultSelector()
        self.selector.register(self.process.stdout, selectors.EVENT_READ)

    def next_line(self, deadline):
        """The probe's next line, or None when the deadline passes or the probe has ended."""
        while b"\n" not in self.pending:
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not self.selector.select(timeout=remaining):
                return None
            chunk = os.read(self.process.stdout.fileno(), 4096)
            if not chunk:
                return None
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return line.decode("utf-8", "replace").rstrip("\r")

    def read_until(self, marker, seconds):
        deadline = time.monotonic() + seconds
        while (line := self.next_line(deadline)) is not None:
            self.lines.append(line)
            if line == marker:
                return
            if line.startswith("error="):
                raise CaseFailed("probe: " + line[6:])
        self.process.kill()
        raise CaseFailed(f"the probe did not report '{marker}' within {seconds} s; it said {self.lines}")

    def state(self):
        seen = {}
        for line in self.lines:
            if line.startswith("control="):
                fields = dict(part.split("=", 1) for part in line.split(" ", 3))
                seen[fields["control"]] = fields
            elif "=" in line:
                key, value = line.split("=", 1)
                seen[key] = value
        return seen

    def command(self, text):
        self.process.stdin.write((text + "\n").encode())
        self.process.stdin.flush()

    def finish(self, seconds=20):
        self.command("quit")
        self.process.stdin.close()
        self.tier.wait(self.process, seconds, "the probe")
        boxes = [line[4:] for line in self.lines if line.startswith("box=")]
        check(not boxes, f"Install.exe showed Error boxes: {boxes}")


def start_installer(tier, kit, lang, arguments=(), overrides=""):
    return tier.wine(str(kit / "Driver" / "Install.exe"), *arguments, lang=lang, overrides=overrides,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def show_dialog(tier, case, lang, arguments=()):
    """Starts Install.exe on a fresh copy of the kit, with the probe already watching for its
    dialog; returns the probe once it has read the dialog, and the installer's process."""
    kit = tier.kit_copy(case)
    probe = Probe(tier, kit / "Driver" / "Install.exe", lang)
    probe.read_until("ready", 30)
    process = start_installer(tier, kit, lang, arguments)
    probe.read_until("shown", 60)
    tier.screenshot(case)
    return probe, process


def watch_to_the_end(tier, probe, process, expected, what):
    """Waits until the dialog is gone and the installer has ended with the expected exit code."""
    probe.command("watch")
    probe.read_until("gone", 60)
    probe.finish()
    code = tier.wait(process, 30, "Install.exe")
    check(code == expected, f"{what} exited with {code}, expected {expected}")


def case_prefix(tier):
    shutil.rmtree(tier.prefix, ignore_errors=True)
    boot = tier.wine("wineboot", "-i", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    tier.wait(boot, 240, "wineboot")
    done = subprocess.Popen([tier.wineserver, "-w"], env=tier.env())
    tier.wait(done, 120, "the first Wine session")
    check((tier.prefix / "drive_c" / "windows").is_dir(), "the Wine prefix was not made")


def case_dialog(tier, case):
    lang, expected = LANGUAGES[case]
    probe, process = show_dialog(tier, case, lang)
    seen = probe.state()
    check(seen.get("title") == expected["title"], f"title {seen.get('title')!r}, expected {expected['title']!r}")
    for control in ("2", "1013", "1006", "1004", "1018"):
        text = seen.get(control, {}).get("text")
        check(text == expected[control], f"control {control} shows {text!r}, expected {expected[control]!r}")
    check(seen.get("1005", {}).get("text") == "USB", "the USB radio button is not captioned USB")
    check(seen["1005"]["checked"] == "1" and seen["1006"]["checked"] == "0", "USB is not the checked one")
    for line in STEP_LINES:
        check(seen.get(line, {}).get("text") == "", f"step line {line} is not empty")
    for control in ("2", "1013", "1005", "1006"):
        check(seen[control]["enabled"] == "1", f"control {control} is disabled")
    check(seen.get("banner") == expected["banner"], f"banner {seen.get('banner')}, expected {expected['banner']}")
    probe.command("press 2")
    watch_to_the_end(tier, probe, process, EXIT_CANCELLED, "Install.exe after Cancel")


def case_cancel(tier):
    probe, process = show_dialog(tier, "cancel", "en_US.UTF-8")
    probe.command("press 2")
    watch_to_the_end(tier, probe, process, EXIT_CANCELLED, "Install.exe after Cancel")


def staged_copies(tier, inf):
    """The INF files of Wine's driver store that hold the same bytes as inf. Windows names a staged
    INF oemN.inf; Wine 8 keeps its own name."""
    store = tier.prefix / "drive_c" / "windows" / "inf"
    content = Path(inf).read_bytes()
    return sorted(path.name for path in store.glob("*.inf") if path.read_bytes() == content) if store.is_dir() else []


def case_silent(tier):
    store = tier.prefix / "drive_c" / "windows" / "inf"
    for staged in staged_copies(tier, Path(tier.args.kit) / "QX_Lumenthread.inf"):
        (store / staged).unlink()  # an earlier case's staging
    probe, process = show_dialog(tier, "silent", "en_US.UTF-8", ["silent"])
    seen = probe.state()
    for control in ("2", "1013", "1005", "1006"):
        check(seen.get(control, {}).get("enabled") == "0", f"control {control} can be operated in a silent run")
    watch_to_the_end(tier, probe, process, EXIT_INSTALLED, "the silent run")
    staged = staged_copies(tier, Path(tier.args.kit) / "QX_Lumenthread.inf")
    check(staged, "the silent run staged no copy of the kit's INF into Wine's driver store")
    print("staged into Wine's driver store:", staged)


def case_other(tier):
    probe, process = show_dialog(tier, "other", "en_US.UTF-8")
    probe.command("press 1006")
    probe.command("press 1013")
    # The removal, the port choice and the print-UI installation run; then Next comes back.
    probe.command("enabled 1013")
    probe.read_until("enabled", 120)
    tier.screenshot("other_second_next")
    seen = probe.state()
    select_port = ">   Click Next to select the port for the communication with the machine"
    check(seen.get("1011", {}).get("text") == select_port,
          f"step line 3 shows {seen.get('1011', {}).get('text')!r} when Next comes back")
    check(seen.get("1009", {}).get("enabled") == "0" and seen.get("1010", {}).get("enabled") == "0",
          "step lines 1 and 2 are not greyed")
    probe.command("press 1013")
    watch_to_the_end(tier, probe, process, EXIT_INSTALLED, "the Other run")


def case_planted_dll(tier):
    # Wine prefers its own builtin DLLs by default and would ignore any planted one. Told to
    # prefer native ones, it searches as Windows does for DLLs the system does not protect: the
    # program's folder first. version.dll cannot be tried that way, since Wine's own user32
    # needs it and would take the planted one for any program; that Install.exe does not import
    # it is checked on the file itself (kit.install_exe_imports_only_known_dlls).
    prefer_native = "winspool.drv,setupapi=n,b"
    kit = tier.kit_copy("planted_dll")
    driver = kit / "Driver"
    for name in ("version.dll", "winspool.drv", "setupapi.dll"):
        shutil.copy(tier.args.planted, driver / name)
    mark = tier.prefix / "drive_c" / "planted-dll-was-loaded.txt"

    # A program that imports setupapi.dll the plain way is fooled: the case can see it.
    mark.unlink(missing_ok=True)
    shutil.copy(tier.args.naive, driver / "naive_importer.exe")
    naive = tier.wine(str(driver / "naive_importer.exe"), overrides=prefer_native,
                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    tier.wait(naive, 60, "the naive importer")
    check(mark.exists(), "a program importing setupapi.dll did not load the planted one: the case would prove nothing")
    mark.unlink()

    process = start_installer(tier, kit, "en_US.UTF-8", ["silent"], overrides=prefer_native)
    code = tier.wait(process, 60, "Install.exe")
    tier.screenshot("planted_dll")
    check(code == EXIT_INSTALLED, f"the silent run exited with {code}, expected {EXIT_INSTALLED}")
    check(not mark.exists(), "Install.exe loaded a DLL planted beside it")


def terminated(_signal, _frame):
    raise CaseFailed("terminated from outside")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case")
    for option in ("--kit", "--probe", "--planted", "--naive", "--wine", "--work"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    tier = Tier(args)
    # Killed from outside (a time-out of the test runner): still stop Wine and Xvfb.
    signal.signal(signal.SIGTERM, terminated)
    try:
        tier.start_display()
        if args.case == "prefix":
            case_prefix(tier)
        elif args.case in LANGUAGES:
            case_dialog(tier, args.case)
        elif args.case == "cancel":
            case_cancel(tier)
        elif args.case == "silent":
            case_silent(tier)
        elif args.case == "other":
            case_other(tier)
        elif args.case == "planted_dll":
            case_planted_dll(tier)
        else:
            raise CaseFailed("unknown case " + args.case)
    except (CaseFailed, subprocess.TimeoutExpired) as failure:
        print(f"FAILED {args.case}: {failure}", file=sys.stderr)
        return 1
    finally:
        tier.stop()
    print(f"passed {args.case}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
