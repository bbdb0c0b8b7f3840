#include "DMFileTransferController.h"

#include "DMIdleTimeout.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMStringAdditions.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr qint64 kInfoLineMicroseconds = 500000;
constexpr double kStopDelaySeconds = 1.0;
constexpr int kProgressSteps = 1000;

// "host/path" of a URL, the path joined as a path component.
QString hostAndPath(const QUrl &url)
{
    const QString path = url.path();
    if (path.isEmpty() || path == QLatin1String("/"))
        return url.host();
    return url.host() + (path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
}

} // namespace

DMFileTransferController::DMFileTransferController(const QUrl &sourceURL, const QUrl &destinationURL, QObject *parent)
    : QObject(parent), m_source(DMFileTransferEndpoint::fromURL(sourceURL)),
      m_destination(DMFileTransferEndpoint::fromURL(destinationURL))
{
}

DMFileTransferController::~DMFileTransferController()
{
    if (!m_started)
        DMFileTransferTakeDataOfURL(m_source.url); // in-memory data no transfer will read
    destroyPendingIdleInvocations(this);
    closeStreams();
    delete m_window.data();
}

QUrl DMFileTransferController::urlForData(const QByteArray &data)
{
    return QUrl(QStringLiteral("nsdata://%1").arg(DMFileTransferRegisterData(data)));
}

void DMFileTransferController::setWindowForSheet(QWidget *window)
{
    m_windowForSheet = window;
}

QWidget *DMFileTransferController::window()
{
    if (m_window)
        return m_window;
    auto *window = new QWidget(nullptr, Qt::Dialog);
    window->setObjectName(QStringLiteral("DMFileTransferController"));
    m_topField = new QLabel(window);
    m_topField->setTextFormat(Qt::PlainText);
    // A long path is cut off rather than widening the window.
    m_topField->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_progressIndicator = new QProgressBar(window);
    m_progressIndicator->setRange(0, kProgressSteps);
    m_progressIndicator->setTextVisible(false);
    m_infoField = new QLabel(window);
    m_infoField->setTextFormat(Qt::PlainText);
    QFont small = m_infoField->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_infoField->setFont(small);
    auto *cancel = new QPushButton(DMLocalizedString("Cancel"), window);
    cancel->setShortcut(Qt::Key_Escape);
    connect(cancel, &QPushButton::clicked, this, &DMFileTransferController::stop);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_infoField, 1);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->setSpacing(8);
    layout->addWidget(m_topField);
    layout->addWidget(m_progressIndicator);
    layout->addLayout(buttons);
    window->resize(440, window->sizeHint().height());
    window->installEventFilter(this);
    m_window = window;
    return window;
}

QString DMFileTransferController::topText() const
{
    return m_topField ? m_topField->text() : QString();
}

QString DMFileTransferController::infoText() const
{
    return m_infoField ? m_infoField->text() : QString();
}

void DMFileTransferController::start()
{
    if (m_started || m_stopped)
        return;
    m_started = true;
    QWidget *progressWindow = window();
    m_sourceSize = DMFileTransferReadStream::kUnknownSize;

    // Failures before the copy runs are shown at once; the copy then stops (and the controller
    // is released like after any other end).
    auto failAtStart = [this](const QString &message, const QString &description) {
        m_outcome = Failed;
        m_errorText = message + QLatin1Char('\n') + description;
        showAlert(message, description);
        stop();
    };

    m_readStream = DMFileTransferReadStreamForEndpoint(m_source);
    if (!m_readStream)
        return failAtStart(QStringLiteral("Unable to read source file"),
                           QStringLiteral("Unsupported source URL scheme: %1").arg(m_source.url.scheme()));
    QString error;
    if (!m_readStream->open(&error))
        return failAtStart(QStringLiteral("CFReadStreamOpen failure"), error);
    m_sourceSize = m_readStream->size();

    m_writeStream = DMFileTransferWriteStreamForEndpoint(m_destination, m_sourceSize);
    if (!m_writeStream)
        return failAtStart(QStringLiteral("Unable to write destination file"),
                           QStringLiteral("Unsupported destination URL scheme: %1").arg(m_destination.url.scheme()));
    if (m_destination.url.scheme() == QLatin1String("ftp")) {
        progressWindow->setWindowTitle(DMLocalizedString("FTP Upload"));
        m_topField->setText(DMLocalizedString("Uploading to ftp://%1").arg(hostAndPath(m_destination.url)));
    } else {
        const QString sourceName = m_source.url.fileName().isEmpty() ? m_source.url.toDisplayString()
                                                                     : m_source.url.fileName();
        progressWindow->setWindowTitle(DMLocalizedString("File copy"));
        m_topField->setText(DMLocalizedString("Writing %1 to %2").arg(sourceName, m_destination.url.toLocalFile()));
    }
    m_topField->setToolTip(m_topField->text());
    if (!m_writeStream->open(&error))
        return failAtStart(QStringLiteral("CFWriteStreamOpen failure"), error);

    m_readStream->setReadableCallback([this] {
        if (m_writeStream)
            m_writeStream->wake();
    });
    m_writeStream->setClient([this](DMFileTransferWriteStream::Event event) { writeStreamEvent(event); });
    m_clock.start();
    m_tm = 0;
    m_tmb = 0;

    if (m_windowForSheet) {
        progressWindow->setParent(m_windowForSheet, Qt::Sheet);
        progressWindow->setWindowModality(Qt::WindowModal);
        const QRect parent = m_windowForSheet->frameGeometry();
        progressWindow->move(parent.center().x() - progressWindow->width() / 2, parent.top() + 40);
        progressWindow->show();
        progressWindow->raise();
    } else {
        if (QScreen *screen = QGuiApplication::primaryScreen())
            progressWindow->move(screen->availableGeometry().center() - progressWindow->rect().center());
        progressWindow->show();
        progressWindow->raise();
        progressWindow->activateWindow();
    }
}

