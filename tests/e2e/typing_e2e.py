#!/usr/bin/env python3
"""The real orvindel driven from the keyboard, as a user drives it.

xdotool sends real key presses (XTEST) to the browser window, and the local
server checks what arrives:

  * each of the three address-bar keys (Ctrl+L, Alt+D, F6) puts the keyboard
    into the address bar; typing an address and Return makes the browser
    probe it ("InetURL:/1.0") and then load it with its own user agent;
  * Ctrl+T opens a new tab: the next page gets a web process of its own and
    the earlier pages keep theirs;
  * Ctrl+W closes the active tab: its web process ends, the others stay;
  * two words typed over the selected address are not an address: the probe
    fails, and the browser opens the search of the default engine, Google.
    The machine has no internet, so the browser's proxy is our server: GIO's
    proxy resolver and WebKit's network process both honour http_proxy, and
    the search arrives here as a proxy request for www.google.com.

A screenshot of the window with three tabs is kept in the artifacts folder.
The test runs the browser on an X server of its own (Xvfb): on the suite's
display another test's window could take the keys or cover the screenshot.
Needs Xvfb and xdotool.

usage: typing_e2e.py --browser build/orvindel --screenshot-tool build/tests/e2e/x11_screenshot
                     [--artifacts build/artifacts]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from harness import (browser_arguments, BUILTIN_UA, PROBE_UA, Browser, Failures, LocalServer, become_subreaper,
                     browser_env, describe_status, exit_on_signals, focus_window,
                     start_session_bus, start_x_server, sweep, take_screenshot, wait_for_processes,
                     wait_for_window, xdotool)

# Together, with the screenshot's 10 s, less than CTest's 150 s, so a hang
# shows up as its message rather than as a kill.
WINDOW_DEADLINE_S = 30
PAGE_DEADLINE_S = 12
PROCESS_DEADLINE_S = 5
EXIT_DEADLINE_S = 20

SEARCH_TEXT = "orvindel test"
# The default engine's address with the text as typed; WebKit percent-encodes
# the blank on the wire.
SEARCH_TARGET = "http://www.google.com/search?ie=ISO-8859-1&hl=us&q=orvindel%20test"

# The pages, each opened with another of the keys that focus the address bar
# and typed as a user would: without a scheme, with one, with a query. A
# colour band tells the tabs apart on the screenshot.
PAGES = [
    # (name, key before typing, typed text as a format of the port, band colour)
    ("one", None, "127.0.0.1:{port}/one.html", "#1c6e3d"),
    ("two", "ctrl+t", "http://127.0.0.1:{port}/two.html", "#1f4e9c"),
    ("three", "ctrl+t", "http://127.0.0.1:{port}/three.html?from=keyboard", "#a3361f"),
]
FOCUS_KEYS = ["ctrl+l", "alt+d", "F6"]

PAGE = """<!doctype html>
<html><head><meta charset="utf-8"><title>Page {name}</title>
<style>body{{font:28px sans-serif;margin:0}} #band{{background:{colour};color:#fff;padding:2em}}</style>
</head><body><div id="band">Orvindel typing test: page {name}</div>
<script>
addEventListener('load', function () {{
  fetch('/loaded?page={name}', {{ cache: 'no-store' }});
}});
</script></body></html>
"""

SEARCH_PAGE = b"""<!doctype html><title>Search</title><p>The search reached the test proxy.</p>
<script>addEventListener('load', function () { fetch('/loaded?page=search'); });</script>"""


def respond(request):
    if request.target.startswith("http://"):
        # A request for us as the proxy. Only the search exists out there;
        # any other host fails the way a real proxy fails a lookup.
        if request.host == "www.google.com" and request.path == "/search":
            return 200, SEARCH_PAGE, "text/html; charset=utf-8"
        if request.host == "www.google.com" and request.path == "/loaded":
            return 204, b"", "text/plain"
        return 502, b"no such host\n", "text/plain"
    if request.path == "/loaded":
        return 204, b"", "text/plain"
    for name, _, _, colour in PAGES:
        if request.path == f"/{name}.html":
            return 200, PAGE.format(name=name, colour=colour).encode(), "text/html; charset=utf-8"
    return 404, b"not here\n", "text/plain"


def find_window(proc):
    """The browser's visible top-level window, focused so that keys go to it
    through XTEST like real typing."""
    window = wait_for_window("^Orvindel$", proc, WINDOW_DEADLINE_S)
    if window:
        focus_window(window)
    return window


def requests_for(requests, path):
    return [r for r in requests if not r.target.startswith("http://") and r.path == path]


def open_page(server, browser, fail, focus_key, text, name):
    """Focuses the address bar, types `text`, presses Return and waits for
    the page to load. Answers whether it did."""
    path = f"/{name}.html"
    before = len(server.requests())
    xdotool("key", focus_key)
    xdotool("type", "--delay", "20", text)
    xdotool("key", "Return")
    loaded = server.wait_for(
        lambda requests: True if any(r.path == "/loaded" and r.query == f"page={name}" for r in requests)
        else None, PAGE_DEADLINE_S, browser.proc)
    typed = server.requests()[before:]
    seen = requests_for(typed, path)
    agents = [r.user_agent for r in seen]
    if not fail.check(loaded, f"{focus_key}, '{text}', Return: page {name} did not load within "
                      f"{PAGE_DEADLINE_S} s; the server saw {[(r.target, r.user_agent) for r in typed]}"):
        return False
    # One probe, then the load, and nothing else asks for the page.
    fail.check(agents == [PROBE_UA, BUILTIN_UA],
               f"page {name}: expected a probe as {PROBE_UA!r} and then a load as {BUILTIN_UA!r}, "
               f"the server saw {agents}")
    expected_target = text[text.index(path):]
    fail.check(all(r.target == expected_target for r in seen),
               f"page {name}: requested as {[r.target for r in seen]}, typed {text!r}")
    return True


def run(args, server, browser, fail, screenshot):
    window = find_window(browser.proc)
    if not fail.check(window, f"no visible window named Orvindel within {WINDOW_DEADLINE_S} s "
                              f"({describe_status(browser.proc.poll())})"):
        return
    tabs = []  # the web process of each open tab, in order
    for (name, before, text, _), focus_key in zip(PAGES, FOCUS_KEYS):
        if before:
            xdotool("key", before)
        if not open_page(server, browser, fail, focus_key, text.format(port=server.port), name):
            return
        known = set(tabs)
        pids = wait_for_processes(browser.proc, lambda p: known <= p and len(p - known) == 1, PROCESS_DEADLINE_S)
        new = pids - known
        if not fail.check(known <= pids and len(new) == 1,
                          f"page {name}: expected a new tab with a web process of its own next to "
                          f"{sorted(known)}, found {sorted(pids)}"):
            return
        tabs.append(new.pop())

    time.sleep(1.0)  # the last load event fired; give the window a moment to paint
    take_screenshot(args.screenshot_tool, screenshot, fail)

    xdotool("key", "ctrl+w")
    closed, kept = tabs[-1], set(tabs[:-1])
    pids = wait_for_processes(browser.proc, lambda p: closed not in p, PROCESS_DEADLINE_S)
    fail.check(closed not in pids and kept <= pids,
               f"Ctrl+W: expected the third tab's web process {closed} to end and {sorted(kept)} "
               f"to stay, found {sorted(pids)}")

    # Ctrl+L selects the address shown, so the typed words replace it.
    before = len(server.requests())
    xdotool("key", "ctrl+l")
    xdotool("type", "--delay", "20", SEARCH_TEXT)
    xdotool("key", "Return")
    search = server.wait_for(
        lambda requests: next((r for r in requests[before:] if r.target == SEARCH_TARGET), None),
        PAGE_DEADLINE_S, browser.proc)
    typed = server.requests()[before:]
    fail.check(search is not None,
               f"'{SEARCH_TEXT}', Return: no request for {SEARCH_TARGET} reached the proxy within "
               f"{PAGE_DEADLINE_S} s; after typing it saw {[(r.target, r.user_agent) for r in typed]}")
    if search:
        fail.check(search.user_agent == BUILTIN_UA,
                   f"the search was sent as {search.user_agent!r}, not {BUILTIN_UA!r}")
    probes = [r for r in typed if r.user_agent == PROBE_UA]
    fail.check([r.target for r in probes] == ["http://orvindel%20test/"],
               f"'{SEARCH_TEXT}': expected one probe of http://orvindel%20test/ through the proxy, "
               f"saw {[r.target for r in probes]}")
    # Typed after the old address instead of over it, the words would have
    # gone to the local server.
    local = [r.target for r in typed if not r.target.startswith("http://") and "orvindel" in r.target]
    fail.check(not local, f"'{SEARCH_TEXT}' asked the local server for {local}")
    # The search page's load event, so that the close below finds the
    # browser idle. A second later the engine has surely reported the load
    # finished as well; closing while a search still loads is another matter.
    if search:
        loaded = server.wait_for(
            lambda requests: True if any(r.host == "www.google.com" and r.path == "/loaded"
                                         for r in requests[before:]) else None,
            PAGE_DEADLINE_S, browser.proc)
        fail.check(loaded, f"the search page did not load within {PAGE_DEADLINE_S} s")
        time.sleep(1.0)


def main():
    args = browser_arguments(__doc__)

    for tool in ("xdotool", "Xvfb"):
        if not shutil.which(tool):
            print(f"FAIL: {tool} is not installed (scripts/install-deps installs it)", flush=True)
            return 1
    for path in (args.browser, args.screenshot_tool):
        if not (os.path.isfile(path) and os.access(path, os.X_OK)):
            print(f"FAIL: {path} is not an executable file", flush=True)
            return 1
    exit_on_signals()

    artifacts = os.path.abspath(args.artifacts)
    os.makedirs(artifacts, exist_ok=True)
    screenshot = os.path.join(artifacts, "three-tabs.png")
    if os.path.exists(screenshot):
        os.remove(screenshot)  # a stale picture from an earlier run would mislead

    fail = Failures()
    become_subreaper()
    home = tempfile.mkdtemp(prefix="orvindel-typing-")
    x_proc = bus_proc = server = browser = None
    try:
        x_proc, display = start_x_server()
        if not x_proc:
            print("FAIL: Xvfb did not start", flush=True)
            return 1
        # The browser, xdotool and the screenshot helper all use this display.
        os.environ["DISPLAY"] = display
        os.environ.pop("XAUTHORITY", None)
        os.environ.pop("WAYLAND_DISPLAY", None)
        bus_proc, bus_address = start_session_bus(home)
        server = LocalServer(respond)
        env = browser_env(home, bus_address)
        # Our server is the browser's proxy for everything but this machine.
        # The desktop variables are dropped so that GIO's resolver reads the
        # environment rather than a desktop's proxy settings.
        proxy = server.url("/")
        env.update(http_proxy=proxy, HTTP_PROXY=proxy, GSETTINGS_BACKEND="memory")
        for name in ("XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "GNOME_DESKTOP_SESSION_ID",
                     "KDE_FULL_SESSION"):
            env.pop(name, None)
        browser = Browser(args.browser, [], env, os.path.join(artifacts, "typing-e2e.log"))
        try:
            run(args, server, browser, fail, screenshot)
        except (RuntimeError, subprocess.TimeoutExpired) as e:
            fail.check(False, str(e))
        status = browser.terminate(EXIT_DEADLINE_S)
        fail.check(status == 0, f"after SIGTERM orvindel gave {describe_status(status)} "
                                f"within {EXIT_DEADLINE_S} s, expected exit status 0")
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
        print(f"typing_e2e: {len(fail.messages)} failure(s); artifacts in {artifacts}", flush=True)
        return 1
    print(f"typing_e2e: passed; screenshot at {screenshot}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
