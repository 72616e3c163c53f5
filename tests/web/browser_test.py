"""The page in headless Chromium, checked for what it promises:
    python3 browser_test.py WEB_FOLDER NATIVE_PICTURE
WEB_FOLDER holds web/ (the page) and web-scripted/ (the same page seeded by
the tests' scripted entropy); NATIVE_PICTURE is the native program's
picture from the same seeds (web_native_picture), run on the X display that
DISPLAY names. Each check prints "ok (SECONDS): ..." and the run ends with
exit code 0, or it stops at the first failure with "FAIL: ..." and exit
code 1."""

import os
import subprocess
import sys
import tempfile
import time

from browser import NO_WEBGL, Browser, Failure, Picture, StaticServer, pixel_ratio

# Frames after which the page's picture is put beside the native one: the
# creatures have streamed out from the centre, and their heads and thick
# lines are still a good share of what is lit.
COMPARED_FRAME = 90
# Frames after which the fade is watched: by then the creatures have left
# enough of their trails alone.
FADE_FRAME = 200
# Pixels fainter than this in every channel are left out of the comparison:
# the last steps of a fading trail, where each fade's rounding in an 8-bit
# buffer decides whether a pixel is 0 or a few levels above.
LIT = 24

STARTED = time.monotonic()


def ok(message):
    print("ok (%.1f s): %s" % (time.monotonic() - STARTED, message), flush=True)


def check(condition, message):
    if not condition:
        raise Failure(message)


