// The page in Chromium and Firefox, checked for what it promises:
//   node --test-concurrency=1 browser_test.mjs   (run by run_browser_tests.sh)
// WEB_FOLDER (the environment's DRIFTON_WEB) holds web/ (the page) and
// web-scripted/ (the same page seeded by the tests' scripted entropy);
// DRIFTON_NATIVE_PICTURE is the native program's picture from the same
// seeds (web_native_picture), run on the X display that DISPLAY names, where
// Firefox runs too. DRIFTON_ENGINES picks the engines (both by default).

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { Browser, ENGINES, Failure, Picture, StaticServer } from '../../scripts/browser/browser.mjs';

const WEB = process.env.DRIFTON_WEB;
const NATIVE = process.env.DRIFTON_NATIVE_PICTURE;
const engines = (process.env.DRIFTON_ENGINES ?? ENGINES.join(' ')).split(/\s+/).filter(Boolean);

// Frames after which the page's picture is put beside the native one: the
// creatures have streamed out from the centre, and their heads and thick
// lines are still a good share of what is lit.
const COMPARED_FRAME = 90;
// Frames after which the fade is watched: by then the creatures have left
// enough of their trails alone.
const FADE_FRAME = 200;
// Pixels fainter than this in every channel are left out of the comparison:
// the last steps of a fading trail, where each fade's rounding in an 8-bit
// buffer decides whether a pixel is 0 or a few levels above.
const LIT = 24;

function check(condition, message) {
  if (!condition) throw new Failure(message);
}

// The lit pixels of a picture, as y * width + x.
function litPixels(picture) {
  const p = picture.pixels;
  const lit = new Set();
  for (let i = 0; i < p.length; i += 4) {
    if (Math.max(p[i], p[i + 1], p[i + 2]) >= LIT) lit.add(i / 4);
  }
  return lit;
}

// The share of `pixels` with a pixel of `others` at most 1 pixel away.
function shareNear(pixels, others, width) {
  let near = 0;
  for (const k of pixels) {
    const x = k % width;
    let found = false;
    for (let dy = -1; dy <= 1 && !found; dy++) {
      for (let dx = -1; dx <= 1 && !found; dx++) {
        found = x + dx >= 0 && x + dx < width && others.has(k + dy * width + dx);
      }
    }
    if (found) near++;
  }
  return near / Math.max(1, pixels.size);
}

// A binary PPM ("P6", width, height, 255, then the RGB rows, top first).
function readPpm(file) {
  const data = fs.readFileSync(file);
  const [width, height] = data.subarray(0, 20).toString().split(/\s+/).slice(1, 3).map(Number);
  const start = data.length - width * height * 3;
  const rgba = Buffer.alloc(width * height * 4, 255);
  for (let i = 0; i < width * height; i++) data.copy(rgba, i * 4, start + i * 3, start + i * 3 + 3);
  return new Picture(width, height, rgba);
}

