#!/usr/bin/env python3
"""Runs a command with a private X server of its own (a display no other
program on the machine shares) and ends the server afterwards.

usage: with_display.py COMMAND [ARGS...]
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import start_x_server_apart, stop_process  # noqa: E402


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    xvfb, display = start_x_server_apart()
    if not xvfb:
        print("with_display: cannot start Xvfb", file=sys.stderr)
        return 1
    try:
        env = dict(os.environ, DISPLAY=display)
        env.pop("XAUTHORITY", None)
        env.pop("WAYLAND_DISPLAY", None)
        return subprocess.call(sys.argv[1:], env=env)
    finally:
        stop_process(xvfb)


if __name__ == "__main__":
    sys.exit(main())
