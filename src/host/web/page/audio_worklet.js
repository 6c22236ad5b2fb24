// Takes the program's sound out of the ring in shared memory, 128 frames of
// interleaved 16-bit stereo at a time. The ring's header is eight 32-bit
// words, in the order the program's AudioRingHeader declares them.
const WRITTEN = 0, READ = 1, CAPACITY = 2, OPEN = 3, STARTED = 4, FRAMES_READ = 5, UNDERRUNS = 6;

class KazeOutput extends AudioWorkletProcessor {
  constructor(options) {
    super();
    const { memory, header } = options.processorOptions;
    this.header = new Int32Array(memory, header, 8);
    this.capacity = this.header[CAPACITY];
    this.samples = new Int16Array(memory, header + 32, this.capacity * 2);
    this.primed = false;  // the ring was filled once: only then is a short ring an underrun
  }

  process(inputs, outputs) {
    const header = this.header;
    Atomics.store(header, STARTED, 1);
    const [left, right] = outputs[0];
    const frames = left.length;
    if (Atomics.load(header, OPEN) === 0) {
      this.primed = false;
      return true;  // silence: the outputs come zeroed
    }
    const read = Atomics.load(header, READ);
    const written = Atomics.load(header, WRITTEN);
    const available = (written - read) | 0;
    if (available < 0 || available > this.capacity) {
      // The program dropped the ring while this read on: start from its end.
      Atomics.store(header, READ, written);
      return true;
    }
    if (available < frames) {
      if (this.primed) Atomics.add(header, UNDERRUNS, 1);
      return true;
    }
    this.primed = true;
    const mask = this.capacity - 1;
    for (let i = 0; i < frames; i++) {
      const at = ((read + i) & mask) * 2;
      left[i] = this.samples[at] / 32768;
      if (right) right[i] = this.samples[at + 1] / 32768;
    }
    Atomics.store(header, READ, read + frames);
    Atomics.add(header, FRAMES_READ, frames);
    return true;
  }
}

registerProcessor('kaze-output', KazeOutput);
