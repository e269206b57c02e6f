#include "cli/CliApp.h"

#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "database/ArchiveJournal.h"

#include <exception>
#include <new>

namespace {

const QString kProgram = QStringLiteral("orvelin-cli");

QList<CliCommand> allCommands()
{
    return deviceCommands() + settingsCommands() + logCommands() + archiveCommands() + reportCommands() + evidenceCommands()
        + limitsCommands() + watchCommands();
}

QString programHelp(const QList<CliCommand>& commands)
{
    TextTable table;
    for (const CliCommand& command : commands)
        table.addRow({QStringLiteral("  ") + command.name, command.summary});
    return QStringLiteral("Использование: %1 КОМАНДА [ПАРАМЕТРЫ]\n"
                          "Программа для приборов ZR-7.47 / ZR-7.49 без окна: для сценариев, загрузок по расписанию и серверов.\n\n"
                          "Команды:\n%2\n"
                          "Справка по команде: %1 КОМАНДА --help\n"
                          "Коды завершения: 0 успех, 1 неверный вызов, 2 ошибка прибора, файла или базы данных,\n"
                          "3 проверка не пройдена (verify, journal --verify; check: значения вне пределов).\n"
                          "Порты прибора: переменная ORVELIN_PORTS (пути через двоеточие) или порты системы.\n")
        .arg(kProgram, table.text());
}

QString commandHelp(const CliCommand& command)
{
    TextTable table;
    for (const CliOption& option : command.options) {
        QString name = QStringLiteral("  --") + option.name;
        if (!option.shortName.isNull())
            name = QStringLiteral("  -%1, --%2").arg(option.shortName).arg(option.name);
        if (!option.valueName.isEmpty())
            name += option.optionalValue ? QStringLiteral(" [%1]").arg(option.valueName) : QLatin1Char(' ') + option.valueName;
        table.addRow({name, option.help});
    }
    table.addRow({QStringLiteral("  -h, --help"), QStringLiteral("эта справка")});
    return QStringLiteral("Использование: %1 %2\n%3\n\n%4%5")
        .arg(kProgram, command.synopsis, command.summary,
             command.details.isEmpty() ? QString() : command.details + QStringLiteral("\n\n"),
             QStringLiteral("Параметры:\n") + table.text());
}

bool asksForHelp(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            return false;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return true;
    }
    return false;
}

int runCommand(const QList<CliCommand>& commands, const QStringList& arguments)
{
    if (arguments.isEmpty())
        throw CliFailure::usage(QStringLiteral("Не указана команда (список команд: %1 --help)").arg(kProgram));
    const QString& name = arguments.first();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        CliOutput::out(programHelp(commands));
        return 0;
    }
    if (name == QLatin1String("--version")) {
        CliOutput::out(kProgram + QStringLiteral(" 1.00\n"));
        return 0;
    }
    for (const CliCommand& command : commands) {
        if (command.name != name)
            continue;
        const QStringList rest = arguments.mid(1);
        if (asksForHelp(rest)) {
            CliOutput::out(commandHelp(command));
            return 0;
        }
        const CliArguments parsed(rest, command.options);
        // Changes are journalled beside the archive this command works with.
        ArchiveJournal::useFor(parsed.isSet(QStringLiteral("db")) ? parsed.value(QStringLiteral("db")) : QString());
        return command.run(parsed);
    }
    throw CliFailure::usage(QStringLiteral("Неизвестная команда «%1» (список команд: %2 --help)").arg(name, kProgram));
}

} // namespace

int CliApp::run(const QStringList& arguments)
{
    return run(arguments, allCommands());
}

int CliApp::run(const QStringList& arguments, const QList<CliCommand>& commands)
{
    // Whatever ends a command ends it here with one line and an exit code:
    // a script must never see an abort (134) or a failure without a reason.
    QString said;
    int code = CliFailure::Failed;
    try {
        return runCommand(commands, arguments);
    } catch (const CliFailure& failure) {
        said = failure.text;
        code = failure.code;
    } catch (const QString& message) {
        // A core message that no command caught: still a failure, said once.
        said = message;
    } catch (const std::bad_alloc&) {
        said = QStringLiteral("Недостаточно памяти для выполнения команды");
    } catch (const std::exception& exception) {
        said = QStringLiteral("Внутренняя ошибка: %1").arg(QString::fromLocal8Bit(exception.what()));
    } catch (...) {
        said = QStringLiteral("Внутренняя ошибка: непредвиденное исключение");
    }
    CliOutput::err(kProgram + QStringLiteral(": ") + CliOutput::oneLine(said) + QLatin1Char('\n'));
    return code;
}

CliOption CliOptions::json()
{
    return {QStringLiteral("json"), QString(), QStringLiteral("один документ JSON вместо текста")};
}

CliOption CliOptions::port()
{
    return {QStringLiteral("port"), QStringLiteral("ПУТЬ"),
            QStringLiteral("искать прибор только на этом порту (иначе ORVELIN_PORTS или порты системы)")};
}

CliOption CliOptions::database()
{
    return {QStringLiteral("db"), QStringLiteral("БАЗА"),
            QStringLiteral("файл базы данных или сервер postgresql://пользователь@сервер:порт/база "
                           "(по умолчанию ORVELIN_ARCHIVE, [archive] url в orvelin.ini или Record.sqlite в папке данных программы)")};
}
