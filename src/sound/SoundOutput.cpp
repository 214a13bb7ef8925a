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
    explicit Locked(pa_threaded_mainloop* loop) : m_loop(loop) { pa_threaded_mainloop_lock(m_loop); }
    ~Locked() { pa_threaded_mainloop_unlock(m_loop); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

} // namespace

SoundOutput::~SoundOutput()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_stop(m_loop);
    closeStream();
    if (m_context) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    pa_threaded_mainloop_free(m_loop);
}

void SoundOutput::play(const Sound& sound)
{
    if (sound.isEmpty())
        return stop();
    if (!m_loop) {
        m_loop = pa_threaded_mainloop_new();
        // Without its thread nothing would ever answer; try again with the next sound.
        if (m_loop && pa_threaded_mainloop_start(m_loop) < 0) {
            pa_threaded_mainloop_free(m_loop);
            m_loop = nullptr;
        }
        if (!m_loop)
            return;
    }
    Locked locked(m_loop);
    closeStream();
    m_sound = sound;
    // The server was lost since the last sound, or never found: look for it now, and play
    // once it answers.
    const pa_context_state_t state = m_context ? pa_context_get_state(m_context) : PA_CONTEXT_FAILED;
    if (!PA_CONTEXT_IS_GOOD(state) && !connectToServer())
        m_sound = {};
    else if (state == PA_CONTEXT_READY)
        openStream();
}

void SoundOutput::stop()
{
    if (!m_loop)
        return;
    Locked locked(m_loop);
    closeStream();
}

bool SoundOutput::connectToServer()
{
    // The old connection has failed or ended already; letting it go is all that is left.
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_unref(m_context);
    }
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Vellumi");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "vellumi");
    m_context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(m_loop), nullptr, properties);
    pa_proplist_free(properties);
    if (!m_context)
        return false;
    pa_context_set_state_callback(m_context, &SoundOutput::onContextState, this);
    // Never start a server of our own: a machine without one is a quiet one.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        pa_context_unref(m_context);
        m_context = nullptr;
        return false;
    }
    return true;
}

void SoundOutput::openStream()
{
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, uint32_t(m_sound.rate), uint8_t(m_sound.channels)};
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "game");
    m_stream = pa_stream_new_with_proplist(m_context, "move", &format, nullptr, properties);
    pa_proplist_free(properties);
    if (!m_stream) {
        m_sound = {};
        return;
    }
    m_written = 0;
    const qint64 frame = m_sound.bytesPerFrame();
    m_tailBytes = qint64(pa_usec_to_bytes(tailUs, &format)) / frame * frame;
    pa_stream_set_state_callback(m_stream, &SoundOutput::onStreamState, this);
    pa_stream_set_write_callback(m_stream, &SoundOutput::onWritable, this);
    const uint32_t serverChooses = uint32_t(-1);
    const pa_buffer_attr buffer{serverChooses, uint32_t(pa_usec_to_bytes(bufferUs, &format)), serverChooses,
                                serverChooses, serverChooses};
    // No output named: the stream goes to the default one of the moment.
    if (pa_stream_connect_playback(m_stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0)
        closeStream();
}

void SoundOutput::closeStream()
{
    m_sound = {};
    if (!m_stream)
        return;
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    if (pa_stream_get_state(m_stream) == PA_STREAM_CREATING) {
        // The server has not answered yet, and a stream can only be closed once it has.
        pa_stream_set_state_callback(m_stream, [](pa_stream* stream, void*) {
            if (pa_stream_get_state(stream) == PA_STREAM_READY)
                pa_stream_disconnect(stream);
        }, nullptr);
    } else {
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
    }
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

// The server asks for the next part as it needs it, so a long sound is never all sent ahead.
void SoundOutput::write(size_t bytes)
{
    const qint64 total = m_sound.samples.size() + m_tailBytes;
    qint64 wanted = qint64(bytes);
    while (wanted > 0 && m_written < total) {
        const bool inSound = m_written < m_sound.samples.size();
        const qint64 end = inSound ? m_sound.samples.size() : total;
        const qint64 length = std::min({wanted, end - m_written, qint64(silence.size())});
        const char* data = inSound ? m_sound.samples.constData() + m_written : silence.data();
        if (pa_stream_write(m_stream, data, size_t(length), nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return closeStream();
        m_written += length;
        wanted -= length;
    }
    if (m_written == total) {
        // Draining also starts a sound shorter than the buffer, which the server would
        // otherwise wait to fill.
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        if (pa_operation* drain = pa_stream_drain(m_stream, &SoundOutput::onDrained, this))
            pa_operation_unref(drain);
    }
}

void SoundOutput::onContextState(pa_context* context, void* self)
{
    auto* output = static_cast<SoundOutput*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        if (!output->m_sound.isEmpty() && !output->m_stream)
            output->openStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        output->closeStream();
        break;
    default:
        break;
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
    if (stream == output->m_stream)
        output->closeStream();
}

} // namespace vellumi
