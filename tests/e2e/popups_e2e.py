#!/usr/bin/env python3
"""The real orvindel's pop-up blocker and its find dialog, seen from outside.

Each case starts the browser afresh, in a new home, on a page of our local
server, on an X server of its own (Xvfb), and drives it with xdotool:

  * blocker on (the default): a page opens a window by script after it
    loaded. The browser asks "Allow Pop-up?" in a window of its own, and
    until the answer the pop-up loads nothing. Yes loads it in a new tab
    (a new web process) with the browser's user agent, and the choice is
    kept: popblock=1 after the close. No loads nothing and keeps popblock=0;
  * blocker off (popblock=1 before the start): a link with target=_blank
    that the page clicks opens in a new tab, with no question;
  * F3 opens the "Find" window; a word of the page and Return highlight it
    (the pixels where the page shows it change to the selection colour),
    a word not in the page and Return leave the page as it was.

The screenshots popup-question.png, popup-tab.png and find.png are kept in
the artifacts folder. Needs Xvfb and xdotool.

usage: popups_e2e.py --browser build/orvindel --screenshot-tool build/tests/e2e/x11_screenshot
                     [--artifacts build/artifacts]
"""

import configparser
import os
import shutil
import subprocess
import sys
import tempfile
import time
import types

from harness import (browser_arguments, BUILTIN_UA, Browser, Failures, LocalServer, become_subreaper, browser_env,
                     describe_status, exit_on_signals, focus_window, screen_colours,
                     start_session_bus, start_x_server, stop_process, sweep, take_screenshot,
                     use_display, visible_windows, wait_for_focus, wait_for_processes, wait_for_window,
                     window_geometry, web_processes, xdotool)

# Each failure is printed when it is found. Should the deadlines of several
# failing cases add up past CTest's 150 s, its SIGTERM still runs the clean-up;
# a browser that never shows its window gets no further case.
WINDOW_DEADLINE_S = 25
PAGE_DEADLINE_S = 12
QUESTION_DEADLINE_S = 10   # from the opener's load to the question on the screen
PROCESS_DEADLINE_S = 5
PICTURE_DEADLINE_S = 5     # for the page to show what the find did
QUIET_S = 3                # how long something that must not happen is given
EXIT_DEADLINE_S = 15

MAIN_TITLE = "^Orvindel$"   # the main window and the question both carry it
FIND_TITLE = "^Find$"

# --- the pages ------------------------------------------------------------------

# Every page reports its load, so that the test knows when its timer runs.
LOADED = "addEventListener('load', function () {{ fetch('/loaded?page={name}'); }});"

OPENER = """<!doctype html><html><head><meta charset="utf-8"><title>Opener</title></head>
<body><p>This page opens a pop-up half a second after it loaded.</p>
<script>""" + LOADED.format(name="opener") + """
addEventListener('load', function () {
  setTimeout(function () { window.open('/popup.html'); }, 500);
});
</script></body></html>"""

POPUP = """<!doctype html><html><head><meta charset="utf-8"><title>The pop-up</title></head>
<body><p>The pop-up page.</p><script>""" + LOADED.format(name="popup") + """</script></body></html>"""

# Half a second after its load the page clicks its link, and it tells when
# it goes out of sight, and a while after the click that it still runs: the
# link must open a tab of its own and put it in front, not replace this page.
LINKER = """<!doctype html><html><head><meta charset="utf-8"><title>Linker</title></head>
<body><p><a id="l" target="_blank" href="/linked.html">a link to a new window</a></p>
<script>""" + LOADED.format(name="linker") + """
function report() { fetch('/still?visibility=' + document.visibilityState); }
document.addEventListener('visibilitychange', report);
addEventListener('load', function () {
  setTimeout(function () { document.getElementById('l').click(); }, 500);
  setTimeout(report, 2500);
});
</script></body></html>"""

LINKED_TITLE = "Linked page"
LINKED = f"""<!doctype html><html><head><meta charset="utf-8"><title>{LINKED_TITLE}</title></head>
<body style="font:28px sans-serif"><p>The page behind the link.</p>
<script>{LOADED.format(name="linked")}</script></body></html>"""

