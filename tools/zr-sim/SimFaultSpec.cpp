#include "SimFaultSpec.h"

#include <utility>

namespace {

const std::pair<const char*, SimFault> kinds[] = {
    {"none", SimFault::NoAnswer},
    {"late", SimFault::LateAnswer},
    {"checksum", SimFault::BadChecksum},
    {"start", SimFault::BadStartByte},
    {"stop", SimFault::BadStopByte},
    {"command", SimFault::WrongCommand},
    {"error", SimFault::ErrorCode},
    {"status", SimFault::StatusFail},
    {"split", SimFault::SplitAnswer},
    {"oversized", SimFault::Oversized},
    {"short", SimFault::ShortAnswer},
    {"silent", SimFault::GoSilent},
    {"pieces", SimFault::Pieces},
    {"noise", SimFault::Noise},
    {"length", SimFault::WrongLength},
    {"lenfield", SimFault::LyingLength},
    {"twice", SimFault::Twice},
};

bool number(const QString& text, int min, int max, int* out)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

} // namespace

QStringList SimFaultSpec::kindNames()
{
    QStringList names;
    for (const auto& k : kinds)
        names << QString::fromLatin1(k.first);
    return names;
}

bool SimFaultSpec::parse(const QString& text, SimFaultSpec* out, QString* error)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    SimFaultSpec spec;
    bool known = false;
    for (const auto& k : kinds) {
        if (parts.at(0) == QLatin1String(k.first)) {
            spec.fault = k.second;
            known = true;
        }
    }
    if (!known || parts.size() > 4) {
        *error = QStringLiteral("unknown fault \"%1\" (kinds: %2)").arg(text, kindNames().join(QStringLiteral(", ")));
        return false;
    }
    int command = 0;
    const bool ok = (parts.size() < 2 || parts.at(1).isEmpty() || number(parts.at(1), -1, 1 << 30, &spec.count))
        && (parts.size() < 3 || parts.at(2).isEmpty() || number(parts.at(2), 0, 0xFFFF, &command))
        && (parts.size() < 4 || parts.at(3).isEmpty() || number(parts.at(3), 0, 1 << 30, &spec.param));
    if (!ok) {
        *error = QStringLiteral("malformed fault \"%1\": KIND[:COUNT[:COMMAND[:PARAM]]]").arg(text);
        return false;
    }
    spec.command = quint16(command);
    *out = spec;
    return true;
}
