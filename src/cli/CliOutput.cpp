#include "cli/CliOutput.h"

#include "cli/CliFailure.h"

#include <QJsonDocument>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// Whether every byte reached the stream's file (a full disk or a closed pipe
// shows only at the flush).
bool write(FILE* stream, const QByteArray& bytes)
{
    errno = 0;
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
    return std::fflush(stream) == 0 && written;
}

constexpr int kBarWidth = 30;

} // namespace

void CliOutput::out(const QString& text)
{
    outBytes(text.toUtf8());
}

void CliOutput::outBytes(const QByteArray& bytes)
{
    // A script must not take a cut result for a whole one.
    if (!write(stdout, bytes)) {
        const int error = errno;
        throw CliFailure::failed(QStringLiteral("Ошибка записи в стандартный вывод: %1")
                                     .arg(error ? systemReason(error) : QStringLiteral("данные не приняты")));
    }
}

void CliOutput::err(const QString& text)
{
    // Where stderr itself fails there is no one left to tell.
    write(stderr, text.toUtf8());
}

void CliOutput::json(const QJsonDocument& document)
{
    out(QString::fromUtf8(document.toJson(QJsonDocument::Indented)));
}

QString CliOutput::systemReason(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("нет места на диске");
    case EDQUOT:
        return QStringLiteral("превышена квота диска");
    case EPIPE:
        return QStringLiteral("принимающая программа закрыла канал");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет прав доступа");
    case EISDIR:
        return QStringLiteral("это папка");
    case ENOENT:
        return QStringLiteral("нет такого файла или папки");
    case EROFS:
        return QStringLiteral("файловая система только для чтения");
    case EIO:
        return QStringLiteral("ошибка ввода-вывода");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

bool CliOutput::stderrIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

QString CliOutput::oneLine(const QString& message)
{
    // Single-line core messages are printed exactly, their trailing blank included.
    if (!message.contains(QLatin1Char('\n')))
        return message;
    QStringList parts;
    for (const QString& part : message.split(QLatin1Char('\n')))
        if (!part.trimmed().isEmpty())
            parts << part.trimmed();
    return parts.join(QStringLiteral(": "));
}

QString CliOutput::isoClock(const QDateTime& time)
{
    return time.isNull() ? QString() : time.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"));
}

QString CliOutput::floatText(float value)
{
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return QString::fromLatin1(text, int(written.ptr - text));
}

double CliOutput::floatNumber(float value)
{
    return floatText(value).toDouble();
}

QString TextTable::text() const
{
    QVector<int> widths;
    for (const QStringList& row : m_rows) {
        if (widths.size() < row.size())
            widths.resize(row.size());
        for (int i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], int(row.at(i).size()));
    }
    QString text;
    for (const QStringList& row : m_rows) {
        QString line;
        for (int i = 0; i < row.size(); ++i) {
            line += row.at(i);
            if (i + 1 < row.size())
                line += QString(widths[i] - row.at(i).size() + 2, QLatin1Char(' '));
        }
        // Cells of the log table end in a blank when they have no unit.
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        text += line + QLatin1Char('\n');
    }
    return text;
}

void ProgressLine::start(const QString& label)
{
    m_label = label;
    m_shown = -1;
    update(0.0f);
}

void ProgressLine::update(float percent)
{
    if (!m_terminal)
        return;
    const int whole = std::clamp(int(std::floor(percent)), 0, 100);
    if (whole == m_shown)
        return;
    m_shown = whole;
    const int filled = whole * kBarWidth / 100;
    CliOutput::err(QStringLiteral("\r%1 [%2%3] %4%")
                       .arg(m_label, QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
                       .arg(whole, 3));
}

void ProgressLine::finish(const QString& outcome)
{
    clear();
    CliOutput::err(m_label + QStringLiteral(": ") + outcome + QLatin1Char('\n'));
}

void ProgressLine::clear()
{
    if (m_terminal && m_shown >= 0)
        CliOutput::err(QStringLiteral("\r\x1b[K"));
    m_shown = -1;
}
