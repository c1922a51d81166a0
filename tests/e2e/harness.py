"""What every end-to-end test of the orvindel binary needs: a local HTTP server
that records what it is asked, the browser process with a fresh home and a
private session bus, and a clean-up that leaves no process behind; for the
tests that use a private X server, its windows, keys and pixels.

Everything here stays on 127.0.0.1 and in the temporary folder, and every
wait has a deadline.
"""

import argparse
import collections
import ctypes
import http.server
import os
import random
import select
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import urllib.parse

BUILTIN_UA = "Orvindel/1.2.0.0(Compatible; Windows; U; en-US)Version/1.2.0.0"
PROBE_UA = "InetURL:/1.0"

SCREENSHOT_DEADLINE_S = 10
XDOTOOL_DEADLINE_S = 10


class Failures:
    def __init__(self):
        self.messages = []

    def check(self, ok, message):
        if not ok:
            self.messages.append(message)
            print(f"FAIL: {message}", flush=True)
        return ok


# --- the local server ---------------------------------------------------------

# One request as the server saw it. `target` is the request line's target as
# sent: a path for an ordinary request, the whole address for a request sent
# to us as a proxy. `path` and `query` are taken from it either way.
# `headers` holds all request headers, their names in lower case.
Request = collections.namedtuple("Request", "method target path query user_agent host headers",
                                 defaults=(None,))


class LocalServer:
    """An HTTP server on 127.0.0.1 (a free port) that logs every request and
    answers with `respond(request)` -> (status, body bytes, content type),
    or with a fourth item, a dict of further response headers. Answers are
    "Cache-Control: no-store" unless those headers say otherwise. Tests wait
    on the log with wait_for()."""

    def __init__(self, respond):
        self._requests = []
        self._cond = threading.Condition()
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def handle(self):
                # The address probe reads the status and drops the connection.
                try:
                    super().handle()
                except (ConnectionResetError, BrokenPipeError):
                    pass

            def do_GET(self):
                length = int(self.headers.get("Content-Length") or 0)
                if length:
                    self.rfile.read(length)
                parsed = urllib.parse.urlsplit(self.path)
                request = Request(self.command, self.path, parsed.path, parsed.query,
                                  self.headers.get("User-Agent"), self.headers.get("Host"),
                                  {k.lower(): v for k, v in self.headers.items()})
                status, body, ctype, *more = respond(request)
                extra = more[0] if more else {}
                # Logged before the answer leaves, so a waiter woken by the
                # log never runs ahead of what the browser can have seen.
                with owner._cond:
                    owner._requests.append(request)
                    owner._cond.notify_all()
                self.send_response(status)
                self.send_header("Content-Type", ctype)
                if status != 304:  # a 304 describes the stored body, not an empty one
                    self.send_header("Content-Length", str(len(body)))
                if not any(name.lower() == "cache-control" for name in extra):
                    self.send_header("Cache-Control", "no-store")
                for name, value in extra.items():
                    self.send_header(name, value)
                self.end_headers()
                self.wfile.write(body)

            do_POST = do_GET  # sendBeacon posts

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def requests(self):
        with self._cond:
            return list(self._requests)

    def wait_for(self, found, deadline_s, proc):
        """Waits until found(requests) answers something other than None and
        returns it; None once the deadline passed or `proc` ended."""
        deadline = time.monotonic() + deadline_s
        with self._cond:
            while True:
                result = found(list(self._requests))
                if result is not None:
                    return result
                left = deadline - time.monotonic()
                if left <= 0 or proc.poll() is not None:
                    return None
                self._cond.wait(min(left, 0.5))

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


# --- process hygiene ------------------------------------------------------------

def become_subreaper():
    """Daemons started on the browser's behalf (D-Bus services, WebKit helpers)
    are reparented to us rather than to init, so the sweep can end them."""
    try:
        libc = ctypes.CDLL(None, use_errno=True)
        return libc.prctl(36, 1, 0, 0, 0) == 0  # PR_SET_CHILD_SUBREAPER
    except (OSError, AttributeError):
        return False


def _process_table():
    """{pid: (parent pid, command name)} of every process we may read."""
    table = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", "rb") as f:
                stat = f.read()
        except OSError:
            continue
        # The command name may hold spaces and parentheses; fields resume after the last ')'.
        name = stat[stat.find(b"(") + 1:stat.rfind(b")")].decode(errors="replace")
        fields = stat[stat.rfind(b")") + 2:].split()
        if len(fields) > 1:
            table[int(entry)] = (int(fields[1]), name)
    return table