# One word in a colour nothing else on the page has, large and near the
# page's top-left corner, away from the middle of the window where the find
# window opens.
WORD = "Ljubljana"
MISSING = "Zanzibar"
WORD_RGB = "1f4e9c"
WHITE = "ffffff"
FIND_PAGE = f"""<!doctype html><html><head><meta charset="utf-8"><title>Find page</title>
<style>body{{margin:0;background:#fff}}
#w{{position:absolute;left:40px;top:20px;margin:0;font:64px sans-serif;color:#{WORD_RGB}}}</style>
</head><body><p id="w">{WORD}</p>
<script>{LOADED.format(name="find")}</script></body></html>"""

PAGES = {"/opener.html": OPENER, "/popup.html": POPUP, "/linker.html": LINKER,
         "/linked.html": LINKED, "/find.html": FIND_PAGE}


def respond(request):
    if request.path in ("/loaded", "/still"):
        return 204, b"", "text/plain"
    page = PAGES.get(request.path)
    if page is None:
        return 404, b"not here\n", "text/plain"
    return 200, page.encode(), "text/html; charset=utf-8"


# --- helpers ----------------------------------------------------------------------

def requests_for(server, path):
    return [r for r in server.requests() if r.path == path]


def wait_loaded(ctx, name):
    return ctx.server.wait_for(
        lambda requests: True if any(r.path == "/loaded" and r.query == f"page={name}"
                                     for r in requests) else None,
        PAGE_DEADLINE_S, ctx.browser.proc)


def seen(ctx):
    return [(r.target, r.user_agent) for r in ctx.server.requests()]


def wait_gone(window, proc, deadline_s):
    deadline = time.monotonic() + deadline_s
    while window in visible_windows("."):
        if time.monotonic() > deadline or proc.poll() is not None:
            return False
        time.sleep(0.1)
    return True


def popblock(home, fail, case):
    """popblock of [Config] in the Orvindel.cfg the close wrote, or None."""
    path = os.path.join(home, "data", "Orvindel", "Orvindel.cfg")
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            parser.read_file(f)
    except (OSError, configparser.Error) as e:
        fail.check(False, f"{case}: cannot read {path}: {e}")
        return None
    return parser.get("Config", "popblock", fallback=None)


# --- the cases --------------------------------------------------------------------

def blocked_popup(ctx, answer_yes):
    """Blocker on: the question, nothing loaded before the answer, then the answer."""
    fail, case = ctx.fail, ctx.case
    question = wait_for_window(MAIN_TITLE, ctx.browser.proc, PAGE_DEADLINE_S + QUESTION_DEADLINE_S,
                               exclude=(ctx.main,))
    if not fail.check(question, f"{case}: no second window named Orvindel (the question) within "
                      f"{PAGE_DEADLINE_S + QUESTION_DEADLINE_S} s; the server saw {seen(ctx)}"):
        return
    # A question, not a browser window: far smaller than the main window.
    _, _, qw, qh = window_geometry(question)
    _, _, mw, mh = window_geometry(ctx.main)
    fail.check(qw * qh * 4 < mw * mh, f"{case}: the second window is {qw}x{qh}, "
               f"the main window {mw}x{mh}; that is no message box")
    before = web_processes(ctx.browser.proc)
    if answer_yes:
        # The picture doubles as the time the question stays unanswered.
        take_screenshot(ctx.args.screenshot_tool, os.path.join(ctx.artifacts, "popup-question.png"), fail)
    else:
        time.sleep(1.0)
    fail.check(not requests_for(ctx.server, "/popup.html"),
               f"{case}: /popup.html was requested while the question was still open: {seen(ctx)}")

    # The question's default button is Yes; Tab moves on to No.
    focus_window(question)
    if answer_yes:
        xdotool("key", "Return")
    else:
        xdotool("key", "Tab")
        xdotool("key", "Return")
    fail.check(wait_gone(question, ctx.browser.proc, PROCESS_DEADLINE_S),
               f"{case}: the question is still on the screen {PROCESS_DEADLINE_S} s after the answer")

    if answer_yes:
        loaded = wait_loaded(ctx, "popup")
        if not fail.check(loaded, f"{case}: the pop-up did not load within {PAGE_DEADLINE_S} s of the "
                          f"answer Yes; the server saw {seen(ctx)}"):
            return
        agents = [r.user_agent for r in requests_for(ctx.server, "/popup.html")]
        fail.check(agents == [BUILTIN_UA], f"{case}: /popup.html expected once as {BUILTIN_UA!r}, "
                   f"was requested as {agents}")
        after = wait_for_processes(ctx.browser.proc, lambda p: len(p - before) == 1, PROCESS_DEADLINE_S)
        fail.check(len(after - before) == 1,
                   f"{case}: the pop-up got no tab of its own: web processes {sorted(before)} "
                   f"before the answer, {sorted(after)} after")
        time.sleep(0.5)  # its load event fired; the close below then finds the tab idle
    else:
        time.sleep(QUIET_S)
        fail.check(not requests_for(ctx.server, "/popup.html"),
                   f"{case}: /popup.html was requested after the answer No: {seen(ctx)}")
        after = web_processes(ctx.browser.proc)
        fail.check(not after - before, f"{case}: a web process started after the answer No: "
                   f"{sorted(before)} before, {sorted(after)} after")


