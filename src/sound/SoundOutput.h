#pragma once

#include "sound/Sound.h"

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace vellumi {

// Plays one sound at a time through the PulseAudio sound server (PipeWire's included), on a
// thread of its own: play() returns at once, and a new sound, an empty one too, cuts off the
// one before. Each sound gets a stream of its own on whatever output is the default at that
// moment, closed once it has played out, so an idle game holds nothing open. When the server
// goes away, the next play() looks for it again; there is no retrying in between. Without a
// server, silence.
class SoundOutput {
public:
    SoundOutput() = default;
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    void play(const Sound& sound);

private:
    void stop();
    // All below belongs to the loop's thread; the other thread touches it only holding the
    // loop's lock.
    bool connectToServer();
    void openStream();
    void closeStream();
    void write(size_t bytes);
    static void onContextState(pa_context* context, void* self);
    static void onStreamState(pa_stream* stream, void* self);
    static void onWritable(pa_stream* stream, size_t bytes, void* self);
    static void onDrained(pa_stream* stream, int success, void* self);

    pa_threaded_mainloop* loop = nullptr;
    pa_context* connection = nullptr;
    pa_stream* playback = nullptr;
    Sound playing; // the one playing, or waiting for the server
    qint64 written{};
    qint64 tailBytes{};
};

} // namespace vellumi
