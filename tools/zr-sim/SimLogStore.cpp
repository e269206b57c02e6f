#include "SimLogStore.h"

#include "SimLogGenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

namespace {

void appendBE32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToBigEndian<quint32>(value, bytes);
    out.append(bytes, 4);
}

bool validGroup(quint8 group)
{
    return group <= 1;
}

} // namespace

void SimLogStore::clear()
{
    m_groups[0].clear();
    m_groups[1].clear();
}

int SimLogStore::add(quint8 group, const QString& name, const QByteArray& bytes)
{
    if (!validGroup(group))
        return -1;
    File f;
    f.group = group;
    f.addedName = name;
    f.bytes = bytes;
    if (group == 1) {
        static const QRegularExpression hexName(QStringLiteral("^([0-9A-Fa-f]{1,8})\\.LOG$"),
                                                QRegularExpression::CaseInsensitiveOption);
        const auto m = hexName.match(QFileInfo(name).fileName());
        f.start = m.hasMatch() ? m.captured(1).toUInt(nullptr, 16) : SimLogGenerator::firstTime(bytes);
        f.stop = qMax(f.start, SimLogGenerator::lastTime(bytes));
    }
    m_groups[group].append(f);
    return m_groups[group].size() - 1;
}

int SimLogStore::count(quint8 group) const
{
    return validGroup(group) ? m_groups[group].size() : 0;
}

const SimLogStore::File* SimLogStore::file(quint8 group, int index) const
{
    if (!validGroup(group) || index < 0 || index >= m_groups[group].size())
        return nullptr;
    return &m_groups[group].at(index);
}

QString SimLogStore::listedName(quint8 group, int index) const
{
    const File* f = file(group, index);
    if (!f)
        return QString();
    if (f->start != 0)
        return QString::number(f->start, 16).toUpper() + QStringLiteral(".LOG");
    return QString::asprintf("SINGLE%02d.LOG", index);
}

QByteArray SimLogStore::infoAnswer(quint8 group, int index) const
{
    const File* f = file(group, index);
    if (!f)
        return QByteArray();
    QByteArray out;
    if (f->start != 0) {
        appendBE32(out, f->start);
        appendBE32(out, f->stop);
    } else {
        appendBE32(out, 0);
        appendBE32(out, quint32(index + 1));
    }
    appendBE32(out, quint32(f->bytes.size()));
    return out;
}

const SimLogStore::File* SimLogStore::find(const QString& name) const
{
    for (quint8 group : {quint8(1), quint8(0)}) {
        for (int i = 0; i < m_groups[group].size(); ++i) {
            if (listedName(group, i).compare(name, Qt::CaseInsensitive) == 0)
                return &m_groups[group].at(i);
        }
    }
    for (quint8 group : {quint8(1), quint8(0)}) {
        for (const File& f : m_groups[group]) {
            if (f.addedName.compare(name, Qt::CaseInsensitive) == 0)
                return &f;
        }
    }
    return nullptr;
}

int SimLogStore::loadDirectory(const QString& dir)
{
    QDir d(dir);
    if (!d.exists() || !d.isReadable())
        return -1;
    const QStringList names = d.entryList({QStringLiteral("*.LOG"), QStringLiteral("*.log")},
                                          QDir::Files, QDir::Name);
    int added = 0;
    for (const QString& name : names) {
        QFile f(d.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = f.readAll();
        const quint8 group = name.startsWith(QLatin1String("SINGLE"), Qt::CaseInsensitive) ? 0 : 1;
        if (add(group, name, bytes) >= 0)
            ++added;
    }
    return added;
}
