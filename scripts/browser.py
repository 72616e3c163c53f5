"""Headless Chromium driven through the DevTools protocol over a pipe, and a
static server on 127.0.0.1 for the page: Python's standard library only.
The browser tests (tests/web/) drive the page with it, and scripts/fps
counts the page's frames with it.

The browser talks NUL-separated JSON on its descriptors 3 (commands in) and 4
(replies and events out), so no WebSocket is needed. It runs with a fresh
profile, software WebGL (SwiftShader) and everything that would reach the
network turned off; the only address it is given is the local server's.
"""

import base64
import fcntl
import functools
import http.server
import json
import os
import queue
import shutil
import subprocess
import tempfile
import threading
import time

BROWSER = os.environ.get("DRIFTON_BROWSER", "/usr/bin/chromium-headless-shell")

# Software WebGL, a fresh profile, no connections of its own.
FLAGS = [
    "--headless",
    "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader",
    "--no-sandbox",
    "--remote-debugging-pipe",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--no-first-run",
    "--disable-quic",
    "--disable-dev-shm-usage",
    # Any name but 127.0.0.1 is not found.
    "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
]
# Asks the browser not to pace its frames by the display.
UNPACED = ["--disable-gpu-vsync", "--disable-frame-rate-limit"]
# No WebGL at all.
NO_WEBGL = ["--disable-webgl", "--disable-3d-apis"]


def pixel_ratio(ratio):
    """A display of `ratio` device pixels to a CSS pixel, as on a dense
    screen (the window's size stays in CSS pixels)."""
    return ["--force-device-scale-factor=%g" % ratio]


# Injected before the page's own script: requestAnimationFrame counted and,
# while `hold` is set, each callback held back once the page has asked for
# `until` frames, so that the test owns the page's frame clock. `requested`
# counts the frames the page has asked for, which are the frames it has drawn;
# `ran` the callbacks run, fewer while the page waits for a frame.
FRAME_CLOCK = """
(() => {
    const real = window.requestAnimationFrame.bind(window);
    const clock = { requested: 0, ran: 0, hold: %s, until: 1, held: [] };
    const pass = (callback) => real((t) => { clock.ran++; callback(t); });
    // Lets the page draw until it has asked for `frames`; true once it has.
    clock.runTo = (frames) => {
        clock.until = frames;
        while (clock.held.length && clock.requested < frames) pass(clock.held.shift());
        return clock.requested >= frames && clock.held.length > 0;
    };
    clock.resume = () => { clock.hold = false; while (clock.held.length) pass(clock.held.shift()); };
    window.requestAnimationFrame = (callback) => {
        clock.requested++;
        if (clock.hold && clock.requested >= clock.until) { clock.held.push(callback); return 0; }
        return pass(callback);
    };
    window.__frameClock = clock;
})();
"""

# The canvas as the page shows it, composed over black, as base64 of its
# RGBA bytes, top row first.
READ_CANVAS = """
(() => {
    const canvas = document.querySelector('canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d');
    context.fillStyle = '#000';
    context.fillRect(0, 0, copy.width, copy.height);
    context.drawImage(canvas, 0, 0);
    const bytes = context.getImageData(0, 0, copy.width, copy.height).data;
    let text = '';
    for (let i = 0; i < bytes.length; i += 32768) {
        text += String.fromCharCode.apply(null, bytes.subarray(i, i + 32768));
    }
    return JSON.stringify([copy.width, copy.height, btoa(text)]);
})()
"""


class Failure(Exception):
    pass


def _above_nine(descriptor):
    moved = fcntl.fcntl(descriptor, fcntl.F_DUPFD_CLOEXEC, 10)
    os.close(descriptor)
    return moved


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{".wasm": "application/wasm"})

    def log_message(self, *args):
        pass


