#pragma once

#include "cli/CliArguments.h"

#include <QList>
#include <QString>

#include <functional>

// One command of the program: its name, its help and what it does. `run`
// returns the exit code or throws a CliFailure.
struct CliCommand
{
    QString name;
    QString synopsis;
    QString summary;
    QString details;
    QList<CliOption> options;
    std::function<int(const CliArguments&)> run;
};

// The commands, one group per source file.
QList<CliCommand> deviceCommands();
QList<CliCommand> settingsCommands();
QList<CliCommand> logCommands();
QList<CliCommand> archiveCommands();
QList<CliCommand> reportCommands();
QList<CliCommand> watchCommands();
QList<CliCommand> evidenceCommands();
QList<CliCommand> limitsCommands();

// Options shared by several commands.
namespace CliOptions {
CliOption json();
CliOption port();
CliOption database();
} // namespace CliOptions
