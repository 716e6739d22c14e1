#pragma once

#include <QByteArray>
#include <array>

// A Modbus RTU slave with 100 holding registers, which functions 03 and 04
// both read. Register n starts at the value n, so a read shows where it read.
class ModbusSlave
{
public:
    explicit ModbusSlave(quint8 id);

    // The reply frame, or nothing for another id or a bad CRC, as real slaves
    // stay silent then. badCheck spoils the reply's CRC.
    QByteArray Reply(QByteArrayView request, bool badCheck);

    static constexpr int RegisterCount = 100;

private:
    QByteArray ReplyPdu(QByteArrayView pdu);
    QByteArray ReadRegisters(QByteArrayView pdu) const;
    QByteArray WriteRegister(QByteArrayView pdu);
    QByteArray WriteRegisters(QByteArrayView pdu);

    quint8 id_;
    std::array<quint16, RegisterCount> registers_;
};
