#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// Everything the user reads is Russian, Qt's own texts included: file dialogs,
// message box buttons, spin box and calendar captions come from Qt's Russian
// catalogue. The application's display name heads window and message box titles.
namespace Localization {

QString displayName();

// Where Qt's translation catalogues are looked for: a "translations" folder
// beside the executable first, then Qt's own.
QStringList catalogueFolders();

// Sets the display name and installs Qt's Russian catalogue on the application.
// A missing catalogue leaves Qt's English texts and returns false.
bool apply(QCoreApplication& app);

} // namespace Localization
