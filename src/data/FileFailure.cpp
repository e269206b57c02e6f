#include "data/FileFailure.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

QString fileFailureReason(const QString& path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists() || !folder.isDir())
        return QStringLiteral("папка не существует");
    if (file.isDir())
        return QStringLiteral("это папка");
    if (!folder.isWritable() || (file.exists() && !file.isWritable()))
        return QStringLiteral("Отказано в доступе");
    const QStorageInfo storage(folder.absoluteFilePath());
    if (storage.isValid() && storage.isReadOnly())
        return QStringLiteral("диск только для чтения");
    // Less than a block or two left: what was being written did not fit.
    if (storage.isValid() && storage.bytesAvailable() < 64 * 1024)
        return QStringLiteral("диск заполнен");
    return QString();
}

QString fileFailureText(const QString& message, const QString& path)
{
    const QString reason = fileFailureReason(path);
    QString text = message + QStringLiteral(": ") + QDir::toNativeSeparators(path);
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    return text;
}
