#!/usr/bin/env python3
"""The user agent chosen in the Options window, seen by a server, with the
real program driven from the keyboard and the mouse on an X server of its
own: the quick menu's "Options", "My Browser" chosen in the list and set with
the lower "Set default ", then a new tab (Ctrl+T) typed to the server's
address. The server must see "My Browser" from that tab.

usage: prefs_e2e.py --browser build/orvindel --screenshot-tool build/x11_screenshot
                    [--artifacts build/artifacts]
"""

import os
import subprocess
import sys
import time

from harness import (browser_arguments, BUILTIN_UA, focus_window, run_browser_on_private_display,
                     take_screenshot, wait_for_window, window_geometry, xdotool)

WINDOW_DEADLINE_S = 30
REQUEST_DEADLINE_S = 20
CHOSEN = "My Browser"

PAGE = b"""<!doctype html><html><head><meta charset="utf-8"><title>Agent page</title></head>
<body><p>The agent page.</p></body></html>"""


def respond(request):
    if request.path in ("/start.html", "/agent.html"):
        return 200, PAGE, "text/html; charset=utf-8"
    return 404, b"not here\n", "text/plain"


def keys(*names, pause=0.15):
    for name in names:
        xdotool("key", name)
        time.sleep(pause)


def run(args, server, browser, fail, artifacts):
    proc = browser.proc
    main = wait_for_window("^Orvindel", proc, WINDOW_DEADLINE_S)
    if not fail.check(main, f"no main window within {WINDOW_DEADLINE_S} s"):
        return
    if not fail.check(server.wait_for(lambda rs: [r for r in rs if r.path == "/start.html"] or None,
                                      REQUEST_DEADLINE_S, proc), "the start page was not loaded"):
        return
    focus_window(main)
    # The quick menu drops down from "Customize and Control", at the right
    # end of the navigation bar, left of the 23-pixel quick panel; "Options"
    # is its third item from the end.
    x, y, w, _ = window_geometry(main)
    xdotool("mousemove", str(x + w - 23 - 15), str(y + 3 + 22 + 15))
    xdotool("click", "1")
    time.sleep(0.5)
    keys("Up", "Up", "Up", "Return")
    options = wait_for_window("^Options$", proc, 10)
    if not fail.check(options, "the quick menu's Options did not open the Options window"):
        take_screenshot(args.screenshot_tool, os.path.join(artifacts, "prefs-menu.png"), fail)
        return
    focus_window(options)
    # Backwards from the first control: Close, then the list.
    keys("shift+Tab", "shift+Tab")
    # The list's last entry is "X was here"; "My Browser" is just above it.
    keys("End", "Up")
    take_screenshot(args.screenshot_tool, os.path.join(artifacts, "prefs-options.png"), fail)
    # The lower "Set default " comes just before the list.
    keys("shift+Tab", "space")
    message = wait_for_window("^Orvindel$", proc, 10, exclude=(main,))
    if fail.check(message, "no message box after the lower \"Set default \""):
        focus_window(message)
        keys("Return")
    focus_window(options)
    keys("Escape")
    time.sleep(0.5)
    focus_window(main)
    keys("ctrl+t")
    xdotool("type", "--delay", "20", server.url("/agent.html"))
    keys("Return")
    seen = server.wait_for(
        lambda rs: [r for r in rs if r.path == "/agent.html" and r.user_agent != "InetURL:/1.0"]
        or None, REQUEST_DEADLINE_S, proc)
    if fail.check(seen, f"the new tab did not load the page within {REQUEST_DEADLINE_S} s"):
        # The address probe asks first with an agent of its own.
        agents = [r.user_agent for r in seen if r.user_agent != "InetURL:/1.0"]
        fail.check(agents == [CHOSEN], f"the new tab sent {agents}, expected [{CHOSEN!r}] "
                   f"(the built-in agent is {BUILTIN_UA!r})")


def main():
    args = browser_arguments(__doc__)

    def configure(home):
        # Normal mode: the navigation bar with its own buttons, no floating bar.
        os.makedirs(os.path.join(home, "data", "Orvindel"), exist_ok=True)
        with open(os.path.join(home, "data", "Orvindel", "Orvindel.cfg"), "w") as f:
            f.write("[hmenu]\nhide=0\n")

    return run_browser_on_private_display(
        "prefs", args, respond, lambda server: [server.url("/start.html")],
        lambda args, server, browser, fail, home, artifacts: run(args, server, browser, fail,
                                                                 artifacts),
        configure=configure)


if __name__ == "__main__":
    sys.exit(main())
