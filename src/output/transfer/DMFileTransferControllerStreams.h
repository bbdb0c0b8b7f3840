#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

// The two ends of a file transfer. Every stream works on the GUI thread and never blocks: a
// stream fed by the network answers "nothing yet" and reports when that changes.

// A URL split into the address and its credentials. The address never carries the user or the
// password, so it may be shown or logged; the credentials go to the protocol separately.
struct DMFileTransferEndpoint
{
    QUrl url;
    QString user;
    QString password;

    static DMFileTransferEndpoint fromURL(const QUrl &url);
};

class DMFileTransferReadStream : public QObject
{
public:
    static constexpr quint64 kUnknownSize = ~quint64(0);

    // Starts reading; false with a description when the source cannot be opened at all. A
    // network source reports a later failure through errorString().
    virtual bool open(QString *error) = 0;
    // Up to maxLength bytes; 0 when nothing is available now (see atEnd and errorString), -1 on
    // an error.
    virtual qint64 read(char *data, qint64 maxLength) = 0;
    // Every byte has been read and the source reported a complete transfer.
    virtual bool atEnd() const = 0;
    // Empty while there is no error.
    virtual QString errorString() const = 0;
    // The total size when the source tells it before reading, otherwise kUnknownSize.
    virtual quint64 size() const { return kUnknownSize; }

    // Stops reading; the readable callback is not called afterwards. Safe within a callback.
    virtual void close() { m_readable = nullptr; }

    // Called when bytes, the end or an error arrive after read() answered nothing.
    void setReadableCallback(std::function<void()> callback) { m_readable = std::move(callback); }

protected:
    void notifyReadable()
    {
        if (m_readable)
            m_readable();
    }

private:
    std::function<void()> m_readable;
};

class DMFileTransferWriteStream : public QObject
{
public:
    enum Event {
        CanAcceptBytes,  // write() takes bytes now
        EndEncountered,  // after finishWriting(): the destination holds every byte
        ErrorOccurred,   // see errorString()
    };
    using Client = std::function<void(Event)>;

    virtual bool open(QString *error) = 0;
    // How many of the bytes were taken (fewer when the destination's buffer is full, 0 outside a
    // CanAcceptBytes event), or -1 on an error.
    virtual qint64 write(const char *data, qint64 length) = 0;
    // No more bytes follow. EndEncountered comes only once the destination confirmed the whole
    // transfer; anything less is ErrorOccurred.
    virtual void finishWriting() = 0;
    // The source has bytes again after a CanAcceptBytes event in which nothing was written.
    virtual void wake() = 0;
    virtual QString errorString() const = 0;
    // Ends the transfer; no event is sent afterwards. Safe to call from within an event.
    virtual void close() = 0;

    void setClient(Client client) { m_client = std::move(client); }

protected:
    void send(Event event)
    {
        if (m_client)
            m_client(event);
    }
    bool hasClient() const { return bool(m_client); }

private:
    Client m_client;
};

// Streams by URL scheme: "file", "nsdata", "http" and "ftp" sources; "file" and "ftp"
// destinations. Null for any other scheme.
std::unique_ptr<DMFileTransferReadStream> DMFileTransferReadStreamForEndpoint(const DMFileTransferEndpoint &source);
std::unique_ptr<DMFileTransferWriteStream> DMFileTransferWriteStreamForEndpoint(const DMFileTransferEndpoint &destination,
                                                                               quint64 sourceSize);

// In-memory sources: the data is held under the number of an "nsdata" URL until a transfer
// takes it.
quint64 DMFileTransferRegisterData(const QByteArray &data);
std::optional<QByteArray> DMFileTransferTakeDataOfURL(const QUrl &url);
