#!/usr/bin/env python3
"""The program registered as the desktop's web browser, seen from outside,
in a temporary XDG home:

  * before: `gio mime x-scheme-handler/http` does not name orvindel, and the
    program's own test says it is not the default;
  * `orvindel --set-default-browser` writes its desktop entry and makes it
    the default for both protocols, HTML and web archives; gio names it, and
    desktop-file-validate accepts the entry it wrote;
  * another browser made the default afterwards makes the test false again.

usage: system_e2e.py --browser build/orvindel --probe build/tests/default_browser_probe
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

TYPES = ["x-scheme-handler/http", "x-scheme-handler/https", "text/html",
         "application/x-mimearchive"]

OTHER = """[Desktop Entry]
Type=Application
Name=Other Browser
Exec=true %U
MimeType=x-scheme-handler/http;x-scheme-handler/https;
"""


def run(command, env):
    return subprocess.run(command, env=env, capture_output=True, text=True, timeout=60,
                          stdin=subprocess.DEVNULL)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--browser", required=True)
    ap.add_argument("--probe", required=True, help="prints whether orvindel is the default")
    args = ap.parse_args()
    failures = []

    def check(ok, message):
        if not ok:
            failures.append(message)
            print(f"FAIL: {message}", flush=True)

    home = tempfile.mkdtemp(prefix="orvindel-system-")
    try:
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_DIRS=os.path.join(home, "system"), GIO_USE_VFS="local")
        for sub in ("data/applications", "config", "system/applications"):
            os.makedirs(os.path.join(home, sub), exist_ok=True)

        def default_of(kind):
            return run(["gio", "mime", kind], env).stdout

        check("orvindel" not in default_of("x-scheme-handler/http").lower(),
              f"before registration gio already names orvindel: {default_of('x-scheme-handler/http')!r}")
        check(run([args.probe], env).stdout.strip() == "false",
              "before registration the program's test says it is the default")

        done = run([args.browser, "--set-default-browser"], env)
        check(done.returncode == 0, f"--set-default-browser exited {done.returncode}: {done.stderr}")
        entry = os.path.join(home, "data", "applications", "orvindel.desktop")
        check(os.path.isfile(entry), f"no desktop entry at {entry}")
        if shutil.which("desktop-file-validate") and os.path.isfile(entry):
            valid = run(["desktop-file-validate", entry], env)
            check(valid.returncode == 0, f"desktop-file-validate: {valid.stdout}{valid.stderr}")
        for kind in TYPES:
            check("orvindel.desktop" in default_of(kind),
                  f"gio mime {kind} does not name orvindel.desktop: {default_of(kind)!r}")
        check(run([args.probe], env).stdout.strip() == "true",
              "after registration the program's test says it is not the default")

        with open(os.path.join(home, "data", "applications", "other.desktop"), "w") as f:
            f.write(OTHER)
        run(["gio", "mime", "x-scheme-handler/http", "other.desktop"], env)
        check(run([args.probe], env).stdout.strip() == "false",
              "with another default browser the program's test still says it is the default")
    finally:
        shutil.rmtree(home, ignore_errors=True)
    if failures:
        print(f"system_e2e: {len(failures)} failure(s)", flush=True)
        return 1
    print("system_e2e: passed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
