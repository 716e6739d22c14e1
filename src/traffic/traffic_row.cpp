#include "traffic/traffic_row.h"

#include "command/framing.h"
#include "decode/modbus_answer.h"

namespace
{

bool IsVxb(int protocol)
{
    return protocol >= VxbWithBcc && protocol <= VxbWrongBcc;
}

void Decode(TrafficRow& row)
{
    const AnswerOutcome& outcome = *row.traffic.outcome;
    const int protocol = row.traffic.protocol;
    if (!outcome.complete) {
        row.decoded = QStringLiteral("incomplete");
        row.standsOut = true;
    } else if (protocol == ModbusRtu) {
        const DecodedAnswer answer = DecodeModbusAnswer(row.traffic.record.bytes);
        row.decoded = answer.text;
        row.standsOut = answer.standsOut;
    } else if (IsVxb(protocol)) {
        row.decoded = outcome.nak ? QStringLiteral("NAK")
            : outcome.checkError  ? QStringLiteral("BCC error")
                                  : QStringLiteral("BCC ok");
        row.standsOut = outcome.nak || outcome.checkError;
    }
}

} // namespace

TrafficRow MakeTrafficRow(const TrafficRecord& record)
{
    TrafficRow row { record, {}, false };
    if (record.outcome)
        Decode(row);
    return row;
}

void MarkUnanswered(TrafficRow& row)
{
    row.decoded = QStringLiteral("no answer");
    row.standsOut = true;
}
