#include "cli/SelectionRequest.h"

#include "cli/CliFailure.h"

#include <QRegularExpression>

#include <tuple>

namespace {

void requireStored(const QStringList& given, const QStringList& stored, const QString& what)
{
    for (const QString& value : given)
        if (!stored.contains(value))
            throw CliFailure::usage(QStringLiteral("В базе нет %1 «%2»").arg(what, value));
}

} // namespace

QList<CliOption> SelectionRequest::options()
{
    return {
        {QStringLiteral("device"), QStringLiteral("ID"), QStringLiteral("только этот прибор (можно несколько раз; по умолчанию все)"), true},
        {QStringLiteral("channel"), QStringLiteral("КАНАЛ"), QStringLiteral("канал, например «Канал №1» (можно несколько раз; по умолчанию все)"), true},
        {QStringLiteral("unit"), QStringLiteral("ЕД"), QStringLiteral("только значения в этих единицах (можно несколько раз)"), true},
        {QStringLiteral("from"), QStringLiteral("ВРЕМЯ"), QStringLiteral("начало периода: дд.мм.гггг [чч:мм[:сс]] (по умолчанию первая запись)")},
        {QStringLiteral("to"), QStringLiteral("ВРЕМЯ"), QStringLiteral("конец периода, так же (по умолчанию последняя запись)")},
    };
}

SelectionRequest::SelectionRequest(const CliArguments& arguments)
    : m_channels(arguments.values(QStringLiteral("channel")))
    , m_units(arguments.values(QStringLiteral("unit")))
{
    std::tie(m_from, m_to) = period(arguments);
    for (const QString& device : arguments.values(QStringLiteral("device"))) {
        bool ok = false;
        const uint id = device.toUInt(&ok);
        if (!ok)
            throw CliFailure::usage(QStringLiteral("Номер прибора «%1» не число").arg(device));
        m_devices << int(id);
    }
}

QMultiHash<QString, QVariant> SelectionRequest::parameters(const ArchiveSession::Contents& stored)
{
    requireStored(m_channels, stored.channels, QStringLiteral("канала"));
    requireStored(m_units, stored.units, QStringLiteral("единицы измерения"));
    for (int device : qAsConst(m_devices))
        if (!stored.devices.contains(device))
            throw CliFailure::usage(QStringLiteral("В базе нет прибора %1").arg(uint(device)));

    m_begin = m_from.isValid() ? m_from : stored.first;
    m_end = m_to.isValid() ? m_to : stored.last;
    // One limit given beyond the other end of what is stored: the archive
    // would swap the limits and select a period nobody asked for.
    if (m_begin.isValid() && m_end.isValid() && m_begin > m_end)
        throw CliFailure::failed(noRecordsText());
    QMultiHash<QString, QVariant> parameters;
    // An empty archive has no period; the selection is empty anyway.
    if (m_begin.isValid() && m_end.isValid()) {
        parameters.insert(QStringLiteral("DateTime"), m_begin);
        parameters.insert(QStringLiteral("DateTime"), m_end);
    }
    for (const QString& channel : m_channels.isEmpty() ? stored.channels : m_channels)
        parameters.insert(QStringLiteral("nameChannel"), channel);
    for (const QString& unit : qAsConst(m_units))
        parameters.insert(QStringLiteral("unit"), unit);
    for (int device : qAsConst(m_devices))
        parameters.insert(QStringLiteral("idDevice"), device);
    return parameters;
}

QDateTime SelectionRequest::parseClock(const QString& text, bool endOfDay)
{
    // Date and time are read apart: as a local time the reading could fall
    // into a daylight-saving gap of this computer, which the instrument's clock knows nothing of.
    const QStringList parts = text.trimmed().split(QRegularExpression(QStringLiteral("[T ]+")));
    if (parts.isEmpty() || parts.size() > 2)
        return QDateTime();
    QDate date;
    for (const QString& format : {QStringLiteral("dd.MM.yyyy"), QStringLiteral("yyyy-MM-dd")}) {
        if (!date.isValid())
            date = QDate::fromString(parts.first(), format);
    }
    if (!date.isValid())
        return QDateTime();
    if (parts.size() == 1)
        return QDateTime(date, endOfDay ? QTime(23, 59, 59) : QTime(0, 0), Qt::UTC);
    QTime time;
    for (const QString& format : {QStringLiteral("h:mm:ss"), QStringLiteral("h:mm")}) {
        if (!time.isValid())
            time = QTime::fromString(parts.at(1), format);
    }
    return time.isValid() ? QDateTime(date, time, Qt::UTC) : QDateTime();
}

std::pair<QDateTime, QDateTime> SelectionRequest::period(const CliArguments& arguments)
{
    const QDateTime from = clockOption(arguments, QStringLiteral("from"), false);
    const QDateTime to = clockOption(arguments, QStringLiteral("to"), true);
    // Swapping them silently would put a title over figures of another period.
    if (from.isValid() && to.isValid() && from > to)
        throw CliFailure::usage(QStringLiteral("Начало периода --from «%1» позже его конца --to «%2»")
                                    .arg(arguments.value(QStringLiteral("from")), arguments.value(QStringLiteral("to"))));
    return {from, to};
}

QString SelectionRequest::noRecordsText()
{
    return QStringLiteral("Нет измерений за период");
}

QDateTime SelectionRequest::clockOption(const CliArguments& arguments, const QString& option, bool endOfDay)
{
    if (!arguments.isSet(option))
        return QDateTime();
    const QDateTime clock = parseClock(arguments.value(option), endOfDay);
    if (!clock.isValid())
        throw CliFailure::usage(QStringLiteral("Неверное время --%1 «%2» (ожидается дд.мм.гггг [чч:мм[:сс]])")
                                    .arg(option, arguments.value(option)));
    return clock;
}
