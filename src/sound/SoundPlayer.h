#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QAudioDevice;
class QAudioSink;
class QIODevice;

namespace vellumi {

// Plays one sound at a time, such as the click of a move. play() returns at once and the sound
// goes on through the event loop of the player's thread; a new sound cuts off the one before.
// The file is looked at on every call, so a replaced, changed or deleted file is noticed at the
// next one. A file that is missing, is not a plain file or cannot be decoded, or a machine
// without sound, gives silence and no message. The audio device is first opened by play().
class SoundPlayer : public QObject {
    Q_OBJECT

public:
    explicit SoundPlayer(QObject* parent = nullptr);

    void play(const QString& fileName);

private:
    // Tells one version of a file from another without reading it.
    struct FileStamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modifiedNs = 0;
        bool operator==(const FileStamp&) const = default;
    };

    bool prepare(const QString& fileName);
    void decode(int fd);
    QAudioSink* sinkFor(const QAudioDevice& device);
    void dropSink(QAudioSink* sink);
    void feed();
    void stop();

    // The sound last prepared, kept while its file stays the same; empty when it would not decode.
    QString m_fileName;
    FileStamp m_stamp;
    QAudioFormat m_format;
    QByteArray m_pcm;

    QByteArray m_deviceId;
    QList<QAudioSink*> m_sinks; // for m_deviceId, one per format, children of this
    QAudioSink* m_sink = nullptr; // the one playing
    QPointer<QIODevice> m_stream; // owned by m_sink, gone when it stops
    qint64 m_written = 0;
    qint64 m_tailBytes = 0;
    QElapsedTimer m_clock;
    QTimer m_feed;
    QTimer m_release;
};

} // namespace vellumi