void DMFileTransferController::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    destroyPendingIdleInvocations(this);
    if (m_outcome == NotFinished)
        m_outcome = Cancelled;
    if (m_window)
        m_window->hide();
    closeStreams();
    // A stream may be inside one of its own callbacks further up the stack.
    if (m_readStream)
        m_readStream.release()->deleteLater();
    if (m_writeStream)
        m_writeStream.release()->deleteLater();
    emit finished(m_outcome == Succeeded);
    if (m_releaseWhenStopped)
        deleteLater();
}

bool DMFileTransferController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Close)
        stop();
    return QObject::eventFilter(watched, event);
}

void DMFileTransferController::writeStreamEvent(DMFileTransferWriteStream::Event event)
{
    if (m_outcome != NotFinished)
        return;
    switch (event) {
    case DMFileTransferWriteStream::CanAcceptBytes:
        writeChunk();
        break;
    case DMFileTransferWriteStream::EndEncountered:
        m_outcome = Succeeded;
        updateInfoLine();
        performSelectorAfterIdleTimeout(this, "stop:", [this] { stop(); }, kStopDelaySeconds);
        break;
    case DMFileTransferWriteStream::ErrorOccurred:
        fail(QStringLiteral("An error occured while writing the file"), m_writeStream->errorString());
        break;
    }
}

// One chunk: the rest of the last one when the destination took only part of it, otherwise up
// to 1024 new bytes from the source.
void DMFileTransferController::writeChunk()
{
    if (m_finishing)
        return;
    if (m_chunkLength == 0) {
        const qint64 count = m_readStream->read(m_chunk, kChunkSize);
        if (count <= 0) {
            const QString error = m_readStream->errorString();
            if (count < 0 || !error.isEmpty()) {
                fail(QStringLiteral("An error occured while reading the file"), error);
            } else if (m_readStream->atEnd()) {
                m_finishing = true;
                m_writeStream->finishWriting();
            }
            return; // otherwise the source has nothing yet and wakes the destination later
        }
        m_chunkOffset = 0;
        m_chunkLength = count;
    }
    const qint64 accepted = m_writeStream->write(m_chunk + m_chunkOffset, m_chunkLength);
    if (accepted < 0)
        return fail(QStringLiteral("An error occured while writing the file"), m_writeStream->errorString());
    m_chunkOffset += accepted;
    m_chunkLength -= accepted;
    m_bytesWritten += quint64(accepted);
    m_tmb += quint64(accepted);
    if (m_sourceSize > 0)
        setProgress(double(m_bytesWritten) / double(m_sourceSize));
    if (m_clock.nsecsElapsed() / 1000 - m_tm >= kInfoLineMicroseconds)
        updateInfoLine();
}

void DMFileTransferController::updateInfoLine()
{
    const qint64 now = m_clock.nsecsElapsed() / 1000;
    const double seconds = double(now - m_tm) / 1e6;
    const float rate = seconds > 0 ? float(double(m_tmb) / seconds) : 0.0f;
    if (m_infoField)
        m_infoField->setText(DMLocalizedString("%1 of %2 - %3")
                                 .arg(dataStringForValue(1, double(m_bytesWritten)),
                                      dataStringForValue(1, double(m_sourceSize)), dataRateStringForRate(rate)));
    m_tm = now;
    m_tmb = 0;
}

void DMFileTransferController::setProgress(double progress)
{
    if (progress == m_progress)
        return;
    willChangeValueForKey(QStringLiteral("progress"));
    m_progress = progress;
    didChangeValueForKey(QStringLiteral("progress"));
    if (m_progressIndicator)
        m_progressIndicator->setValue(int(std::clamp(progress, 0.0, 1.0) * kProgressSteps));
}

void DMFileTransferController::fail(const QString &message, const QString &description)
{
    if (m_outcome != NotFinished || m_stopped)
        return;
    m_outcome = Failed;
    m_errorText = message + QLatin1Char('\n') + description;
    closeStreams();
    QTimer::singleShot(0, this, [this, message, description] {
        showAlert(message, description);
        stop();
    });
}

void DMFileTransferController::showAlert(const QString &message, const QString &description)
{
    DMModalUI::Alert alert;
    // The progress window's title says which transfer failed ("FTP Upload").
    alert.title = m_window && !m_window->windowTitle().isEmpty() ? m_window->windowTitle() : DMLocalizedString("File Transfer");
    alert.messageText = message;
    alert.informativeText = description;
    alert.buttons = {DMLocalizedString("Cancel")};
    DMModalUI::instance().runAlert(alert, alertWindow());
}

QWidget *DMFileTransferController::alertWindow() const
{
    if (m_window && m_window->isVisible())
        return m_window;
    return m_windowForSheet;
}

void DMFileTransferController::closeStreams()
{
    if (m_readStream)
        m_readStream->close();
    if (m_writeStream)
        m_writeStream->close();
}
