#pragma once

#include <QList>
#include <QString>

// The files one command writes together (a CSV and an XLSX of the same data):
// each is written first to a hidden file beside its target, and they take
// their places only when every one was written, so a failure leaves none of
// them, rather than one without the other. "-" as a target is standard output.
class StagedOutputs
{
public:
    StagedOutputs() = default;
    ~StagedOutputs();
    StagedOutputs(const StagedOutputs&) = delete;
    StagedOutputs& operator=(const StagedOutputs&) = delete;

    // The path to write `target`'s content to. Nothing is created here: the
    // writer creates it and reports its own failure, e.g. for a missing folder.
    QString stage(const QString& target);

    // Puts every staged file in its place (standard output gets its bytes).
    // Throws a CliFailure naming what could not be put in place and what
    // had already been written.
    void commit();

    // The targets as given, in order.
    QStringList targets() const;

    static bool isStdout(const QString& target) { return target == QLatin1String("-"); }

    // The --csv and --xlsx of a command: at least one, and only the CSV may
    // go to standard output. Otherwise a usage CliFailure.
    static void checkTargets(const QString& csv, const QString& xlsx);

private:
    struct Entry
    {
        QString target;
        QString staged;
    };
    QList<Entry> m_entries;
};
