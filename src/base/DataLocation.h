#pragma once

#include <QString>

// Where the program keeps what it writes (downloaded logs under LOG/, the
// archive Record.sqlite, orvelin.ini, the journal) and where it finds its help
// pages.
//
// A portable copy (a build folder, or a folder carried around with the help
// pages beside the executable) keeps everything beside the executable, as it
// always did. An installed copy (the executable in .../bin with its pages in
// .../share/orvelin) cannot write there, so its data go to the user's data
// folder, ~/.local/share/Orvelin, which the application and the command line
// share. An executable folder that cannot be written is treated the same way.
namespace DataLocation {

// The folder of LOG/, Record.sqlite and orvelin.ini; created when missing.
QString dataDir();

// The folder holding Home.htm and Info.htm.
QString helpDir();

// True when the program runs from an installed layout (see above).
bool isInstalled();

// The decision itself, for given folders: the data folder for an executable
// in `executableDir`, whose user data folder would be `userDataDir`.
QString dataDirFor(const QString& executableDir, const QString& userDataDir);
QString helpDirFor(const QString& executableDir);

} // namespace DataLocation
