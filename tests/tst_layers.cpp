// The code is laid out in layers, one folder and one library each, and a
// layer may use only the layers under it. These tests read the include lines
// of every folder under src/ against a table written out here, and check that
// the command-line program, built for servers, loads no Qt Quick.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Which folders each folder's includes may name, besides its own.
const QHash<QString, QSet<QString>>& allowedLayers()
{
    static const QHash<QString, QSet<QString>> table = {
        {"base", {}},
        {"link", {"base"}},
        {"data", {"base", "link"}},
        {"device", {"base", "link", "data"}},
        {"database", {"base", "link", "data", "device"}},
        {"report", {"base", "link", "data", "device", "database"}},
        {"screens", {"base", "link", "data", "device", "database", "report"}},
        {"cli", {"base", "link", "data", "device", "database", "report"}},
        {"app", {"base", "link", "data", "device", "database", "report", "screens"}},
    };
    return table;
}

// Every include under `srcDir` that runs against the table, as
// "folder/file:line: text"; a folder missing from the table is one too.
QStringList layerViolations(const QString& srcDir)
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"/]+)/[^\"]+\""));
    QStringList violations;
    const QStringList folders = QDir(srcDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& folder : folders) {
        if (!allowedLayers().contains(folder)) {
            violations << folder + QStringLiteral(": folder has no place among the layers");
            continue;
        }
        const QSet<QString>& allowed = allowedLayers()[folder];
        QDirIterator files(srcDir + QLatin1Char('/') + folder, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
                violations << file.fileName() + QStringLiteral(": unreadable");
                continue;
            }
            int lineNumber = 0;
            while (!file.atEnd()) {
                const QString line = QString::fromUtf8(file.readLine()).trimmed();
                ++lineNumber;
                const QRegularExpressionMatch match = include.match(line);
                if (!match.hasMatch())
                    continue;
                const QString target = match.captured(1);
                if (target != folder && !allowed.contains(target))
                    violations << QStringLiteral("%1/%2:%3: %4").arg(folder, QFileInfo(file).fileName()).arg(lineNumber).arg(line);
            }
        }
    }
    return violations;
}

} // namespace

class TestLayers : public QObject
{
    Q_OBJECT

private slots:
    void includes_runOnlyDownTheLayers();
    void includeUpwards_isFound();
    void commandLine_loadsNoQtQuick();
};

void TestLayers::includes_runOnlyDownTheLayers()
{
    const QStringList violations = layerViolations(QStringLiteral(ORVELIN_SOURCE_DIR "/src"));
    QVERIFY2(violations.isEmpty(), qPrintable(violations.join(QLatin1Char('\n'))));
}

// The check itself must see a report include in the log-data folder, a
// screen include in the command line, and a folder no one placed.
void TestLayers::includeUpwards_isFound()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto write = [&](const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(dir.filePath(path)).path());
        QFile file(dir.filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("data/LogFile.cpp", "#include \"data/LogFile.h\"\n#include \"base/InstrumentClock.h\"\n  #include \"report/ChartRoutines.h\"\n");
    write("cli/main.cpp", "#include <QString>\n#include \"screens/DataWindow.h\"\n");
    write("report/Reporter.cpp", "#include \"database/DataBase.h\"\n");
    write("extras/Thing.h", "#pragma once\n");
    QStringList found = layerViolations(dir.path());
    found.sort();
    const QStringList expected = {
        "cli/main.cpp:2: #include \"screens/DataWindow.h\"",
        "data/LogFile.cpp:3: #include \"report/ChartRoutines.h\"",
        "extras: folder has no place among the layers",
    };
    QCOMPARE(found, expected);
}

void TestLayers::commandLine_loadsNoQtQuick()
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/orvelin-cli");
    QVERIFY2(QFile::exists(program), qPrintable(program));
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {program});
    QVERIFY(ldd.waitForFinished(30000));
    QCOMPARE(ldd.exitCode(), 0);
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    QVERIFY2(libraries.contains(QLatin1String("libQt5Core.so")), qPrintable(libraries));
    for (const char* desktopOnly : {"libQt5Quick.so", "libQt5Qml.so", "libQt5QuickControls2.so", "libQt5QmlModels.so"})
        QVERIFY2(!libraries.contains(QLatin1String(desktopOnly)), qPrintable(QStringLiteral("%1 in\n%2").arg(desktopOnly, libraries)));
}

QTEST_GUILESS_MAIN(TestLayers)
#include "tst_layers.moc"
