#!/usr/bin/env python3
"""Drives a headless chromium through its DevTools protocol for the browser tests.

The protocol runs over --remote-debugging-pipe (the browser reads requests from its fd 3 and
writes answers and events to its fd 4, each message a JSON text ended by a NUL byte), so no
port is opened and nothing beyond Python's standard library is needed.

Used as a co-process by tests/web/web_lib.sh: one command per line on stdin, one answer per
line on stdout ("ok VALUE-AS-JSON" or "error TEXT"):
  open URL                   a new page showing URL
  eval EXPRESSION            the value of a JavaScript expression (promises are awaited)
  wait SECONDS EXPRESSION    waits until the expression is true; answers its last value
  shot FILE                  a PNG screenshot of the page
  keydown CODE / keyup CODE  a key by its place (KeyboardEvent.code: ArrowRight, AltLeft, ...)
  click X Y                  a left click at the page position
  move X Y                   the mouse pointer to the page position
  console                    the console messages so far, as a list of [level, text]
  quit
CDP_EXTRA_FLAGS (environment) adds browser flags, e.g. for the frame-rate benchmark.
"""
import base64
import json
import os
import subprocess
import sys
import threading
import time

# KeyboardEvent.code -> (key, Windows virtual key code, location) for the keys the tests use.
KEYS = {
    "ArrowLeft": ("ArrowLeft", 37, 0), "ArrowUp": ("ArrowUp", 38, 0),
    "ArrowRight": ("ArrowRight", 39, 0), "ArrowDown": ("ArrowDown", 40, 0),
    "Escape": ("Escape", 27, 0), "AltLeft": ("Alt", 18, 1), "ControlLeft": ("Control", 17, 1),
    "ShiftLeft": ("Shift", 16, 1), "Space": (" ", 32, 0), "Enter": ("Enter", 13, 0),
    "KeyD": ("d", 68, 0), "KeyM": ("m", 77, 0), "KeyP": ("p", 80, 0),
}
MODIFIER_BITS = {"AltLeft": 1, "ControlLeft": 2, "ShiftLeft": 8}


