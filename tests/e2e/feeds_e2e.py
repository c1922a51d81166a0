#!/usr/bin/env python3
"""The real orvindel and WebKitGTK reading feeds from a local server.

  * F9 opens the RSS reader on the first feed, and its digest shows the
    feed's items: the item's image arrives at the server and a screenshot of
    the reader is kept;
  * the same feed's script, event handler and javascript: link run nothing
    (their addresses never reach the server), and its external DTD is never
    fetched;
  * after the reader closes, no digest is left in the Orvindel folder;
  * a feed server that stalls for 10 s leaves the program answering keys:
    the reader closes with Escape at once, and an address typed into the main
    window loads while the feed is still on its way.

Each part starts the browser on a private X server and a home of its own.
Needs Xvfb and xdotool.

usage: feeds_e2e.py --browser build/orvindel --screenshot-tool build/tests/e2e/x11_screenshot
                    [--artifacts build/artifacts]
"""

import os
import shutil
import struct
import sys
import tempfile
import time

from harness import (browser_arguments, Browser, Failures, LocalServer, become_subreaper, browser_env,
                     describe_status, exit_on_signals, focus_window, start_session_bus,
                     start_x_server, sweep, take_screenshot, visible_windows, wait_for_window,
                     xdotool)

WINDOW_DEADLINE_S = 30
FEED_DEADLINE_S = 20
EXIT_DEADLINE_S = 20
STALL_S = 10

PNG = bytes.fromhex(
    "89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de"
    "0000000c49444154789c63f8cfc0f0000003010100c9fe92ef0000000049454e44ae426082")


def feed(port):
    base = f"http://127.0.0.1:{port}"
    evil = (f'<img src="{base}/image.png" width="40" height="40">'
            f"<script>new Image().src = '{base}/script';</script>"
            f'<img src="{base}/missing.png" onerror="new Image().src = \'{base}/onerror\'">'
            f'<a href="javascript:new Image().src = \'{base}/javascript-link\'">link</a>')
    return (f'<?xml version="1.0" encoding="UTF-8"?>'
            f'<!DOCTYPE rss [<!ENTITY % remote SYSTEM "{base}/dtd"> %remote;]>'
            f'<rss version="2.0"><channel><title>Local</title>'
            f'<item><title>Orvindel feed item one</title><link>{base}/one</link>'
            f'<pubDate>Mon, 01 Jan 2024</pubDate><category>Tests</category>'
            f'<description><![CDATA[{evil}<p>First description.</p>]]></description></item>'
            f'<item><title>Вторая новость 第二条</title><link>{base}/two</link>'
            f'<description>Second description.</description></item>'
            f'</channel></rss>').encode()


def list_file(feeds):
    """The feed list in the program's list file format."""
    out = b"LVF" + struct.pack("<H", len(feeds))
    for name, url in feeds:
        n, u = name.encode(), url.encode()
        out += struct.pack("<HiH", 1, 0, len(n)) + n + struct.pack("<H", len(u)) + u
    return out


def make_respond(port_holder):
    def respond(request):
        port = port_holder[0]
        if request.path == "/feed.xml":
            return 200, feed(port), "application/rss+xml"
        if request.path == "/stall.xml":
            time.sleep(STALL_S)
            return 200, feed(port), "application/rss+xml"
        if request.path == "/image.png":
            return 200, PNG, "image/png"
        if request.path in ("/start.html", "/alive.html"):
            name = request.path[1:-5]
            return 200, f"<title>{name}</title><p>{name}</p>".encode(), "text/html"
        return 404, b"not here", "text/plain"
    return respond


def start(args, home, server, feeds, log_name):
    data = os.path.join(home, "data", "Orvindel")
    os.makedirs(data, exist_ok=True)
    with open(os.path.join(data, "2rss.ovf"), "wb") as f:
        f.write(list_file(feeds))
    bus_proc, bus_address = start_session_bus(home)
    env = browser_env(home, bus_address)
    browser = Browser(args.browser, [server.url("/start.html")], env,
                      os.path.join(args.artifacts, log_name))
    return browser, bus_proc


def main_window(browser, fail):
    window = wait_for_window("^Orvindel$", browser.proc, WINDOW_DEADLINE_S)
    if fail.check(window, f"no main window within {WINDOW_DEADLINE_S} s "
                          f"({describe_status(browser.proc.poll())})"):
        focus_window(window)
        time.sleep(1.0)
    return window


