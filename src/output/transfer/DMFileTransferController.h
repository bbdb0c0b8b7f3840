#pragma once

#include "DMFileTransferControllerStreams.h"
#include "DMObservable.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <memory>

class QLabel;
class QProgressBar;
class QWidget;

// Copies one source to one destination in chunks of 1024 bytes while a small progress window
// (or sheet) shows what is copied where, how much and how fast.
//
// Sources: "file", "nsdata" (bytes handed over with urlForData), "http" and "ftp"; destinations:
// "file" and "ftp". User and password in a URL are split off at once and given to the protocol
// apart: sourceURL(), destinationURL() and everything shown carry neither.
//
// A copy succeeds only when the destination confirms every byte (a local file is replaced in
// one step, an FTP server reports the stored file); every failure is shown in an alert and ends
// the copy. By default the controller deletes itself (later, from the event loop) once it has
// stopped, so a caller may create it with new, start it and forget it; the object is then owned
// by nobody but itself and must not be held in a smart pointer.
class DMFileTransferController : public QObject, public DMObservable
{
    Q_OBJECT

public:
    enum Outcome { NotFinished, Succeeded, Failed, Cancelled };

    DMFileTransferController(const QUrl &sourceURL, const QUrl &destinationURL, QObject *parent = nullptr);
    ~DMFileTransferController() override;

    // "nsdata://N": the URL of an in-memory source. The bytes are shared, not copied, and held
    // until a transfer from that URL starts (or its controller is deleted unstarted).
    static QUrl urlForData(const QByteArray &data);

    QUrl sourceURL() const { return m_source.url; }
    QUrl destinationURL() const { return m_destination.url; }

    // Options, set before start().
    void setWindowForSheet(QWidget *window);
    void setReleaseWhenStopped(bool release) { m_releaseWhenStopped = release; }

    // Bytes written / source size; observable under the key "progress".
    double progress() const { return m_progress; }
    quint64 bytesWritten() const { return m_bytesWritten; }
    quint64 sourceSize() const { return m_sourceSize; }
    Outcome outcome() const { return m_outcome; }
    // The alert's message and description of a failed copy.
    QString errorText() const { return m_errorText; }

    // The progress window, made on first use.
    QWidget *window();
    QString topText() const;
    QString infoText() const;

public slots:
    // Opens both ends and begins the copy; returns at once. A failure is shown and stops.
    void start();
    // Ends the copy (the Cancel button). Emits finished, then deletes the controller later
    // when releaseWhenStopped.
    void stop();

signals:
    void finished(bool succeeded);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void writeStreamEvent(DMFileTransferWriteStream::Event event);
    void writeChunk();
    void updateInfoLine();
    void setProgress(double progress);
    // Stops reading and writing at once and shows the alert from the event loop, never from
    // inside a stream's callback, then stops.
    void fail(const QString &message, const QString &description);
    void showAlert(const QString &message, const QString &description);
    void closeStreams();
    QWidget *alertWindow() const;

    DMFileTransferEndpoint m_source;
    DMFileTransferEndpoint m_destination;

    QPointer<QWidget> m_window;
    QPointer<QLabel> m_topField;
    QPointer<QLabel> m_infoField;
    QPointer<QProgressBar> m_progressIndicator;
    QPointer<QWidget> m_windowForSheet;

    std::unique_ptr<DMFileTransferReadStream> m_readStream;
    std::unique_ptr<DMFileTransferWriteStream> m_writeStream;

    static constexpr qint64 kChunkSize = 1024;
    char m_chunk[kChunkSize] = {};
    qint64 m_chunkOffset = 0; // bytes of the chunk the destination has not taken yet
    qint64 m_chunkLength = 0;

    double m_progress = 0;
    quint64 m_bytesWritten = 0;
    quint64 m_sourceSize = DMFileTransferReadStream::kUnknownSize;
    QElapsedTimer m_clock;
    qint64 m_tm = 0;   // clock microseconds of the last info line
    quint64 m_tmb = 0; // bytes written since then

    bool m_releaseWhenStopped = true;
    bool m_started = false;
    bool m_stopped = false;
    bool m_finishing = false;
    Outcome m_outcome = NotFinished;
    QString m_errorText;
};
