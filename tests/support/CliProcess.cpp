#include "CliProcess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

cliprocess::Run cliprocess::run(const QStringList& arguments, const Setup& setup)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORVELIN_PORTS"), setup.ports);
    if (!setup.locale.isEmpty()) {
        environment.insert(QStringLiteral("LANG"), setup.locale);
        environment.insert(QStringLiteral("LC_ALL"), setup.locale);
    }
    for (const QString& entry : setup.environment) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        const QString value = entry.section(QLatin1Char('='), 1);
        if (value.isEmpty())
            environment.remove(name);
        else
            environment.insert(name, value);
    }
    process.setProcessEnvironment(environment);
    if (!setup.outputFile.isEmpty())
        process.setStandardOutputFile(setup.outputFile);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelin-cli"), arguments);
    Run run;
    if (!process.waitForStarted(30000))
        return run;
    if (!setup.input.isEmpty())
        process.write(setup.input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.code = process.exitCode();
    run.outBytes = process.readAllStandardOutput();
    run.out = QString::fromUtf8(run.outBytes);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
