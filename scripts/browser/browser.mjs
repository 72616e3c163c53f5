// The page in a browser, driven by puppeteer-core: Debian's headless
// Chromium over the DevTools protocol, or Firefox ESR over WebDriver BiDi on
// the X display that DISPLAY names (headless Firefox has no WebGL without a
// GPU). A static server on 127.0.0.1 serves the page. The browser tests
// (tests/web/browser_test.mjs) drive the page with it, and scripts/fps
// counts the page's frames with it:
//   node browser.mjs fps ENGINE FOLDER SECONDS WARM_UP_FRAMES RATIO [unpaced]
// prints the frames a second, the CPU % of the browser but its GPU process,
// and the GPU process's.

import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

export const ENGINES = ['chromium', 'firefox'];

// Software WebGL (SwiftShader), and nothing that reaches the network: any
// name but 127.0.0.1 is not found.
const CHROMIUM_FLAGS = [
  '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader',
  '--no-sandbox',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--no-first-run',
  '--disable-quic',
  '--disable-dev-shm-usage',
  '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1',
];
// Firefox: no updates, telemetry or other connections of its own.
const FIREFOX_PREFS = {
  'app.update.enabled': false,
  'datareporting.policy.dataSubmissionEnabled': false,
  'network.captive-portal-service.enabled': false,
  'network.connectivity-service.enabled': false,
  'browser.safebrowsing.malware.enabled': false,
  'browser.safebrowsing.phishing.enabled': false,
  'extensions.update.enabled': false,
  'network.dns.disablePrefetch': true,
  'network.proxy.type': 0,
};

// Injected before the page's own script: requestAnimationFrame counted and,
// while `hold` is set, each callback held back once the page has asked for
// `until` frames, so that the test owns the page's frame clock. `requested`
// counts the frames the page has asked for, which are the frames it has
// drawn; `ran` the callbacks run while the page is shown, fewer while the
// page waits for a frame (or, hidden, for being shown).
// `draws` counts WebGL's clears and draw calls, `drawsAtLoss` their count
// when the context was last lost, and `violations` the content security
// policy violations reported.
function frameClock(hold) {
  const real = window.requestAnimationFrame.bind(window);
  const clock = { requested: 0, ran: 0, hold, until: 1, held: [], draws: 0, drawsAtLoss: null, violations: [] };
  for (const type of [window.WebGLRenderingContext, window.WebGL2RenderingContext]) {
    for (const name of ['clear', 'drawArrays', 'drawElements']) {
      const call = type?.prototype[name];
      if (call) type.prototype[name] = function (...rest) { clock.draws++; return call.apply(this, rest); };
    }
  }
  window.addEventListener('webglcontextlost', () => { clock.drawsAtLoss = clock.draws; }, true);
  document.addEventListener('securitypolicyviolation', (event) => {
    clock.violations.push(`${event.violatedDirective} ${event.blockedURI}`);
  });
  const pass = (callback) => real((t) => { if (!document.hidden) clock.ran++; callback(t); });
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
}

// The canvas as the page shows it, composed over black: [width, height,
// base64 of its RGBA bytes, top row first].
function readCanvas() {
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
  return [copy.width, copy.height, btoa(text)];
}

export class Failure extends Error {}

// RGBA bytes, top row first.
export class Picture {
  constructor(width, height, pixels) {
    this.width = width;
    this.height = height;
    this.pixels = pixels;
  }

  rgb(x, y) {
    const i = (y * this.width + x) * 4;
    return [this.pixels[i], this.pixels[i + 1], this.pixels[i + 2]];
  }
}

const TYPES = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
  '.json': 'application/json', '.webmanifest': 'application/manifest+json', '.png': 'image/png',
  '.svg': 'image/svg+xml', '.ico': 'image/x-icon',
};

// Serves a folder on 127.0.0.1 with the given extra headers; `folder` may
// be changed between requests, and close() stops it (the port then refuses
// connections), once or more, until it is started again.
export class StaticServer {
  constructor(folder, headers = {}) {
    this.folder = folder;
    this.headers = headers;
    this.server = http.createServer((request, response) => {
      let name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
      if (name.endsWith('/')) name += 'index.html';
      const file = path.join(this.folder, path.normalize(name));
      fs.readFile(file, (error, data) => {
        if (error) {
          response.writeHead(404);
          response.end();
          return;
        }
        response.writeHead(200, {
          'Content-Type': TYPES[path.extname(file)] ?? 'application/octet-stream',
          'Cache-Control': 'no-cache', ...this.headers,
        });
        response.end(data);
      });
    });
    this.sockets = new Set();
    this.server.on('connection', (socket) => {
      this.sockets.add(socket);
      socket.on('close', () => this.sockets.delete(socket));
    });
  }

