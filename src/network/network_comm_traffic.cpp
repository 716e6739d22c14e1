// The traffic of the network port: output within its bound, input in slices, and the Telnet side of
// what the server sends.
#include "network/network_comm.h"

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace
{

// A server that does not turn Nagle off (ser2net, for one) holds a short answer back until its
// previous segment is acknowledged, and Linux delays that acknowledgement by up to 40 ms. Acknowledging
// at once after each read keeps a send-answer cycle near a millisecond. The kernel falls back to
// delayed acknowledgements by itself, so this holds only for the data just read.
void AcknowledgeAtOnce([[maybe_unused]] QTcpSocket& socket)
{
#ifdef Q_OS_LINUX
    const int on = 1;
    ::setsockopt(int(socket.socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
}

// Enough for the one line a server that gives up says.
constexpr qsizetype ServerWordsLimit = 200;

} // namespace

// write() only queues; the bytes go to the system at once, so that automatic RTS and a waiting
// repeat time them from now. What the system does not take yet waits, within the bound.
bool NetworkComm::Send(const QByteArray& bytes)
{
    if (socket_.state() != QAbstractSocket::ConnectedState
        || socket_.bytesToWrite() + bytes.size() > OutputLimit || socket_.write(bytes) != bytes.size())
        return false;
    socket_.flush();
    if (socket_.bytesToWrite() > 0 && !stall_.isActive())
        stall_.start();
    return true;
}

// Told once until the output moves again, so that a fast repeat does not fill the log.
bool NetworkComm::HeldUp()
{
    const QString what = QStringLiteral("output held up: %1 bytes waiting").arg(outBufferCount());
    if (!std::exchange(heldUp_, true))
        emit notice(what);
    return Fail(what + u'.');
}

// The output moved: the stall time starts again while some still waits.
void NetworkComm::OnBytesWritten()
{
    heldUp_ = false;
    if (socket_.bytesToWrite() > 0)
        stall_.start();
    else
        stall_.stop();
}

void NetworkComm::OnOutputStalled()
{
    if (open_ && socket_.bytesToWrite() > 0)
        Lose(QStringLiteral("the server takes no data."));
}

void NetworkComm::setInBufferCount(int count)
{
    if (count != 0 || !open_)
        return;
    // All that was read from the system is unread input, the slices not yet taken too.
    while (socket_.bytesAvailable() > 0)
        ReadSocket();
    received_.clear();
    if (ComPortActive())
        Send(ComPortMessage(PurgeData, 1)); // the server's receive buffer
    // Line changes read on the way are told once the send is over.
    QMetaObject::invokeMethod(this, &NetworkComm::RaiseLineEvents, Qt::QueuedConnection);
}

QByteArray NetworkComm::input()
{
    return std::exchange(received_, {});
}

// While the server holds our output back, data waits for it to resume. A write the system refuses
// drops the connection, which says so.
bool NetworkComm::setOutput(const QByteArray& bytes)
{
    if (!open_)
        return Fail(QStringLiteral("the port is not open."));
    const QByteArray encoded = Rfc2217() ? client_.EncodeData(bytes) : bytes;
    if (outBufferCount() + encoded.size() > OutputLimit)
        return HeldUp();
    if (client_.outputSuspended()) {
        held_ += encoded;
        return true;
    }
    return Send(encoded) && open_;
}

// Data that comes while the port is closed (or still opening) is dropped, but for the start of what
// the server says while opening; the negotiation and the line state go on all the same.
qsizetype NetworkComm::ReadSocket()
{
    const QByteArray bytes = socket_.read(ReadSlice);
    AcknowledgeAtOnce(socket_);
    const QByteArray data = Rfc2217() ? TakeTelnet(bytes) : bytes;
    if (!open_)
        KeepServerWords(data);
    else
        received_ += data;
    return open_ ? data.size() : 0;
}

// The server's bytes for the Telnet side: the replies it needs go back, a withdrawn option is told,
// and held output goes once the server resumes. The data bytes remain.
QByteArray NetworkComm::TakeTelnet(const QByteArray& bytes)
{
    const bool comPortWasActive = client_.comPortActive();
    QByteArray data, reply;
    client_.Receive(bytes, data, reply);
    if (!reply.isEmpty())
        Send(reply);
    if (comPortWasActive && client_.comPortWithdrawn())
        emit notice(QStringLiteral(
            "the server withdrew RFC 2217: settings, lines and break no longer reach the device"));
    if (!held_.isEmpty() && !client_.outputSuspended() && Send(held_))
        held_.clear();
    return data;
}

void NetworkComm::KeepServerWords(QByteArrayView data)
{
    serverWords_ += data.first(std::min(data.size(), ServerWordsLimit - serverWords_.size()));
}

void NetworkComm::OnReadyRead()
{
    const qsizetype arrived = ReadSocket();
    RaiseLineEvents();
    if (arrived > 0 && rThreshold_ > 0 && received_.size() >= rThreshold_)
        Raise(comEvReceive);
    if (socket_.bytesAvailable() > 0 && !std::exchange(readQueued_, true))
        QMetaObject::invokeMethod(
            this,
            [this] {
                readQueued_ = false;
                OnReadyRead();
            },
            Qt::QueuedConnection);
}

void NetworkComm::RaiseLineEvents()
{
    if (!open_)
        return;
    for (const int code : detector_.Feed(client_.lines()))
        Raise(code);
}
