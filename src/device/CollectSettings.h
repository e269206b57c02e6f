#pragma once

#include <QString>

// How the device screen collects new files: on its own when an instrument is
// found, and whether what came goes into the archive. Kept in section
// [collect] of orvelin.ini in the data folder (beside the executable for a
// portable copy, see DataLocation) as onConnect= and archive=;
// both are off when the file or the key is missing.
struct CollectSettings
{
    bool onConnect = false;
    bool archive = false;

    static QString defaultFile();
    static CollectSettings load(const QString& iniFile = defaultFile());
    // Keeps the other sections and keys of the file as they are. Returns
    // false when the file could not be written.
    bool save(const QString& iniFile = defaultFile()) const;
};