def own_children(keep=()):
    me = os.getpid()
    return [pid for pid, (parent, _) in _process_table().items() if parent == me and pid not in keep]


def descendants(root):
    """{pid: command name} of every process below `root`."""
    table = _process_table()
    children = collections.defaultdict(list)
    for pid, (parent, _) in table.items():
        children[parent].append(pid)
    found, todo = {}, [root]
    while todo:
        for pid in children.get(todo.pop(), []):
            found[pid] = table[pid][1]
            todo.append(pid)
    return found


def sweep(keep=(), deadline_s=5.0):
    """Kill, by pid, whatever children of ours are left (except `keep`) and reap them."""
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


def start_session_bus(folder):
    """A private session bus, as a desktop provides; without one GLib would
    autolaunch a bus that outlives the test."""
    daemon = shutil.which("dbus-daemon")
    if not daemon:
        return None, None
    proc = subprocess.Popen(
        [daemon, "--session", "--nofork", "--print-address=1", f"--address=unix:path={folder}/bus"],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    ready, _, _ = select.select([proc.stdout], [], [], 10)
    address = proc.stdout.readline().decode().strip() if ready else ""
    if not address:
        proc.kill()
        proc.wait(timeout=5)
        return None, None
    return proc, address


def start_x_server(deadline_s=10, display=None):
    """A private Xvfb: (process, ":N"), or (None, None). Without `display`
    the number is picked at random far above the usual ones (see
    start_x_server_apart)."""
    if display is None:
        return start_x_server_apart(deadline_s)
    return _start_x_server(deadline_s, display)


def _start_x_server(deadline_s=10, display=None):
    """A private Xvfb on a free display: (process, ":N"), or (None, None).
    A test that types keys or photographs the screen needs a display no
    other test shares: CTest runs two tests at a time on the suite's one.
    `display` (":N") asks for that number instead of the first free one."""
    xvfb = shutil.which("Xvfb")
    if not xvfb:
        return None, None
    # Xvfb writes the display it took to this pipe once it accepts clients.
    read_end, write_end = os.pipe()
    proc = subprocess.Popen([xvfb, *([display] if display else []), "-displayfd", str(write_end),
                             "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + deadline_s
    try:
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            ready, _, _ = select.select([read_end], [], [], max(left, 0))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                break
            number += chunk
    finally:
        os.close(read_end)
    if not number.strip().isdigit():
        proc.kill()
        proc.wait(timeout=5)
        return None, None
    return proc, ":" + number.decode().strip()


def start_x_server_apart(deadline_s=10, attempts=10):
    """Like start_x_server, on a display number picked at random far above
    the usual ones: the first free number is the one another user's X server
    in a separate temporary folder (a container on the same machine) may
    take too, and two servers on one number answer each other's clients."""
    rng = random.SystemRandom()
    for _ in range(attempts):
        proc, display = _start_x_server(deadline_s, f":{rng.randrange(1000, 30000)}")
        if proc:
            return proc, display
    return None, None


def use_display(display):
    """This process and all it starts (browser, xdotool, screenshot helper)
    use `display`, and nothing of the desktop's."""
    os.environ["DISPLAY"] = display
    os.environ.pop("XAUTHORITY", None)
    os.environ.pop("WAYLAND_DISPLAY", None)


def stop_process(proc):
    if proc and proc.poll() is None:
        proc.kill()
        proc.wait(timeout=5)


def browser_env(home, bus_address):
    env = {k: v for k, v in os.environ.items()
           if k.lower() not in ("http_proxy", "https_proxy", "all_proxy", "ftp_proxy")}
    env["no_proxy"] = env["NO_PROXY"] = "127.0.0.1,localhost"
    env["HOME"] = home
    for name, sub in (("XDG_DATA_HOME", "data"), ("XDG_CONFIG_HOME", "config"),
                      ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "runtime")):
        path = os.path.join(home, sub)
        os.makedirs(path, mode=0o700, exist_ok=True)
        env[name] = path
    if bus_address:
        env["DBUS_SESSION_BUS_ADDRESS"] = bus_address
    return env


class Browser:
    """One orvindel process with its output going to a log file."""

    def __init__(self, binary, args, env, log_path):
        self.log_path = log_path
        self._log = open(log_path, "wb")
        self.proc = subprocess.Popen([binary, *args], env=env, cwd=env["HOME"],
                                     stdin=subprocess.DEVNULL, stdout=self._log,
                                     stderr=self._log, start_new_session=True)

    def terminate(self, deadline_s):
        """SIGTERM, then the exit status, or None if it outlived the deadline."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
        try:
            return self.proc.wait(timeout=deadline_s)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=5)
        self._log.close()

    def output(self, limit=20000):
        try:
            with open(self.log_path, "rb") as f:
                data = f.read()
        except OSError:
            return ""
        text = data[-limit:].decode(errors="replace")
        return text if len(data) <= limit else "[...]\n" + text


def describe_status(status):
    if status is None:
        return "still running"
    if status < 0:
        return f"killed by {signal.Signals(-status).name}"
    return f"exit status {status}"


def exit_on_signals():
    """A CTest time-out or Ctrl-C must still run the test's clean-up."""
    def interrupted(signum, _frame):
        raise SystemExit(f"interrupted by {signal.Signals(signum).name}")
    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGINT, interrupted)


def take_screenshot(tool, target, fail):
    try:
        done = subprocess.run([tool, target], stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=SCREENSHOT_DEADLINE_S)
    except subprocess.TimeoutExpired:
        fail.check(False, f"screenshot helper took more than {SCREENSHOT_DEADLINE_S} s")
        return
    except OSError as e:
        fail.check(False, f"cannot run screenshot helper {tool}: {e}")
        return
    written = os.path.isfile(target) and os.path.getsize(target) > 0
    fail.check(done.returncode == 0 and written,
               f"screenshot helper failed ({describe_status(done.returncode)}, "
               f"{'wrote' if written else 'no'} {target}): {done.stderr.decode(errors='replace').strip()}")


# --- the screen and the keyboard (xdotool on a private X server) ----------------

def xdotool(*args, deadline_s=XDOTOOL_DEADLINE_S):
    done = subprocess.run(["xdotool", *args], stdin=subprocess.DEVNULL, capture_output=True,
                          text=True, timeout=deadline_s)
    if done.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(args)} failed ({done.returncode}): {done.stderr.strip()}")
    return done.stdout.strip()