def link_in_new_tab(ctx):
    """Blocker off: target=_blank opens a tab, with nothing asked."""
    fail, case = ctx.fail, ctx.case
    if not fail.check(wait_loaded(ctx, "linker"),
                      f"{case}: the page did not load within {PAGE_DEADLINE_S} s; the server saw {seen(ctx)}"):
        return
    before = web_processes(ctx.browser.proc)
    if not fail.check(wait_loaded(ctx, "linked"),
                      f"{case}: the linked page did not load within {PAGE_DEADLINE_S} s of the click; "
                      f"the server saw {seen(ctx)}"):
        return
    agents = [r.user_agent for r in requests_for(ctx.server, "/linked.html")]
    fail.check(agents == [BUILTIN_UA], f"{case}: /linked.html expected once as {BUILTIN_UA!r}, "
               f"was requested as {agents}")
    # WebKit puts a window a page opens into its opener's web process, so the
    # new tab shows as the opener's page still running, out of sight behind it.
    hidden = ctx.server.wait_for(
        lambda requests: True if any(r.path == "/still" and r.query == "visibility=hidden"
                                     for r in requests) else None,
        PAGE_DEADLINE_S, ctx.browser.proc)
    reports = [r.query for r in requests_for(ctx.server, "/still")]
    fail.check(hidden, f"{case}: the page with the link never went out of sight behind a new tab "
               f"within {PAGE_DEADLINE_S} s; it reported {reports or 'nothing, as if the link had replaced it'}")
    after = web_processes(ctx.browser.proc)
    fail.check(before <= after, f"{case}: the opener's web process ended: {sorted(before)} before "
               f"the click, {sorted(after)} after")
    time.sleep(0.5)  # time for a question to show up, and for the tab to paint
    others = [w for w in visible_windows(".") if w != ctx.main]
    fail.check(not others, f"{case}: the blocker is off, yet windows {others} named "
               f"{[xdotool('getwindowname', w) for w in others]} appeared")
    take_screenshot(ctx.args.screenshot_tool, os.path.join(ctx.artifacts, "popup-tab.png"), fail)


def wait_picture(ctx, rect, good, target):
    """Photographs `rect` until good(colours) holds; the last colours seen."""
    deadline = time.monotonic() + PICTURE_DEADLINE_S
    while True:
        colours = screen_colours(ctx.args.screenshot_tool, target, rect, ctx.fail)
        if colours is None or good(colours) or time.monotonic() > deadline:
            return colours
        time.sleep(0.2)


def highlight(colours, area):
    """The colour of a highlight over the word: the commonest that is neither
    the page's white nor the word's own and covers a good part of the word."""
    candidates = [(c.count, rgb) for rgb, c in colours.items() if rgb not in (WHITE, WORD_RGB)]
    if not candidates:
        return None
    count, rgb = max(candidates)
    return rgb if count * 3 >= area else None


