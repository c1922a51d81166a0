#!/usr/bin/env python3
"""Stress checks of the real orvindel binary: nothing is lost at any moment.

  * kill loop: the program is started again and again on one data folder and
    hit at a random moment of start-up or close with SIGTERM, SIGKILL, or
    SIGTERM followed by SIGKILL while it closes. Before every run the
    settings files are reshaped so that every save writes different bytes;
    after it each file must hold either its bytes from before the run or a
    complete save of the same settings. A missing, cut, foreign or reset
    file fails, and so does any exit other than 0 after SIGTERM (a kill
    before the program ran a line of its own aside) or a death by a signal
    we did not send;
  * hostile files: settings and list files no program should meet (binary
    garbage, 50 MB, a count of four billion, a 10 MB line, CR/LF and NUL,
    huge negative positions, a file where the data folder should be): the
    program starts, its window is on the screen, it says what it must and
    nothing else, closes with 0, and no original is lost without a copy;
  * a termination signal raised at each step of start-up (through the
    program's ORV_TEST_SIGNAL_AT_STEP): exit 0 and Orvindel.cfg unchanged.

Runs its own X server and session bus; stays in a temporary folder.

usage: stress.py --browser build/orvindel [--runs 100] [--seed N] [--only kill|hostile|steps]
"""

import argparse
import configparser
import os
import random
import shutil
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import (Browser, Failures, become_subreaper, browser_env, describe_status,  # noqa: E402
                     exit_on_signals, start_session_bus, start_x_server_apart, stop_process, sweep,
                     use_display, visible_windows, wait_for_window, window_geometry)

SCREEN = (1280, 1024)
EXIT_DEADLINE_S = 30
WINDOW_DEADLINE_S = 40
STARTUP_STEPS = 18
# A first signal lands somewhere in start-up, the page load or the close.
SIGNAL_WINDOW_S = 2.5
KILL_AFTER_TERM_S = 0.6

FILES = ["Orvindel.cfg", "Progset.cfg", "color.cld", "uas.cfg"]


# --- files ----------------------------------------------------------------------

