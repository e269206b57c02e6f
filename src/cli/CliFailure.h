#pragma once

#include <QString>

// Ends a command: the exit code and the one line said about it on stderr.
// Usage faults (unknown command or option, a malformed value) exit with 1;
// failures of the instrument, a file or the archive with 2; a check that ran
// and found something wanting (verify, journal --verify) with 3.
struct CliFailure
{
    enum Code { Usage = 1, Failed = 2, CheckedWanting = 3 };

    int code = Failed;
    QString text;

    static CliFailure usage(const QString& text) { return {Usage, text}; }
    // `subject` (a file, a path) is put in front of the message, so the user
    // sees what the core's message is about, unless the message names it already.
    static CliFailure failed(const QString& message, const QString& subject = QString())
    {
        const bool named = subject.isEmpty() || message.contains(subject);
        return {Failed, named ? message : subject + QStringLiteral(": ") + message};
    }
};