def count_of(colours, rgb):
    return colours[rgb].count if rgb in colours else 0


def describe(colours):
    """The commonest colours, enough to tell white, the word and a highlight apart."""
    if not colours:
        return "nothing"
    top = sorted(colours.items(), key=lambda item: -item[1].count)[:4]
    return ", ".join(f"#{rgb} x{c.count}" for rgb, c in top) + f" (of {len(colours)} colours)"


def overlaps(a, b):
    ax, ay, aw, ah = a
    bx, by, bw, bh = b
    return ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah


def find_in_page(ctx):
    """F3, a word of the page and Return: the word is highlighted. A word
    that is not there: nothing is."""
    fail, case = ctx.fail, ctx.case
    if not fail.check(wait_loaded(ctx, "find"),
                      f"{case}: the page did not load within {PAGE_DEADLINE_S} s; the server saw {seen(ctx)}"):
        return
    focus_window(ctx.main)
    scratch = os.path.join(ctx.home, "shot.png")
    x, y, w, h = window_geometry(ctx.main)
    window_rect = (max(x, 0), max(y, 0), w, h)
    shown = wait_picture(ctx, window_rect, lambda c: WORD_RGB in c, scratch)
    if not fail.check(shown and WORD_RGB in shown,
                      f"{case}: the word's colour #{WORD_RGB} is nowhere in the window at {window_rect}"):
        return
    text = shown[WORD_RGB]
    margin = 8
    word_rect = (text.left - margin, text.top - margin,
                 text.right - text.left + 1 + 2 * margin, text.bottom - text.top + 1 + 2 * margin)
    area = (text.right - text.left + 1) * (text.bottom - text.top + 1)
    plain = screen_colours(ctx.args.screenshot_tool, scratch, word_rect, fail)
    if plain is None:
        return
    fail.check(highlight(plain, area) is None,
               f"{case}: the word looks highlighted before any find: {describe(plain)}")

    xdotool("key", "F3")
    find = wait_for_window(FIND_TITLE, ctx.browser.proc, PROCESS_DEADLINE_S)
    if not fail.check(find, f"{case}: F3 showed no window named Find within {PROCESS_DEADLINE_S} s"):
        return
    find_rect = window_geometry(find)
    if not fail.check(not overlaps(find_rect, word_rect),
                      f"{case}: the Find window at {find_rect} covers the word at {word_rect}"):
        return
    # Shown, it takes the keyboard itself, as the user types at once; failing
    # that it is given it, so that the rest is still seen.
    if not fail.check(wait_for_focus(find, 2), f"{case}: the Find window did not take the keyboard"):
        focus_window(find)
    xdotool("type", "--delay", "20", WORD)
    xdotool("key", "Return")  # Find Next is the default button
    found = wait_picture(ctx, word_rect, lambda c: highlight(c, area) is not None,
                         os.path.join(ctx.artifacts, "find.png"))
    mark = found and highlight(found, area)
    if not fail.check(mark, f"{case}: '{WORD}', Return: no highlight over the word at {word_rect} "
                      f"within {PICTURE_DEADLINE_S} s; it shows {describe(found)}, before the find "
                      f"{describe(plain)}"):
        return

    # The entry keeps the keyboard; its text is replaced by the next word.
    # The glyphs' edges may come out a shade apart after a repaint, so what
    # is compared is the highlight's colour and the white around the word.
    xdotool("key", "ctrl+a")
    xdotool("type", "--delay", "20", MISSING)
    xdotool("key", "Return")
    slack = area // 50

    def as_before(colours):
        return (count_of(colours, mark) <= count_of(plain, mark) + slack
                and abs(count_of(colours, WHITE) - count_of(plain, WHITE)) <= slack)
    after = wait_picture(ctx, word_rect, as_before, scratch)
    fail.check(after is not None and as_before(after),
               f"{case}: '{MISSING}' is not in the page, yet after Return the word at {word_rect} "
               f"shows {describe(after)}; before the find it showed {describe(plain)}, highlighted "
               f"{describe(found)}")

    xdotool("key", "Escape")
    fail.check(wait_gone(find, ctx.browser.proc, PROCESS_DEADLINE_S),
               f"{case}: Escape left the Find window open")


