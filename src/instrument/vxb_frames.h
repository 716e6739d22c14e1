#pragma once

#include <QByteArray>
#include <optional>

// A VXB request: address byte with bit 7 set, text, ETX and the BCC, which is
// the XOR from 0 over the text and the ETX.
struct VxbRequest {
    quint8 address;
    QByteArray text;
    bool checkOk; // false for a wrong or missing BCC
};

VxbRequest ParseVxbRequest(QByteArrayView frame);

// Answers: ACK or NAK, text, ETX, and a check byte that XORs from the ACK or
// NAK up to and including the ETX. badCheck spoils the check byte.
QByteArray VxbAck(QByteArrayView text, bool badCheck);
QByteArray VxbNak(bool badCheck);

// A text of "MN 00", the command in hexadecimal digits and its check byte.
bool IsRavoText(QByteArrayView text);
// The command it carries, or nothing when its digits or its check are wrong.
std::optional<QByteArray> DecodeRavo(QByteArrayView text);
