#pragma once
// What a harness promises about the code it drives. A broken promise prints
// what was expected and aborts, which the fuzzer records as a finding and a
// corpus replay as a failed test.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fuzzFailure(const char* file, int line, const char* condition, const QString& detail)
{
    std::fprintf(stderr, "%s:%d: broken: %s\n", file, line, condition);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                                              \
    do {                                                                                                           \
        if (!(condition))                                                                                          \
            fuzzFailure(__FILE__, __LINE__, #condition, (detail));                                                 \
    } while (false)

// Hex of a few bytes for the messages.
inline QString hexOf(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.left(48).toHex(' '));
}
