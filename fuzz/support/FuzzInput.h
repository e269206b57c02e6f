#pragma once
// Takes a fuzz input apart into the values a harness needs. Once the bytes
// run out every read gives zeros, so any input, even an empty one, is a
// complete scenario.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }
    size_t remaining() const { return m_size - m_pos; }

    quint8 byte()
    {
        return m_pos < m_size ? m_data[m_pos++] : 0;
    }

    // A number in 0 .. limit - 1 (limit > 0) from one byte.
    int below(int limit) { return byte() % limit; }

    quint32 u32()
    {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | byte();
        return value;
    }

    float f32()
    {
        const quint32 bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    QByteArray bytes(size_t count)
    {
        const size_t n = count < remaining() ? count : remaining();
        QByteArray out(reinterpret_cast<const char*>(m_data + m_pos), int(n));
        m_pos += n;
        return out;
    }

    // A length byte, then that many bytes.
    QByteArray chunk() { return bytes(byte()); }

    // A chunk read as UTF-8 (malformed sequences become U+FFFD).
    QString text() { return QString::fromUtf8(chunk()); }

    QByteArray rest() { return bytes(remaining()); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
