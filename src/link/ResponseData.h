#pragma once

#include <QByteArray>
#include <QtGlobal>

// One decoded answer: its data field and its command field. When an exchange
// fails, `code` carries the error code (171...177) and `data` is empty.
struct ResponseData
{
    QByteArray data;
    quint16 code = 0;

    ResponseData() = default;
    ResponseData(QByteArray d, quint16 c) : data(std::move(d)), code(c) {}
};
