#pragma once

#include <QByteArray>

// A HART field device at polling address 0. Commands 0 (identity) and 1
// (primary variable) answer with data; any other command answers "command not
// implemented". Every answer is a long frame: five 0xFF, delimiter 0x86, the
// device's five-byte address, command, byte count, two status bytes, data and
// the XOR check over the delimiter up to the data.
//
// The request is a frame as cut by HartShape. A bad check or another address
// gets nothing; badCheck spoils the answer's check.
QByteArray HartAnswer(QByteArrayView request, bool badCheck);
