#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// The log files in the simulated instrument's memory, in two file groups:
// group 1 holds logging runs, group 0 single measurements.
//
// A run is listed by its start time S and end time E; the application names it
// after S ("6553F100.LOG"). A single measurement is listed with S = 0 and
// E = index + 1, which the application turns into "SINGLE%02d.LOG". The store
// answers to both the listed name and the name the file was added with.
class SimLogStore
{
public:
    struct File
    {
        quint8 group = 1;
        QString addedName;
        QByteArray bytes;
        quint32 start = 0;   // S of the file-info answer (runs)
        quint32 stop = 0;    // E (runs)
    };

    void clear();
    // Adds a file; a run's start comes from a hexadecimal name ("6553F100.LOG"),
    // otherwise from its first record. Returns the index within its group.
    int add(quint8 group, const QString& name, const QByteArray& bytes);

    int count(quint8 group) const;
    const File* file(quint8 group, int index) const;
    QString listedName(quint8 group, int index) const;
    // The 12-byte file-info answer: S, E, size, all big-endian. Empty if no such file.
    QByteArray infoAnswer(quint8 group, int index) const;
    // The file the application asks for by name; nullptr if there is none.
    const File* find(const QString& name) const;

    // Adds every *.LOG file of a folder (runs with a hexadecimal name or any other
    // name go to group 1, SINGLE*.LOG to group 0), in name order. Returns the
    // number added, or -1 if the folder cannot be read.
    int loadDirectory(const QString& dir);

private:
    QList<File> m_groups[2];
};