// The native program's picture after `frames` frames, and for each of the
// `framesAfter` frames that follow, the creatures' tentacles as lists of
// node positions in pixels; drawn `side` pixels square. Kept for the second
// engine.
const natives = new Map();
function nativePicture(frames, framesAfter, side = 600) {
  const key = `${frames} ${framesAfter} ${side}`;
  if (natives.has(key)) return natives.get(key);
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'drifton-native-'));
  try {
    const ppm = path.join(folder, 'native.ppm');
    const nodes = path.join(folder, 'nodes.txt');
    execFileSync(NATIVE, [frames, ppm, nodes, framesAfter, side].map(String), { timeout: 300000 });
    const creatures = fs.readFileSync(nodes, 'utf8').split('\n').filter(Boolean).map((line) => {
      const values = line.trim().split(/\s+/).map(Number);
      const points = [];
      for (let i = 0; i < values.length; i += 2) points.push([values[i], values[i + 1]]);
      return [0, 1, 2].map((t) => points.slice(t * 75, (t + 1) * 75));
    });
    const perFrame = [];
    for (let i = 0; i < creatures.length; i += 5) perFrame.push(creatures.slice(i, i + 5));
    const result = [readPpm(ppm), perFrame];
    natives.set(key, result);
    return result;
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// The pixels that a frame's drawing can touch: within half the line's
// width, a pixel of smoothing and half a pixel of slack of its segments (6
// pixels wide on the first 18 nodes, 2 beyond) and of its 8-pixel heads,
// those sizes multiplied by the picture's scale; as y * width + x.
function reached(creatures, width, scale = 1) {
  const pixels = new Set();
  const mark = (ax, ay, bx, by, reach) => {
    const dx = bx - ax;
    const dy = by - ay;
    const length2 = dx * dx + dy * dy;
    for (let y = Math.trunc(Math.min(ay, by) - reach); y <= Math.trunc(Math.max(ay, by) + reach); y++) {
      for (let x = Math.trunc(Math.min(ax, bx) - reach); x <= Math.trunc(Math.max(ax, bx) + reach); x++) {
        const px = x + 0.5 - ax;
        const py = y + 0.5 - ay;
        const s = length2 > 0 ? Math.min(1, Math.max(0, (px * dx + py * dy) / length2)) : 0;
        if ((px - s * dx) ** 2 + (py - s * dy) ** 2 <= reach * reach && x >= 0 && x < width) {
          pixels.add(y * width + x);
        }
      }
    }
  };
  for (const tentacles of creatures) {
    mark(...tentacles[0][0], ...tentacles[0][0], 4 * scale + 1.5);
    for (const nodes of tentacles) {
      for (let k = 1; k < nodes.length; k++) mark(...nodes[k - 1], ...nodes[k], (k < 18 ? 3 : 1) * scale + 1.5);
    }
  }
  return pixels;
}

// The same positions drawn by two OpenGL implementations: the lit pixels
// nearly coincide, and so do the amounts of each colour and most pixels'
// colours. Smooth edges are each implementation's own (coverage of a pixel
// by a 6-pixel line or an 8-pixel disc), so an edge pixel may be lit in one
// picture and just too faint in the other, or differ by a few dozen levels;
// the fade's rounding adds a level or so per frame. Drawn natively with
// thick lines of 4 pixels, thin ones of 1 or 3, or heads of 1 pixel, the
// native picture fails this beside the right one; so does the frame before
// or after.
function compareWithNative(page, native) {
  check(page.width === native.width, `the page's picture ${page.width} wide, the native ${native.width}`);
  const a = litPixels(page);
  const b = litPixels(native);
  check(b.size > 1000, `the native picture has only ${b.size} lit pixels`);
  const nearPage = shareNear(a, b, page.width);
  const nearNative = shareNear(b, a, page.width);
  const light = [page, native].flatMap((picture) => [0, 1, 2].map((c) => {
    let sum = 0;
    for (let i = c; i < picture.pixels.length; i += 4) sum += picture.pixels[i];
    return sum;
  }));
  const ratios = [0, 1, 2].map((c) => light[c] / Math.max(1, light[3 + c]));
  const both = new Set([...a, ...b]);
  let far = 0;
  for (const k of both) {
    const differ = [0, 1, 2].map((c) => Math.abs(page.pixels[k * 4 + c] - native.pixels[k * 4 + c]));
    if (Math.max(...differ) > 32) far++;
  }
  const summary = `lit ${a.size} page, ${b.size} native; within 1 pixel ${nearPage.toFixed(3)}, `
    + `${nearNative.toFixed(3)}; light ratios ${ratios.map((r) => r.toFixed(3)).join(' ')}; `
    + `${(far / both.size).toFixed(3)} differ by more than 32`;
  check(Math.min(nearPage, nearNative) >= 0.99, `lit pixels apart: ${summary}`);
  check(Math.abs(a.size / b.size - 1) <= 0.05, `lit pixel counts differ: ${summary}`);
  check(ratios.every((r) => Math.abs(r - 1) <= 0.05), `colours differ: ${summary}`);
  check(far <= 0.04 * both.size, `pixels differ: ${summary}`);
  return summary;
}

// Frame after frame, a lit pixel that the next frame's drawing (where the
// native program puts it) does not reach keeps 0.95 of itself, give or take
// the 8-bit buffer's rounding: the median share kept, and the tenth and
// ninetieth hundredths.
async function fadeRatios(page, firstFrame, creaturesPerFrame) {
  let before = await page.picture();
  const ratios = [];
  for (const [n, creatures] of creaturesPerFrame.entries()) {
    await page.holdAt(firstFrame + n);
    const after = await page.picture();
    const drawn = reached(creatures, after.width);
    const p = before.pixels;
    const q = after.pixels;
    for (let i = 0; i < p.length; i += 4) {
      const top = Math.max(p[i], p[i + 1], p[i + 2]);
      if (top >= 40 && !drawn.has(i / 4)) ratios.push(Math.max(q[i], q[i + 1], q[i + 2]) / top);
    }
    before = after;
  }
  ratios.sort((x, y) => x - y);
  const at = (share) => ratios[Math.floor(ratios.length * share)] ?? 0;
  return { count: ratios.length, median: at(0.5), low: at(0.1), high: at(0.9) };
}

// The page's WebGL context's WEBGL_lose_context, whichever version the
// page asked for, as an expression.
const LOSE_CONTEXT = `(document.getElementById('canvas').getContext('webgl2')
  || document.getElementById('canvas').getContext('webgl')).getExtension('WEBGL_lose_context')`;

// Whether the page's service worker has taken over.
const WORKER_ACTIVE = `navigator.serviceWorker.getRegistration()
  .then((r) => !!r && !!r.active && r.active.state == 'activated')`;

// A copy of a folder in a new temporary folder.
function copyFolder(folder) {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'drifton-page-'));
  fs.cpSync(folder, copy, { recursive: true });
  return copy;
}

