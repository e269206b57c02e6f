#include "device/CollectResult.h"

QString CollectResult::grouped(qint64 count)
{
    QString digits = QString::number(count < 0 ? -count : count);
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return count < 0 ? QLatin1Char('-') + digits : digits;
}

namespace {

QString signedSeconds(qint64 seconds)
{
    return (seconds > 0 ? QStringLiteral("+") : QString()) + CollectResult::grouped(seconds) + QStringLiteral(" с");
}

} // namespace

int CollectResult::records() const
{
    int sum = 0;
    for (const File& file : done)
        sum += file.records;
    return sum;
}

QString CollectResult::counted(qint64 count, const QString& one, const QString& few, const QString& many)
{
    const qint64 tens = count % 100;
    const qint64 units = count % 10;
    const QString& word = (tens >= 11 && tens <= 14) ? many : units == 1 ? one : (units >= 2 && units <= 4) ? few : many;
    return grouped(count) + QLatin1Char(' ') + word;
}

QString CollectResult::summaryText() const
{
    QStringList lines;
    QString head;
    if (!done.isEmpty()) {
        head = QStringLiteral("Загружено %1, %2")
                   .arg(counted(done.size(), QStringLiteral("файл"), QStringLiteral("файла"), QStringLiteral("файлов")),
                        counted(records(), QStringLiteral("измерение"), QStringLiteral("измерения"),
                                QStringLiteral("измерений")));
        if (archiveAsked) {
            if (archiveErrors.isEmpty() && storedFiles == done.size())
                head += QStringLiteral("; сохранено в базу данных");
            else
                head += QStringLiteral("; в базу данных сохранено %1 из %2")
                            .arg(storedFiles)
                            .arg(counted(done.size(), QStringLiteral("файла"), QStringLiteral("файлов"),
                                         QStringLiteral("файлов")));
        }
    } else if (failed.isEmpty() && notReached.isEmpty()) {
        head = alreadyHome > 0 ? QStringLiteral("Новых файлов нет: все файлы прибора уже загружены")
                               : QStringLiteral("Новых файлов нет");
    } else {
        head = QStringLiteral("Ни один файл не загружен");
    }
    lines << head;
    for (const Failure& failure : failed)
        lines << QStringLiteral("Не загружен %1: %2").arg(failure.name, QString(failure.reason).replace(QLatin1Char('\n'), QStringLiteral(": ")));
    for (const QString& error : archiveErrors)
        lines << QStringLiteral("Ошибка сохранения в базу данных: ") + QString(error).replace(QLatin1Char('\n'), QStringLiteral(": "));
    if (!notReached.isEmpty()) {
        const QString why = cancelled ? QStringLiteral("Загрузка отменена")
            : instrumentLost          ? QStringLiteral("Прибор отключён")
                                      : QStringLiteral("Загрузка остановлена");
        lines << QStringLiteral("%1; не загружены: %2").arg(why, notReached.join(QStringLiteral(", ")));
    } else if (cancelled) {
        lines << QStringLiteral("Загрузка отменена");
    }
    if (clockKnown && (clockOffset > clockTolerance || clockOffset < -clockTolerance))
        lines << QStringLiteral("Часы прибора %1 отличаются от часов компьютера на %2; "
                                "синхронизировать их можно кнопкой у времени прибора")
                     .arg(deviceId)
                     .arg(signedSeconds(clockOffset));
    return lines.join(QLatin1Char('\n'));
}