# --- one start of the browser per case --------------------------------------------

def run_case(args, artifacts, fail, x_proc, case, page, body, settings=None, expect_popblock=None):
    """Starts orvindel with a fresh home on `page`, runs body(ctx) and closes
    it with SIGTERM. Answers False if the browser never showed its window."""
    home = tempfile.mkdtemp(prefix=f"orvindel-{case}-")
    failures_before = len(fail.messages)
    bus_proc = server = browser = None
    shown = True
    try:
        bus_proc, bus_address = start_session_bus(home)
        server = LocalServer(respond)
        env = browser_env(home, bus_address)
        if settings:
            folder = os.path.join(env["XDG_DATA_HOME"], "Orvindel")
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, "Orvindel.cfg"), "w") as f:
                f.write(settings)
        browser = Browser(args.browser, [server.url(page)], env,
                          os.path.join(artifacts, f"popups-e2e-{case}.log"))
        try:
            main = wait_for_window(MAIN_TITLE, browser.proc, WINDOW_DEADLINE_S)
            shown = fail.check(main, f"{case}: no visible window named Orvindel within "
                                     f"{WINDOW_DEADLINE_S} s ({describe_status(browser.proc.poll())})")
            if shown:
                body(types.SimpleNamespace(args=args, artifacts=artifacts, fail=fail, case=case,
                                           home=home, server=server, browser=browser, main=main))
        except (RuntimeError, subprocess.TimeoutExpired) as e:
            fail.check(False, f"{case}: {e}")
        status = browser.terminate(EXIT_DEADLINE_S)
        if fail.check(status == 0, f"{case}: after SIGTERM orvindel gave {describe_status(status)} "
                                   f"within {EXIT_DEADLINE_S} s, expected exit status 0"):
            if expect_popblock is not None:
                value = popblock(home, fail, case)
                fail.check(value == expect_popblock,
                           f"{case}: Orvindel.cfg has popblock={value!r} after the close, "
                           f"expected {expect_popblock}")
    finally:
        if browser:
            browser.kill()
        if server:
            server.close()
        stop_process(bus_proc)
        sweep(keep=(x_proc.pid,))
        shutil.rmtree(home, ignore_errors=True)
    if len(fail.messages) > failures_before and browser:
        print(f"--- orvindel output ({case}) ---\n{browser.output()}\n--- end of output ---", flush=True)
    return shown


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
    pictures = ["popup-question.png", "popup-tab.png", "find.png"]
    for name in pictures:
        if os.path.exists(os.path.join(artifacts, name)):
            os.remove(os.path.join(artifacts, name))  # a stale picture from an earlier run would mislead

    cases = [
        # (name, page, body, settings written before the start, popblock expected after the close)
        ("popup-yes", "/opener.html", lambda ctx: blocked_popup(ctx, answer_yes=True), None, "1"),
        ("popup-no", "/opener.html", lambda ctx: blocked_popup(ctx, answer_yes=False), None, "0"),
        ("blocker-off", "/linker.html", link_in_new_tab, "[Config]\npopblock=1\n", "1"),
        ("find", "/find.html", find_in_page, None, None),
    ]
    fail = Failures()
    become_subreaper()
    x_proc = None
    try:
        x_proc, display = start_x_server()
        if not x_proc:
            print("FAIL: Xvfb did not start", flush=True)
            return 1
        use_display(display)
        for case, page, body, settings, expect in cases:
            if not run_case(args, artifacts, fail, x_proc, case, page, body, settings, expect):
                break
    finally:
        stop_process(x_proc)
        sweep()

    if fail.messages:
        print(f"popups_e2e: {len(fail.messages)} failure(s); artifacts in {artifacts}", flush=True)
        return 1
    print(f"popups_e2e: passed; screenshots {', '.join(pictures)} in {artifacts}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