const servers = {};
before(async () => {
  for (const folder of ['web', 'web-scripted']) servers[folder] = await new StaticServer(path.join(WEB, folder)).start();
});
after(async () => {
  for (const server of Object.values(servers)) await server.close();
});

for (const engine of engines) {
  describe(engine, () => {
    let browser;
    before(async () => { browser = await Browser.launch(engine); });
    after(async () => { await browser?.close(); });

    test('frames held by the test: frame 1 over black, the native picture at 600, the fade', async (t) => {
      const page = await browser.openPage(servers['web-scripted'].url, { holdFrames: true });
      await page.holdAt(1);
      const first = await page.picture();
      const lit = litPixels(first).size;
      check(lit > 0 && lit < 2000, `the first frame lights ${lit} pixels, not a few heads at the centre`);
      check(first.rgb(0, 0).join() === '0,0,0' && first.rgb(599, 599).join() === '0,0,0',
        'the first frame is not over black');
      await page.holdAt(COMPARED_FRAME);
      const summary = compareWithNative(await page.picture(), nativePicture(COMPARED_FRAME, 0)[0]);
      t.diagnostic(`frame ${COMPARED_FRAME} beside the native program's: ${summary}`);

      await page.holdAt(FADE_FRAME);
      const fade = await fadeRatios(page, FADE_FRAME + 1, nativePicture(FADE_FRAME, 5)[1]);
      check(fade.count >= 100 && Math.abs(fade.median - 0.95) <= 0.01,
        `${fade.count} lit pixels left alone kept ${fade.median.toFixed(3)} of themselves a frame`);
      t.diagnostic(`${fade.count} lit pixels left alone kept ${fade.median.toFixed(3)} of themselves a frame `
        + `(tenth and ninetieth hundredths ${fade.low.toFixed(3)} and ${fade.high.toFixed(3)})`);
      await page.close();
    });

    // The page as shipped, with a witness page to count frames by.
    let witness;
    let page;

    // Firefox still gives a hidden page an animation frame a second.
    test('the page as shipped: hidden, it draws nothing; shown again it goes on from its picture', async () => {
      page = await browser.openPage(servers.web.url);
      await page.waitFor('__frameClock.requested >= 10', 'ten frames');
      // A frame under way when the page is hidden is finished, so counting
      // starts once the page waits for the next.
      await page.hide(true);
      // In a window of its own, so that it stays shown.
      witness = await browser.openWitness();
      await page.waitFor("document.visibilityState == 'hidden'", 'the page to be hidden');
      await page.waitFor('__frameClock.requested > __frameClock.ran', 'the hidden page to wait for a frame', 30000);
      const frames = await page.frames();
      const hiddenPicture = await page.picture();
      await witness.waitTicks(180);
      check(await page.frames() === frames && (await page.picture()).pixels.equals(hiddenPicture.pixels),
        `the hidden page drew ${(await page.frames()) - frames} frames`);
      // Shown again, a frame or two at a time: they are drawn over the
      // picture it left, not over black.
      await page.evaluate(`__frameClock.until = ${frames + 2}; __frameClock.hold = true`);
      await page.hide(false);
      await page.waitFor("document.visibilityState == 'visible'", 'the page to be shown');
      await page.holdAt(frames + 2);
      const resumed = litPixels(await page.picture()).size;
      const left = litPixels(hiddenPicture).size;
      check(resumed >= 0.9 * left, `shown again, it starts afresh: ${resumed} lit pixels, ${left} before`);
      await page.evaluate('__frameClock.resume()');
      await page.waitFor(`__frameClock.requested >= ${frames + 10}`, 'frames after showing the page again');
    });

    test('Escape ends the drawing; the page is left black', async () => {
      await page.hide(false);
      await page.evaluate('__frameClock.resume()');
      await page.waitFor("document.visibilityState == 'visible'", 'the page to be shown');
      await page.page.keyboard.press('Escape');
      await page.waitFor("getComputedStyle(document.getElementById('canvas')).display == 'none'",
        'the canvas to go on Escape');
      await witness.waitTicks(10);
      const ended = await page.frames();
      await witness.waitTicks(60);
      check(await page.frames() === ended, `after Escape the page drew ${(await page.frames()) - ended} more frames`);
      const text = await page.evaluate('document.body.innerText.trim()');
      check(text === '', `after Escape the page shows ${JSON.stringify(text)}`);
      await page.close();
      await witness.close();
    });

    test('as a phone shows it (390 by 844, ratio 3): the native picture at 1170; made smaller, drawn at its new '
      + 'size over black', async (t) => {
      const phone = await Browser.launch(engine, { ratio: 3, window: [390, 844] });
      try {
        const page = await phone.openPage(servers['web-scripted'].url, { holdFrames: true });
        await page.holdAt(COMPARED_FRAME);
        const [native, creatures] = nativePicture(COMPARED_FRAME, 1, 1170);
        t.diagnostic(`frame ${COMPARED_FRAME} beside the native program's at 1170: `
          + compareWithNative(await page.picture(), native));

        // Observers of one element hear of its new size in one round, the page's own first.
        const resized = page.evaluate(`new Promise((resolve) => new ResizeObserver((entries) => entries[0]
          .devicePixelContentBoxSize[0].inlineSize == 900 && resolve(1))
          .observe(document.getElementById('canvas'), {box: 'device-pixel-content-box'}))`);
        await page.resize(300);
        await resized;
        await page.holdAt(COMPARED_FRAME + 1);
        const picture = await page.picture();
        const lit = litPixels(picture);
        const drawn = reached(creatures[0].map((c) => c.map((nodes) => nodes.map(([x, y]) => [x / 1.3, y / 1.3]))),
          picture.width, 900 / 600);
        const off = [...lit].filter((k) => !drawn.has(k)).length;
        check(picture.width === 900 && lit.size > 1000 && off === 0,
          `made smaller: ${picture.width} across, ${lit.size} lit, ${off} off its drawing`);
      } finally {
        await phone.close();
      }
    });

    test('without WebGL: the one line on the page and in the console, nothing drawn', async () => {
      const bare = await Browser.launch(engine, { noWebGL: true });
      try {
        const page = await bare.openPage(servers.web.url);
        const text = await page.waitFor("document.readyState == 'complete' && document.body.innerText.trim()",
          'a line on the page');
        check(text.startsWith('drifton: ') && !text.includes('\n'), `the page shows ${JSON.stringify(text)}`);
        check(JSON.stringify(page.messages) === JSON.stringify([text]),
          `the console says ${JSON.stringify(page.messages)}`);
        check(await page.frames() === 0, `without WebGL it asked for ${await page.frames()} frames`);
      } finally {
        await bare.close();
      }
    });
    test('a lost context: nothing drawn, no line; restored, drawn again from black, the creatures going on',
      async () => {
        const page = await browser.openPage(servers['web-scripted'].url, { holdFrames: true });
        // After the page, so that the page's tab does not cover it.
        const witness = await browser.openWitness();
        await page.holdAt(COMPARED_FRAME);
        const said = page.messages.length;
        // Kept: a lost context gives no extensions.
        await page.evaluate(`window.__lose = ${LOSE_CONTEXT}; __lose.loseContext()`);
        await page.evaluate('__frameClock.resume()');
        await page.waitFor('__frameClock.drawsAtLoss !== null', 'the context to be lost');
        await witness.waitTicks(60);
        const lost = await page.evaluate('[__frameClock.draws - __frameClock.drawsAtLoss, document.body.innerText.trim()]');
        check(lost[0] === 0 && lost[1] === '' && page.errors.length === 0,
          `while lost: ${lost[0]} draw calls, the page shows ${JSON.stringify(lost[1])}, errors ${page.errors}`);
        check(page.messages.length === said + 1, `at the loss the console says ${JSON.stringify(page.messages.slice(said))}`);

        // One frame after the restore, held: drawn over black where the
        // native program draws the frame after the one before the loss.
        const draws = await page.evaluate('__frameClock.hold = true; __frameClock.until = __frameClock.requested + 1; __frameClock.draws');
        await page.evaluate(`__lose.restoreContext()`);
        await page.waitFor(`__frameClock.draws > ${draws} && __frameClock.held.length > 0
          || (__frameClock.runTo(__frameClock.requested + 1), false)`, 'a frame after the restore');
        const picture = await page.picture();
        const lit = litPixels(picture);
        const drawn = reached(nativePicture(COMPARED_FRAME, 1)[1][0], picture.width);
        const off = [...lit].filter((k) => !drawn.has(k)).length;
        check(lit.size > 500 && off === 0, `after the restore: ${lit.size} lit, ${off} off the next frame's drawing`);
        check(page.messages.length === said + 2, `the console says ${JSON.stringify(page.messages.slice(said))}`);
        await page.evaluate('__frameClock.resume()');
        const frames = await page.frames();
        await page.waitFor(`__frameClock.requested >= ${frames + 10}`, 'frames after the restore');
        check(page.errors.length === 0, `errors: ${page.errors}`);
        await page.close();
        await witness.close();
      });

    test('under a strict content policy: no violation, black around the canvas, a double click toggles full screen',
      async () => {
        const strict = await new StaticServer(path.join(WEB, 'web'), {
          'Content-Security-Policy': "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'",
        }).start();
        try {
          const page = await browser.openPage(strict.url);
          await page.page.bringToFront();
          await page.waitFor('__frameClock.requested >= 10', 'ten frames');
          const violations = await page.evaluate('__frameClock.violations');
          check(violations.length === 0, `the policy was violated: ${violations.join('; ')}`);
          const around = await page.evaluate('getComputedStyle(document.body).backgroundColor');
          check(around === 'rgb(0, 0, 0)', `around the canvas the page is ${around}`);
          await page.page.click('#canvas', { count: 2 });
          await page.waitFor('!!document.fullscreenElement', 'full screen on a double click');
          await page.page.click('#canvas', { count: 2 });
          await page.waitFor('!document.fullscreenElement', 'the page back from full screen on a double click');
          check(page.errors.length === 0, `errors: ${page.errors}`);
          await page.close();
        } finally {
          await strict.close();
        }
      });

    test('after one visit the page draws with its server gone; a new build\'s worker takes over after a reload, '
      + 'the old cache goes and its files are used', async (t) => {
      const first = copyFolder(path.join(WEB, 'web'));
      const server = await new StaticServer(first).start();
      try {
        const page = await browser.openPage(server.url);
        await page.waitFor(WORKER_ACTIVE, 'the service worker to take over', 30000);
        await server.close();
        await page.page.reload();
        await page.waitFor('__frameClock.requested >= 10', 'ten frames with the server gone');
        // Back at the same address, the page's origin.
        await server.start(new URL(server.url).port);
        const [old] = await page.evaluate('caches.keys()');
        const script = await page.evaluate('navigator.serviceWorker.getRegistration().then((r) => r.active.scriptURL)');
        // The next build: a byte more in the program's script, and the
        // worker's cache named by another digest, as a build names it.
        const next = copyFolder(first);
        const worker = path.join(next, new URL(script).pathname);
        const digest = (old ?? '').match(/[0-9a-f]{8,}/i)?.[0];
        const source = fs.readFileSync(worker, 'utf8');
        check(digest && source.includes(digest), `the worker's script does not name its cache ${old}`);
        const changed = [...digest].map((c) => (c === '0' ? '1' : '0')).join('');
        fs.writeFileSync(worker, source.replaceAll(digest, changed));
        fs.appendFileSync(path.join(next, 'drifton.js'), '\n// the next build\n');
        server.folder = next;

        await page.page.reload();
        await page.waitFor(`caches.keys().then((names) => names.length == 1 && names[0] != ${JSON.stringify(old)}
          && names[0])`, 'the new build\'s cache alone');
        await page.page.reload();
        await page.waitFor('__frameClock.requested >= 10', 'ten frames of the new build');
        const served = await page.evaluate("fetch('drifton.js').then((r) => r.text())");
        check(served.endsWith('// the next build\n'), 'the page is given the old build\'s script');
        t.diagnostic(`cache ${old} replaced by ${await page.evaluate('caches.keys().then((n) => n[0])')}`);
        await page.close();
      } finally {
        await server.close();
      }
    });
  });
}