class StaticServer:
    """Serves a folder on 127.0.0.1 on a port the system picks."""

    def __init__(self, folder):
        handler = functools.partial(_QuietHandler, directory=folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class Picture:
    """RGBA bytes, top row first."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels

    def rgb(self, x, y):
        i = (y * self.width + x) * 4
        return self.pixels[i], self.pixels[i + 1], self.pixels[i + 2]


class Browser:
    """One headless Chromium; pages are opened in it as targets of their own."""

    def __init__(self, extra_flags=(), timeout=120):
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="drifton-browser-")
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()
        # The ends the browser gets are moved above 9 so that they cannot be
        # 3 or 4 already.
        to_browser_read, from_browser_write = (_above_nine(to_browser_read), _above_nine(from_browser_write))
        # bash (which, unlike dash, takes descriptors above 9) puts the pipe's ends on the descriptors the browser reads
        # and writes, and closes the originals.
        script = 'exec "$0" "$@" 3<&%d 4>&%d %d<&- %d>&-' % (
            to_browser_read, from_browser_write, to_browser_read, from_browser_write)
        self.log = open(os.path.join(self.profile, "browser.log"), "w+")
        self.process = subprocess.Popen(
            ["bash", "-c", script, BROWSER, "--user-data-dir=" + self.profile] + FLAGS + list(extra_flags)
            + ["about:blank"],
            pass_fds=(to_browser_read, from_browser_write), stdin=subprocess.DEVNULL,
            stdout=self.log, stderr=subprocess.STDOUT)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._next_id = 0
        self._replies = {}
        self._events = queue.Queue()
        self._lock = threading.Condition()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        buffer = b""
        while True:
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                break
            buffer += chunk
            while b"\0" in buffer:
                message, buffer = buffer.split(b"\0", 1)
                data = json.loads(message)
                if "id" in data:
                    with self._lock:
                        self._replies[data["id"]] = data
                        self._lock.notify_all()
                else:
                    self._events.put(data)
        with self._lock:
            self._replies[None] = {"error": {"message": "the browser closed its pipe"}}
            self._lock.notify_all()

    def call(self, method, params=None, session=None):
        """Sends one command and returns its result; fails on an error reply."""
        with self._lock:
            self._next_id += 1
            number = self._next_id
        message = {"id": number, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + self.timeout
        with self._lock:
            while number not in self._replies and None not in self._replies:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise Failure("no reply to %s in %d s" % (method, self.timeout))
                self._lock.wait(left)
            reply = self._replies.pop(number, None) or self._replies[None]
        if "error" in reply:
            raise Failure("%s: %s" % (method, reply["error"].get("message")))
        return reply["result"]

    def events(self):
        """The events received since the last call, oldest first."""
        taken = []
        while True:
            try:
                taken.append(self._events.get_nowait())
            except queue.Empty:
                return taken

    def open_page(self, url, hold_frames=False):
        """Opens url in a new target with the frame clock injected; returns the page."""
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        page = Page(self, target, session)
        page.call("Page.enable")
        page.call("Runtime.enable")
        page.call("Page.addScriptToEvaluateOnNewDocument",
                  {"source": FRAME_CLOCK % ("true" if hold_frames else "false")})
        page.call("Page.navigate", {"url": url})
        return page

    def open_witness(self):
        """A blank page of its own that counts its animation frames: a clock
        in frames for how long something else has not happened."""
        page = self.open_page("about:blank")
        page.wait_for("document.readyState == 'complete'", "the blank page")
        page.evaluate("window.ticks = 0; (function tick() { ticks++; requestAnimationFrame(tick); })(); 1")
        return page

    def set_window_bounds(self, page, **bounds):
        """Changes the page's window: windowState="minimized" hides the
        page, "normal" shows it again; width and height resize it (in CSS
        pixels)."""
        window = self.call("Browser.getWindowForTarget", {"targetId": page.target})["windowId"]
        self.call("Browser.setWindowBounds", {"windowId": window, "bounds": bounds})

    def close(self):
        try:
            self.call("Browser.close")
        except Failure:
            pass
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *rest):
        self.close()


class Page:
    def __init__(self, browser, target, session):
        self.browser = browser
        self.target = target
        self.session = session

    def call(self, method, params=None):
        return self.browser.call(method, params, self.session)

    def evaluate(self, expression):
        """The value of a JavaScript expression, awaited if it is a promise."""
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            raise Failure("%s: %s" % (expression.strip()[:60], result["exceptionDetails"].get("text")))
        return result["result"].get("value")

    def wait_for(self, expression, what, timeout=None):
        """Polls a JavaScript expression until it is truthy; returns its value."""
        deadline = time.monotonic() + (timeout or self.browser.timeout)
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise Failure("waited in vain for " + what)
            time.sleep(0.02)

    def frames(self):
        """Frames the page has asked for so far."""
        return self.evaluate("window.__frameClock ? window.__frameClock.requested : 0")

    def hold_at(self, frames):
        """With frames held, lets the page draw until it has asked for
        `frames` frames and is waiting for the next."""
        self.wait_for("__frameClock.runTo(%d)" % frames, "frame %d" % frames)
        drawn = self.frames()
        if drawn != frames:
            raise Failure("the page drew %d frames, not %d" % (drawn, frames))

    def wait_ticks(self, ticks):
        """On a witness page: waits until it has drawn `ticks` more frames."""
        start = self.evaluate("ticks")
        self.wait_for("ticks >= %d" % (start + ticks), "%d frames of the witness page" % ticks)

    def picture(self):
        width, height, data = json.loads(self.evaluate(READ_CANVAS))
        return Picture(width, height, base64.b64decode(data))

    def press_escape(self):
        for kind in ("rawKeyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", {"type": kind, "key": "Escape", "code": "Escape",
                                                 "windowsVirtualKeyCode": 27, "nativeVirtualKeyCode": 27})


def _cpu_ticks(root):
    """CPU time in clock ticks of a process and all its descendants: of the
    GPU process (which draws and composites the page), and of the others."""
    processes = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    fields = f.read().rsplit(")", 1)[1].split()
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    gpu = b"--type=gpu-process" in f.read()
            except OSError:
                continue
            processes[int(entry)] = (int(fields[1]), int(fields[11]) + int(fields[12]), gpu)
    ticks, pending = [0, 0], [root]
    while pending:
        pid = pending.pop()
        if pid in processes:
            ticks[processes[pid][2]] += processes[pid][1]
        pending += [child for child, (parent, _, _) in processes.items() if parent == pid]
    return ticks


def measure_frame_rate(folder, seconds, warm_up_frames, flags=()):
    """The page's frames a second, counted as the animation frames it asks
    for over `seconds` once it has drawn `warm_up_frames`, and the CPU use
    in per cent of one core of the browser's GPU process and of its other
    processes."""
    server = StaticServer(folder)
    try:
        with Browser(flags) as browser:
            page = browser.open_page(server.url)
            page.wait_for("__frameClock.requested >= %d" % warm_up_frames, "%d frames" % warm_up_frames,
                          timeout=1200)
            read = "[__frameClock.requested, performance.now()]"
            ticks, (frames, now) = _cpu_ticks(browser.process.pid), page.evaluate(read)
            time.sleep(seconds)
            ticks_after, (frames_after, now_after) = _cpu_ticks(browser.process.pid), page.evaluate(read)
    finally:
        server.close()
    interval = (now_after - now) / 1000
    cpu = [100 * (ticks_after[i] - ticks[i]) / os.sysconf("SC_CLK_TCK") / interval for i in (0, 1)]
    return (frames_after - frames) / interval, cpu[0], cpu[1]


if __name__ == "__main__":
    # For scripts/fps: browser.py fps FOLDER SECONDS WARM_UP_FRAMES RATIO
    # [unpaced] prints the frames a second, the CPU % of the browser but its
    # GPU process, and the GPU process's, at device pixel ratio RATIO.
    import sys
    print("%.2f %.1f %.1f" % measure_frame_rate(sys.argv[2], float(sys.argv[3]), int(sys.argv[4]),
                                                 pixel_ratio(float(sys.argv[5]))
                                                 + (UNPACED if sys.argv[6:] == ["unpaced"] else [])))
