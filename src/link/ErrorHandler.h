#pragma once

#include "link/ResponseData.h"

#include <QObject>
#include <QString>

// Decides whether an answer is accepted, worth another attempt, or a final
// failure, and names every error code in words.
//
// The retry counter is shared by consecutive requests: once a request has
// failed for good, the next failing request is not retried until some answer
// has been accepted. This keeps a vanished instrument from costing three
// timeouts on every request.
class ErrorHandler : public QObject
{
public:
    enum Verdict { Accept = 0, Retry = 1, GiveUp = 2 };

    static constexpr quint8 maxRetries = 2;

    explicit ErrorHandler(QObject* parent = nullptr);

    // `answerFault` is what the caller found wrong with an answer that is
    // otherwise sound (its length or its content); 0 when nothing.
    Verdict check(const ResponseData& response, quint16 command, quint16 answerFault = 0);

    // The text shown for an error code; codes without an own text are
    // "Неизвестная ошибка ".
    static QString message(quint16 code);

    quint8 retryCount() const { return m_retryCount; }
    quint16 lastErrorCode() const { return m_lastErrorCode; }

private:
    quint8 m_retryCount = 0;
    quint16 m_lastErrorCode = 0;
};
