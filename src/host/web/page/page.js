// The page around the program: the canvas it draws on, its message boxes,
// the sound's start on the first gesture, and the quiet end. The program
// calls in through `kazePage` on this (the browser's) thread; tests and the
// curious read `kazeStatus`.
'use strict';

(function () {
  const canvas = document.getElementById('screen');
  const notice = document.getElementById('notice');
  const box = document.getElementById('box');
  const boxOk = document.getElementById('box-ok');
  const context = canvas.getContext('2d', { alpha: false });
  const picture = context.createImageData(640, 480);

  // ---- what the page tells ----
  const audio = { header: null, context: null, unavailable: false, gestured: false };
  const status = {
    state: 'loading',
    framesShown: 0,
    firstFrameAt: null,
    exitCode: null,
    boxes: [],
    get audio() {
      const header = audio.header;
      const running = header !== null && !audio.unavailable && Atomics.load(header, 4) !== 0;
      return {
        state: audio.unavailable ? 'unavailable' : running ? 'running' : 'waiting',
        framesRead: header ? Atomics.load(header, 5) >>> 0 : 0,
        underruns: header ? Atomics.load(header, 6) >>> 0 : 0,
      };
    },
  };
  window.kazeStatus = status;

  function say(text) {
    notice.textContent = text;
    notice.hidden = false;
  }

  // ---- message boxes: one at a time, in the order asked ----
  const waitingBoxes = [];
  let shownBox = null;

  function showNextBox() {
    if (shownBox !== null || waitingBoxes.length === 0) return;
    shownBox = waitingBoxes.shift();
    document.getElementById('box-caption').textContent = shownBox.caption;
    document.getElementById('box-text').textContent = shownBox.text;
    box.hidden = false;
    boxOk.focus();
  }

  function closeBox() {
    if (shownBox === null) return;
    const ticket = shownBox.ticket;
    shownBox = null;
    box.hidden = true;
    Module._kaze_web_box_closed(ticket);
    if (waitingBoxes.length === 0) canvas.focus();
    showNextBox();
  }

  boxOk.addEventListener('click', closeBox);
  // While a box shows, the keys are the box's (Enter, Space and Escape close
  // it, as on Windows) and reach nothing behind it.
  window.addEventListener('keydown', (event) => {
    if (shownBox === null) return;
    event.stopImmediatePropagation();
    event.preventDefault();
    if (event.key === 'Enter' || event.key === ' ' || event.key === 'Escape') closeBox();
  }, true);
  window.addEventListener('keyup', (event) => {
    if (shownBox !== null) event.stopImmediatePropagation();
  }, true);

  // ---- sound: browsers hold it until the player's first gesture ----
  async function startAudio() {
    if (!audio.gestured || audio.header === null || audio.context !== null || audio.unavailable) return;
    if (typeof AudioWorkletNode === 'undefined') {
      audio.unavailable = true;
      return;
    }
    const rate = audio.header[7];
    try {
      audio.context = new AudioContext({ sampleRate: rate, latencyHint: 'interactive' });
      await audio.context.audioWorklet.addModule('audio_worklet.js');
      const node = new AudioWorkletNode(audio.context, 'kaze-output', {
        numberOfInputs: 0,
        numberOfOutputs: 1,
        outputChannelCount: [2],
        processorOptions: { memory: audio.memory, header: audio.headerAddress },
      });
      node.connect(audio.context.destination);
      await audio.context.resume();
    } catch (error) {
      console.error('kaze: no sound:', error);
      audio.unavailable = true;
    }
  }

  // Every click and key until the sound runs: some keys (Escape among them)
  // do not count as a gesture, and a context made on one stays held.
  function onGesture() {
    audio.gestured = true;
    if (audio.context !== null && audio.context.state === 'suspended') audio.context.resume();
    startAudio();
  }
  window.addEventListener('pointerdown', onGesture, true);
  window.addEventListener('keydown', onGesture, true);

  // ---- full screen ----
  document.getElementById('fullscreen').addEventListener('click', () => {
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else {
      document.getElementById('stage').requestFullscreen().catch(() => {});
    }
    canvas.focus();
  });

  // ---- the program's calls (this thread) ----
  window.kazePage = {
    running() {
      status.state = 'running';
      notice.hidden = true;
      canvas.hidden = false;
      canvas.focus();
    },
    draw(rgba) {
      picture.data.set(rgba);
      context.putImageData(picture, 0, 0);
      status.framesShown++;
      if (status.firstFrameAt === null) status.firstFrameAt = performance.now();
    },
    canvasBox() {
      return canvas.getBoundingClientRect();
    },
    showIcon(rgba, size) {
      const icon = document.createElement('canvas');
      icon.width = icon.height = size;
      icon.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(rgba.buffer), size, size), 0, 0);
      document.querySelector('link[rel="icon"]').href = icon.toDataURL();
    },
    showCursor(shown) {
      canvas.style.cursor = shown ? '' : 'none';
    },
    showBox(ticket, caption, text) {
      status.boxes.push({ caption, text });
      waitingBoxes.push({ ticket, caption, text });
      showNextBox();
    },
    audioOpened(memory, headerAddress) {
      audio.memory = memory;
      audio.headerAddress = headerAddress;
      audio.header = new Int32Array(memory, headerAddress, 8);
      startAudio();
    },
    ended(exitCode) {
      status.exitCode = exitCode;
      status.state = 'ended';
      if (audio.context !== null) audio.context.close();
      canvas.hidden = true;
      document.getElementById('fullscreen').hidden = true;
      if (document.fullscreenElement) document.exitFullscreen();
      document.getElementById('ended').hidden = false;
    },
  };

  // ---- the program ----
  if (!window.crossOriginIsolated) {
    status.state = 'failed';
    say('This page needs cross-origin isolation: serve it with the headers ' +
        '"Cross-Origin-Opener-Policy: same-origin" and "Cross-Origin-Embedder-Policy: require-corp" ' +
        '(scripts/play-web.sh does).');
    return;
  }
  window.Module = {
    onRuntimeInitialized() {
      // Before the program starts, with the data set in place: a test may
      // change it here.
      if (typeof window.kazeBeforeRun === 'function') window.kazeBeforeRun(Module.FS);
    },
    onAbort(what) {
      status.state = 'failed';
      canvas.hidden = true;
      say('The story stopped: ' + what);
    },
    printErr(text) {
      console.warn(text);
    },
  };
  const script = document.createElement('script');
  script.src = 'kaze.js';
  document.body.appendChild(script);
})();
