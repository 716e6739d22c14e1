#include "network/network_comm.h"

#include "network/bounded_lookup.h"

#include <QRegularExpression>

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace
{

// A server that vanished without a word (power cut, cable pulled) is found after about 11 s of
// silence instead of the system's two hours.
void EnableKeepAlive(QTcpSocket& socket)
{
    socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
#ifdef Q_OS_LINUX
    const int fd = int(socket.socketDescriptor());
    const int idleSeconds = 5, intervalSeconds = 2, probes = 3;
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds, sizeof intervalSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
#endif
}

QString NoAnswer()
{
    return QStringLiteral("no answer within %1 s.").arg(NetworkComm::OpenTimeoutMs / 1000);
}

} // namespace

NetworkComm::NetworkComm(const PortMap& portMap, int outputStallMs, QObject* parent)
    : MSComm(parent)
    , portMap_(portMap)
{
    stall_.setInterval(outputStallMs);
    stall_.setSingleShot(true);
    connect(&stall_, &QTimer::timeout, this, &NetworkComm::OnOutputStalled);
    socket_.setReadBufferSize(ReadAhead);
    linger_.setSingleShot(true);
    linger_.setInterval(0);
    connect(&linger_, &QTimer::timeout, this, [this] {
        if (!open_)
            Disconnect();
    });
    connect(&socket_, &QTcpSocket::readyRead, this, &NetworkComm::OnReadyRead);
    connect(&socket_, &QTcpSocket::bytesWritten, this, &NetworkComm::OnBytesWritten);
    connect(&socket_, &QTcpSocket::disconnected, this, &NetworkComm::OnDropped);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &NetworkComm::OnDropped);
}

// The socket, the last member to go, would otherwise report its own closing to the members gone
// before it.
NetworkComm::~NetworkComm()
{
    socket_.disconnect(this);
}

bool NetworkComm::setCommPort(int port)
{
    if (port < kFirstComPort || port > kLastComPort) {
        error_ = NoSuchComPortText(port);
        return false;
    }
    commPort_ = port;
    return true;
}

void NetworkComm::setHandshaking(int mode)
{
    handshaking_ = mode;
    if (open_)
        SendControl(FlowControlOfHandshaking(mode));
}

bool NetworkComm::setSettings(const QString& settings)
{
    const std::optional<PortSettings> parsed = ParsePortSettings(settings);
    if (!parsed)
        return Fail(UnusableSettingsText(settings));
    settings_ = ComPortSettingsOf(*parsed);
    if (open_ && ComPortActive()) {
        client_.Requested(settings_);
        Send(LineFormatMessages(settings_));
    }
    return true;
}

QString NetworkComm::settings() const
{
    return ComPortSettingsText(Rfc2217() ? client_.settingsInForce() : settings_);
}

QString NetworkComm::settingsReport() const
{
    return Rfc2217() ? SettingsInForceText(client_.settingsInForce(), client_.settingsAsked()) : settings();
}

bool NetworkComm::setPortOpen(bool open)
{
    if (!open) {
        if (open_)
            linger_.start();
        open_ = false;
        return true;
    }
    if (open_)
        return Fail(QStringLiteral("the port is already open."));
    return Open();
}

// The port is open only on a connection that outlived the opening: a server may greet and then drop it,
// as ser2net does in front of a device it cannot open. The server's answers to the format are waited
// for, so that the settings in force are known once it is open; a server that does not answer leaves
// the format as asked when the open time is over.
bool NetworkComm::Open()
{
    const std::optional<NetworkAddress> address = ParseNetworkAddress(Url());
    if (!address)
        return Fail(NetworkAddressProblem(Url()) + u'.');
    QElapsedTimer clock;
    clock.start();
    serverWords_.clear();
    if (connectedTo_ != address) {
        Disconnect();
        if (!Connect(*address, clock))
            return false;
    }
    linger_.stop();
    received_.clear();
    SendLineSetup();
    AwaitServer([this] { return !ComPortActive() || client_.formatAnswered(); }, clock);
    if (!Connected())
        return Fail(LostWhileOpening());
    detector_.Reset();
    detector_.Feed(client_.lines());
    open_ = true;
    return true;
}

bool NetworkComm::Connect(const NetworkAddress& address, const QElapsedTimer& clock)
{
    bool timedOut = false;
    const QList<QHostAddress> addresses = LookUpHost(address.host, OpenTimeoutMs, timedOut);
    if (addresses.isEmpty())
        return Fail(timedOut ? NoAnswer() : QStringLiteral("host not found."));
    if (!ConnectTo(addresses, address.port, OpenTimeoutMs - int(clock.elapsed())))
        return false;
    client_ = {};
    connectedTo_ = address;
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1); // a short packet must not wait for Nagle
    EnableKeepAlive(socket_);
    if (address.kind == NetworkKind::Rfc2217) {
        Send(client_.Start());
        if (!AwaitComPortOption(clock)) {
            Disconnect();
            return false;
        }
    }
    return true;
}

