#!/usr/bin/env python3
"""The engine's caches emptied by the real program, seen from a local server
whose stylesheet may be kept for an hour (max-age=3600, with an ETag) and
changes colour each time it is downloaded. The page reports the colour the
stylesheet gave it once everything has loaded, so each load tells both what
the server was asked and what the user saw.

First start ("Brisitemp" 0):
  * the stylesheet's first download is held until the quick menu stands on
    Tools > "Delete Temporary Internet Files"; the command runs just after the
    download, while the engine still holds the copy back from its disk cache
    (it writes it about a second later);
  * well after that write, Refresh must download the stylesheet again, with no
    If-None-Match (nothing is left to revalidate), and show its new colour;
  * Refresh again takes it from the cache: the server sees no request for it
    at all, not even a conditional one (the program's Refresh loads the
    address again, and a fresh stylesheet needs no asking), and the page keeps
    the colour of the cached copy.
Second start ("Brisitemp" 1): Refresh empties the caches itself, so the
stylesheet is downloaded again and its new colour shows.
The cookie the page sets reaches the server on every later request: clearing
the caches leaves cookies alone.

usage: cache_e2e.py --browser build/orvindel --screenshot-tool build/x11_screenshot
                    [--artifacts build/artifacts]
"""

import os
import subprocess
import sys
import threading
import time
import urllib.parse

from harness import (browser_arguments, focus_window, run_browser_on_private_display, take_screenshot,
                     wait_for_window, window_geometry, xdotool)

WINDOW_DEADLINE_S = 30
LOAD_DEADLINE_S = 20
MENU_DEADLINE_S = 10
# The engine writes a downloaded resource to its disk cache about a second
# after the download; the program clears once more when that time is past.
# Nothing outside shows either moment, so the test waits well beyond both.
LATE_WRITE_S = 5
# A click on Refresh that starts no load within this time landed on Stop,
# which takes Refresh's place while the program still counts a load.
CLICK_ANSWER_S = 5
CLICK_ATTEMPTS = 4

COOKIE = "kept=1"
COLOURS = ["rgb(40, 120, 200)", "rgb(200, 80, 40)", "rgb(60, 160, 90)", "rgb(150, 60, 170)",
           "rgb(220, 180, 30)", "rgb(90, 90, 90)"]

PAGE = b"""<!doctype html><html><head><meta charset="utf-8"><title>Cache page</title>
<link rel="stylesheet" href="/style.css"></head>
<body><p>A page whose stylesheet may be kept for an hour.</p>
<script>
addEventListener("load", () => {
  const colour = getComputedStyle(document.body).backgroundColor;
  fetch("/loaded?" + new URLSearchParams({colour}), {cache: "no-store"});
});
</script></body></html>"""


class Site:
    """The server's answers: the stylesheet's n-th download has colour n, and
    its first download may be held until release()."""

    def __init__(self, hold_first):
        self.downloads = 0
        self._lock = threading.Lock()
        self._released = threading.Event()
        if not hold_first:
            self._released.set()

    def release(self):
        self._released.set()

    def respond(self, request):
        if request.path == "/page.html":
            return 200, PAGE, "text/html; charset=utf-8", {
                "Set-Cookie": f"{COOKIE}; Max-Age=3600; Path=/"}
        if request.path == "/style.css":
            self._released.wait(LOAD_DEADLINE_S)
            with self._lock:
                colour = COLOURS[self.downloads % len(COLOURS)]
                self.downloads += 1
                version = self.downloads
            css = f"body {{ background: {colour}; }}".encode()
            return 200, css, "text/css", {"Cache-Control": "max-age=3600", "ETag": f'"v{version}"'}
        return 404, b"not here\n", "text/plain"


def next_load(server, since, proc):
    """The requests of the next load of the page, from request number `since`
    to its report, and the colour it reported; None when none came."""
    def found(requests):
        for i in range(since, len(requests)):
            if requests[i].path == "/loaded":
                return requests[since:i], urllib.parse.parse_qs(requests[i].query).get("colour", [""])[0]
        return None
    return server.wait_for(found, LOAD_DEADLINE_S, proc)


def check_load(fail, step, load, colour, stylesheet_downloaded, first=False):
    """One load as the server saw it: the page asked for once, with the
    cookie unless this is the first visit; the stylesheet downloaded afresh
    once, or not asked for at all; the page showing `colour`."""
    if not fail.check(load, f"{step}: the page did not report a finished load within "
                      f"{LOAD_DEADLINE_S} s"):
        return
    requests, shown = load
    pages = [r for r in requests if r.path == "/page.html"]
    fail.check(len(pages) == 1, f"{step}: the page was asked for {len(pages)} times, expected once")
    if not first:
        fail.check(all(COOKIE in (r.headers.get("cookie") or "") for r in pages),
                   f"{step}: the page was asked for without its cookie {COOKIE!r}: "
                   f"{[r.headers.get('cookie') for r in pages]}")
    sheets = [r for r in requests if r.path == "/style.css"]
    if stylesheet_downloaded:
        conditional = [r for r in sheets if "if-none-match" in r.headers or
                       "if-modified-since" in r.headers]
        fail.check(len(sheets) == 1 and not conditional,
                   f"{step}: expected one unconditional request for the stylesheet, the server saw "
                   f"{[(r.method, r.headers.get('if-none-match')) for r in sheets]}")
    else:
        fail.check(not sheets, f"{step}: the stylesheet should have come from the cache, but the "
                   f"server was asked for it {len(sheets)} times (If-None-Match "
                   f"{[r.headers.get('if-none-match') for r in sheets]})")
    fail.check(shown == colour, f"{step}: the page shows {shown!r}, expected {colour!r}")