def lit_pixels(picture):
    p = picture.pixels
    w = picture.width
    return {(i // 4 % w, i // 4 // w) for i in range(0, len(p), 4) if max(p[i], p[i + 1], p[i + 2]) >= LIT}


def share_near(pixels, others):
    """The share of `pixels` with a pixel of `others` at most 1 pixel away."""
    near = sum(1 for x, y in pixels if any((x + dx, y + dy) in others for dx in (-1, 0, 1) for dy in (-1, 0, 1)))
    return near / max(1, len(pixels))


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, size, depth, rgb = data.split(b"\n", 3)
    width, height = map(int, size.split())
    rgba = bytearray(width * height * 4)
    rgba[0::4], rgba[1::4], rgba[2::4] = rgb[0::3], rgb[1::3], rgb[2::3]
    return Picture(width, height, bytes(rgba))


def native_picture(program, frames, frames_after, side=600):
    """The native program's picture after `frames` frames, and for each of
    the `frames_after` frames that follow, the creatures' tentacles as lists
    of node positions in pixels; drawn `side` pixels square."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "native.ppm")
        subprocess.run([program, str(frames), path, os.path.join(folder, "nodes.txt"), str(frames_after),
                        str(side)], check=True, timeout=300)
        creatures = []
        with open(os.path.join(folder, "nodes.txt")) as f:
            for line in f:
                values = [float(v) for v in line.split()]
                nodes = list(zip(values[0::2], values[1::2]))
                creatures.append([nodes[t * 75:(t + 1) * 75] for t in range(3)])
        return read_ppm(path), [creatures[i:i + 5] for i in range(0, len(creatures), 5)]


def reached(creatures, scale=1):
    """The pixels that a frame's drawing can touch: within half the line's
    width, a pixel of smoothing and half a pixel of slack of its segments
    (6 pixels wide on the first 18 nodes, 2 beyond) and of its 8-pixel
    heads, those sizes multiplied by the picture's scale."""
    pixels = set()

    def mark(ax, ay, bx, by, reach):
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy
        for y in range(int(min(ay, by) - reach), int(max(ay, by) + reach) + 1):
            for x in range(int(min(ax, bx) - reach), int(max(ax, bx) + reach) + 1):
                px, py = x + 0.5 - ax, y + 0.5 - ay
                s = min(1, max(0, (px * dx + py * dy) / length2)) if length2 > 0 else 0
                if (px - s * dx) ** 2 + (py - s * dy) ** 2 <= reach * reach:
                    pixels.add((x, y))

    for tentacles in creatures:
        mark(*tentacles[0][0], *tentacles[0][0], 4 * scale + 1.5)
        for nodes in tentacles:
            for k in range(1, len(nodes)):
                mark(*nodes[k - 1], *nodes[k], (3 if k < 18 else 1) * scale + 1.5)
    return pixels


def compare_with_native(page, native):
    """The same positions drawn by two OpenGL implementations: the lit pixels
    nearly coincide, and so do the amounts of each colour and most pixels'
    colours. Smooth edges are each implementation's own (coverage of a
    pixel by a 6-pixel line or an 8-pixel disc), so an edge pixel may be lit
    in one picture and just too faint in the other, or differ by a few
    dozen levels; the fade's rounding adds a level or so per frame. Drawn
    natively with thick lines of 4 pixels, thin ones of 1 or 3, or heads
    of 1 pixel, the native picture fails this beside the right one; so
    does the frame before or after."""
    check(page.width == native.width, "the page's picture %d wide, the native %d" % (page.width, native.width))
    a, b = lit_pixels(page), lit_pixels(native)
    check(len(b) > 1000, "the native picture has only %d lit pixels" % len(b))
    near_page, near_native = share_near(a, b), share_near(b, a)
    light = [sum(picture.pixels[c::4]) for picture in (page, native) for c in range(3)]
    ratios = [light[c] / max(1, light[3 + c]) for c in range(3)]
    both = a | b
    far = sum(1 for x, y in both if max(abs(u - v) for u, v in zip(page.rgb(x, y), native.rgb(x, y))) > 32)
    summary = ("lit %d page, %d native; within 1 pixel %.3f, %.3f; light ratios %s; %.3f differ by more than 32"
               % (len(a), len(b), near_page, near_native, " ".join("%.3f" % r for r in ratios), far / len(both)))
    check(min(near_page, near_native) >= 0.99, "lit pixels apart: " + summary)
    check(abs(len(a) / len(b) - 1) <= 0.05, "lit pixel counts differ: " + summary)
    check(all(abs(r - 1) <= 0.05 for r in ratios), "colours differ: " + summary)
    check(far <= 0.04 * len(both), "pixels differ: " + summary)
    return summary


def scripted_drawing(browser, url, native_program):
    """Frames held and released by the test: the first frames over black,
    the fade, and the picture beside the native program's."""
    page = browser.open_page(url, hold_frames=True)
    page.hold_at(1)
    first = page.picture()
    check(0 < len(lit_pixels(first)) < 2000,
          "the first frame lights %d pixels, not a few heads at the centre" % len(lit_pixels(first)))
    check(first.rgb(0, 0) == (0, 0, 0) and first.rgb(599, 599) == (0, 0, 0), "the first frame is not over black")
    page.hold_at(COMPARED_FRAME)
    summary = compare_with_native(page.picture(), native_picture(native_program, COMPARED_FRAME, 0)[0])
    ok("frame %d beside the native program's: %s" % (COMPARED_FRAME, summary))

    # Frame after frame, a lit pixel that the next frame's drawing (where
    # the native program puts it) does not reach keeps 0.95 of itself,
    # give or take the 8-bit buffer's rounding.
    page.hold_at(FADE_FRAME)
    before = page.picture()
    ratios = []
    for frame, creatures in enumerate(native_picture(native_program, FADE_FRAME, 5)[1], FADE_FRAME + 1):
        page.hold_at(frame)
        after = page.picture()
        drawn = reached(creatures)
        p, q = before.pixels, after.pixels
        for i in range(0, len(p), 4):
            top = max(p[i], p[i + 1], p[i + 2])
            if top >= 40 and (i // 4 % after.width, i // 4 // after.width) not in drawn:
                ratios.append(max(q[i], q[i + 1], q[i + 2]) / top)
        before = after
    ratios.sort()
    median = ratios[len(ratios) // 2] if ratios else 0
    check(len(ratios) >= 100 and abs(median - 0.95) <= 0.01,
          "%d lit pixels left alone kept %.3f of themselves a frame" % (len(ratios), median))
    ok("%d lit pixels left alone kept %.3f of themselves a frame (tenth and ninetieth hundredths "
       "%.3f and %.3f)" % (len(ratios), median, ratios[len(ratios) // 10], ratios[len(ratios) * 9 // 10]))

    browser.call("Target.closeTarget", {"targetId": page.target})


def scaled_drawing(url, native_program):
    """At pixel ratio 2 the canvas shown 600 across is drawn as the native
    program draws at 1200; made smaller, the next frame is drawn at its new
    size over black, the creatures going on. As a phone (390 by 844, ratio
    3) shows it, it is 1170 across."""
    with Browser(pixel_ratio(2)) as browser:
        page = browser.open_page(url, hold_frames=True)
        page.hold_at(COMPARED_FRAME)
        native, after = native_picture(native_program, COMPARED_FRAME, 1, 1200)
        ok("at ratio 2, frame %d beside the native program's at 1200: %s"
           % (COMPARED_FRAME, compare_with_native(page.picture(), native)))

        browser.set_window_bounds(page, width=500, height=500)
        # Observers of one element hear of its new size in one round, the page's own first.
        page.evaluate("new Promise((resolve) => new ResizeObserver((entries) => entries[0]"
                      ".devicePixelContentBoxSize[0].inlineSize == 1000 && resolve(1))"
                      ".observe(document.getElementById('canvas'), {box: 'device-pixel-content-box'}))")
        page.hold_at(COMPARED_FRAME + 1)
        lit = lit_pixels(picture := page.picture())
        drawn = reached([[[(x / 1.2, y / 1.2) for x, y in t] for t in c] for c in after[0]], 1000 / 600)
        check(picture.width == 1000 and len(lit) > 1000 and lit <= drawn,
              "made smaller: %d across, %d lit, %d off its drawing" % (picture.width, len(lit), len(lit - drawn)))
        ok("made smaller, the next frame is 1000 across, over black: %d lit where the creatures go on" % len(lit))

    with Browser(pixel_ratio(3) + ["--window-size=390,844"]) as browser:
        page = browser.open_page(url, hold_frames=True)
        page.hold_at(1)
        check(page.picture().width == 1170, "as a phone shows it the canvas is not 1170 across")
        ok("as a phone shows it, the canvas is 1170 across")


def shown_page(browser, url):
    """The page as shipped: frames arrive and change; hidden it draws
    nothing, shown again it goes on from its picture; Escape ends it."""
    witness = browser.open_witness()
    page = browser.open_page(url)
    page.wait_for("__frameClock.requested >= 10", "ten frames")
    first = page.picture()
    page.wait_for("__frameClock.requested >= %d" % (page.frames() + 10), "ten more frames")
    second = page.picture()
    check(first.pixels != second.pixels and lit_pixels(second), "the picture is black or still")
    ok("frames arrive and the picture changes")

    # A minimised window hides the page. A frame under way when it is
    # hidden is finished, so counting starts once the page waits for the
    # next.
    browser.set_window_bounds(page, windowState="minimized")
    page.wait_for("document.visibilityState == 'hidden'", "the page to be hidden")
    page.wait_for("__frameClock.requested > __frameClock.ran", "the hidden page to wait for a frame")
    frames, hidden_picture = page.frames(), page.picture()
    witness.wait_ticks(60)
    check(page.frames() == frames and page.picture().pixels == hidden_picture.pixels,
          "the hidden page drew %d frames" % (page.frames() - frames))
    # Shown again, one frame at a time: the next frame is drawn over the
    # picture it left, not over black.
    page.evaluate("__frameClock.until = %d; __frameClock.hold = true" % (frames + 1))
    browser.set_window_bounds(page, windowState="normal")
    page.wait_for("document.visibilityState == 'visible'", "the page to be shown")
    page.hold_at(frames + 1)
    resumed = lit_pixels(page.picture())
    check(len(resumed) >= 0.9 * len(lit_pixels(hidden_picture)),
          "shown again, it starts afresh: %d lit pixels, %d before" % (len(resumed), len(lit_pixels(hidden_picture))))
    page.evaluate("__frameClock.resume()")
    page.wait_for("__frameClock.requested >= %d" % (frames + 10), "frames after showing the page again")
    ok("hidden (its window minimised) it drew no frame in 60 of another page's; shown again it went on "
       "from its picture")

    page.press_escape()
    page.wait_for("getComputedStyle(document.getElementById('canvas')).display == 'none'",
                  "the canvas to go on Escape")
    witness.wait_ticks(10)
    frames = page.frames()
    witness.wait_ticks(60)
    check(page.frames() == frames, "after Escape the page drew %d more frames" % (page.frames() - frames))
    text = page.evaluate("document.body.innerText.trim()")
    check(text == "", "after Escape the page shows %r" % text)
    ok("Escape ends the drawing; the page is left black")


def without_webgl(url):
    """No WebGL: the one line, on the page and in the console, and nothing
    drawn."""
    with Browser(NO_WEBGL) as browser:
        page = browser.open_page(url)
        text = page.wait_for("document.readyState == 'complete' && document.body.innerText.trim()",
                             "a line on the page")
        check(text.startswith("drifton: ") and "\n" not in text, "the page shows %r" % text)
        messages = [event["params"]["args"][0].get("value") for event in browser.events()
                    if event.get("method") == "Runtime.consoleAPICalled"]
        check(messages == [text], "the console says %r" % messages)
        check(page.frames() == 0, "without WebGL it asked for %d frames" % page.frames())
        ok("without WebGL the page and the console say %r" % text)


def main():
    web, native_program = sys.argv[1], sys.argv[2]
    servers = [StaticServer(os.path.join(web, folder)) for folder in ("web", "web-scripted")]
    try:
        with Browser() as browser:
            scripted_drawing(browser, servers[1].url, native_program)
            shown_page(browser, servers[0].url)
        scaled_drawing(servers[1].url, native_program)
        without_webgl(servers[0].url)
    except (Failure, subprocess.CalledProcessError) as failure:
        print("FAIL: %s" % failure)
        return 1
    finally:
        for server in servers:
            server.close()
    print("browser tests passed in %.1f s" % (time.monotonic() - STARTED))
    return 0


if __name__ == "__main__":
    sys.exit(main())