// Each address of the name in turn (localhost may be ::1 and 127.0.0.1), within the time left.
bool NetworkComm::ConnectTo(const QList<QHostAddress>& addresses, quint16 port, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (const QHostAddress& address : addresses) {
        socket_.abort();
        socket_.connectToHost(address, port);
        const int left = timeoutMs - int(clock.elapsed());
        if (left > 0 && socket_.waitForConnected(left))
            return true;
    }
    const QAbstractSocket::SocketError error = socket_.error();
    const QString reason = socket_.errorString().toLower();
    socket_.abort();
    if (error == QAbstractSocket::ConnectionRefusedError)
        return Fail(QStringLiteral("connection refused."));
    const bool outOfTime = error == QAbstractSocket::SocketTimeoutError || clock.elapsed() >= timeoutMs;
    return Fail(outOfTime ? NoAnswer() : reason + QLatin1Char('.'));
}

bool NetworkComm::AwaitComPortOption(const QElapsedTimer& clock)
{
    AwaitServer([this] { return client_.comPort() != TelnetNegotiation::ComPort::Pending; }, clock);
    if (!Connected())
        return Fail(LostWhileOpening());
    return client_.comPort() == TelnetNegotiation::ComPort::Accepted
        || Fail(QStringLiteral("the server does not offer RFC 2217."));
}

// The server's bytes arrive inside waitForReadyRead, through OnReadyRead, a slice at a time.
void NetworkComm::AwaitServer(const std::function<bool()>& done, const QElapsedTimer& clock)
{
    while (!done() && Connected()) {
        const int left = OpenTimeoutMs - int(clock.elapsed());
        if (socket_.bytesAvailable() > 0)
            ReadSocket();
        else if (left <= 0 || !socket_.waitForReadyRead(left))
            return;
    }
}

// A drop clears the connection it ends, so a connection that is still the current one is the one opened.
bool NetworkComm::Connected() const
{
    return connectedTo_ && socket_.state() == QAbstractSocket::ConnectedState;
}

// With the server's first line, when it said something before it went.
QString NetworkComm::LostWhileOpening() const
{
    static const QRegularExpression lineEnd(QStringLiteral("[\\r\\n]"));
    const QString words = QString::fromLatin1(serverWords_).section(lineEnd, 0, 0).simplified();
    const QString lost = QStringLiteral("the connection was lost while opening");
    return words.isEmpty() ? lost + u'.' : QStringLiteral("%1 (\"%2\").").arg(lost, words);
}

void NetworkComm::SendLineSetup()
{
    if (!ComPortActive())
        return;
    client_.Requested(settings_);
    Send(ComPortMessage(SetModemStateMask, 0xFF)
        + ComPortMessage(SetLineStateMask, ParityError | FramingError) + LineFormatMessages(settings_)
        + ControlMessage(FlowControlOfHandshaking(handshaking_))
        + ControlMessage(dtr_ ? ComPortControl::DtrOn : ComPortControl::DtrOff)
        + ControlMessage(rts_ ? ComPortControl::RtsOn : ComPortControl::RtsOff));
}

// A raw socket has no lines: as on a device without them, nothing happens. Nor on a server that
// withdrew the option.
void NetworkComm::SendControl(ComPortControl control)
{
    if (ComPortActive())
        Send(ControlMessage(control));
}

void NetworkComm::Disconnect()
{
    linger_.stop();
    stall_.stop();
    heldUp_ = false;
    held_.clear();
    connectedTo_.reset();
    open_ = false;
    socket_.abort();
}

void NetworkComm::setDTREnable(bool raised)
{
    dtr_ = raised;
    if (open_)
        SendControl(raised ? ComPortControl::DtrOn : ComPortControl::DtrOff);
}

void NetworkComm::setRTSEnable(bool raised)
{
    rts_ = raised;
    if (open_)
        SendControl(raised ? ComPortControl::RtsOn : ComPortControl::RtsOff);
}

bool NetworkComm::setBreak(bool on)
{
    if (!open_)
        return Fail(QStringLiteral("the port is not open, so no break can be sent."));
    SendControl(on ? ComPortControl::BreakOn : ComPortControl::BreakOff);
    return true;
}

// Reached from both disconnected and errorOccurred; only the first call finds a connection.
void NetworkComm::OnDropped()
{
    if (!connectedTo_ || socket_.state() == QAbstractSocket::ConnectedState)
        return;
    if (open_)
        Lose(QStringLiteral("the connection was lost."));
    else
        Disconnect();
}

void NetworkComm::Lose(const QString& what)
{
    Disconnect();
    Fail(what);
    emit portLost();
}

bool NetworkComm::Fail(const QString& what)
{
    error_ = QStringLiteral("%1: %2").arg(Url(), what);
    return false;
}

void NetworkComm::Raise(int code)
{
    event_ = code;
    emit onComm();
}