def visible_windows_of(proc):
    done = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)],
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=10)
    return done.stdout.split()


def wait_windows(proc, done, deadline_s):
    deadline = time.monotonic() + deadline_s
    while True:
        windows = visible_windows_of(proc)
        if done(len(windows)) or time.monotonic() > deadline or proc.poll() is not None:
            return done(len(windows))
        time.sleep(0.05)


class Toolbar:
    """The navigation bar's buttons, by their place: Back (50 pixels), Forward
    (39), Refresh (30) from the left edge; "Customize and Control" at the
    right end, left of the 23-pixel quick panel; all below the tab strip."""

    def __init__(self, main, screenshot_tool):
        self.x, self.y, self.width, self.height = window_geometry(main)
        self.screenshot_tool = screenshot_tool
        self.row = self.y + 3 + 22 + 15

    def click(self, x):
        xdotool("mousemove", str(x), str(self.row))
        xdotool("click", "1")

    def open_delete_item(self, proc, fail, screenshot):
        """Opens the quick menu and walks to Tools > "Delete Temporary Internet
        Files" without choosing it. Tools is the ninth item from the end (Exit,
        About, Options, Mail Link, Read Mail, Scrolling RSS, Add RSS, RSS
        Reader, Tools); its submenu opens with its first item selected."""
        self.click(self.x + self.width - 23 - 15)
        if not fail.check(wait_windows(proc, lambda n: n > 1, MENU_DEADLINE_S),
                          "the quick menu did not open"):
            return False
        # The keys drive the menu; the pointer waits over the page, where no
        # tooltip can add a window of its own to the count.
        xdotool("mousemove", str(self.x + 20), str(self.y + self.height - 100))
        opened = len(visible_windows_of(proc))
        for _ in range(9):
            xdotool("key", "Up")
        xdotool("key", "Right")
        ok = fail.check(wait_windows(proc, lambda n: n > opened, MENU_DEADLINE_S),
                        "the quick menu's Tools submenu did not open")
        take_screenshot(self.screenshot_tool, screenshot, fail)
        return ok

    def refresh(self, server, proc, fail):
        """Clicks Refresh until a load of the page starts."""
        for _ in range(CLICK_ATTEMPTS):
            before = len([r for r in server.requests() if r.path == "/page.html"])
            self.click(self.x + 50 + 39 + 15)
            if server.wait_for(lambda rs: len([r for r in rs if r.path == "/page.html"]) > before
                               or None, CLICK_ANSWER_S, proc):
                return True
        return fail.check(False, f"{CLICK_ATTEMPTS} clicks on Refresh started no load")


def first_start(args, server, browser, fail, site, artifacts):
    proc = browser.proc
    main = wait_for_window("^Orvindel", proc, WINDOW_DEADLINE_S)
    if not fail.check(main, f"no main window within {WINDOW_DEADLINE_S} s"):
        return
    focus_window(main)
    bar = Toolbar(main, args.screenshot_tool)
    # The page waits for its stylesheet while the menu is made ready.
    ready = bar.open_delete_item(proc, fail, os.path.join(artifacts, "cache-menu.png"))
    site.release()
    check_load(fail, "first load", next_load(server, 0, proc), COLOURS[0], True, first=True)
    if not ready:
        return
    xdotool("key", "Return")
    if not fail.check(wait_windows(proc, lambda n: n == 1, MENU_DEADLINE_S),
                      "the quick menu stayed open after Delete Temporary Internet Files"):
        return
    time.sleep(LATE_WRITE_S)

    since = len(server.requests())
    if bar.refresh(server, proc, fail):
        check_load(fail, "Refresh after Delete Temporary Internet Files",
                   next_load(server, since, proc), COLOURS[1], True)
    since = len(server.requests())
    if bar.refresh(server, proc, fail):
        check_load(fail, "Refresh with the stylesheet in the cache", next_load(server, since, proc),
                   COLOURS[1], False)


def refresh_start(args, server, browser, fail, site, artifacts):
    proc = browser.proc
    main = wait_for_window("^Orvindel", proc, WINDOW_DEADLINE_S)
    if not fail.check(main, f"no main window within {WINDOW_DEADLINE_S} s"):
        return
    check_load(fail, "first load", next_load(server, 0, proc), COLOURS[0], True, first=True)
    focus_window(main)
    bar = Toolbar(main, args.screenshot_tool)
    since = len(server.requests())
    if bar.refresh(server, proc, fail):
        check_load(fail, "Refresh with Brisitemp=1", next_load(server, since, proc), COLOURS[1], True)


def start(args, name, run, clear_on_refresh, hold_first):
    site = Site(hold_first)

    def configure(home):
        # Normal mode: the navigation bar with its own buttons.
        os.makedirs(os.path.join(home, "data", "Orvindel"), exist_ok=True)
        with open(os.path.join(home, "data", "Orvindel", "Orvindel.cfg"), "w") as f:
            f.write(f"[hmenu]\nhide=0\n[Config]\nBrisitemp={1 if clear_on_refresh else 0}\n")

    def go(args, server, browser, fail, home, artifacts):
        try:
            run(args, server, browser, fail, site, artifacts)
        finally:
            site.release()  # no server thread left waiting

    return run_browser_on_private_display(name, args, site.respond,
                                          lambda server: [server.url("/page.html")], go,
                                          configure=configure)


def main():
    args = browser_arguments(__doc__)
    results = [start(args, "cache", first_start, clear_on_refresh=False, hold_first=True),
               start(args, "cache-refresh", refresh_start, clear_on_refresh=True, hold_first=False)]
    return max(results)


if __name__ == "__main__":
    sys.exit(main())
