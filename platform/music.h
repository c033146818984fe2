#pragma once
// The module player, standing in for the sound library: output start, song load, play,
// position, stop, free, close. The sequencer's music layer is the only caller.
#include <cstdint>
#include <span>
#include <string>

#include "core/song.h"

namespace platform {

class Clock;

using core::SongPosition;

class Music {
  public:
    virtual ~Music() = default;
    // Starts sound output at `rate` Hz; false when no device could be opened (the song is
    // then still rendered at real-time pace, silently, so positions keep their timing).
    virtual bool startOutput(int rate) = 0;
    // Loads the module file; on failure returns false and fills `error` with the reason.
    virtual bool load(const std::string& path, std::string& error) = 0;
    // Plays from order 0, row 0: every channel mixed to the centre, or with `stereo` as the
    // module pans them.
    virtual void play(bool stereo) = 0;
    // The position of the audio being heard now; the row as the player reports it (the caller
    // takes it modulo 256).
    virtual SongPosition position() = 0;
    // True once the song has played to its end, or to where it would loop; its last moments
    // may already read as order 0, row 0.
    virtual bool songEnded() { return false; }
    // A failure of the sound's recording (a --wav file that could not be written), as one line
    // naming the file, once; empty when there is none. The recording stops at its first
    // failure; the caller ends the run.
    virtual std::string takeProblem() { return {}; }
    virtual bool stop() = 0;
    virtual bool free() = 0;
    virtual void closeOutput() = 0;
};

// Plays through the sound device (falls back to silent real-time rendering).
Music& deviceMusic();
// Receives the mix as it is rendered: 16-bit stereo samples, left and right interleaved.
using SoundSink = void (*)(std::span<const std::int16_t> interleaved);
// Renders in step with `clock` at exactly `rate` samples per second of its time; with a WAV
// path the mix is also written there, and with a sink handed to it.
Music& clockedMusic(Clock& clock, const std::string& wavPath, SoundSink sink = nullptr);

}  // namespace platform
