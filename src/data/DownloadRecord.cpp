#include "data/DownloadRecord.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

std::optional<QJsonObject> DownloadRecord::read(const QString& logPath, QString* why)
{
    if (why)
        why->clear();
    QFile file(logPath + QStringLiteral(".json"));
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        if (why)
            *why = QStringLiteral("Ошибка открытия файла: %1").arg(file.fileName());
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        if (why)
            *why = QStringLiteral("Файл поврежден: %1").arg(file.fileName());
        return std::nullopt;
    }
    return document.object();
}