def read_bytes(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def parse_ini(data):
    """{section(lower): {key(lower): value}} of the program's INI text, or None."""
    if data is None:
        return None
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        return None
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    try:
        parser.read_string(text)
    except configparser.Error:
        return None
    return {s.lower(): {k.lower(): v for k, v in parser.items(s)} for s in parser.sections()}


def ini_text(sections):
    return "".join(f"[{name}]\n" + "".join(f"{k}={v}\n" for k, v in keys.items()) + "\n"
                   for name, keys in sections.items()).encode()


def agent_lines(data):
    return [line for line in data.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n") if line]


# What a run must find again: the values written before it, in the program's
# form after its save, or the untouched bytes.
class Shape:
    def __init__(self, run):
        self.home = f"http://127.0.0.1:9/stress-run-{run}"
        self.alpha = str(100 + run % 50)
        self.popblock = str(run % 2)
        self.width, self.height = 700 + run % 37, 500 + run % 29
        self.left, self.top = 10 + run % 41, 20 + run % 43
        self.color = str(run * 7919 % 0xFFFFFF)
        self.agent = f"Stress agent {run}".encode()

    def apply(self, folder, config):
        """Writes the run's values into the files (config: the program's
        Orvindel.cfg of an earlier run, as parsed sections)."""
        config = {s: dict(v) for s, v in config.items()}
        config["config"]["homepage"] = self.home
        config["config"]["transparent"] = self.alpha
        config["config"]["popblock"] = self.popblock
        write_bytes(os.path.join(folder, "Orvindel.cfg"), ini_text(config))
        write_bytes(os.path.join(folder, "Progset.cfg"), ini_text({"Velikost": {
            "Sirina": self.width, "Visina": self.height, "Levo": self.left, "Gor": self.top,
            "Status": 0}}))
        write_bytes(os.path.join(folder, "color.cld"), ini_text({"ColorDialog": {
            "Color": self.color, "FullOpen": 1}}))
        agents = [b"Mozilla/5.0 (X11; Linux x86_64) Stress", self.agent]
        write_bytes(os.path.join(folder, "uas.cfg"), b"".join(a + b"\r\n" for a in agents))
        return {name: read_bytes(os.path.join(folder, name)) for name in FILES}

    def problems(self, folder, before):
        """What is wrong with the files after a run: [] when nothing."""
        found = []
        for name in FILES:
            data = read_bytes(os.path.join(folder, name))
            if data is None:
                found.append(f"{name} missing")
            elif data != before[name] and not self._saved(name, data):
                found.append(f"{name} neither as before nor a save of the same settings: {data[:300]!r}")
        for entry in os.listdir(folder):
            if ".bad" in entry:
                found.append(f"{entry}: a sound file was taken for a damaged one")
        return found

    def _saved(self, name, data):
        if name == "uas.cfg":
            return data.endswith(b"\r\n") and self.agent in agent_lines(data)
        ini = parse_ini(data)
        if ini is None:
            return False
        if name == "Orvindel.cfg":
            c = ini.get("config", {})
            return (c.get("homepage") == self.home and c.get("transparent") == self.alpha
                    and c.get("popblock") == self.popblock and c.get("backtext") == "0"
                    and "hide" in ini.get("hmenu", {}))
        if name == "Progset.cfg":
            v = ini.get("velikost", {})
            return ([v.get(k) for k in ("sirina", "visina", "levo", "gor", "status")]
                    == [str(x) for x in (self.width, self.height, self.left, self.top, 0)])
        if name == "color.cld":
            return ini.get("colordialog", {}).get("color") == self.color
        return False


# --- running the program ----------------------------------------------------------

class Session:
    """The X server, the session bus and the logs of every run."""

    def __init__(self, browser, root):
        self.browser = browser
        self.root = root
        self.xvfb, display = start_x_server_apart()
        if not self.xvfb:
            raise SystemExit("stress: cannot start Xvfb")
        use_display(display)
        self.bus, self.bus_address = start_session_bus(root)
        self.keep = {p.pid for p in (self.xvfb, self.bus) if p}
        self.count = 0

    def home(self, name):
        home = os.path.join(self.root, name)
        shutil.rmtree(home, ignore_errors=True)
        os.makedirs(home)
        return home

    def start(self, home, extra_env=None, args=()):
        env = browser_env(home, self.bus_address)
        env.update(extra_env or {})
        self.count += 1
        log = os.path.join(self.root, f"run-{self.count}.log")
        return Browser(self.browser, list(args), env, log)

    def finish(self, browser):
        browser.kill()
        sweep(self.keep)

    def close(self):
        sweep(self.keep)
        stop_process(self.bus)
        stop_process(self.xvfb)


def data_folder(home):
    return os.path.join(home, "data", "Orvindel")


def wait_exit(browser, deadline_s):
    try:
        return browser.proc.wait(timeout=deadline_s)
    except Exception:  # noqa: BLE001 (subprocess.TimeoutExpired)
        return None


def baseline(session, home, fail):
    """One clean start and close on `home`: the program's own files."""
    b = session.start(home)
    try:
        if not fail.check(wait_for_window("^Orvindel", b.proc, WINDOW_DEADLINE_S) is not None,
                          f"baseline: no window ({describe_status(b.proc.poll())})\n{b.output()}"):
            return None
        time.sleep(0.5)
        status = b.terminate(EXIT_DEADLINE_S)
        if not fail.check(status == 0, f"baseline: {describe_status(status)}\n{b.output()}"):
            return None
    finally:
        session.finish(b)
    config = parse_ini(read_bytes(os.path.join(data_folder(home), "Orvindel.cfg")))
    fail.check(config is not None and "config" in config, "baseline: no Orvindel.cfg written")
    return config


# --- the kill loop ------------------------------------------------------------------

def kill_loop(session, runs, rng, fail):
    home = session.home("kill-loop")
    config = baseline(session, home, fail)
    if config is None:
        return
    folder = data_folder(home)
    counts = {"runs": 0, "corrupt or reset": 0, "missing": 0, "crash": 0, "hang": 0,
              "saved": 0, "killed before main": 0}
    started = time.monotonic()
    for run in range(1, runs + 1):
        shape = Shape(run)
        before = shape.apply(folder, config)
        mode = rng.choice(["term", "term", "kill", "term+kill"])
        delay = rng.uniform(0, SIGNAL_WINDOW_S)
        b = session.start(home)
        try:
            time.sleep(delay)
            if mode == "kill":
                b.proc.send_signal(signal.SIGKILL)
                status = wait_exit(b, EXIT_DEADLINE_S)
            else:
                if b.proc.poll() is None:
                    b.proc.send_signal(signal.SIGTERM)
                if mode == "term+kill":
                    time.sleep(rng.uniform(0, KILL_AFTER_TERM_S))
                    if b.proc.poll() is None:
                        b.proc.send_signal(signal.SIGKILL)
                status = wait_exit(b, EXIT_DEADLINE_S)
            what = f"run {run} ({mode} after {delay:.2f} s)"
            counts["runs"] += 1
            if status is None:
                counts["hang"] += 1
                fail.check(False, f"{what}: still running {EXIT_DEADLINE_S} s later\n{b.output()}")
            elif status == -signal.SIGTERM and mode != "kill":
                counts["killed before main"] += 1
            elif status not in (0, -signal.SIGKILL) or (mode == "term" and status != 0):
                counts["crash"] += 1
                fail.check(False, f"{what}: {describe_status(status)}\n{b.output()}")
            problems = shape.problems(folder, before)
            for p in problems:
                counts["missing" if p.endswith("missing") else "corrupt or reset"] += 1
                fail.check(False, f"{what}: {p}")
            if not problems and read_bytes(os.path.join(folder, "Orvindel.cfg")) != before["Orvindel.cfg"]:
                counts["saved"] += 1
            # Whatever the run left (a cut save, a copy) must not mislead the next one.
            if problems:
                for entry in os.listdir(folder):
                    if ".bad" in entry:
                        os.remove(os.path.join(folder, entry))
        finally:
            session.finish(b)
    elapsed = time.monotonic() - started
    print("kill loop: " + ", ".join(f"{k} {v}" for k, v in counts.items()) + f"; {elapsed:.0f} s",
          flush=True)


# --- hostile files ----------------------------------------------------------------------

def lvf(count, records=b""):
    return b"LVF" + count.to_bytes(2, "little") + records


HOSTILE = [
    # (name, {file: bytes} in the Orvindel folder, expected message boxes)
    ("binary garbage Orvindel.cfg", {"Orvindel.cfg": bytes(range(256)) * 64}, 0),
    ("50 MB Orvindel.cfg", {"Orvindel.cfg": b"[Config]\nHomepage=x\n" + b"z" * (50 << 20)}, 0),
    ("LVF count of four billion",
     {"2favlist.ovf": lvf(0xFFFF, b"\xff\xff\xff\xff" * 8 + (0xFFFFFFFF).to_bytes(4, "little") * 4)}, 0),
    ("10 MB uas.cfg line", {"uas.cfg": b"A" * (10 << 20) + b"\r\n"}, 0),
    ("CR/LF and NUL in uas.cfg", {"uas.cfg": b"one\r\ntwo\rthree\nfo\x00ur\r\n\r\nfive"}, 0),
    ("huge negative Progset.cfg",
     {"Progset.cfg": b"[Velikost]\nSirina=-2147483648\nVisina=99999999999\nLevo=-2147483648\n"
                     b"Gor=-2147483647\nStatus=-7\n"}, 0),
    ("garbage color.cld", {"color.cld": b"\x00\x01\x02\xff" * 1000}, 0),
]


def originals_kept(folder, originals, fail, what):
    for name, data in originals.items():
        now = read_bytes(os.path.join(folder, name))
        if now == data:
            continue
        copies = sorted(e for e in os.listdir(folder) if e.startswith(name + ".bad"))
        fail.check(any(read_bytes(os.path.join(folder, c)) == data for c in copies),
                   f"{what}: {name} was replaced and no copy holds the original (copies: {copies})")


def window_on_screen(window, fail, what):
    try:
        x, y, w, h = window_geometry(window)
    except (RuntimeError, KeyError) as e:
        fail.check(False, f"{what}: cannot read the window's geometry: {e}")
        return
    visible_w = min(x + w, SCREEN[0]) - max(x, 0)
    visible_h = min(y + h, SCREEN[1]) - max(y, 0)
    fail.check(visible_w >= 100 and visible_h >= 50,
               f"{what}: the window lies off the screen at {x},{y} {w}x{h}")


def run_hostile(session, name, files, boxes, fail, data_is_file=False):
    home = session.home("hostile")
    folder = data_folder(home)
    if data_is_file:
        os.makedirs(os.path.dirname(folder))
        write_bytes(folder, b"this is where the folder should be")
    else:
        os.makedirs(folder)
        for f, data in files.items():
            write_bytes(os.path.join(folder, f), data)
    b = session.start(home)
    try:
        window = wait_for_window("^Orvindel$", b.proc, WINDOW_DEADLINE_S)
        if not fail.check(window is not None, f"{name}: no window ({describe_status(b.proc.poll())})\n{b.output()}"):
            return
        time.sleep(1.5)
        shown = len(visible_windows("^Orvindel$")) - 1
        fail.check(shown == boxes, f"{name}: {shown} message boxes, expected {boxes}")
        window_on_screen(window, fail, name)
        status = b.terminate(EXIT_DEADLINE_S)
        fail.check(status == 0, f"{name}: {describe_status(status)} after SIGTERM\n{b.output()}")
    finally:
        session.finish(b)
    if data_is_file:
        fail.check(read_bytes(folder) == b"this is where the folder should be",
                   f"{name}: the file in the folder's place was changed")
    elif name.startswith("CR/LF"):
        # Read whole: written back in the list's own form, every agent kept.
        lines = agent_lines(read_bytes(os.path.join(folder, "uas.cfg")) or b"")
        fail.check(set(lines) == {b"one", b"two", b"three", b"fo\x00ur", b"five"},
                   f"{name}: agents read back as {lines}")
    else:
        originals_kept(folder, files, fail, name)
    print(f"hostile: {name}: done", flush=True)


def hostile(session, fail):
    for name, files, boxes in HOSTILE:
        run_hostile(session, name, files, boxes, fail)
    run_hostile(session, "an Orvindel that is a file", {}, 1, fail, data_is_file=True)


# --- a signal at each start-up step -------------------------------------------------------

def steps(session, fail):
    home = session.home("steps")
    if baseline(session, home, fail) is None:
        return
    folder = data_folder(home)
    # The program's own form of every file, as its close writes them.
    if baseline(session, home, fail) is None:
        return
    saved = {name: read_bytes(os.path.join(folder, name)) for name in FILES}
    passed = 0
    for step in range(1, STARTUP_STEPS + 1):
        for name, data in saved.items():
            write_bytes(os.path.join(folder, name), data)
        b = session.start(home, {"ORV_TEST_SIGNAL_AT_STEP": str(step)})
        try:
            status = wait_exit(b, EXIT_DEADLINE_S)
            ok = fail.check(status == 0, f"signal at step {step}: {describe_status(status)}\n{b.output()}")
            after = read_bytes(os.path.join(folder, "Orvindel.cfg"))
            ok = fail.check(after == saved["Orvindel.cfg"],
                            f"signal at step {step}: Orvindel.cfg changed:\n{after!r}") and ok
            passed += ok
        finally:
            session.finish(b)
    print(f"start-up steps: {passed} of {STARTUP_STEPS} steps closed cleanly with the settings unchanged",
          flush=True)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--browser", required=True)
    ap.add_argument("--runs", type=int, default=100)
    ap.add_argument("--seed", type=int, default=None)
    ap.add_argument("--only", choices=["kill", "hostile", "steps"])
    args = ap.parse_args()
    browser = os.path.abspath(args.browser)
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    print(f"stress: seed {seed}", flush=True)
    rng = random.Random(seed)

    exit_on_signals()
    become_subreaper()
    root = tempfile.mkdtemp(prefix="orvindel-stress-")
    fail = Failures()
    session = Session(browser, root)
    started = time.monotonic()
    try:
        if args.only in (None, "steps"):
            steps(session, fail)
        if args.only in (None, "hostile"):
            hostile(session, fail)
        if args.only in (None, "kill"):
            kill_loop(session, args.runs, rng, fail)
    finally:
        session.close()
        if not fail.messages:
            shutil.rmtree(root, ignore_errors=True)
    print(f"stress: {time.monotonic() - started:.0f} s, "
          f"{'no failures' if not fail.messages else f'{len(fail.messages)} failures; logs in {root}'}",
          flush=True)
    return 1 if fail.messages else 0


if __name__ == "__main__":
    sys.exit(main())
