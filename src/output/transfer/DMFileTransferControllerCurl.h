#pragma once

#include "DMFileTransferControllerStreams.h"

#include <QTimer>

#include <curl/curl.h>

#include <functional>
#include <map>

class QSocketNotifier;

// One libcurl transfer driven by the multi interface from the Qt event loop: curl names the
// sockets to watch and the time of its next timeout, socket notifiers and a timer hand control
// back to it. Nothing blocks the GUI thread.
class DMFileTransferCurl : public QObject
{
public:
    // The endpoint's URL carries no credentials; user and password are given to curl apart.
    explicit DMFileTransferCurl(const DMFileTransferEndpoint &endpoint);
    // Must not run inside one of curl's callbacks (the streams are deleted later for that).
    ~DMFileTransferCurl() override;

    CURL *handle() const { return m_easy; }
    // Adds the transfer to the event loop; false with a description when curl refuses it.
    bool start(QString *error);
    // Resumes a transfer that a callback paused, from the event loop rather than the caller's
    // stack, which may be inside curl.
    void resume();
    bool isDone() const { return m_done; }

    // Seconds for connecting, for each server response and for a stalled transfer in the
    // transfers made afterwards; 0 restores the defaults (30 s to connect, 60 s otherwise).
    static void setTimeoutForTesting(long seconds);

    // Called once when the transfer ends, with curl's result and a description of a failure.
    std::function<void(CURLcode result, const QString &description)> onDone;

private:
    static int socketCallback(CURL *easy, curl_socket_t socket, int what, void *self, void *socketData);
    static int timerCallback(CURLM *multi, long timeoutMilliseconds, void *self);
    void watch(curl_socket_t socket, int what);
    void act(curl_socket_t socket, int flags);
    void collectDone();

    struct Watch
    {
        QSocketNotifier *read = nullptr;
        QSocketNotifier *write = nullptr;
    };

    CURLM *m_multi = nullptr;
    CURL *m_easy = nullptr;
    QTimer m_timer;
    // Notifiers are disabled, never deleted, when curl stops watching a socket: the notifier
    // may be the one whose signal is running, and a reused descriptor gets its notifier back.
    std::map<curl_socket_t, Watch> m_watches;
    char m_errorBuffer[CURL_ERROR_SIZE] = {};
    bool m_added = false;
    bool m_done = false;
    bool m_resumeQueued = false;
};

// A file read from an FTP server. Bytes wait in a buffer until the destination takes them;
// a full buffer pauses the download.
class DMFileTransferFTPReadStream : public DMFileTransferReadStream
{
public:
    explicit DMFileTransferFTPReadStream(const DMFileTransferEndpoint &source);

    bool open(QString *error) override;
    qint64 read(char *data, qint64 maxLength) override;
    bool atEnd() const override;
    QString errorString() const override;
    void close() override;

private:
    static size_t receive(char *data, size_t size, size_t count, void *self);

    DMFileTransferCurl m_curl;
    QByteArray m_buffer;
    qsizetype m_offset = 0;
    bool m_paused = false;
    bool m_closed = false;
    bool m_done = false;
    QString m_error;
};

// A file written to an FTP server. curl asks for bytes when it can send them; each request
// becomes CanAcceptBytes events until its buffer is full or the source has nothing more now.
// The transfer ends well only when curl reports success (the server confirmed the stored
// file) and the server received every byte that was given.
class DMFileTransferFTPWriteStream : public DMFileTransferWriteStream
{
public:
    DMFileTransferFTPWriteStream(const DMFileTransferEndpoint &destination, quint64 sourceSize);

    bool open(QString *error) override;
    qint64 write(const char *data, qint64 length) override;
    void finishWriting() override;
    void wake() override;
    QString errorString() const override { return m_error; }
    void close() override;

private:
    static size_t supply(char *buffer, size_t size, size_t count, void *self);
    size_t fill(char *buffer, size_t room);
    void transferDone(CURLcode result, const QString &description);

    DMFileTransferCurl m_curl;
    quint64 m_sourceSize;
    char *m_room = nullptr; // curl's buffer while it asks for bytes
    size_t m_roomLeft = 0;
    quint64 m_given = 0;
    bool m_paused = false;
    bool m_finished = false;
    bool m_closed = false;
    QString m_error;
};
