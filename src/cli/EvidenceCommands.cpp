// verify and journal: whether downloaded files are as the instrument sent
// them, and the journal of what changed instruments and the archive.
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "data/DownloadRecord.h"
#include "data/Journal.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString checkKey(DownloadRecord::Check check)
{
    switch (check) {
    case DownloadRecord::Check::Matches:
        return QStringLiteral("matches");
    case DownloadRecord::Check::Changed:
        return QStringLiteral("changed");
    case DownloadRecord::Check::NoRecord:
        break;
    }
    return QStringLiteral("noRecord");
}

int verify(const CliArguments& arguments)
{
    const QStringList files = arguments.positional();
    if (files.isEmpty())
        throw CliFailure::usage(QStringLiteral("Укажите файлы .LOG для проверки"));
    const bool json = arguments.isSet(QStringLiteral("json"));
    bool allMatch = true;
    QJsonArray results;
    TextTable table;
    for (const QString& file : files) {
        const DownloadRecord::Check check = DownloadRecord::verify(file);
        allMatch = allMatch && check == DownloadRecord::Check::Matches;
        QString why;
        const std::optional<QJsonObject> record = DownloadRecord::read(file, &why);
        QJsonObject result{{QStringLiteral("file"), file},
                           {QStringLiteral("result"), checkKey(check)},
                           {QStringLiteral("text"), DownloadRecord::checkText(check)},
                           {QStringLiteral("sha256"), QString::fromLatin1(DownloadRecord::fileSha256Hex(file))}};
        if (record) {
            result.insert(QStringLiteral("recordedSha256"), record->value(QStringLiteral("sha256")));
            result.insert(QStringLiteral("downloadedUtc"),
                          record->value(QStringLiteral("downloaded")).toObject().value(QStringLiteral("utc")));
        } else {
            result.insert(QStringLiteral("reason"), why);
        }
        results.append(result);
        table.addRow({QDir::toNativeSeparators(file) + QLatin1Char(':'), DownloadRecord::checkText(check)});
    }
    if (json)
        CliOutput::json(QJsonDocument(QJsonObject{{QStringLiteral("files"), results},
                                                  {QStringLiteral("allMatch"), allMatch}}));
    else
        CliOutput::out(table.text());
    return allMatch ? 0 : CliFailure::CheckedWanting;
}

QDateTime sinceOf(const CliArguments& arguments)
{
    if (!arguments.isSet(QStringLiteral("since")))
        return QDateTime();
    const QString text = arguments.value(QStringLiteral("since"));
    QDate date = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
    if (!date.isValid())
        date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        throw CliFailure::usage(QStringLiteral("Неверная дата «%1» (ожидается ДД.ММ.ГГГГ или ГГГГ-ММ-ДД)").arg(text));
    // The day as the user's wall clock has it.
    return QDateTime(date, QTime(0, 0), Qt::LocalTime).toUTC();
}

QString entryLine(const QJsonObject& entry)
{
    const QDateTime time = QDateTime::fromString(entry.value(QStringLiteral("time")).toString(), Qt::ISODate);
    QJsonObject details = entry;
    for (const char* key : {"format", "time", "user", "host", "event", "prev"})
        details.remove(QLatin1String(key));
    return QStringLiteral("%1  %2@%3  %4  %5")
        .arg(time.isValid() ? time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) : QStringLiteral("?"),
             entry.value(QStringLiteral("user")).toString(), entry.value(QStringLiteral("host")).toString(),
             entry.value(QStringLiteral("event")).toString(),
             QString::fromUtf8(QJsonDocument(details).toJson(QJsonDocument::Compact)));
}

