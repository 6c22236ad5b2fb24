// What the browser tests share: where the builds are, reference pictures
// from the native headless host, a served page in headless chromium, and
// ways to look at and click on its canvas.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { startServer } from '../../../tools/web/serve.mjs';
import { decodePng } from './png.mjs';

export const root = fileURLToPath(new URL('../../..', import.meta.url));
export const nativeBuild = process.env.KAZE_NATIVE_BUILD || path.join(root, 'build/release');
export const pageDir = process.env.KAZE_WEB_PAGE || path.join(root, 'build/web/page');
const chromium = process.env.KAZE_CHROMIUM || '/usr/bin/chromium';
const WIDTH = 640;
const HEIGHT = 480;

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export function figure(text) {
  console.log(`web: figure ${text}`);
}

// Runs the native build headless on the demo data and returns the frames
// shown at the given virtual times, as RGB rows, by time.
export function snapshots(times, { script, until }) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'kaze-web-snaps-'));
  try {
    const args = ['--headless', '--data', path.join(nativeBuild, 'demo'), '--snap', times.join(','), '--snap-dir', dir, '--until', String(until)];
    if (script) args.push('--script', script);
    execFileSync(path.join(nativeBuild, 'src/kaze'), args, { stdio: ['ignore', 'ignore', 'pipe'] });
    const pictures = new Map();
    for (const ms of times) {
      const png = decodePng(fs.readFileSync(path.join(dir, `snap-${ms}.png`)));
      if (png.width !== WIDTH || png.height !== HEIGHT) throw new Error(`snap-${ms}.png is ${png.width}x${png.height}`);
      pictures.set(ms, png.rgb);
    }
    return pictures;
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// Serves the page and opens it in a fresh headless chromium. beforeLoad,
// when given, runs in the page before any of its scripts. Always close().
export async function openPage({ beforeLoad } = {}) {
  const { server, url } = await startServer(pageDir, 0);
  let browser;
  try {
    browser = await puppeteer.launch({
      executablePath: chromium,
      pipe: true,
      headless: true,
      args: ['--no-sandbox', '--no-first-run', '--no-default-browser-check', '--window-size=1024,768'],
      defaultViewport: { width: 1024, height: 768 },
    });
    const page = await browser.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
    if (beforeLoad) await page.evaluateOnNewDocument(beforeLoad);
    await page.goto(url, { waitUntil: 'load' });
    const close = async () => {
      await browser.close().catch(() => browser.process()?.kill('SIGKILL'));
      server.close();
    };
    return { browser, page, errors, close };
  } catch (error) {
    if (browser) await browser.close().catch(() => browser.process()?.kill('SIGKILL'));
    server.close();
    throw error;
  }
}

export const status = (page) =>
  page.evaluate(() => {
    const s = window.kazeStatus;
    if (!s) return null;
    const a = s.audio;
    return {
      now: performance.now(),
      state: s.state,
      framesShown: s.framesShown,
      firstFrameAt: s.firstFrameAt,
      exitCode: s.exitCode,
      boxes: s.boxes,
      audio: a && { state: a.state, framesRead: a.framesRead, underruns: a.underruns },
    };
  });

// Waits until the page's kazeStatus passes a test; fails with the last status seen.
export async function waitForStatus(page, what, test, limitMs) {
  const deadline = Date.now() + limitMs;
  let last;
  for (;;) {
    last = await status(page);
    if (last && test(last)) return last;
    if (Date.now() > deadline) throw new Error(`${what} not within ${limitMs / 1000} s; kazeStatus: ${JSON.stringify(last)}`);
    await sleep(100);
  }
}

// Hands the reference pictures to the page once, so comparing stays in the page.
export async function loadPictures(page, pictures) {
  for (const [ms, rgb] of pictures) {
    await page.evaluate(
      (name, base64) => {
        window.kazeTestPictures ??= {};
        window.kazeTestPictures[name] = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      },
      String(ms),
      Buffer.from(rgb).toString('base64'),
    );
  }
}

// The canvas against one reference picture: the number of differing pixels
// and the first few of them.
export function compareCanvas(page, ms) {
  return page.evaluate((name) => {
    const canvas = document.getElementById('screen');
    const context = canvas?.getContext('2d');
    if (!context) return { differing: -1, first: ['#screen has no 2D context'] };
    if (canvas.width !== 640 || canvas.height !== 480) return { differing: -1, first: [`#screen is ${canvas.width}x${canvas.height}`] };
    const got = context.getImageData(0, 0, 640, 480).data;
    const want = window.kazeTestPictures[name];
    let differing = 0;
    const first = [];
    for (let i = 0; i < 640 * 480; i++) {
      const [r, g, b, a] = got.subarray(4 * i, 4 * i + 4);
      const [wr, wg, wb] = want.subarray(3 * i, 3 * i + 3);
      if (r === wr && g === wg && b === wb && a === 255) continue;
      if (first.length < 4) first.push(`(${i % 640},${Math.floor(i / 640)}) canvas ${r},${g},${b},${a} snapshot ${wr},${wg},${wb}`);
      differing++;
    }
    return { differing, first };
  }, String(ms));
}

// Polls the canvas until it equals the snapshot taken at virtual time ms.
// The page plays in real time, so a still picture shows for its whole
// length; poll() runs between looks (a click to retry, say).
export async function waitForPicture(page, ms, what, limitMs, poll) {
  const deadline = Date.now() + limitMs;
  let closest = { differing: Infinity };
  for (;;) {
    const seen = await compareCanvas(page, ms);
    if (seen.differing === 0) return;
    if (seen.differing === -1) throw new Error(`${what}: ${seen.first[0]}`);
    if (seen.differing < closest.differing) closest = seen;
    if (Date.now() > deadline) {
      throw new Error(
        `the canvas never showed ${what} (snapshot at ${ms} ms) within ${limitMs / 1000} s: ` +
          `the closest look had ${closest.differing} differing pixels, first ${closest.first.join('; ')}`,
      );
    }
    if (poll) await poll();
    await sleep(80);
  }
}

// Clicks at a point of the 640x480 screen, wherever CSS put the canvas,
// holding the button 100 ms as a player (and the headless script) does,
// or `holdMs` (0: a tap, as a touchpad's).
export async function clickScreen(page, x, y, holdMs = 100) {
  const box = await page.evaluate(() => {
    const r = document.getElementById('screen').getBoundingClientRect();
    return { left: r.left, top: r.top, width: r.width, height: r.height };
  });
  await page.mouse.click(box.left + ((x + 0.5) * box.width) / WIDTH, box.top + ((y + 0.5) * box.height) / HEIGHT, { delay: holdMs });
}

// CPU ticks (user + system) of a process and all its descendants.
export function treeTicks(pid) {
  const children = new Map();
  const ticks = new Map();
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    let stat;
    try {
      stat = fs.readFileSync(`/proc/${entry}/stat`, 'latin1');
    } catch {
      continue;  // gone meanwhile
    }
    const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    const parent = Number(fields[1]);
    if (!children.has(parent)) children.set(parent, []);
    children.get(parent).push(Number(entry));
    ticks.set(Number(entry), Number(fields[11]) + Number(fields[12]));
  }
  let sum = 0;
  for (const queue = [pid]; queue.length; ) {
    const p = queue.pop();
    sum += ticks.get(p) || 0;
    queue.push(...(children.get(p) || []));
  }
  return sum;
}

export const ticksPerSecond = Number(execFileSync('getconf', ['CLK_TCK']).toString().trim()) || 100;

// Runs the steps of one session in order; after a failure the rest are
// skipped, and each failure prints one "web: ..." line.
export function stepper(t, errors) {
  let failed = null;
  return (name, body) =>
    t.test(name, async (step) => {
      if (failed) return step.skip(`"${failed}" failed`);
      try {
        await body();
      } catch (error) {
        failed = name;
        const pageErrors = errors.length ? ` (page errors: ${errors.slice(-3).join(' | ')})` : '';
        const what = error.message.replace(/\s*\n\s*/g, ' ').slice(0, 600);
        console.log(`web: ${name}: ${what}${pageErrors}`);
        throw error;
      }
    });
}
