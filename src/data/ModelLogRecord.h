#pragma once

#include "data/LogFile.h"
#include "data/LogRecord.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// The table of the .LOG file opened last: one row per record, column 0 the
// date-time, then one column per measured quantity of the instrument type.
//
// The model lives in the GUI thread. A file opened in the device thread is
// handed over whole with setContent(), run in the model's own thread, so the
// views never read records that are being replaced. The single setters emit
// no notifications; the data screen detaches its views around an opening.
class ModelLogRecord : public QAbstractTableModel
{
    Q_OBJECT
    Q_PROPERTY(QStringList getHeader READ getHeader CONSTANT)

public:
    enum Role {
        MeasurementColumnRole = 256, // header: true for every column but "Дата"
        ValueRole = 257,             // cell: QDateTime (column 0) or float
        UnitRole = 258,              // cell and header: unit text
        FirstColumnRole = 259        // 259 + k: display text of column k
    };

    explicit ModelLogRecord(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Stores the type and replaces the headers with that type's columns.
    void setDeviceType(int type);
    int deviceType() const { return m_deviceType; }

    void setDeviceId(quint32 id) { m_deviceId = id; }
    quint32 deviceId() const { return m_deviceId; }

    // "ZR-7.47", "ZR-7.49" or empty for an unknown type.
    QString deviceName() const { return deviceName(m_deviceType); }
    static QString deviceName(int type);
    static QStringList headersForType(int type);

    // Replaces all records (the old ones are released).
    void setRecords(QVector<LogRecord> records);

    // Replaces ID, type and records at once inside a model reset, so views that
    // are still attached start over. Call it in the model's own thread.
    void setContent(quint32 deviceId, int deviceType, QVector<LogRecord> records);
    // The same for a file's whole content; also remembers which file it was.
    void setContent(const LogFileContent& content);
    const QVector<LogRecord>& records() const { return m_records; }

    // Name (without folder) of the file the content came from, or empty.
    QString fileName() const { return m_fileName; }
    // Whether that file is as it was downloaded; NoRecord when not from a file.
    DownloadRecord::Check downloadCheck() const { return m_downloadCheck; }
    // SHA-256 of that file's bytes and its download record (empty when none).
    QByteArray fileSha256() const { return m_fileSha256; }
    QJsonObject downloadRecord() const { return m_downloadRecord; }
    // The whole path of that file, or empty; its download record lies beside it.
    QString filePath() const { return m_filePath; }

    QStringList getHeader() const { return m_headers; }

    // Display text of an entry: value with 2 decimals, a space, the unit text.
    static QString entryText(const LogEntry& entry);
    static QString dateTimeText(const QDateTime& dateTime);

private:
    QString cellText(int row, int column) const;

    QVector<LogRecord> m_records;
    QStringList m_headers;
    int m_deviceType = -1;
    quint32 m_deviceId = 0;
    QString m_fileName;
    DownloadRecord::Check m_downloadCheck = DownloadRecord::Check::NoRecord;
    QByteArray m_fileSha256;
    QJsonObject m_downloadRecord;
    QString m_filePath;
};
