#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// What one "download all new" run over an instrument brought home and what
// it did not, and afterwards what went into the archive. Told to the user as
// one summary.
struct CollectResult
{
    struct File
    {
        QString name;
        QString path;
        int records = 0;
    };
    struct Failure
    {
        QString name;
        QString reason;
    };

    quint32 deviceId = 0;
    QList<File> done;
    QList<Failure> failed;
    QStringList notReached; // not fetched because the set stopped early
    int alreadyHome = 0;
    bool cancelled = false;
    bool instrumentLost = false;
    QString lostMessage;

    // Filled after the downloads, when the files are stored in the archive.
    bool archiveAsked = false;
    int storedFiles = 0;
    int storedValues = 0;
    QStringList archiveErrors;

    // Seconds the instrument's clock is ahead of the computer's (when known).
    bool clockKnown = false;
    qint64 clockOffset = 0;

    int records() const;

    // The summary in Russian, one statement per line, the first of which is
    // e.g. "Загружено 3 файла, 12 400 измерений; сохранено в базу данных".
    QString summaryText() const;

    // A clock this far off the computer's (in seconds either way) is named.
    static constexpr qint64 clockTolerance = 60;

    // 12400 as "12 400".
    static QString grouped(qint64 count);
    // "1 файл", "3 файла", "5 файлов"; the count grouped by thousands.
    static QString counted(qint64 count, const QString& one, const QString& few, const QString& many);
};

Q_DECLARE_METATYPE(CollectResult)