def visible_windows(name_pattern):
    """Ids of the visible windows whose name matches the regular expression,
    in stacking order. A search that finds nothing is an empty list."""
    done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name_pattern],
                          stdin=subprocess.DEVNULL, capture_output=True, text=True,
                          timeout=XDOTOOL_DEADLINE_S)
    return done.stdout.split() if done.returncode == 0 else []


def window_geometry(window):
    """(x, y, width, height) of a window on the screen."""
    values = {}
    for line in xdotool("getwindowgeometry", "--shell", window).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value) if value.lstrip("-").isdigit() else value
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


def wait_for_window(name_pattern, proc, deadline_s, exclude=()):
    """The first visible window matching the name that is not in `exclude`,
    or None once the deadline passed or `proc` ended."""
    deadline = time.monotonic() + deadline_s
    while True:
        found = [w for w in visible_windows(name_pattern) if w not in exclude]
        if found:
            return found[0]
        if time.monotonic() > deadline or proc.poll() is not None:
            return None
        time.sleep(0.2)


def focus_window(window):
    """Without a window manager nothing gives a window the input focus, and
    GTK ignores key events sent to a window that lacks it (xdotool --window),
    so the window is focused here, as a click would, and keys then go
    through XTEST like real typing."""
    xdotool("windowfocus", "--sync", window)


def wait_for_focus(window, deadline_s):
    """Whether `window` gets the input focus before the deadline."""
    deadline = time.monotonic() + deadline_s
    while True:
        try:
            if xdotool("getwindowfocus", "-f") == window:
                return True
        except RuntimeError:  # the focus is on no window at all (PointerRoot)
            pass
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)


def web_processes(proc):
    """Pids of the WebKit web processes below `proc`. A tab the user opens gets
    one of its own; a window a page opens shares its opener's."""
    return {pid for pid, name in descendants(proc.pid).items() if name.startswith("WebKitWebProces")}


def wait_for_processes(proc, done, deadline_s):
    """The web processes once done(pids) holds, or the last set seen at the deadline."""
    deadline = time.monotonic() + deadline_s
    while True:
        pids = web_processes(proc)
        if done(pids) or time.monotonic() > deadline or proc.poll() is not None:
            return pids
        time.sleep(0.1)


