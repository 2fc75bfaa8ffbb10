"""Headless Chromium started for the tests and driven over its DevTools protocol.

The browser runs with a fresh profile, no network services and no GPU; the tests talk to
one page target through Debian's websocket client.
"""

import base64
import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request

import websocket

FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-extensions", "--disable-default-apps", "--mute-audio",
    "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=0",
]


class Failure(Exception):
    pass


class Browser:
    """One Chromium process with one page; events are kept until a test takes them."""

    def __init__(self, executable, timeout=60):
        self.profile = tempfile.mkdtemp(prefix="krn-chromium-")
        self.log = open(os.path.join(self.profile, "chromium.log"), "wb")
        self.process = subprocess.Popen(
            [executable, *FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
            stdout=self.log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        self.socket = None
        self.next_id = 0
        self.events = []
        try:
            port = self._wait_port(timeout)
            self.socket = websocket.create_connection(
                self._page_socket(port, timeout), timeout=timeout, suppress_origin=True)
        except Exception:
            self.close()
            raise

    def _wait_port(self, timeout):
        active = os.path.join(self.profile, "DevToolsActivePort")
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if self.process.poll() is not None:
                raise Failure("chromium ended at start (exit %d); see %s"
                              % (self.process.returncode, self.log.name))
            try:
                with open(active) as f:
                    line = f.readline().strip()
                if line:
                    return int(line)
            except OSError:
                pass
            time.sleep(0.05)
        raise Failure("chromium did not open its DevTools port within %ds" % timeout)

    @staticmethod
    def _page_socket(port, timeout):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port,
                                        timeout=timeout) as reply:
                for target in json.load(reply):
                    if target.get("type") == "page":
                        return target["webSocketDebuggerUrl"]
            time.sleep(0.05)
        raise Failure("chromium shows no page target")

    def close(self):
        if self.socket is not None:
            self.socket.close()
            self.socket = None
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def call(self, method, **params):
        """Sends one command and returns its result; events on the way are kept."""
        self.next_id += 1
        ident = self.next_id
        self.socket.send(json.dumps({"id": ident, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == ident:
                if "error" in message:
                    raise Failure("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            if "method" in message:
                self.events.append(message)

    def wait_event(self, method, timeout=30):
        """Returns the first kept or arriving event of that method, removing it."""
        end = time.monotonic() + timeout
        while True:
            for i, event in enumerate(self.events):
                if event["method"] == method:
                    return self.events.pop(i)
            left = end - time.monotonic()
            if left <= 0:
                raise Failure("no %s within %ds" % (method, timeout))
            self.socket.settimeout(left)
            message = json.loads(self.socket.recv())
            if "method" in message:
                self.events.append(message)

    def take_events(self):
        events, self.events = self.events, []
        return events

    def evaluate(self, expression):
        """The value of a script expression in the page (promises awaited)."""
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise Failure("script failed: %s" % json.dumps(result["exceptionDetails"])[:2000])
        return result["result"].get("value")

    def open(self, url, timeout=30):
        """Loads url and waits for its load event; returns the events seen on the way."""
        self.take_events()
        self.call("Page.navigate", url=url)
        self.wait_event("Page.loadEventFired", timeout)
        # Give late console messages and failed requests a moment to arrive.
        self.call("Runtime.evaluate", expression="new Promise(r => setTimeout(r, 50))",
                  awaitPromise=True)
        return self.take_events()

    def screenshot(self, path, width, height):
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=1, mobile=width < 600)
        data = self.call("Page.captureScreenshot", format="png", captureBeyondViewport=False)
        with open(path, "wb") as f:
            f.write(base64.b64decode(data["data"]))
