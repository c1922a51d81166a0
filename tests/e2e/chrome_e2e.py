#!/usr/bin/env python3
"""The real orvindel's window chrome, seen from outside on an X server of its
own:

  * a first run shows the floating navigation bar, 252 x 40, at
    (screen width - 300, 120);
  * a plain http page makes the server see exactly one request for
    /favicon.ico, and the icon shows on the page's tab;
  * F10 gives the main window an opacity property, F10 again takes it away;
  * Ctrl+M hides the floating bar, and the close writes "hide" 0.

The screenshot chrome.png is kept in the artifacts folder.

usage: chrome_e2e.py --browser build/orvindel --screenshot-tool build/x11_screenshot
                     [--artifacts build/artifacts]
"""

import configparser
import os
import struct
import subprocess
import sys
import time
import zlib

from harness import (browser_arguments, focus_window, run_browser_on_private_display, screen_colours,
                     wait_for_window, window_geometry, xdotool)

SCREEN = (1280, 1024)
BAR_SIZE = (252, 40)
WINDOW_DEADLINE_S = 30
REQUEST_DEADLINE_S = 20
SETTLE_S = 1.5
ICON_RGB = "e01b24"  # a red nothing else on the screen has

PAGE = b"""<!doctype html><html><head><meta charset="utf-8"><title>Chrome page</title></head>
<body style="font:24px sans-serif"><p>A page with an icon of its own.</p></body></html>"""


def png(width, height, rgb):
    """A PNG of one colour, made by hand: no imaging library needed."""
    r, g, b = (int(rgb[i:i + 2], 16) for i in (0, 2, 4))
    raw = b"".join(b"\x00" + bytes((r, g, b)) * width for _ in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) +
            chunk(b"IEND", b""))


ICON = png(16, 16, ICON_RGB)


def respond(request):
    if request.path == "/page.html":
        return 200, PAGE, "text/html; charset=utf-8"
    if request.path == "/favicon.ico":
        return 200, ICON, "image/png"
    return 404, b"not here\n", "text/plain"


def bar_window(proc):
    """The process's visible window of the floating bar's size, or None."""
    done = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)],
                          capture_output=True, text=True, timeout=10)
    for window in done.stdout.split():
        try:
            _, _, w, h = window_geometry(window)
        except RuntimeError:
            continue
        if (w, h) == BAR_SIZE:
            return window
    return None


def wait(predicate, deadline_s):
    deadline = time.monotonic() + deadline_s
    while True:
        result = predicate()
        if result or time.monotonic() > deadline:
            return result
        time.sleep(0.2)


def opacity(window):
    """The window's _NET_WM_WINDOW_OPACITY, or None when it has none."""
    done = subprocess.run(["xprop", "-id", window, "_NET_WM_WINDOW_OPACITY"], capture_output=True,
                          text=True, timeout=10)
    text = done.stdout.strip()
    if "=" not in text:
        return None
    return int(text.split("=")[1].strip())


def run(args, server, browser, fail, home, artifacts):
    screenshot = os.path.join(artifacts, "chrome.png")
    if os.path.exists(screenshot):
        os.remove(screenshot)
    proc = browser.proc
    main = wait_for_window("^Orvindel", proc, WINDOW_DEADLINE_S)
    if not fail.check(main, f"no main window within {WINDOW_DEADLINE_S} s"):
        return
    bar = wait(lambda: bar_window(proc), WINDOW_DEADLINE_S)
    if fail.check(bar, f"no visible {BAR_SIZE[0]}x{BAR_SIZE[1]} floating bar within "
                  f"{WINDOW_DEADLINE_S} s"):
        x, y, _, _ = window_geometry(bar)
        fail.check((x, y) == (SCREEN[0] - 300, 120),
                   f"the floating bar stands at {(x, y)}, expected {(SCREEN[0] - 300, 120)}")

    icons = server.wait_for(lambda rs: [r for r in rs if r.path == "/favicon.ico"] or None,
                            REQUEST_DEADLINE_S, proc)
    fail.check(icons, f"no request for /favicon.ico within {REQUEST_DEADLINE_S} s; "
               f"the server saw {[r.path for r in server.requests()]}")
    time.sleep(SETTLE_S)
    count = len([r for r in server.requests() if r.path == "/favicon.ico"])
    fail.check(count == 1, f"/favicon.ico was requested {count} times, expected once")

    # The icon on the tab: its red somewhere in the strip along the top.
    mx, my, mw, _ = window_geometry(main)
    strip = (max(mx, 0), max(my, 0), mw, 40)
    colours = screen_colours(args.screenshot_tool, screenshot, strip, fail)
    if colours is not None:
        fail.check(ICON_RGB in colours, f"the icon's colour #{ICON_RGB} is not on the tab strip "
                   f"at {strip}; see {screenshot}")

    focus_window(main)
    xdotool("key", "F10")
    fail.check(wait(lambda: opacity(main) is not None, 5),
               "F10 gave the main window no _NET_WM_WINDOW_OPACITY")
    value = opacity(main)
    if value is not None:
        expected = round(155 / 255 * 0xFFFFFFFF)
        fail.check(abs(value - expected) < 0x01000000,
                   f"the opacity is {value:#x}, expected about {expected:#x} (155 of 255)")
    xdotool("key", "F10")
    fail.check(wait(lambda: opacity(main) in (None, 0xFFFFFFFF), 5),
               f"a second F10 left the opacity at {opacity(main)}")

    xdotool("key", "ctrl+m")
    fail.check(wait(lambda: bar_window(proc) is None, 5), "Ctrl+M left the floating bar on the screen")


def main():
    args = browser_arguments(__doc__)

    def after_exit(fail, home):
        config = configparser.ConfigParser(strict=False, interpolation=None)
        config.read(os.path.join(home, "data", "Orvindel", "Orvindel.cfg"))
        hide = config.get("hmenu", "hide", fallback=None)
        fail.check(hide == "0", f"Orvindel.cfg has hmenu hide={hide!r}, expected 0 after Ctrl+M")

    return run_browser_on_private_display(
        "chrome", args, respond, lambda server: [server.url("/page.html")], run,
        after_exit=after_exit, tools=("xdotool", "Xvfb", "xprop"))


if __name__ == "__main__":
    sys.exit(main())
