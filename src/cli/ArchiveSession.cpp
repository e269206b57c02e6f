#include "cli/ArchiveSession.h"

#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "data/ModelLogRecord.h"
#include "database/DataBase.h"
#include "database/DataBaseInteractor.h"
#include "database/ModelDeviceList.h"
#include "database/ModelTypeChannelList.h"
#include "database/ModelTypeUnitList.h"
#include "database/NaturalOrder.h"
#include "database/TableDBModel.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

ArchiveSession::ArchiveSession(const QString& location)
    : m_location(location)
    , m_interactor(std::make_unique<DataBaseInteractor>(location))
    , m_records(std::make_unique<TableDBModel>())
{
    m_interactor->setRecordModel(m_records.get());
}

ArchiveSession::~ArchiveSession()
{
    // The interactor clears the model's query before its connection goes.
    m_interactor.reset();
}

template <typename Request>
void ArchiveSession::run(Request request)
{
    QString error;
    QObject context;
    QObject::connect(m_interactor.get(), &DataBaseInteractor::errorOccurred, &context, [&error](const QString& message) {
        if (error.isNull())
            error = message;
    });
    // The work was done; what the user must still know goes to stderr.
    QObject::connect(m_interactor.get(), &DataBaseInteractor::warningOccurred, &context, [](const QString& text) {
        CliOutput::err(QStringLiteral("orvelin-cli: ") + CliOutput::oneLine(text) + QLatin1Char('\n'));
    });
    request();
    // A server's reason follows the message on a line of its own; here it
    // stays on the one line said about the failure.
    if (!error.isNull())
        throw CliFailure::failed(error.replace(QLatin1Char('\n'), QStringLiteral(": ")), m_interactor->databasePath());
}

void ArchiveSession::open(bool mustExist)
{
    const QString path = m_interactor->databasePath();
    // Only a file name can be checked here; other locations are the archive code's.
    if (!path.contains(QLatin1String("://"))) {
        const QString reason = fileReason(path, mustExist);
        if (!reason.isEmpty())
            throw CliFailure::failed(QStringLiteral("Ошибка открытия базы данных: ") + reason, path);
    }
    run([this] { m_interactor->open(); });
}

QString ArchiveSession::fileReason(const QString& path, bool mustExist)
{
    const QFileInfo info(path);
    if (!info.exists())
        return mustExist ? QStringLiteral("файла нет") : QString();
    if (info.isDir())
        return QStringLiteral("это папка");
    if (!info.isFile())
        return QStringLiteral("это не обычный файл");
    // An empty file becomes an archive; anything else must already be one,
    // or the archive code would only fail later at creating its tables.
    QFile file(path);
    if (info.size() == 0 || !file.open(QIODevice::ReadOnly))
        return QString();
    static const QByteArray sqliteHeader("SQLite format 3\0", 16);
    if (file.read(sqliteHeader.size()) != sqliteHeader)
        return QStringLiteral("файл не является базой данных");
    return QString();
}

int ArchiveSession::store(const ModelLogRecord& log, ProgressLine& progress)
{
    int stored = 0;
    QObject context;
    QObject::connect(m_interactor.get(), &DataBaseInteractor::downloadRecordsProcess, &context,
                     [&progress](float percent) { progress.update(percent); });
    QObject::connect(m_interactor.get(), &DataBaseInteractor::logStored, &context, [&stored](int values) { stored = values; });
    run([&] {
        m_interactor->writeFromModel(&log, log.deviceId(), log.deviceName(), ModelLogRecord::MeasurementColumnRole,
                                     ModelLogRecord::ValueRole, ModelLogRecord::UnitRole);
    });
    return stored;
}

ArchiveSession::Contents ArchiveSession::contents()
{
    DataBaseFilters* filters = nullptr;
    QObject context;
    QObject::connect(m_interactor.get(), &DataBaseInteractor::filtersDBLoaded, &context,
                     [&filters](DataBaseFilters* loaded) { filters = loaded; });
    run([this] { m_interactor->loadFiltersDB(); });
    if (!filters)
        throw CliFailure::failed(DataBase::queryErrorText(), m_interactor->databasePath());

    Contents contents;
    contents.channels = filters->modelTypeChannel()->columnTexts(1);
    std::sort(contents.channels.begin(), contents.channels.end(), naturalLessThan);
    contents.units = filters->modelTypeUnit()->columnTexts(1);
    for (const QString& device : filters->modelDevice()->columnTexts(0))
        contents.devices << device.toInt();
    contents.first = filters->period().minDateTime;
    contents.last = filters->period().maxDateTime;
    return contents;
}

TableDBModel* ArchiveSession::select(const QMultiHash<QString, QVariant>& parameters)
{
    run([&] { m_interactor->updateModel(parameters); });
    return m_records.get();
}
