#pragma once
// Runs the command-line program beside the test executable as a separate
// process and collects what it said.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cliprocess {

struct Run
{
    int code = -1;
    bool crashed = true;
    QString out;
    QString err;
    QByteArray outBytes; // stdout as it came (a CSV is not UTF-8)
};

struct Setup
{
    QString ports;                 // ORVELIN_PORTS (empty: no port at all)
    QString locale;                // LANG and LC_ALL when set
    QStringList environment;       // further NAME=VALUE entries; "NAME=" with nothing removes NAME
    QByteArray input;              // written to its standard input, which is then closed
    QString outputFile;            // its standard output goes there instead of being collected
};

Run run(const QStringList& arguments, const Setup& setup);

inline Run run(const QStringList& arguments, const QString& ports = QString(), const QString& locale = QString())
{
    Setup setup;
    setup.ports = ports;
    setup.locale = locale;
    return run(arguments, setup);
}

} // namespace cliprocess
