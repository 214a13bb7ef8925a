#include "sound/SoundOutput.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>

namespace vellumi {

namespace {

// Small, so that a new sound cuts the old one off at once.
constexpr pa_usec_t bufferUs = 30'000;

// Silence played after the sound. Closing a stream drops what the server still holds of it;
// once this has started, what it holds is silence, never the end of a click.
constexpr pa_usec_t tailUs = 50'000;

const std::array<char, 16384> silence{}; // whole frames of float mono and stereo

// Holds the loop's lock for as long as it lives.
class Locked {
public:
    explicit Locked(pa_threaded_mainloop* loop)
        : loop(loop)
    {
        pa_threaded_mainloop_lock(loop);
    }
    ~Locked() { pa_threaded_mainloop_unlock(loop); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    pa_threaded_mainloop* loop;
};

} // namespace

SoundOutput::~SoundOutput()
{
    if (!loop)
        return;
    pa_threaded_mainloop_stop(loop);
    closeStream();
    if (connection) {
        pa_context_disconnect(connection);
        pa_context_unref(connection);
    }
    pa_threaded_mainloop_free(loop);
}

void SoundOutput::play(const Sound& sound)
{
    if (sound.isEmpty())
        return stop();
    if (!loop) {
        loop = pa_threaded_mainloop_new();
        // Without its thread nothing would ever answer; try again with the next sound.
        if (loop && pa_threaded_mainloop_start(loop) < 0) {
            pa_threaded_mainloop_free(loop);
            loop = nullptr;
        }
        if (!loop)
            return;
    }
    Locked locked(loop);
    closeStream();
    playing = sound;
    // The server was lost since the last sound, or never found: look for it now, and play
    // once it answers.
    const pa_context_state_t state = connection ? pa_context_get_state(connection) : PA_CONTEXT_FAILED;
    if (!PA_CONTEXT_IS_GOOD(state) && !connectToServer())
        playing = {};
    else if (state == PA_CONTEXT_READY)
        openStream();
}

void SoundOutput::stop()
{
    if (!loop)
        return;
    Locked locked(loop);
    closeStream();
}

bool SoundOutput::connectToServer()
{
    // The old connection has failed or ended already; letting it go is all that is left.
    if (connection) {
        pa_context_set_state_callback(connection, nullptr, nullptr);
        pa_context_unref(connection);
    }
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Vellumi");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "vellumi");
    connection = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop), nullptr, properties);
    pa_proplist_free(properties);
    if (!connection)
        return false;
    pa_context_set_state_callback(connection, &SoundOutput::onContextState, this);
    // Never start a server of our own: a machine without one is a quiet one.
    if (pa_context_connect(connection, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        pa_context_unref(connection);
        connection = nullptr;
        return false;
    }
    return true;
}

void SoundOutput::openStream()
{
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, uint32_t(playing.rate), uint8_t(playing.channels)};
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "game");
    playback = pa_stream_new_with_proplist(connection, "move", &format, nullptr, properties);
    pa_proplist_free(properties);
    if (!playback) {
        playing = {};
        return;
    }
    written = 0;
    const qint64 frame = playing.bytesPerFrame();
    tailBytes = qint64(pa_usec_to_bytes(tailUs, &format)) / frame * frame;
    pa_stream_set_state_callback(playback, &SoundOutput::onStreamState, this);
    pa_stream_set_write_callback(playback, &SoundOutput::onWritable, this);
    const uint32_t serverChooses = uint32_t(-1);
    const pa_buffer_attr buffer{serverChooses, uint32_t(pa_usec_to_bytes(bufferUs, &format)), serverChooses,
                                serverChooses, serverChooses};
    // No output named: the stream goes to the default one of the moment.
    if (pa_stream_connect_playback(playback, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0)
        closeStream();
}

void SoundOutput::closeStream()
{
    playing = {};
    if (!playback)
        return;
    pa_stream_set_write_callback(playback, nullptr, nullptr);
    if (pa_stream_get_state(playback) == PA_STREAM_CREATING) {
        // The server has not answered yet, and a stream can only be closed once it has.
        pa_stream_set_state_callback(
            playback,
            [](pa_stream* stream, void*) {
                if (pa_stream_get_state(stream) == PA_STREAM_READY)
                    pa_stream_disconnect(stream);
            },
            nullptr);
    } else {
        pa_stream_set_state_callback(playback, nullptr, nullptr);
        pa_stream_disconnect(playback);
    }
    pa_stream_unref(playback);
    playback = nullptr;
}

// The server asks for the next part as it needs it, so a long sound is never all sent ahead.
void SoundOutput::write(size_t bytes)
{
    const qint64 total = playing.samples.size() + tailBytes;
    qint64 wanted = qint64(bytes);
    while (wanted > 0 && written < total) {
        const bool inSound = written < playing.samples.size();
        const qint64 end = inSound ? playing.samples.size() : total;
        const qint64 length = std::min({wanted, end - written, qint64(silence.size())});
        const char* data = inSound ? playing.samples.constData() + written : silence.data();
        if (pa_stream_write(playback, data, size_t(length), nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return closeStream();
        written += length;
        wanted -= length;
    }
    if (written == total) {
        // Draining also starts a sound shorter than the buffer, which the server would
        // otherwise wait to fill.
        pa_stream_set_write_callback(playback, nullptr, nullptr);
        if (pa_operation* drain = pa_stream_drain(playback, &SoundOutput::onDrained, this))
            pa_operation_unref(drain);
    }
}

void SoundOutput::onContextState(pa_context* context, void* self)
{
    auto* output = static_cast<SoundOutput*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        if (!output->playing.isEmpty() && !output->playback)
            output->openStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED: output->closeStream(); break;
    default: break;
    }
}

void SoundOutput::onStreamState(pa_stream* stream, void* self)
{
    // Its output went away, or the server did.
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
        static_cast<SoundOutput*>(self)->closeStream();
}

void SoundOutput::onWritable(pa_stream*, size_t bytes, void* self)
{
    static_cast<SoundOutput*>(self)->write(bytes);
}

void SoundOutput::onDrained(pa_stream* stream, int, void* self)
{
    auto* output = static_cast<SoundOutput*>(self);
    if (stream == output->playback)
        output->closeStream();
}

} // namespace vellumi