def reader_and_digest(args, server, fail):
    home = tempfile.mkdtemp(prefix="orvindel-feeds-")
    browser = bus_proc = None
    try:
        browser, bus_proc = start(args, home, server, [("Local", server.url("/feed.xml"))],
                                  "feeds-e2e.log")
        if not main_window(browser, fail):
            return browser
        xdotool("key", "F9")
        reader = wait_for_window("^Orvindel - RSS Reader$", browser.proc, WINDOW_DEADLINE_S)
        fail.check(reader, "F9 opened no window named 'Orvindel - RSS Reader'")
        seen = server.wait_for(
            lambda rs: True if any(r.path == "/image.png" for r in rs) else None,
            FEED_DEADLINE_S, browser.proc)
        fail.check(seen, f"the digest's image never reached the server within {FEED_DEADLINE_S} s; "
                         f"it saw {[r.path for r in server.requests()]}")
        time.sleep(2.0)  # let the page paint and anything that would run, run
        data = os.path.join(home, "data", "Orvindel")
        digests = [n for n in os.listdir(data) if n.endswith(".html")]
        fail.check(len(digests) == 1, f"expected one digest in the Orvindel folder, found {digests}")
        if digests:
            with open(os.path.join(data, digests[0]), "rb") as f:
                text = f.read().decode("utf-8", errors="replace")
            fail.check("Orvindel feed item one" in text and "Вторая новость 第二条" in text,
                       "the digest lacks the feed's items")
        take_screenshot(args.screenshot_tool, os.path.join(args.artifacts, "rss-reader.png"), fail)
        paths = [r.path for r in server.requests()]
        for bad in ("/script", "/onerror", "/javascript-link", "/dtd"):
            fail.check(bad not in paths, f"the feed made the program request {bad}")
        fail.check(paths.count("/feed.xml") == 1, f"the feed was fetched {paths.count('/feed.xml')} times")
        if reader:
            focus_window(reader)
            xdotool("key", "Escape")
            deadline = time.monotonic() + 10
            while visible_windows("^Orvindel - RSS Reader$") and time.monotonic() < deadline:
                time.sleep(0.2)
            fail.check(not visible_windows("^Orvindel - RSS Reader$"), "Escape did not close the reader")
            left = [n for n in os.listdir(data) if n.endswith(".html")]
            fail.check(not left, f"digests left after the reader closed: {left}")
        status = browser.terminate(EXIT_DEADLINE_S)
        fail.check(status == 0, f"orvindel ended with {describe_status(status)} after SIGTERM")
        return browser
    finally:
        if browser:
            browser.kill()
        if bus_proc and bus_proc.poll() is None:
            bus_proc.kill()
            bus_proc.wait(timeout=5)
        shutil.rmtree(home, ignore_errors=True)


def stalled_feed(args, server, fail):
    home = tempfile.mkdtemp(prefix="orvindel-stall-")
    browser = bus_proc = None
    try:
        browser, bus_proc = start(args, home, server, [("Slow", server.url("/stall.xml"))],
                                  "feeds-stall-e2e.log")
        window = main_window(browser, fail)
        if not window:
            return browser
        xdotool("key", "F9")
        asked = server.wait_for(
            lambda rs: next((r for r in rs if r.path == "/stall.xml"), None), FEED_DEADLINE_S,
            browser.proc)
        if not fail.check(asked, "F9 did not ask for the slow feed"):
            return browser
        stalled_at = time.monotonic()
        reader = wait_for_window("^Orvindel - RSS Reader$", browser.proc, 5)
        if reader:
            focus_window(reader)
        xdotool("key", "Escape")
        focus_window(window)
        xdotool("key", "ctrl+l")
        xdotool("type", "--delay", "20", server.url("/alive.html"))
        xdotool("key", "Return")
        alive = server.wait_for(
            lambda rs: True if sum(r.path == "/alive.html" for r in rs) >= 2 else None,
            STALL_S, browser.proc)
        took = time.monotonic() - stalled_at
        fail.check(alive and took < STALL_S,
                   f"while the feed stalled, the typed address did not load (after {took:.1f} s); "
                   f"the server saw {[r.path for r in server.requests()]}")
        fail.check(not visible_windows("^Orvindel - RSS Reader$"),
                   "Escape did not close the reader while its feed stalled")
        time.sleep(max(0.0, STALL_S - took) + 1.0)
        status = browser.terminate(EXIT_DEADLINE_S)
        fail.check(status == 0, f"orvindel ended with {describe_status(status)} after SIGTERM")
        return browser
    finally:
        if browser:
            browser.kill()
        if bus_proc and bus_proc.poll() is None:
            bus_proc.kill()
            bus_proc.wait(timeout=5)
        shutil.rmtree(home, ignore_errors=True)


def main():
    args = browser_arguments(__doc__)
    for tool in ("xdotool", "Xvfb"):
        if not shutil.which(tool):
            print(f"FAIL: {tool} is not installed (scripts/install-deps installs it)", flush=True)
            return 1
    exit_on_signals()
    args.artifacts = os.path.abspath(args.artifacts)
    args.browser = os.path.abspath(args.browser)
    args.screenshot_tool = os.path.abspath(args.screenshot_tool)
    os.makedirs(args.artifacts, exist_ok=True)
    fail = Failures()
    become_subreaper()
    x_proc = None
    browsers = []
    try:
        x_proc, display = start_x_server()
        if not x_proc:
            print("FAIL: Xvfb did not start", flush=True)
            return 1
        os.environ["DISPLAY"] = display
        os.environ.pop("XAUTHORITY", None)
        os.environ.pop("WAYLAND_DISPLAY", None)
        for part in (reader_and_digest, stalled_feed):
            port = [0]
            server = LocalServer(make_respond(port))
            port[0] = server.port
            try:
                browsers.append(part(args, server, fail))
            except (RuntimeError, OSError) as e:
                fail.check(False, f"{part.__name__}: {e}")
            finally:
                server.close()
    finally:
        if x_proc and x_proc.poll() is None:
            x_proc.kill()
            x_proc.wait(timeout=5)
        sweep()
    if fail.messages:
        for b in browsers:
            if b:
                print(f"--- orvindel output ---\n{b.output()}\n--- end of output ---", flush=True)
        print(f"feeds_e2e: {len(fail.messages)} failure(s); artifacts in {args.artifacts}", flush=True)
        return 1
    print(f"feeds_e2e: passed; screenshot at {os.path.join(args.artifacts, 'rss-reader.png')}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
