// settings: the settings screen from a script, every write read back.
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "cli/DeviceSession.h"
#include "cli/SettingsKeys.h"
#include "device/DeviceSettingsInteractor.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The application's settings requests, run in this thread: the record read
// (after a write, read back), or the first failure.
class SettingsExchange
{
public:
    explicit SettingsExchange(DeviceSession& session)
        : m_session(session)
        , m_interactor(session.manager())
    {
        m_interactor.setInstrumentId(session.id());
        QObject::connect(&m_interactor, &DeviceSettingsInteractor::deviceBytesSettingReceived, &m_context,
                         [this](const DeviceSettings& settings) {
                             m_settings = settings;
                             m_received = true;
                         });
        QObject::connect(&m_interactor, &DeviceSettingsInteractor::errorOccurred, &m_context,
                         [this](const QString& message) {
                             if (m_error.isNull())
                                 m_error = message;
                         });
    }

    DeviceSettings read()
    {
        return finish([this] { m_interactor.requestSettings(); });
    }

    // Writes the record; returns what the instrument holds afterwards.
    DeviceSettings write(const DeviceSettings& settings)
    {
        return finish([this, &settings] { m_interactor.setSettings(settings); });
    }

private:
    template <typename Request>
    DeviceSettings finish(Request request)
    {
        m_received = false;
        m_error = QString();
        request();
        if (!m_error.isNull())
            throw CliFailure::failed(m_error, m_session.portName());
        if (!m_received)
            throw CliFailure::failed(QStringLiteral("Прибор не прислал настройки"), m_session.portName());
        return m_settings;
    }

    DeviceSession& m_session;
    DeviceSettingsInteractor m_interactor;
    QObject m_context;
    DeviceSettings m_settings;
    bool m_received = false;
    QString m_error;
};

void print(const DeviceSettings& settings, const DeviceSession& session, bool json)
{
    const QStringList keys = SettingsKeys::names(isSecondModel(session.deviceInfo()));
    if (json) {
        QJsonObject values;
        for (const QString& key : keys)
            values.insert(key, SettingsKeys::json(settings, key));
        CliOutput::json(QJsonDocument(QJsonObject{{QStringLiteral("type"), session.typeWord()},
                                                  {QStringLiteral("id"), double(session.id())},
                                                  {QStringLiteral("settings"), values}}));
        return;
    }
    QString text;
    for (const QString& key : keys)
        text += key + QLatin1Char('=') + SettingsKeys::text(settings, key) + QLatin1Char('\n');
    CliOutput::out(text);
}

int settings(const CliArguments& arguments)
{
    if (!arguments.positional().isEmpty())
        throw CliFailure::usage(QStringLiteral("Лишний аргумент «%1»").arg(arguments.positional().first()));
    const QStringList assignments = arguments.values(QStringLiteral("set"));
    // Malformed values are refused before the instrument is searched for.
    {
        DeviceSettings scratch;
        for (const QString& assignment : assignments)
            SettingsKeys::apply(scratch, assignment, true);
    }

    DeviceSession session(arguments.value(QStringLiteral("port")));
    session.connect();
    SettingsExchange exchange(session);
    const DeviceSettings current = exchange.read();
    if (assignments.isEmpty()) {
        print(current, session, arguments.isSet(QStringLiteral("json")));
        return 0;
    }

    const bool secondModel = isSecondModel(session.deviceInfo());
    DeviceSettings wanted = current;
    QStringList changed;
    for (const QString& assignment : assignments) {
        const QString key = SettingsKeys::apply(wanted, assignment, secondModel);
        if (!changed.contains(key))
            changed << key;
    }
    SettingsKeys::checkLimits(wanted, changed);
    // An unreadable period (a short read, or hours past 23) would go back as
    // 0xFF bytes and spoil the instrument's own value.
    if (!wanted.logPeriod.isValid())
        throw CliFailure::failed(QStringLiteral("Период логирования прибора не читается; задайте logPeriod вместе с "
                                                "остальными настройками"),
                                 session.portName());

    bool differs = false;
    for (const QString& key : changed)
        differs = differs || SettingsKeys::text(wanted, key) != SettingsKeys::text(current, key);
    const DeviceSettings held = differs ? exchange.write(wanted) : current;
    for (const QString& key : changed) {
        if (SettingsKeys::text(held, key) != SettingsKeys::text(wanted, key))
            throw CliFailure::failed(QStringLiteral("Прибор не сохранил %1: записано %2, прочитано %3")
                                         .arg(key, SettingsKeys::text(wanted, key), SettingsKeys::text(held, key)),
                                     session.portName());
    }
    print(held, session, arguments.isSet(QStringLiteral("json")));
    return 0;
}

} // namespace

QList<CliCommand> settingsCommands()
{
    return {
        {QStringLiteral("settings"), QStringLiteral("settings [--set КЛЮЧ=ЗНАЧЕНИЕ…] [--port ПУТЬ] [--json]"),
         QStringLiteral("показать настройки прибора строками КЛЮЧ=ЗНАЧЕНИЕ или изменить их"),
         QStringLiteral("Ключи названы по полям экрана настроек; номер в конце ключа сигнализации — номер канала\n"
                        "(temperatureAlarmMin1, alarm2). Пределы и значения токового датчика задаются с точностью 0,1;\n"
                        "переключатели — 1 или 0; logPeriod — ч:мм:сс. Изменённые настройки записываются в прибор,\n"
                        "читаются обратно и сверяются; выводятся настройки, прочитанные из прибора."),
         {{QStringLiteral("set"), QStringLiteral("КЛЮЧ=ЗНАЧЕНИЕ"), QStringLiteral("изменить настройку (можно несколько раз)"), true},
          CliOptions::port(), CliOptions::json()},
         settings},
    };
}
