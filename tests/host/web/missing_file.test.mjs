// A picture missing from the data set: the loader's message box shows in
// the page, its OK button closes it, and the intro goes on in step with
// the native host.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { loadPictures, openPage, snapshots, status, stepper, waitForPicture, waitForStatus } from './session.mjs';

const SECOND_ROW = 9000;  // the intro's second row, standing after its blend

test('a missing picture in the browser', async (t) => {
  const pictures = snapshots([SECOND_ROW], { until: SECOND_ROW + 100 });
  const session = await openPage({
    beforeLoad: () => {
      window.kazeBeforeRun = (FS) => FS.unlink('/kaze/Data/opening/op0010.v');
    },
  });
  const { page } = session;
  const step = stepper(t, session.errors);
  const box = () =>
    page.evaluate(() => ({
      shown: !document.getElementById('box').hidden,
      caption: document.getElementById('box-caption').textContent,
      text: document.getElementById('box-text').textContent,
    }));
  try {
    let framesBefore = 0;
    await step("the loader's box names the file", async () => {
      await loadPictures(page, pictures);
      const asked = await waitForStatus(page, 'a message box', (s) => s.boxes?.length > 0, 60000);
      assert.equal(asked.state, 'running');
      const shown = await box();
      assert.ok(shown.shown, '#box is hidden');
      assert.equal(shown.caption, 'ERROR');
      assert.match(shown.text, /opening[\\/]op0010\.v/);
      assert.deepEqual(asked.boxes, [{ caption: 'ERROR', text: shown.text }]);
      framesBefore = asked.framesShown;
    });

    await step('OK closes the box and the intro goes on', async () => {
      await page.click('#box-ok');
      await waitForPicture(page, SECOND_ROW, "the intro's second row after the box", 60000);
      const after = await status(page);
      assert.equal((await box()).shown, false, '#box still shows');
      assert.equal(after.state, 'running');
      assert.ok(after.framesShown > framesBefore, 'no frame drawn after the box');
      assert.equal(after.boxes.length, 1, `more boxes: ${JSON.stringify(after.boxes)}`);
    });

    await step('no errors in the page', async () => {
      assert.deepEqual(session.errors, []);
    });
  } finally {
    await session.close();
  }
});