int journal(const CliArguments& arguments)
{
    if (!arguments.positional().isEmpty())
        throw CliFailure::usage(QStringLiteral("Лишний аргумент «%1»").arg(arguments.positional().first()));
    if (arguments.isSet(QStringLiteral("file")) && arguments.isSet(QStringLiteral("db")))
        throw CliFailure::usage(QStringLiteral("Укажите либо --file, либо --db"));
    // The journal of the archive named (or configured): its table on a
    // server, else the file; --file reads any journal file.
    const std::unique_ptr<Journal::Store> store = arguments.isSet(QStringLiteral("file"))
                                                      ? Journal::fileStore(arguments.value(QStringLiteral("file")))
                                                      : Journal::currentStore();
    const QString path = store->where();
    QJsonObject source = store->source();
    const QDateTime since = sinceOf(arguments);
    QByteArray content;
    try {
        content = store->readAll();
    } catch (const QString& message) {
        throw CliFailure::failed(message);
    }
    const bool json = arguments.isSet(QStringLiteral("json"));
    if (arguments.isSet(QStringLiteral("verify"))) {
        const Journal::Check check = Journal::verify(content);
        if (json) {
            QJsonObject result = source;
            result.insert(QStringLiteral("intact"), check.intact);
            result.insert(QStringLiteral("lines"), check.lines);
            result.insert(QStringLiteral("firstBadLine"), check.intact ? QJsonValue() : QJsonValue(check.firstBadLine));
            result.insert(QStringLiteral("reason"), check.intact ? QJsonValue() : QJsonValue(check.reason));
            CliOutput::json(QJsonDocument(result));
        } else if (check.intact) {
            CliOutput::out(QStringLiteral("Журнал цел: строк %1 (%2)\n").arg(check.lines).arg(path));
        } else {
            CliOutput::out(QStringLiteral("Цепочка журнала нарушена в строке %1: %2 (%3)\n")
                               .arg(check.firstBadLine)
                               .arg(check.reason, path));
        }
        return check.intact ? 0 : CliFailure::CheckedWanting;
    }
    const QList<QJsonObject> entries = Journal::entries(content, since);
    if (json) {
        QJsonArray list;
        for (const QJsonObject& entry : entries)
            list.append(entry);
        source.insert(QStringLiteral("entries"), list);
        CliOutput::json(QJsonDocument(source));
        return 0;
    }
    QString text;
    for (const QJsonObject& entry : entries)
        text += entryLine(entry) + QLatin1Char('\n');
    CliOutput::out(text);
    return 0;
}

} // namespace

QList<CliCommand> evidenceCommands()
{
    const CliOption json = CliOptions::json();
    return {
        {QStringLiteral("verify"), QStringLiteral("verify ФАЙЛ.LOG… [--json]"),
         QStringLiteral("проверить, не изменены ли загруженные файлы после загрузки (SHA-256 из записи о загрузке)"),
         QStringLiteral("Для каждого файла: «совпадает», «изменён после загрузки» или «нет записи о загрузке».\n"
                        "Код 0, только если совпадают все; 3, если хоть один изменён или без записи."),
         {json}, verify},
        {QStringLiteral("journal"), QStringLiteral("journal [--since ДАТА] [--verify] [--json] [--file ПУТЬ | --db БАЗА]"),
         QStringLiteral("журнал изменений приборов и архива; --verify проверяет его цепочку"),
         QStringLiteral("Журнал: journal.jsonl в папке данных программы (или ORVELIN_JOURNAL);\n"
                        "у архива на сервере PostgreSQL — его таблица JOURNAL, общая для всех компьютеров.\n"
                        "--verify: код 3 и номер первой испорченной строки, если строку удалили или изменили."),
         {{QStringLiteral("since"), QStringLiteral("ДАТА"), QStringLiteral("только записи с этого дня (ДД.ММ.ГГГГ)")},
          {QStringLiteral("verify"), QString(), QStringLiteral("проверить цепочку хешей")},
          {QStringLiteral("file"), QStringLiteral("ПУТЬ"), QStringLiteral("другой файл журнала")},
          CliOptions::database(), json},
         journal},
    };
}
