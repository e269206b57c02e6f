#include "link/ErrorHandler.h"

#include "link/DeviceCommand.h"
#include "link/PacketFrame.h"

ErrorHandler::ErrorHandler(QObject* parent)
    : QObject(parent)
{
}

ErrorHandler::Verdict ErrorHandler::check(const ResponseData& response, quint16 command, quint16 answerFault)
{
    quint16 failure = 0;
    if (response.code >= PacketFrame::ErrorStart && response.code <= PacketFrame::ErrorNoAnswer)
        failure = response.code;
    else if (response.code != command)
        failure = PacketFrame::ErrorUnknownCommand;
    else if (DeviceCommand::isStatusCommand(command) && !response.data.isEmpty() && response.data.at(0) != 0)
        failure = command;
    else if (answerFault != 0)
        failure = answerFault;

    if (failure == 0) {
        m_retryCount = 0;
        return Accept;
    }
    if (m_retryCount < maxRetries) {
        ++m_retryCount;
        return Retry;
    }
    m_lastErrorCode = failure;
    return GiveUp;
}

QString ErrorHandler::message(quint16 code)
{
    switch (code) {
    case 150:
        return QStringLiteral("Ошибка проверки соединения");
    case 153:
        return QStringLiteral("Ошибка установки ID");
    case 156:
        return QStringLiteral("Ошибка установки времени");
    case 165:
        return QStringLiteral("Ошибка очистки памяти");
    case 169:
        return QStringLiteral("Ошибка записи в память ");
    case PacketFrame::ErrorStart:
        return QStringLiteral("Ошибка протокола обмена: Ошибка стартового байта ");
    case PacketFrame::ErrorStop:
        return QStringLiteral("Ошибка протокола обмена: Ошибка стопового байта ");
    case PacketFrame::ErrorLength:
        return QStringLiteral("Ошибка протокола обмена: Ошибка длины пакета ");
    case PacketFrame::ErrorUnknownCommand:
        return QStringLiteral("Ошибка протокола обмена: Неизвестная команда ");
    case PacketFrame::ErrorChecksum:
        return QStringLiteral("Ошибка протокола обмена: Ошибка контрольной суммы ");
    case PacketFrame::ErrorDataLength:
        return QStringLiteral("Ошибка протокола обмена: Ошибка длины данных ");
    case PacketFrame::ErrorNoAnswer:
        return QStringLiteral("Ошибка. Прибор не отвечает ");
    case PacketFrame::ErrorImplausible:
        return QStringLiteral("Ошибка протокола обмена: Неверные данные ");
    default:
        return QStringLiteral("Неизвестная ошибка ");
    }
}
