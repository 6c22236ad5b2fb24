// A player's whole session in the browser, checked against the native
// headless host playing the same session (story.script): the intro's
// pictures, the sound starting with the first gesture, the click that ends
// the opening, the title, two pages, the quit question and the end. The
// intro cannot be skipped, so this takes about two minutes of real time.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import {
  clickScreen, compareCanvas, figure, loadPictures, openPage, pageDir, sleep, snapshots, status, stepper,
  ticksPerSecond, treeTicks, waitForPicture, waitForStatus,
} from './session.mjs';

// Moments of the headless session (ms of play) that stand still long
// enough to be caught by a look at the canvas.
const FIRST_PICTURE = 2000;  // the intro's first picture, which the opening shows first too
const STILL = 24000;  // the intro's fourth row, standing for nine seconds
const TITLE = 84000;
const PAGE_1 = 94000;  // complete, the pointer in the middle of the screen
const PAGE_2 = 109000;  // complete, the pointer on "next"
const QUESTION = 112000;

function pageSizes() {
  const kb = (name) => {
    const stat = fs.statSync(path.join(pageDir, name), { throwIfNoEntry: false });
    return stat ? `${Math.round(stat.size / 1024)} KB` : 'missing';
  };
  const names = ['kaze.wasm', 'kaze.js', 'kaze.worker.js', 'kaze.data'];
  figure(`page size: ${names.map((name) => `${name} ${kb(name)}`).join(', ')}`);
}

test('a whole session in the browser', async (t) => {
  const script = fileURLToPath(new URL('story.script', import.meta.url));
  const pictures = snapshots([FIRST_PICTURE, STILL, TITLE, PAGE_1, PAGE_2, QUESTION], { script, until: 120000 });
  pageSizes();
  const session = await openPage();
  const { page, browser } = session;
  const step = stepper(t, session.errors);
  try {
    await step("the intro's first picture, equal to the native host's", async () => {
      // The first picture stands for less than four seconds: only it now.
      await loadPictures(page, new Map([[FIRST_PICTURE, pictures.get(FIRST_PICTURE)]]));
      const first = await waitForStatus(page, 'a first picture on the canvas', (s) => s.firstFrameAt !== null, 60000);
      figure(`first frame drawn ${Math.round(first.firstFrameAt)} ms after navigation`);
      assert.equal(first.audio.state, 'waiting', 'the sound before any gesture');
      await waitForPicture(page, FIRST_PICTURE, "the intro's first picture", 30000);
    });

    await step('frames during a fade', async () => {
      // The first picture fades out and the next row blends in: a picture
      // of its own every 20 ms for 0.7 s.
      const deadline = Date.now() + 15000;
      while ((await compareCanvas(page, FIRST_PICTURE)).differing === 0) {
        assert.ok(Date.now() < deadline, 'the first picture did not fade out');
        await sleep(20);
      }
      const before = await status(page);
      await sleep(600);
      const after = await status(page);
      const rate = ((after.framesShown - before.framesShown) * 1000) / (after.now - before.now);
      figure(`frames drawn per second during a fade: ${rate.toFixed(1)} (the story's pace is 50)`);
      assert.ok(after.framesShown > before.framesShown, 'no frame drawn during a fade');
      assert.equal(after.audio.state, 'waiting', 'the sound started without a gesture');
      await loadPictures(page, new Map([...pictures].filter(([ms]) => ms !== FIRST_PICTURE)));
    });

    await step('the first gesture starts the sound', async () => {
      await page.keyboard.press('Shift');  // a key the story ignores
      const started = await waitForStatus(page, 'the sound running after a key', (s) => s.audio.state === 'running', 10000);
      await waitForStatus(page, 'sound frames read', (s) => s.audio.framesRead > started.audio.framesRead, 10000);
    });

    await step('a still picture: steady sound, little work', async () => {
      await waitForPicture(page, STILL, "the intro's fourth row", 60000);
      const pid = browser.process().pid;
      const ticks = treeTicks(pid);
      const before = await status(page);
      await sleep(4000);
      const after = await status(page);
      const used = (treeTicks(pid) - ticks) / ticksPerSecond;
      const seconds = (after.now - before.now) / 1000;
      figure(`CPU on a still picture: ${((100 * used) / seconds).toFixed(1)}% of one core (all of chromium's processes, ${seconds.toFixed(1)} s)`);
      const rate = (after.audio.framesRead - before.audio.framesRead) / seconds;
      figure(`sound frames read per second: ${Math.round(rate)}; underruns so far: ${after.audio.underruns}`);
      assert.equal(after.audio.underruns, before.audio.underruns, `the sound ran short during ${seconds.toFixed(1)} s of a still picture`);
      assert.ok(rate > 8000, `the worklet read only ${Math.round(rate)} sound frames per second`);
      assert.equal((await compareCanvas(page, STILL)).differing, 0, 'the picture did not stand through the measurement');
    });

    await step('a click ends the opening; the title follows', async () => {
      await waitForPicture(page, FIRST_PICTURE, "the opening's first picture", 120000);
      await clickScreen(page, 320, 240);
      await waitForPicture(page, TITLE, 'the title after the click', 40000);
    });

    await step("the story's first page", async () => {
      await page.keyboard.down('Space');  // hurries the text, as in story.script
      await waitForPicture(page, PAGE_1, 'page 1 complete', 90000);
    });

    await step('"next" turns the page, tapped', async () => {
      await clickScreen(page, 588, 465, 0);  // the control bar asks twice: a tap must read down both times
      await waitForPicture(page, PAGE_2, 'page 2 complete', 90000);
      await page.keyboard.up('Space');
    });

    await step('quit and yes end the program', async () => {
      await clickScreen(page, 45, 466);
      await waitForPicture(page, QUESTION, 'the quit question', 30000);
      await clickScreen(page, 286, 467);
      const end = await waitForStatus(page, "the program's end", (s) => s.state === 'ended', 30000);
      assert.equal(end.exitCode, 0);
      const shown = await page.evaluate(() => {
        const ended = document.getElementById('ended');
        return { ended: !ended.hidden, said: ended.textContent.includes('The story has ended.'), canvas: !document.getElementById('screen').hidden };
      });
      assert.deepEqual(shown, { ended: true, said: true, canvas: false });
    });

    await step('no errors in the page', async () => {
      assert.deepEqual(session.errors, []);
    });
  } finally {
    await session.close();
  }
});
