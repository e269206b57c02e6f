#include "cli/CliOutput.h"

#include <QJsonDocument>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

void write(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

constexpr int kBarWidth = 30;

} // namespace

void CliOutput::out(const QString& text)
{
    write(stdout, text);
}

void CliOutput::err(const QString& text)
{
    write(stderr, text);
}

void CliOutput::json(const QJsonDocument& document)
{
    out(QString::fromUtf8(document.toJson(QJsonDocument::Indented)));
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
