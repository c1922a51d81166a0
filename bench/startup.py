#!/usr/bin/env python3
"""Start-up time of orvindel next to the bare GTK + WebKit floor.

Times, for each program, the span from just before the process is spawned to
the moment the local server receives the page's load-event beacon. The same
page, the same server and the same clock serve all programs, so the figures
compare like with like:

  orvindel         the browser under test
  minimal_browser  one gtkmm window with one WebKitWebView (bench/minimal_browser.cpp),
                   the floor this stack allows
  MiniBrowser      WebKitGTK's own test browser, a second reference

Runs are interleaved (one of each program per round, order rotated every
round) so that drift in machine load hits all programs alike. Every run gets a
fresh temporary HOME and XDG folders, so each one is a first start.

Needs an X display:  xvfb-run -a python3 bench/startup.py --build build
"""

import argparse
import ctypes
import http.server
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"

# The beacon is a synchronous XMLHttpRequest on purpose: it keeps the load
# handler running until the server has the request, so the web process cannot
# report the load finished before the beacon is on the wire. minimal_browser
# quits on "load finished"; with an asynchronous beacon it could tear down the
# network process before the request left, and its run would be lost.
PAGE = b"""<!doctype html>
<html><head><meta charset="utf-8"><title>Orvindel start-up bench</title>
<style>body{font:16px sans-serif;margin:2em}</style></head>
<body><h1>Start-up bench</h1>
<p>This page reports its load event to the bench server and is then closed.</p>
<script>
addEventListener('load', function () {
  var url = '/beacon' + location.search;
  try {
    var xhr = new XMLHttpRequest();
    xhr.open('GET', url, false);
    xhr.send();
  } catch (e) {
    navigator.sendBeacon(url);
  }
});
</script></body></html>
"""


class BeaconServer:
    """Serves PAGE and records when each run's beacon arrives."""

    def __init__(self):
        self._cond = threading.Condition()
        self._arrivals = {}  # run id -> time.monotonic() of the beacon
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def do_GET(self):
                now = time.monotonic()
                parsed = urllib.parse.urlsplit(self.path)
                if parsed.path == "/beacon":
                    run = urllib.parse.parse_qs(parsed.query).get("run", [""])[0]
                    owner._record(run, now)
                    self._reply(204, b"", "text/plain")
                elif parsed.path == "/page":
                    self._reply(200, PAGE, "text/html; charset=utf-8")
                else:
                    self._reply(404, b"not here\n", "text/plain")

            do_POST = do_GET  # sendBeacon posts

            def _reply(self, status, body, ctype):
                length = int(self.headers.get("Content-Length") or 0)
                if length:
                    self.rfile.read(length)
                self.send_response(status)
                self.send_header("Content-Type", ctype)
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Cache-Control", "no-store")
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        self._thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self._thread.start()

    def _record(self, run, when):
        with self._cond:
            self._arrivals.setdefault(run, when)
            self._cond.notify_all()

    def wait_for(self, run, deadline, proc):
        """Beacon time for `run`, or None once `deadline` passes or `proc` died."""
        with self._cond:
            while run not in self._arrivals:
                left = deadline - time.monotonic()
                if left <= 0 or proc.poll() is not None:
                    break
                self._cond.wait(min(left, 0.25))
            return self._arrivals.get(run)

    def url(self, run):
        return f"http://127.0.0.1:{self.port}/page?run={run}"

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def become_subreaper():
    """Orphaned grandchildren (daemons WebKit or GTK start) are reparented to
    us instead of init, so the sweep below can find and end them."""
    try:
        libc = ctypes.CDLL(None, use_errno=True)
        PR_SET_CHILD_SUBREAPER = 36
        return libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) == 0
    except (OSError, AttributeError):
        return False


def own_children(keep=()):
    me = os.getpid()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in keep:
            continue
        try:
            with open(f"/proc/{entry}/stat", "rb") as f:
                stat = f.read()
        except OSError:
            continue
        # The command name may hold spaces and parentheses; fields resume after the last ')'.
        fields = stat[stat.rfind(b")") + 2:].split()
        if len(fields) > 1 and int(fields[1]) == me:
            found.append(int(entry))
    return found


def sweep(keep=(), deadline_s=5.0):
    """Kill, by pid, every remaining child of ours except `keep`, and reap them."""
    deadline = time.monotonic() + deadline_s
    while True:
        pids = own_children(keep)
        for pid in pids:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        for pid in pids:
            try:
                os.waitpid(pid, os.WNOHANG)
            except ChildProcessError:
                pass
        if not pids or time.monotonic() > deadline:
            return
        time.sleep(0.05)