# One colour of a rectangle of the screen: how many pixels have it and the
# box they lie in, edges included.
Colour = collections.namedtuple("Colour", "count left top right bottom")


def screen_colours(tool, target, rect, fail):
    """Writes a screenshot to `target` and answers the colours of `rect`
    (x, y, width, height) in that same picture: {"rrggbb": Colour}, or None
    after a failure that is already reported."""
    command = [tool, target, *(str(v) for v in rect)]
    try:
        done = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                              timeout=SCREENSHOT_DEADLINE_S)
    except subprocess.TimeoutExpired:
        fail.check(False, f"screenshot helper took more than {SCREENSHOT_DEADLINE_S} s")
        return None
    except OSError as e:
        fail.check(False, f"cannot run screenshot helper {tool}: {e}")
        return None
    if not fail.check(done.returncode == 0, f"{' '.join(command)} failed "
                      f"({describe_status(done.returncode)}): {done.stderr.strip()}"):
        return None
    colours = {}
    for line in done.stdout.splitlines():
        rgb, *numbers = line.split()
        colours[rgb] = Colour(*map(int, numbers))
    return colours


# --- one browser on a private display ---------------------------------------------

def browser_arguments(doc):
    """The command line every script that drives the browser takes: the
    binary, the screenshot helper and the artifacts folder."""
    ap = argparse.ArgumentParser(description=doc, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--browser", required=True, help="the orvindel binary")
    ap.add_argument("--screenshot-tool", required=True, help="the x11_screenshot helper")
    ap.add_argument("--artifacts", default="artifacts", help="folder for screenshots and logs")
    return ap.parse_args()


def run_browser_on_private_display(name, args, respond, browser_args, run, configure=None,
                                   after_exit=None, tools=("xdotool", "Xvfb"),
                                   exit_deadline_s=20):
    """The frame of an e2e test that drives one orvindel on an X server of its
    own: a private Xvfb and session bus, a LocalServer answering `respond`, a
    fresh home (`configure(home)` may write files into it first), the browser
    started with `browser_args(server)` and its log in the artifacts folder,
    `run(args, server, browser, fail, home, artifacts)`, then SIGTERM, which
    must give exit status 0, and `after_exit(fail, home)`. Everything is
    cleaned up. Answers the process's exit status (0 when nothing failed)."""
    for tool in tools:
        if not shutil.which(tool):
            print(f"FAIL: {tool} is not installed (scripts/install-deps installs it)", flush=True)
            return 1
    exit_on_signals()
    artifacts = os.path.abspath(args.artifacts)
    os.makedirs(artifacts, exist_ok=True)
    fail = Failures()
    become_subreaper()
    home = tempfile.mkdtemp(prefix=f"orvindel-{name}-")
    x_proc = bus_proc = server = browser = None
    try:
        x_proc, display = start_x_server()
        if not x_proc:
            print("FAIL: Xvfb did not start", flush=True)
            return 1
        os.environ["DISPLAY"] = display
        os.environ.pop("XAUTHORITY", None)
        os.environ.pop("WAYLAND_DISPLAY", None)
        bus_proc, bus_address = start_session_bus(home)
        server = LocalServer(respond)
        env = browser_env(home, bus_address)
        if configure:
            configure(home)
        browser = Browser(args.browser, browser_args(server), env,
                          os.path.join(artifacts, f"{name}-e2e.log"))
        try:
            run(args, server, browser, fail, home, artifacts)
        except (RuntimeError, subprocess.TimeoutExpired) as e:
            fail.check(False, str(e))
        status = browser.terminate(exit_deadline_s)
        fail.check(status == 0, f"after SIGTERM orvindel gave {describe_status(status)} "
                                f"within {exit_deadline_s} s, expected exit status 0")
        if after_exit:
            after_exit(fail, home)
    finally:
        if browser:
            browser.kill()
        if server:
            server.close()
        for proc in (bus_proc, x_proc):
            if proc and proc.poll() is None:
                proc.kill()
                proc.wait(timeout=5)
        sweep()
        shutil.rmtree(home, ignore_errors=True)
    if fail.messages:
        if browser:
            print(f"--- orvindel output ---\n{browser.output()}\n--- end of output ---", flush=True)
        print(f"{name}_e2e: {len(fail.messages)} failure(s); artifacts in {artifacts}", flush=True)
        return 1
    print(f"{name}_e2e: passed", flush=True)
    return 0
