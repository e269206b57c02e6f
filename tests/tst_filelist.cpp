// The instrument's file list as the device page shows it.
#include "device/ModelDeviceFileInfo.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

DeviceFileInfo run(quint32 start, quint32 stop, qint32 size)
{
    DeviceFileInfo info;
    info.nameFile = QString::number(start, 16).toUpper() + QStringLiteral(".LOG");
    info.startLog = QDateTime::fromSecsSinceEpoch(start, Qt::UTC);
    info.stopLog = QDateTime::fromSecsSinceEpoch(stop, Qt::UTC);
    info.size = size;
    info.numberOfRecords = DeviceFileInfo::recordCount(size);
    return info;
}

DeviceFileInfo single(int index)
{
    DeviceFileInfo info;
    info.nameFile = QStringLiteral("SINGLE%1.LOG").arg(index, 2, 10, QLatin1Char('0'));
    info.size = 31;
    info.numberOfRecords = 1;
    return info;
}

QList<DeviceFileInfo> runs(int count)
{
    QList<DeviceFileInfo> list;
    for (int i = 0; i < count; ++i)
        list.append(run(1700000000 + 3600 * i, 1700000000 + 3600 * i + 600, 7 + 24 * (i + 1)));
    return list;
}

// Lets a test build an index the model itself would never hand out.
struct ProbedModel : ModelDeviceFileInfo
{
    using ModelDeviceFileInfo::createIndex;
};

} // namespace

class TestFileList : public QObject
{
    Q_OBJECT
private slots:
    void replacingFiveByThree_announcesRemovalThenInsertion();
    void emptyList_clearsModel_andAnnouncesNothingWhenAlreadyEmpty();
    void rolesShowInstrumentClockReading_inAnyTimeZone();
    void singleMeasurement_hasEmptyStartAndStop();
    void unknownRoleOrRowOutsideList_isInvalid();
    void roleNames_matchTheDelegateBindings();
};

void TestFileList::replacingFiveByThree_announcesRemovalThenInsertion()
{
    ModelDeviceFileInfo model;
    model.setListFiles(runs(5));
    QCOMPARE(model.rowCount(), 5);

    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QStringList order;
    connect(&model, &QAbstractItemModel::rowsRemoved, this, [&] { order << "removed"; });
    connect(&model, &QAbstractItemModel::rowsInserted, this, [&] { order << "inserted"; });

    const QList<DeviceFileInfo> three = runs(3);
    model.setListFiles(three);

    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 0);
    QCOMPARE(removed.at(0).at(2).toInt(), 4);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.at(0).at(2).toInt(), 2);
    QCOMPARE(order, QStringList({"removed", "inserted"}));
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.listFiles(), three);
    QCOMPARE(model.data(model.index(2), ModelDeviceFileInfo::NameFileRole).toString(), three.at(2).nameFile);
}

void TestFileList::emptyList_clearsModel_andAnnouncesNothingWhenAlreadyEmpty()
{
    ModelDeviceFileInfo model;
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    model.setListFiles({});
    QCOMPARE(removed.count(), 0);
    QCOMPARE(inserted.count(), 0);

    model.setListFiles(runs(2));
    model.setListFiles({});
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(inserted.count(), 1);
    QVERIFY(!model.data(model.index(0), ModelDeviceFileInfo::NameFileRole).isValid());
}

void TestFileList::rolesShowInstrumentClockReading_inAnyTimeZone()
{
    // 2023-11-14 22:13:20 on the instrument's clock; the test runs in two zones.
    ModelDeviceFileInfo model;
    model.setListFiles({run(1700000000, 1700001084, 55)});
    const QModelIndex row = model.index(0);
    QCOMPARE(model.data(row, ModelDeviceFileInfo::StartLogRole).toString(), QStringLiteral("22:13:20 14.11.2023"));
    QCOMPARE(model.data(row, ModelDeviceFileInfo::StopLogRole).toString(), QStringLiteral("22:31:24 14.11.2023"));
    QCOMPARE(model.data(row, ModelDeviceFileInfo::SizeRole).toInt(), 55);
    QCOMPARE(model.data(row, ModelDeviceFileInfo::NumberOfRecordsRole).toInt(), 2);
    QCOMPARE(model.data(row, ModelDeviceFileInfo::NameFileRole).toString(), QStringLiteral("6553F100.LOG"));
}

void TestFileList::singleMeasurement_hasEmptyStartAndStop()
{
    ModelDeviceFileInfo model;
    model.setListFiles({single(0), single(1)});
    for (int row = 0; row < 2; ++row) {
        const QVariant start = model.data(model.index(row), ModelDeviceFileInfo::StartLogRole);
        const QVariant stop = model.data(model.index(row), ModelDeviceFileInfo::StopLogRole);
        QVERIFY(start.isValid());
        QCOMPARE(start.toString(), QString());
        QCOMPARE(stop.toString(), QString());
    }
    QCOMPARE(model.data(model.index(1), ModelDeviceFileInfo::NameFileRole).toString(), QStringLiteral("SINGLE01.LOG"));
}

void TestFileList::unknownRoleOrRowOutsideList_isInvalid()
{
    ProbedModel model;
    model.setListFiles(runs(3));
    QVERIFY(!model.data(model.index(0), 256).isValid());
    QVERIFY(!model.data(model.index(0), 262).isValid());
    QVERIFY(!model.data(model.index(0), Qt::DisplayRole).isValid());
    // A row equal to the row count lies outside the list.
    QVERIFY(!model.data(model.createIndex(3, 0), ModelDeviceFileInfo::NameFileRole).isValid());
    QVERIFY(!model.data(model.createIndex(-1, 0), ModelDeviceFileInfo::NameFileRole).isValid());
    QVERIFY(!model.data(QModelIndex(), ModelDeviceFileInfo::NameFileRole).isValid());
    QCOMPARE(model.rowCount(model.index(0)), 0);
}

void TestFileList::roleNames_matchTheDelegateBindings()
{
    ModelDeviceFileInfo model;
    const QHash<int, QByteArray> names = model.roleNames();
    QCOMPARE(names.value(257), QByteArray("StartLog"));
    QCOMPARE(names.value(258), QByteArray("StopLog"));
    QCOMPARE(names.value(259), QByteArray("Size"));
    QCOMPARE(names.value(260), QByteArray("NumberOfRecords"));
    QCOMPARE(names.value(261), QByteArray("NameFile"));
    QCOMPARE(names.size(), 5);
}

QTEST_GUILESS_MAIN(TestFileList)
#include "tst_filelist.moc"
