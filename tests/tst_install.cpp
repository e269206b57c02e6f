// The installed program: `cmake --install` into a staging folder, then the
// staged command line and application run from there as a user would, with a
// home folder of their own.
#include "LogFileBytes.h"

#include "base/DataLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment, int timeoutMs = 60000)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("timed out");
        return result;
    }
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// An environment whose home is `home` and whose user folders follow from it.
QProcessEnvironment homeEnvironment(const QString& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "ORVELIN_ARCHIVE"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("ORVELIN_PORTS"), QString());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void stagedFiles_areInTheirPlaces();
    void stagedCommandLine_runsAndExports();
    void stagedApplication_keepsItsDataInTheHomeAndFindsItsHelp();
    void portableCopy_keepsItsDataBesideTheExecutable();

private:
    QTemporaryDir m_dir;
    QString m_stage;
    QString m_bin;
};

void TestInstall::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_stage = m_dir.filePath(QStringLiteral("stage"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), m_stage);
    const Run install = run(QStringLiteral(ORVELIN_CMAKE_COMMAND),
                            {QStringLiteral("--install"), QStringLiteral(ORVELIN_BINARY_DIR), QStringLiteral("--prefix"), QStringLiteral("/usr")},
                            environment, 120000);
    QVERIFY2(install.code == 0, qPrintable(install.out + install.err));
    m_bin = m_stage + QStringLiteral("/usr/bin");
}

void TestInstall::stagedFiles_areInTheirPlaces()
{
    for (const char* path : {"/usr/bin/orvelin", "/usr/bin/orvelin-cli", "/usr/bin/zr-sim",
                             "/usr/share/orvelin/browserPages/Home.htm", "/usr/share/orvelin/browserPages/Info.htm",
                             "/usr/share/applications/orvelin.desktop",
                             "/usr/share/icons/hicolor/scalable/apps/orvelin.svg"})
        QVERIFY2(QFileInfo::exists(m_stage + QString::fromLatin1(path)), path);
    QVERIFY(QFileInfo(m_bin + QStringLiteral("/orvelin")).isExecutable());

    const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    QVERIFY2(!validate.isEmpty(), "desktop-file-validate (desktop-file-utils) is needed");
    const Run check = run(validate, {m_stage + QStringLiteral("/usr/share/applications/orvelin.desktop")},
                          QProcessEnvironment::systemEnvironment());
    QVERIFY2(check.code == 0, qPrintable(check.out + check.err));
    QFile entry(m_stage + QStringLiteral("/usr/share/applications/orvelin.desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    QVERIFY(text.contains(QStringLiteral("\nComment[ru]=Настройка регистраторов")));
    QVERIFY(text.contains(QStringLiteral("\nCategories=Science;Utility;")));
    QVERIFY(text.contains(QStringLiteral("\nExec=orvelin\n")));
}

void TestInstall::stagedCommandLine_runsAndExports()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QProcessEnvironment environment = homeEnvironment(home.path());
    const Run version = run(m_bin + QStringLiteral("/orvelin-cli"), {QStringLiteral("--version")}, environment);
    QCOMPARE(version.code, 0);
    QCOMPARE(version.out, QStringLiteral("orvelin-cli 1.00\n"));

    QByteArray bytes = logbytes::header(0, 4242);
    const quint32 start = 1700000000;
    for (int i = 0; i < 3; ++i)
        bytes += logbytes::record(start + 60 * i, logbytes::present(20.5f + i), logbytes::absent());
    const QString log = home.filePath(QStringLiteral("65530000.LOG"));
    QFile file(log);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const QString csv = home.filePath(QStringLiteral("out.csv"));
    const Run exported = run(m_bin + QStringLiteral("/orvelin-cli"), {QStringLiteral("export"), log, QStringLiteral("--csv"), csv}, environment);
    QVERIFY2(exported.code == 0, qPrintable(exported.err));
    QFile written(csv);
    QVERIFY(written.open(QIODevice::ReadOnly));
    // The export is in the Windows Cyrillic code page, with decimal commas.
    const QString text = QTextCodec::codecForName("Windows-1251")->toUnicode(written.readAll());
    QVERIFY2(text.contains(QStringLiteral("ID: 4242;")), qPrintable(text));
    for (const char* value : {";20,50;", ";21,50;", ";22,50;"})
        QVERIFY2(text.contains(QString::fromLatin1(value)), qPrintable(text));
}

void TestInstall::stagedApplication_keepsItsDataInTheHomeAndFindsItsHelp()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString data = home.filePath(QStringLiteral(".local/share/Orvelin"));
    QProcess application;
    application.setProcessEnvironment(homeEnvironment(home.path()));
    application.start(m_bin + QStringLiteral("/orvelin"), QStringList());
    QVERIFY(application.waitForStarted(30000));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(data + QStringLiteral("/Record.sqlite"))
                                 && QFileInfo(data + QStringLiteral("/LOG")).isDir(), 60000);
    application.terminate();
    if (!application.waitForFinished(15000)) {
        application.kill();
        application.waitForFinished();
    }
    const QString errors = QString::fromUtf8(application.readAllStandardError());
    QVERIFY2(!errors.contains(QStringLiteral("справка не найдена")), qPrintable(errors));
    // Nothing lands beside the installed program.
    QCOMPARE(QDir(m_bin).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             (QStringList{QStringLiteral("orvelin"), QStringLiteral("orvelin-cli"), QStringLiteral("zr-sim")}));
    QCOMPARE(DataLocation::helpDirFor(m_bin), m_stage + QStringLiteral("/usr/share/orvelin/browserPages"));
}

void TestInstall::portableCopy_keepsItsDataBesideTheExecutable()
{
    // The build folder is a portable copy: help pages beside the executable.
    const QString bin = QCoreApplication::applicationDirPath();
    QCOMPARE(DataLocation::dataDirFor(bin, QStringLiteral("/nonexistent/home/Orvelin")), bin);
    QCOMPARE(DataLocation::helpDirFor(bin), bin + QStringLiteral("/browserPages"));
    QCOMPARE(DataLocation::dataDirFor(m_bin, QStringLiteral("/home/u/.local/share/Orvelin")),
             QStringLiteral("/home/u/.local/share/Orvelin"));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
