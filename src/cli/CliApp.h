#pragma once

#include <QList>
#include <QStringList>

struct CliCommand;

// Picks the command named by the first argument, shows help, runs it and
// turns what ends it into the exit code and one line on stderr.
namespace CliApp {

int run(const QStringList& arguments);
// The same with the given commands instead of the program's own.
int run(const QStringList& arguments, const QList<CliCommand>& commands);

} // namespace CliApp
