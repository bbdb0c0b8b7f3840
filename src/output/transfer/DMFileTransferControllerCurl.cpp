#include "DMFileTransferControllerCurl.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

constexpr long kConnectTimeoutSeconds = 30;
constexpr long kResponseTimeoutSeconds = 60;
// A transfer that moves less than one byte a second for this long has stalled.
constexpr long kStallSeconds = 60;
// Bytes of a download held ahead of the destination before the download pauses.
constexpr qsizetype kReadBufferLimit = 256 * 1024;

long timeoutOverride = 0;

long timeoutOr(long seconds)
{
    return timeoutOverride > 0 ? timeoutOverride : seconds;
}

void initializeCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

DMFileTransferCurl::DMFileTransferCurl(const DMFileTransferEndpoint &endpoint)
{
    initializeCurlOnce();
    m_multi = curl_multi_init();
    m_easy = curl_easy_init();
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    if (!m_multi || !m_easy)
        return;

    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &DMFileTransferCurl::socketCallback);
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &DMFileTransferCurl::timerCallback);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);

    // curl copies every string it is given.
    curl_easy_setopt(m_easy, CURLOPT_URL, endpoint.url.toEncoded().constData());
    if (!endpoint.user.isEmpty() || !endpoint.password.isEmpty()) {
        curl_easy_setopt(m_easy, CURLOPT_USERNAME, endpoint.user.toUtf8().constData());
        curl_easy_setopt(m_easy, CURLOPT_PASSWORD, endpoint.password.toUtf8().constData());
    }
    curl_easy_setopt(m_easy, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_easy, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(m_easy, CURLOPT_CONNECTTIMEOUT, timeoutOr(kConnectTimeoutSeconds));
    curl_easy_setopt(m_easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeoutOr(kResponseTimeoutSeconds));
    curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_TIME, timeoutOr(kStallSeconds));
    // The connection ends with the transfer, so no socket outlives this object.
    curl_easy_setopt(m_easy, CURLOPT_FORBID_REUSE, 1L);
}

DMFileTransferCurl::~DMFileTransferCurl()
{
    m_timer.stop();
    if (m_multi) {
        // Closing connections must not call back into an object being destroyed.
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, nullptr);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, nullptr);
        if (m_added)
            curl_multi_remove_handle(m_multi, m_easy);
    }
    if (m_easy)
        curl_easy_cleanup(m_easy);
    if (m_multi)
        curl_multi_cleanup(m_multi);
}

void DMFileTransferCurl::setTimeoutForTesting(long seconds)
{
    timeoutOverride = seconds;
}

bool DMFileTransferCurl::start(QString *error)
{
    if (!m_multi || !m_easy) {
        *error = QStringLiteral("The network library could not be set up.");
        return false;
    }
    const CURLMcode code = curl_multi_add_handle(m_multi, m_easy);
    if (code != CURLM_OK) {
        *error = QString::fromUtf8(curl_multi_strerror(code));
        return false;
    }
    m_added = true;
    return true; // curl asks for a timeout at once, which starts the transfer
}

void DMFileTransferCurl::resume()
{
    if (m_resumeQueued || m_done)
        return;
    m_resumeQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_resumeQueued = false;
        if (!m_done)
            curl_easy_pause(m_easy, CURLPAUSE_CONT);
        collectDone();
    });
}

int DMFileTransferCurl::socketCallback(CURL *, curl_socket_t socket, int what, void *self, void *)
{
    static_cast<DMFileTransferCurl *>(self)->watch(socket, what);
    return 0;
}

int DMFileTransferCurl::timerCallback(CURLM *, long timeoutMilliseconds, void *self)
{
    auto *curl = static_cast<DMFileTransferCurl *>(self);
    if (timeoutMilliseconds < 0)
        curl->m_timer.stop();
    else
        curl->m_timer.start(int(std::min<long>(timeoutMilliseconds, 24L * 3600 * 1000)));
    return 0;
}

void DMFileTransferCurl::watch(curl_socket_t socket, int what)
{
    Watch &watch = m_watches[socket];
    if (!watch.read) {
        watch.read = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        watch.write = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        QObject::connect(watch.read, &QSocketNotifier::activated, this, [this, socket] { act(socket, CURL_CSELECT_IN); });
        QObject::connect(watch.write, &QSocketNotifier::activated, this, [this, socket] { act(socket, CURL_CSELECT_OUT); });
    }
    watch.read->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    watch.write->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
}

void DMFileTransferCurl::act(curl_socket_t socket, int flags)
{
    if (!m_added || m_done)
        return;
    int running = 0;
    curl_multi_socket_action(m_multi, socket, flags, &running);
    collectDone();
}

void DMFileTransferCurl::collectDone()
{
    if (!m_added || m_done)
        return;
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != m_easy)
            continue;
        m_done = true;
        m_timer.stop();
        for (auto &[socket, watch] : m_watches) {
            watch.read->setEnabled(false);
            watch.write->setEnabled(false);
        }
        const CURLcode result = message->data.result;
        const QString description = result == CURLE_OK ? QString()
                                    : m_errorBuffer[0]    ? QString::fromUtf8(m_errorBuffer)
                                                          : QString::fromUtf8(curl_easy_strerror(result));
        if (onDone)
            onDone(result, description);
        return;
    }
}

// Download