  // On the given port, or on one the system picks.
  async start(port = 0) {
    await new Promise((resolve) => this.server.listen(Number(port), '127.0.0.1', resolve));
    this.url = `http://127.0.0.1:${this.server.address().port}/`;
    return this;
  }

  async close() {
    if (!this.server.listening) return;
    for (const socket of this.sockets) socket.destroy();
    await new Promise((resolve) => this.server.close(resolve));
  }
}

async function poll(what, timeout, read) {
  const deadline = Date.now() + timeout;
  for (;;) {
    const value = await read();
    if (value) return value;
    if (Date.now() > deadline) throw new Failure(`waited in vain for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

// One browser of one engine; pages are opened in it with the frame clock.
// Options: ratio (device pixels to a CSS pixel, as on a dense screen),
// window ([width, height] in CSS pixels), noWebGL, unpaced (not paced by
// the display; Chromium only).
export class Browser {
  static async launch(engine, { ratio = 1, window = [800, 700], noWebGL = false, unpaced = false } = {}) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'drifton-browser-'));
    let browser;
    if (engine === 'chromium') {
      browser = await puppeteer.launch({
        executablePath: process.env.DRIFTON_CHROMIUM ?? '/usr/bin/chromium-headless-shell',
        headless: 'shell',
        pipe: true,
        userDataDir: profile,
        defaultViewport: null,
        protocolTimeout: 120000,
        args: [...CHROMIUM_FLAGS, `--window-size=${window[0]},${window[1]}`,
          // The display's own ratio: emulating it would leave the canvas's
          // size in device pixels as it was.
          `--force-device-scale-factor=${ratio}`,
          ...(noWebGL ? ['--disable-webgl', '--disable-3d-apis'] : []),
          ...(unpaced ? ['--disable-gpu-vsync', '--disable-frame-rate-limit'] : [])],
      });
    } else {
      browser = await puppeteer.launch({
        browser: 'firefox',
        executablePath: process.env.DRIFTON_FIREFOX ?? '/usr/bin/firefox-esr',
        headless: false,
        userDataDir: profile,
        defaultViewport: null,
        protocolTimeout: 120000,
        // The window's size in CSS pixels.
        args: [`--width=${window[0]}`, `--height=${window[1]}`],
        extraPrefsFirefox: {
          ...FIREFOX_PREFS,
          'layout.css.devPixelsPerPx': String(ratio),
          ...(noWebGL ? { 'webgl.disabled': true } : {}),
        },
      });
    }
    // Firefox's windows are at least 450 wide: a narrower one's pages are
    // given its size as their viewport.
    const viewport = engine === 'firefox' && window[0] < 450 ? { width: window[0], height: window[1] } : undefined;
    return new Browser(engine, browser, profile, viewport);
  }

  constructor(engine, browser, profile, viewport) {
    this.engine = engine;
    this.browser = browser;
    this.profile = profile;
    this.viewport = viewport;
  }

  // Opens url in a new page with the frame clock injected, holding frames
  // or not; the page's console messages are kept in page.messages.
  async openPage(url, { holdFrames = false } = {}) {
    const page = await this.browser.newPage();
    const shown = new Page(this, page);
    if (this.viewport) await page.setViewport(this.viewport);
    await page.evaluateOnNewDocument(frameClock, holdFrames);
    await page.goto(url);
    return shown;
  }

  // A blank page in a window of its own that counts its animation frames: a
  // clock in frames for how long something else has not happened. Its
  // window is beside the others, not over them: Firefox takes a covered
  // window's pages for hidden.
  async openWitness() {
    const page = new Page(this, await this.browser.newPage({ type: 'window', windowBounds: { left: 1400, top: 0, width: 300, height: 300 } }));
    await page.evaluate('window.ticks = 0; (function tick() { ticks++; requestAnimationFrame(tick); })(); 1');
    return page;
  }

  async close() {
    await this.browser.close().catch(() => {});
    fs.rmSync(this.profile, { recursive: true, force: true });
  }
}

export class Page {
  constructor(browser, page) {
    this.browser = browser;
    this.page = page;
    this.messages = [];
    this.errors = [];
    page.on('console', (message) => this.messages.push(message.text()));
    page.on('pageerror', (error) => this.errors.push(String(error)));
  }

  // The value of a JavaScript expression, awaited if it is a promise.
  async evaluate(expression) {
    return this.page.evaluate(expression);
  }

  // Polls a JavaScript expression until it is truthy; returns its value.
  async waitFor(expression, what, timeout = 120000) {
    return poll(what, timeout, () => this.evaluate(expression));
  }

  // Frames the page has asked for so far.
  async frames() {
    return this.evaluate('window.__frameClock ? window.__frameClock.requested : 0');
  }

  // With frames held, lets the page draw until it has asked for `frames`
  // frames and is waiting for the next.
  async holdAt(frames) {
    await this.waitFor(`__frameClock.runTo(${frames})`, `frame ${frames}`);
    const drawn = await this.frames();
    if (drawn !== frames) throw new Failure(`the page drew ${drawn} frames, not ${frames}`);
  }

  // On a witness page: waits until it has drawn `ticks` more frames.
  async waitTicks(ticks) {
    const start = await this.evaluate('ticks');
    await this.waitFor(`ticks >= ${start + ticks}`, `${ticks} frames of the witness page`);
  }

  // Hides the page or shows it again: Chromium minimises its window;
  // Firefox on Xvfb has no window manager to minimise it, so a tab opened
  // in its window covers it, and the page is brought to the front again.
  async hide(hidden) {
    if (this.browser.engine === 'chromium') {
      await this.browser.browser.setWindowBounds(await this.page.windowId(),
        { windowState: hidden ? 'minimized' : 'normal' });
    } else if (hidden) {
      await this.browser.browser.newPage();
    } else {
      await this.page.bringToFront();
    }
  }

  // Makes the page's window `side` CSS pixels square (in Firefox, whose
  // windows have a least width, its viewport).
  async resize(side) {
    if (this.browser.engine === 'chromium') {
      await this.browser.browser.setWindowBounds(await this.page.windowId(), { width: side, height: side });
    } else {
      await this.page.setViewport({ width: side, height: side });
    }
  }

  async picture() {
    const [width, height, data] = await this.page.evaluate(readCanvas);
    return new Picture(width, height, Buffer.from(data, 'base64'));
  }

  async close() {
    await this.page.close();
  }
}

// CPU time in clock ticks of a process and all its descendants: of the GPU
// process (which draws and composites the page), and of the others.
function cpuTicks(root) {
  const processes = new Map();
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const fields = fs.readFileSync(`/proc/${entry}/stat`, 'utf8').split(')').pop().trim().split(/\s+/);
      // Chromium's processes rewrite their titles: arguments apart by
      // spaces, not by the nulls of a command line as started.
      const command = fs.readFileSync(`/proc/${entry}/cmdline`, 'utf8').split(/[\0 ]/).filter(Boolean);
      const gpu = command.includes('--type=gpu-process') || (command.includes('-contentproc') && command.at(-1) === 'gpu');
      processes.set(Number(entry), [Number(fields[1]), Number(fields[11]) + Number(fields[12]), gpu]);
    } catch {
      // The process ended meanwhile.
    }
  }
  const ticks = [0, 0];
  const pending = [root];
  while (pending.length) {
    const pid = pending.pop();
    if (processes.has(pid)) ticks[processes.get(pid)[2] ? 1 : 0] += processes.get(pid)[1];
    for (const [child, [parent]] of processes) if (parent === pid) pending.push(child);
  }
  return ticks;
}

// The page's frames a second, counted as the animation frames it asks for
// over `seconds` once it has drawn `warmUpFrames`, and the CPU use in per
// cent of one core of the browser's processes but its GPU process, and of
// its GPU process.
export async function measureFrameRate(engine, folder, seconds, warmUpFrames, options) {
  const server = await new StaticServer(folder).start();
  const browser = await Browser.launch(engine, options);
  try {
    const page = await browser.openPage(server.url);
    await page.waitFor(`__frameClock.requested >= ${warmUpFrames}`, `${warmUpFrames} frames`, 1200000);
    const read = '[__frameClock.requested, performance.now()]';
    const pid = browser.browser.process().pid;
    const ticks = cpuTicks(pid);
    const [frames, now] = await page.evaluate(read);
    await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
    const ticksAfter = cpuTicks(pid);
    const [framesAfter, nowAfter] = await page.evaluate(read);
    const interval = (nowAfter - now) / 1000;
    // Clock ticks are hundredths of a second on Linux.
    const cpu = [0, 1].map((i) => (ticksAfter[i] - ticks[i]) / interval);
    return [(framesAfter - frames) / interval, cpu[0], cpu[1]];
  } finally {
    await browser.close();
    await server.close();
  }
}

if (process.argv[1] === fileURLToPath(import.meta.url) && process.argv[2] === 'fps') {
  const [engine, folder, seconds, warmUp, ratio, unpaced] = process.argv.slice(3);
  const [rate, cpu, gpu] = await measureFrameRate(engine, folder, Number(seconds), Number(warmUp),
    { ratio: Number(ratio), unpaced: unpaced === 'unpaced' });
  console.log(`${rate.toFixed(2)} ${cpu.toFixed(1)} ${gpu.toFixed(1)}`);
}
