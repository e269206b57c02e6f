#include "SimPtyEndpoint.h"

#include "SimFrameSplitter.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A request that has not finished within this time will not be finished: the
// application has long given up waiting for its answer.
constexpr int partialFrameTimeoutMs = 200;
// A reader that takes no bytes for this long is not there; the rest of the answer is dropped.
constexpr int writeStallMs = 1000;
// Paced bytes go out as a UART with a 16-byte FIFO passes them on.
constexpr int paceChunk = 16;

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

SimPtyEndpoint::SimPtyEndpoint(Handler handler) : m_handler(std::move(handler)) {}

SimPtyEndpoint::~SimPtyEndpoint()
{
    close();
}

void SimPtyEndpoint::fail(QString* error, const QString& what)
{
    if (error)
        *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    closeFd(m_slave);
    closeFd(m_master);
    closeFd(m_wake[0]);
    closeFd(m_wake[1]);
}

bool SimPtyEndpoint::open(const QString& linkPath, bool pace, QString* error)
{
    if (isOpen())
        return true;
    m_pace = pace;
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0) {
        fail(error, QStringLiteral("posix_openpt"));
        return false;
    }
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        fail(error, QStringLiteral("grantpt/unlockpt"));
        return false;
    }
    char name[128];
    if (::ptsname_r(m_master, name, sizeof name) != 0) {
        fail(error, QStringLiteral("ptsname"));
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        fail(error, QStringLiteral("open ") + m_slavePath);
        return false;
    }
    termios tio;
    if (::tcgetattr(m_slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B1500000);
        ::cfsetospeed(&tio, B1500000);
        ::tcsetattr(m_slave, TCSANOW, &tio);
    }
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        fail(error, QStringLiteral("pipe"));
        return false;
    }
    m_linkPath = linkPath;
    if (!m_linkPath.isEmpty() && !makeLink(error)) {
        fail(error, QStringLiteral("link ") + m_linkPath);
        m_linkPath.clear();
        return false;
    }
    m_stopping = false;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void SimPtyEndpoint::close()
{
    if (!isOpen())
        return;
    m_stopping = true;
    const char wake = 'x';
    [[maybe_unused]] ssize_t ignored = ::write(m_wake[1], &wake, 1);
    if (m_thread.joinable())
        m_thread.join();
    removeLink();
    closeFd(m_slave);
    closeFd(m_master);
    closeFd(m_wake[0]);
    closeFd(m_wake[1]);
}

bool SimPtyEndpoint::makeLink(QString* error)
{
    // Replace an existing link in one step, so a reader never finds the path missing.
    const QByteArray link = QFile::encodeName(m_linkPath);
    const QByteArray tmp = link + ".tmp" + QByteArray::number(::getpid());
    ::unlink(tmp.constData());
    if (::symlink(QFile::encodeName(m_slavePath).constData(), tmp.constData()) != 0)
        return false;
    if (::rename(tmp.constData(), link.constData()) != 0) {
        const int saved = errno;
        ::unlink(tmp.constData());
        errno = saved;
        return false;
    }
    Q_UNUSED(error);
    return true;
}

void SimPtyEndpoint::removeLink()
{
    if (m_linkPath.isEmpty())
        return;
    // Leave the path alone if someone else has pointed it elsewhere meanwhile.
    if (QFile::symLinkTarget(m_linkPath) == m_slavePath)
        ::unlink(QFile::encodeName(m_linkPath).constData());
}

bool SimPtyEndpoint::pause(int ms)
{
    using namespace std::chrono;
    const auto end = steady_clock::now() + milliseconds(ms);
    for (;;) {
        if (m_stopping)
            return false;
        const auto left = end - steady_clock::now();
        if (left <= steady_clock::duration::zero())
            return true;
        // Rounded up: a pause of 1 ms must not end at once.
        pollfd p{m_wake[0], POLLIN, 0};
        ::poll(&p, 1, int(ceil<milliseconds>(left).count()));
    }
}

bool SimPtyEndpoint::writeAll(const char* data, int size)
{
    int done = 0;
    auto stallStart = std::chrono::steady_clock::now();
    while (done < size) {
        if (m_stopping)
            return false;
        const ssize_t n = ::write(m_master, data + done, size_t(size - done));
        if (n > 0) {
            done += int(n);
            m_sent += n;
            stallStart = std::chrono::steady_clock::now();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return true;   // the line is gone; the answer is lost as on a real cable
        if (std::chrono::steady_clock::now() - stallStart > std::chrono::milliseconds(writeStallMs))
            return true;
        pollfd p[2] = {{m_master, POLLOUT, 0}, {m_wake[0], POLLIN, 0}};
        ::poll(p, 2, 50);
    }
    return true;
}

bool SimPtyEndpoint::writePaced(const QByteArray& bytes)
{
    if (!m_pace)
        return writeAll(bytes.constData(), bytes.size());
    // n bytes of 10 bits at 1.5 Mbaud take n × 6.67 µs; go out in small chunks
    // on that schedule rather than sleeping once per byte.
    using namespace std::chrono;
    const auto t0 = steady_clock::now();
    const double nsPerByte = 1e9 * bitsPerByte / lineBaud;
    for (int sent = 0; sent < bytes.size();) {
        const int n = qMin(paceChunk, bytes.size() - sent);
        std::this_thread::sleep_until(t0 + nanoseconds(qint64(nsPerByte * (sent + n))));
        if (!writeAll(bytes.constData() + sent, n))
            return false;
        sent += n;
    }
    return true;
}

bool SimPtyEndpoint::send(const SimAnswer& answer)
{
    if (answer.bytes.isEmpty())
        return true;
    if (answer.delayMs > 0 && !pause(answer.delayMs))
        return false;
    if (answer.pieceSize > 0) {
        for (int at = 0; at < answer.bytes.size(); at += answer.pieceSize) {
            if ((at > 0 && !pause(answer.pieceGapMs)) || !writePaced(answer.bytes.mid(at, answer.pieceSize)))
                return false;
        }
        return true;
    }
    if (answer.splitAt > 0 && answer.splitAt < answer.bytes.size()) {
        return writePaced(answer.bytes.left(answer.splitAt)) && pause(answer.gapMs)
            && writePaced(answer.bytes.mid(answer.splitAt));
    }
    return writePaced(answer.bytes);
}

void SimPtyEndpoint::serve()
{
    SimFrameSplitter splitter;
    char buffer[4096];
    while (!m_stopping) {
        pollfd p[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        const int ready = ::poll(p, 2, splitter.hasPartial() ? partialFrameTimeoutMs : -1);
        if (m_stopping)
            break;
        if (ready == 0) {
            splitter.reset();
            continue;
        }
        if (ready < 0)
            continue;
        if (p[0].revents & (POLLHUP | POLLERR)) {
            // Cannot happen while our own slave descriptor is open; do not spin if it does.
            pause(10);
        }
        if (!(p[0].revents & POLLIN))
            continue;
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        for (const QByteArray& frame : splitter.feed(QByteArray(buffer, int(n)))) {
            if (!send(m_handler(frame)))
                return;
        }
    }
}