DMFileTransferFTPReadStream::DMFileTransferFTPReadStream(const DMFileTransferEndpoint &source) : m_curl(source)
{
    m_curl.onDone = [this](CURLcode result, const QString &description) {
        m_done = true;
        if (result != CURLE_OK)
            m_error = description;
        notifyReadable();
    };
}

bool DMFileTransferFTPReadStream::open(QString *error)
{
    curl_easy_setopt(m_curl.handle(), CURLOPT_WRITEFUNCTION, &DMFileTransferFTPReadStream::receive);
    curl_easy_setopt(m_curl.handle(), CURLOPT_WRITEDATA, this);
    return m_curl.start(error);
}

size_t DMFileTransferFTPReadStream::receive(char *data, size_t size, size_t count, void *self)
{
    auto *stream = static_cast<DMFileTransferFTPReadStream *>(self);
    if (stream->m_closed)
        return 0; // anything but the full count fails the transfer
    if (stream->m_buffer.size() - stream->m_offset >= kReadBufferLimit) {
        stream->m_paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    stream->m_buffer.append(data, qsizetype(size * count));
    stream->notifyReadable();
    return size * count;
}

qint64 DMFileTransferFTPReadStream::read(char *data, qint64 maxLength)
{
    const qint64 count = std::min<qint64>(maxLength, m_buffer.size() - m_offset);
    std::memcpy(data, m_buffer.constData() + m_offset, size_t(count));
    m_offset += count;
    if (m_offset > kReadBufferLimit / 2 || m_offset == m_buffer.size()) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
    if (m_paused && m_buffer.size() < kReadBufferLimit / 2) {
        m_paused = false;
        m_curl.resume();
    }
    return count;
}

bool DMFileTransferFTPReadStream::atEnd() const
{
    return m_done && m_error.isEmpty() && m_offset == m_buffer.size();
}

QString DMFileTransferFTPReadStream::errorString() const
{
    return m_error;
}

void DMFileTransferFTPReadStream::close()
{
    DMFileTransferReadStream::close();
    m_closed = true;
}

// Upload

DMFileTransferFTPWriteStream::DMFileTransferFTPWriteStream(const DMFileTransferEndpoint &destination, quint64 sourceSize)
    : m_curl(destination), m_sourceSize(sourceSize)
{
    m_curl.onDone = [this](CURLcode result, const QString &description) { transferDone(result, description); };
}

bool DMFileTransferFTPWriteStream::open(QString *error)
{
    CURL *handle = m_curl.handle();
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, &DMFileTransferFTPWriteStream::supply);
    curl_easy_setopt(handle, CURLOPT_READDATA, this);
    // With the size known, curl also fails an upload that ends short of it.
    if (m_sourceSize != DMFileTransferReadStream::kUnknownSize)
        curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE, curl_off_t(m_sourceSize));
    return m_curl.start(error);
}

size_t DMFileTransferFTPWriteStream::supply(char *buffer, size_t size, size_t count, void *self)
{
    return static_cast<DMFileTransferFTPWriteStream *>(self)->fill(buffer, size * count);
}

size_t DMFileTransferFTPWriteStream::fill(char *buffer, size_t room)
{
    if (m_closed)
        return CURL_READFUNC_ABORT;
    m_room = buffer;
    m_roomLeft = room;
    while (m_roomLeft > 0 && !m_finished && !m_closed) {
        const size_t before = m_roomLeft;
        send(CanAcceptBytes);
        if (m_roomLeft == before)
            break; // nothing more from the source now
    }
    const size_t filled = room - m_roomLeft;
    m_room = nullptr;
    m_roomLeft = 0;
    if (m_closed)
        return CURL_READFUNC_ABORT;
    if (filled > 0 || m_finished)
        return filled; // 0 after finishWriting() ends the upload
    m_paused = true;
    return CURL_READFUNC_PAUSE;
}

qint64 DMFileTransferFTPWriteStream::write(const char *data, qint64 length)
{
    if (m_closed || m_finished)
        return -1;
    if (!m_room)
        return 0;
    const size_t count = std::min<size_t>(size_t(std::max<qint64>(0, length)), m_roomLeft);
    std::memcpy(m_room, data, count);
    m_room += count;
    m_roomLeft -= count;
    m_given += count;
    return qint64(count);
}

void DMFileTransferFTPWriteStream::finishWriting()
{
    m_finished = true;
    wake();
}

void DMFileTransferFTPWriteStream::wake()
{
    if (m_paused && !m_closed) {
        m_paused = false;
        m_curl.resume();
    }
}

void DMFileTransferFTPWriteStream::close()
{
    m_closed = true;
    setClient(nullptr);
    wake(); // a paused upload asks once more and is aborted
}

void DMFileTransferFTPWriteStream::transferDone(CURLcode result, const QString &description)
{
    if (m_closed)
        return;
    curl_off_t uploaded = 0;
    curl_easy_getinfo(m_curl.handle(), CURLINFO_SIZE_UPLOAD_T, &uploaded);
    if (result != CURLE_OK) {
        m_error = description;
    } else if (!m_finished || quint64(uploaded) != m_given) {
        m_error = QStringLiteral("The server received %1 of %2 bytes.").arg(qint64(uploaded)).arg(m_given);
    } else {
        send(EndEncountered);
        return;
    }
    send(ErrorOccurred);
}