class Browser:
    def __init__(self, width, height, profile):
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()
        chromium = os.environ.get("CHROMIUM", "chromium")
        args = [
            chromium, "--headless=new", "--remote-debugging-pipe",
            "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--ignore-gpu-blocklist",
            "--no-sandbox", "--no-first-run", "--no-default-browser-check",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--disable-quic", "--disable-extensions", "--disable-background-timer-throttling",
            "--disable-renderer-backgrounding", "--disable-backgrounding-occluded-windows",
            "--force-device-scale-factor=1", f"--window-size={width},{height}",
            f"--user-data-dir={profile}",
        ] + os.environ.get("CDP_EXTRA_FLAGS", "").split() + ["about:blank"]

        def child_fds():
            os.dup2(to_browser_r, 3)
            os.dup2(from_browser_w, 4)

        self._process = subprocess.Popen(args, pass_fds=(3, 4), preexec_fn=child_fds,
                                         stdout=subprocess.DEVNULL,
                                         stderr=open(os.path.join(profile, "chromium.err"), "wb"))
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._next_id = 0
        self._answers = {}
        self._answered = threading.Condition()
        self.console = []
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        self.session = None
        self.size = (width, height)

    def _read(self):
        pending = b""
        while True:
            chunk = os.read(self._from_browser, 1 << 16)
            if not chunk:
                with self._answered:
                    self._answers[None] = "closed"
                    self._answered.notify_all()
                return
            pending += chunk
            while b"\0" in pending:
                raw, pending = pending.split(b"\0", 1)
                message = json.loads(raw)
                if "id" in message:
                    with self._answered:
                        self._answers[message["id"]] = message
                        self._answered.notify_all()
                else:
                    self._on_event(message)

    def _on_event(self, message):
        if message.get("method") == "Runtime.consoleAPICalled":
            params = message["params"]
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in params.get("args", []))
            self.console.append([params.get("type", ""), text])
        elif message.get("method") == "Runtime.exceptionThrown":
            details = message["params"].get("exceptionDetails", {})
            text = details.get("exception", {}).get("description", details.get("text", ""))
            self.console.append(["exception", text])

    def call(self, method, params=None, session=True, timeout=60):
        self._next_id += 1
        request = {"id": self._next_id, "method": method, "params": params or {}}
        if session and self.session:
            request["sessionId"] = self.session
        os.write(self._to_browser, json.dumps(request).encode() + b"\0")
        deadline = time.monotonic() + timeout
        with self._answered:
            while self._next_id not in self._answers:
                if None in self._answers:
                    raise RuntimeError("the browser closed its protocol pipe")
                left = deadline - time.monotonic()
                if left <= 0:
                    raise RuntimeError(f"no answer to {method} within {timeout} s")
                self._answered.wait(left)
            answer = self._answers.pop(self._next_id)
        if "error" in answer:
            raise RuntimeError(f"{method}: {answer['error'].get('message')}")
        return answer.get("result", {})

    def open(self, url):
        target = self.call("Target.createTarget", {"url": "about:blank"}, session=False)["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True},
                                 session=False)["sessionId"]
        self.call("Runtime.enable")
        self.call("Page.enable")
        # Every fetch goes to the server. With the cache on, a test that rewrites a package file
        # within the second the page last fetched it gets "304 Not Modified" from the test
        # server (its Last-Modified has whole seconds) and the page reads the old file.
        self.call("Network.enable")
        self.call("Network.setCacheDisabled", {"cacheDisabled": True})
        width, height = self.size
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        self.call("Page.navigate", {"url": url})

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            raise RuntimeError(details.get("exception", {}).get("description", details.get("text")))
        return result.get("result", {}).get("value")

    def wait(self, seconds, expression):
        deadline = time.monotonic() + seconds
        while True:
            try:
                value = self.evaluate(expression)
            except RuntimeError:
                value = None
            if value or time.monotonic() > deadline:
                return value
            time.sleep(0.1)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def key(self, kind, code, modifiers):
        key, virtual, location = KEYS.get(code, (code, 0, 0))
        params = {"type": kind, "code": code, "key": key, "windowsVirtualKeyCode": virtual,
                  "nativeVirtualKeyCode": virtual, "location": location, "modifiers": modifiers}
        self.call("Input.dispatchKeyEvent", params)

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": "left",
                                                   "clickCount": 1})

    def move(self, x, y):
        self.call("Input.dispatchMouseEvent", {"type": "mouseMoved", "x": x, "y": y})

    def close(self):
        try:
            self.call("Browser.close", session=False, timeout=5)
        except RuntimeError:
            pass
        try:
            self._process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()


def main():
    width, height, profile = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    browser = Browser(width, height, profile)
    modifiers = 0
    out = sys.stdout
    for line in sys.stdin:
        command, _, rest = line.rstrip("\n").partition(" ")
        try:
            if command == "open":
                browser.open(rest)
                value = True
            elif command == "eval":
                value = browser.evaluate(rest)
            elif command == "wait":
                seconds, _, expression = rest.partition(" ")
                value = browser.wait(float(seconds), expression)
            elif command == "shot":
                browser.screenshot(rest)
                value = rest
            elif command in ("keydown", "keyup"):
                bit = MODIFIER_BITS.get(rest, 0)
                if command == "keydown":
                    modifiers |= bit
                browser.key("rawKeyDown" if command == "keydown" else "keyUp", rest, modifiers)
                if command == "keyup":
                    modifiers &= ~bit
                value = True
            elif command == "click":
                x, y = rest.split()
                browser.click(float(x), float(y))
                value = True
            elif command == "move":
                x, y = rest.split()
                browser.move(float(x), float(y))
                value = True
            elif command == "console":
                value = browser.console
            elif command == "quit":
                break
            else:
                raise RuntimeError(f"unknown command {command!r}")
            out.write("ok " + json.dumps(value) + "\n")
        except Exception as error:  # every failure is an answer; the test decides
            out.write("error " + str(error).replace("\n", " ") + "\n")
        out.flush()
    browser.close()


if __name__ == "__main__":
    main()
