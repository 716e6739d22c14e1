#pragma once

#include "network/network_address.h"
#include "network/rfc2217_client.h"
#include "serial/mscomm.h"
#include "serial/port_map.h"

#include <QTcpSocket>
#include <QTimer>

// The serial control over TCP, for a port whose map entry is a URL: a serial device server speaking
// the Telnet COM-PORT-OPTION (rfc2217://), or a raw socket (socket://) that carries bytes only and
// has no lines to drive or watch. Everything set while closed is kept and sent when it opens.
//
// Closing keeps the connection for the rest of the current event; an open of the same address
// within it takes the connection up again and only sends the settings. So reopening to change the
// speed does not redial.
class NetworkComm : public MSComm
{
    Q_OBJECT
public:
    // How long opening may take, the name lookup included.
    static constexpr int OpenTimeoutMs = 3000;

    explicit NetworkComm(const PortMap& portMap, QObject* parent = nullptr);
    ~NetworkComm() override;

    bool setCommPort(int port) override;
    int commPort() const override { return commPort_; }
    void setHandshaking(int mode) override;
    bool setSettings(const QString& settings) override;
    QString settings() const override;
    void setRThreshold(int count) override { rThreshold_ = count; }

    bool portOpen() const override { return open_; }
    bool setPortOpen(bool open) override;

    void setInBufferCount(int count) override;
    bool setOutput(const QByteArray& bytes) override;
    QByteArray input() override;

    void setDTREnable(bool raised) override;
    void setRTSEnable(bool raised) override;
    bool setBreak(bool on) override;

    bool ctsHolding() const override { return open_ && client_.lines().cts; }
    bool dsrHolding() const override { return open_ && client_.lines().dsr; }
    bool cdHolding() const override { return open_ && client_.lines().dcd; }

    int commEvent() const override { return event_; }
    QString errorText() const override { return error_; }

private:
    QString Url() const { return portMap_.DevicePath(commPort_); }
    bool Open();
    bool Connect(const NetworkAddress& address);
    bool ConnectTo(const QList<QHostAddress>& addresses, quint16 port, int timeoutMs);
    bool AwaitComPortOption(int timeoutMs);
    void SendLineSetup();
    void SendControl(ComPortControl control);
    void Send(const QByteArray& bytes);
    void Disconnect();
    // Takes what the socket holds; the number of data bytes it added to the received ones.
    qsizetype ReadSocket();
    void OnReadyRead();
    void RaiseLineEvents();
    void OnDropped();
    bool Fail(const QString& what);
    bool Rfc2217() const { return connectedTo_ && connectedTo_->kind == NetworkKind::Rfc2217; }
    void Raise(int code);

    QTcpSocket socket_;
    QTimer linger_;
    PortMap portMap_;
    int commPort_ = 1;
    int handshaking_ = 0;
    ComPortSettings settings_ = ComPortSettingsOf({});
    int rThreshold_ = 0;
    bool dtr_ = true;
    bool rts_ = false;
    bool open_ = false;
    std::optional<NetworkAddress> connectedTo_;
    Rfc2217Client client_;
    LineChangeDetector detector_;
    QByteArray received_;
    int event_ = 0;
    QString error_;
};
