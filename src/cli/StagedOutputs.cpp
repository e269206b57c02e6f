#include "cli/StagedOutputs.h"

#include "cli/CliFailure.h"
#include "cli/CliOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <cstdio>

StagedOutputs::~StagedOutputs()
{
    for (const Entry& entry : qAsConst(m_entries))
        QFile::remove(entry.staged);
}

QString StagedOutputs::stage(const QString& target)
{
    // Beside the target, so that putting it in place is a rename within one
    // file system; the suffix stays, since writers may go by it.
    const QFileInfo info(isStdout(target) ? QDir::temp().filePath(QStringLiteral("orvelin-cli-stdout")) : target);
    const QString hidden = QStringLiteral(".%1.%2.part.%3")
                               .arg(info.completeBaseName(),
                                    QUuid::createUuid().toString(QUuid::Id128).left(12),
                                    info.suffix());
    const QString staged = info.dir().filePath(hidden);
    m_entries.append({target, staged});
    return staged;
}

void StagedOutputs::commit()
{
    QStringList done;
    for (Entry& entry : m_entries) {
        QString failure;
        if (isStdout(entry.target)) {
            QFile file(entry.staged);
            if (!file.open(QIODevice::ReadOnly))
                failure = QStringLiteral("Ошибка открытия файла");
            else
                CliOutput::outBytes(file.readAll());
            QFile::remove(entry.staged);
        } else if (std::rename(QFile::encodeName(entry.staged).constData(), QFile::encodeName(entry.target).constData()) != 0) {
            failure = QStringLiteral("Ошибка записи файла: %1").arg(CliOutput::systemReason(errno));
            QFile::remove(entry.staged);
        }
        entry.staged.clear();
        if (!failure.isEmpty()) {
            const QString written = done.isEmpty() ? QString()
                                                   : QStringLiteral(" (уже записаны: %1)").arg(done.join(QStringLiteral(", ")));
            throw CliFailure::failed(failure + written, entry.target);
        }
        done << entry.target;
    }
}

QStringList StagedOutputs::targets() const
{
    QStringList targets;
    for (const Entry& entry : m_entries)
        targets << entry.target;
    return targets;
}

void StagedOutputs::checkTargets(const QString& csv, const QString& xlsx)
{
    if (csv.isEmpty() && xlsx.isEmpty())
        throw CliFailure::usage(QStringLiteral("Укажите --csv ФАЙЛ или --xlsx ФАЙЛ"));
    if (isStdout(xlsx))
        throw CliFailure::usage(QStringLiteral("XLSX не выводится в стандартный вывод: укажите файл для --xlsx"));
}
