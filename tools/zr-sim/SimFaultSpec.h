#pragma once

#include "ZrSimulator.h"

#include <QString>
#include <QStringList>

// A fault as written on the command line: KIND[:COUNT[:COMMAND[:PARAM]]].
struct SimFaultSpec
{
    SimFault fault = SimFault::NoAnswer;
    int count = -1;          // -1: every answer
    quint16 command = 0;     // 0: any command
    int param = 0;

    // Returns false (and says why) for an unknown kind or a malformed number.
    static bool parse(const QString& text, SimFaultSpec* out, QString* error);
    static QStringList kindNames();
};
