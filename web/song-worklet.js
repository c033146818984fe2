// The song's samples played on the audio thread. The program renders ahead on the page's
// thread and posts planar buffers (left, then right) here, so a busy page only runs the queue
// down instead of breaking the sound. Reports say which song frame left at which context
// frame, so the page can tell what is heard; spent buffers go back to be filled again.
"use strict";

const kReportFrames = 1024;  // about 23 ms at 44.1 kHz
const kWindowFrames = 4096;  // the first frames played, kept for the tests

class SongPlayer extends AudioWorkletProcessor {
  constructor() {
    super();
    this.queue = [];
    this.offset = 0;  // frames of queue[0] already played
    this.played = 0;  // song frames played
    this.sinceReport = kReportFrames;
    this.spent = [];
    this.gapFrames = 0;  // frames of silence while the song should have been playing
    this.done = false;  // the song ended or was stopped: silence from now on is right
    this.heard = {played: 0, at: 0};  // the latest song frame known to leave, and when
    this.firstWindow = new Float32Array(2 * kWindowFrames);
    this.windowSent = false;
    this.port.onmessage = (event) => {
      const message = event.data;
      if (message.samples) {
        this.queue.push(message.samples);
      } else if (message.stop) {
        this.queue = [];
        this.done = true;
      } else if (message.last) {
        this.last = true;
      }
    };
  }

  process(inputs, outputs) {
    const [left, right] = outputs[0];
    const firstPlayed = this.played;
    const startFrame = currentFrame;
    let at = 0;
    while (at < left.length && this.queue.length > 0) {
      const buffer = this.queue[0];
      const frames = buffer.length / 2;
      const count = Math.min(left.length - at, frames - this.offset);
      const from = this.offset;
      left.set(buffer.subarray(from, from + count), at);
      right.set(buffer.subarray(frames + from, frames + from + count), at);
      for (let i = 0; i < count && this.played + i < kWindowFrames; ++i) {
        this.firstWindow[this.played + i] = left[at + i];
        this.firstWindow[kWindowFrames + this.played + i] = right[at + i];
      }
      at += count;
      this.played += count;
      this.offset += count;
      if (this.offset === frames) {
        this.spent.push(this.queue.shift());
        this.offset = 0;
      }
    }
    if (this.played > 0 && !this.done && !this.last) {
      this.gapFrames += left.length - at;
    }
    if (this.played > firstPlayed) {
      this.heard = {played: firstPlayed, at: startFrame};
    }
    // Reports keep coming while the queue is dry, so the page hears it needs to refill.
    if (this.played > 0) this.sinceReport += left.length;
    if (this.played > 0 && this.sinceReport >= kReportFrames) {
      this.sinceReport = 0;
      const report = {played: this.heard.played, at: this.heard.at, spent: this.spent,
                      gapFrames: this.gapFrames};
      const transfer = this.spent.map((buffer) => buffer.buffer);
      if (!this.windowSent && this.played >= kWindowFrames) {
        report.firstWindow = this.firstWindow;
        this.windowSent = true;
      }
      this.port.postMessage(report, transfer);
      this.spent = [];
    }
    return !this.done;
  }
}

registerProcessor("sg2-song", SongPlayer);