def stop(proc, grace_s):
    if proc.poll() is None:
        try:
            proc.send_signal(signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            proc.wait(timeout=grace_s)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(timeout=5)
    return proc.returncode


def start_session_bus(folder):
    """A private D-Bus session bus shared by all runs, as a desktop would have.
    Without one GLib autolaunches a bus per X display that outlives the bench."""
    daemon = shutil.which("dbus-daemon")
    if not daemon:
        return None, None
    address = f"unix:path={folder}/bus"
    proc = subprocess.Popen(
        [daemon, "--session", "--nofork", "--print-address=1", f"--address={address}"],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    ready, _, _ = select.select([proc.stdout], [], [], 10)
    line = proc.stdout.readline().decode().strip() if ready else ""
    if not line:
        stop(proc, 2)
        return None, None
    return proc, line


def child_env(home, bus_address):
    env = {k: v for k, v in os.environ.items()
           if k.lower() not in ("http_proxy", "https_proxy", "all_proxy", "ftp_proxy")}
    env["no_proxy"] = env["NO_PROXY"] = "127.0.0.1,localhost"
    for name, sub in (("XDG_DATA_HOME", "data"), ("XDG_CONFIG_HOME", "config"),
                      ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "runtime")):
        path = os.path.join(home, sub)
        os.makedirs(path, mode=0o700, exist_ok=True)
        env[name] = path
    env["HOME"] = home
    if bus_address:
        env["DBUS_SESSION_BUS_ADDRESS"] = bus_address
    return env


def one_run(server, name, binary, run_id, timeout_s, bus, keep_logs):
    home = tempfile.mkdtemp(prefix=f"orvindel-bench-{name}-")
    log_path = os.path.join(home, "stderr.log")
    try:
        with open(log_path, "wb") as log:
            env = child_env(home, bus)
            start = time.monotonic()
            proc = subprocess.Popen([binary, server.url(run_id)], env=env, cwd=home,
                                    stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                    start_new_session=True)
            try:
                arrived = server.wait_for(run_id, start + timeout_s, proc)
                early_exit = proc.poll()
            finally:
                stop(proc, grace_s=10)
        if arrived is None:
            with open(log_path, "rb") as f:
                tail = f.read()[-2000:].decode(errors="replace")
            why = "timed out" if early_exit is None else f"exited with status {early_exit}"
            print(f"  {name}: no beacon within {timeout_s:.0f} s ({why}); stderr tail:\n{tail}", file=sys.stderr)
            return None
        return (arrived - start) * 1000.0
    finally:
        if keep_logs:
            print(f"  {name}: log kept in {home}", file=sys.stderr)
        else:
            shutil.rmtree(home, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default="build", help="CMake build folder holding orvindel and minimal_browser")
    ap.add_argument("--runs", type=int, default=10, help="timed runs per program (default 10)")
    ap.add_argument("--warmup", type=int, default=1,
                    help="untimed rounds first, so cold disk caches do not land on whichever program goes first")
    ap.add_argument("--timeout", type=float, default=30.0, help="seconds to wait for one beacon")
    ap.add_argument("--orvindel", help="path of orvindel (default BUILD/orvindel)")
    ap.add_argument("--minimal", help="path of minimal_browser (default BUILD/minimal_browser)")
    ap.add_argument("--minibrowser", default=MINIBROWSER, help="path of WebKitGTK's MiniBrowser")
    ap.add_argument("--keep-logs", action="store_true", help="keep each run's folder and stderr")
    args = ap.parse_args()

    if not os.environ.get("DISPLAY") and not os.environ.get("WAYLAND_DISPLAY"):
        sys.exit("startup.py: no display; run it as: xvfb-run -a python3 bench/startup.py --build build")
    if args.runs < 1:
        sys.exit("startup.py: --runs must be at least 1")

    programs = [
        ("orvindel", args.orvindel or os.path.join(args.build, "orvindel")),
        ("minimal", args.minimal or os.path.join(args.build, "minimal_browser")),
        ("MiniBrowser", args.minibrowser),
    ]
    present = []
    for name, path in programs:
        if os.access(path, os.X_OK) and os.path.isfile(path):
            present.append((name, os.path.abspath(path)))
        else:
            print(f"startup.py: {name} not found at {path}; left out", file=sys.stderr)
    if not present:
        sys.exit("startup.py: nothing to time")

    become_subreaper()
    bus_folder = tempfile.mkdtemp(prefix="orvindel-bench-bus-")
    bus_proc, bus_address = start_session_bus(bus_folder)
    keep = {bus_proc.pid} if bus_proc else set()
    server = BeaconServer()
    times = {name: [] for name, _ in present}
    failures = {name: 0 for name, _ in present}
    serial = 0
    try:
        rounds = args.warmup + args.runs
        for rnd in range(rounds):
            timed = rnd >= args.warmup
            shift = rnd % len(present)
            order = present[shift:] + present[:shift]
            label = f"round {rnd - args.warmup + 1}/{args.runs}" if timed else f"warm-up {rnd + 1}/{args.warmup}"
            cells = []
            for name, binary in order:
                serial += 1
                ms = one_run(server, name, binary, f"{serial}-{name}", args.timeout,
                             bus_address, args.keep_logs)
                sweep(keep)
                if ms is None:
                    if timed:
                        failures[name] += 1
                    cells.append(f"{name} failed")
                    continue
                if timed:
                    times[name].append(ms)
                cells.append(f"{name} {ms:.0f} ms")
            print(f"{label}: " + ", ".join(cells), file=sys.stderr, flush=True)
    finally:
        server.close()
        if bus_proc:
            stop(bus_proc, 2)
        sweep()
        shutil.rmtree(bus_folder, ignore_errors=True)

    print()
    print(f"Start to load-event beacon, {args.runs} runs each (ms)")
    print(f"{'program':<12} {'ok':>4} {'median':>8} {'min':>8} {'max':>8}")
    medians, minima = {}, {}
    for name, _ in present:
        t = times[name]
        if t:
            medians[name], minima[name] = statistics.median(t), min(t)
            print(f"{name:<12} {len(t):>4} {medians[name]:>8.0f} {minima[name]:>8.0f} {max(t):>8.0f}")
        else:
            print(f"{name:<12} {0:>4} {'-':>8} {'-':>8} {'-':>8}")
    print()
    for name in ("orvindel", "MiniBrowser"):
        if name in medians and "minimal" in medians:
            print(f"{name}/minimal: median {medians[name] / medians['minimal']:.2f}x, "
                  f"min {minima[name] / minima['minimal']:.2f}x")
    if any(failures.values()):
        print("failed runs: " + ", ".join(f"{n} {c}" for n, c in failures.items() if c))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
