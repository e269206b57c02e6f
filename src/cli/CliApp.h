#pragma once

#include <QStringList>

// Picks the command named by the first argument, shows help, runs it and
// turns what ends it into the exit code and one line on stderr.
namespace CliApp {

int run(const QStringList& arguments);

} // namespace CliApp
