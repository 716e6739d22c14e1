#pragma once

#include "network/network_address.h"
#include "network/rfc2217_client.h"
#include "serial/mscomm.h"
#include "serial/port_map.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>

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
    // Output waiting for a slow server is bounded: a send that would go past this is not written.
    static constexpr qint64 OutputLimit = 1 << 20;
    // Output that has not moved for this long while it waits means the server takes no data.
    static constexpr int OutputStallMs = 10'000;
    // What one event takes of the input: the rest waits for the next turn of the event loop, so that
    // a stream cannot keep the window from a click. The receiver's work goes by the byte; a slice of
    // this size is a few milliseconds of it.
    static constexpr qint64 ReadSlice = 32 * 1024;
    // What is read from the system ahead of the slices; the rest waits there, and holds a fast
    // server back through TCP itself.
    static constexpr qint64 ReadAhead = 4 * ReadSlice;

    // The port reads `portMap` when it opens; the map must outlive it.
    explicit NetworkComm(
        const PortMap& portMap, int outputStallMs = OutputStallMs, QObject* parent = nullptr);
    explicit NetworkComm(PortMap&&, int = OutputStallMs, QObject* = nullptr) = delete;
    ~NetworkComm() override;

    bool setCommPort(int port) override;
    int commPort() const override { return commPort_; }
    void setHandshaking(int mode) override;
    bool setSettings(const QString& settings) override;
    QString settings() const override;
    QString settingsReport() const override;
    void setRThreshold(int count) override { rThreshold_ = count; }

    bool portOpen() const override { return open_; }
    bool setPortOpen(bool open) override;

    void setInBufferCount(int count) override;
    bool setOutput(const QByteArray& bytes) override;
    QByteArray input() override;
    // The bytes waiting to be sent: for the system to take, or for the server to resume.
    qint64 outBufferCount() const { return socket_.bytesToWrite() + held_.size(); }
    // The bytes received and not yet taken, with those read from the system and not yet looked at.
    qint64 inBufferCount() const { return received_.size() + socket_.bytesAvailable(); }

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
    bool Connect(const NetworkAddress& address, const QElapsedTimer& clock);
    bool ConnectTo(const QList<QHostAddress>& addresses, quint16 port, int timeoutMs);
    bool AwaitComPortOption(const QElapsedTimer& clock);
    // Reads what the server sends until `done`, the connection drops or the open time is over.
    void AwaitServer(const std::function<bool()>& done, const QElapsedTimer& clock);
    bool Connected() const;
    QString LostWhileOpening() const;
    void SendLineSetup();
    void SendControl(ComPortControl control);
    // False when the bytes were not written: the connection is gone, or they would pass the bound.
    bool Send(const QByteArray& bytes);
    bool HeldUp();
    void OnBytesWritten();
    void OnOutputStalled();
    void Disconnect();
    // Takes a slice of what the socket holds; the number of data bytes it added to the received ones.
    qsizetype ReadSocket();
    QByteArray TakeTelnet(const QByteArray& bytes);
    void KeepServerWords(QByteArrayView data);
    void OnReadyRead();
    void RaiseLineEvents();
    void OnDropped();
    void Lose(const QString& what);
    bool Fail(const QString& what);
    bool Rfc2217() const { return connectedTo_ && connectedTo_->kind == NetworkKind::Rfc2217; }
    bool ComPortActive() const { return Rfc2217() && client_.comPortActive(); }
    void Raise(int code);

    QTcpSocket socket_;
    QTimer linger_;
    QTimer stall_;
    const PortMap& portMap_;
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
    QByteArray held_; // data the server holds back with FLOWCONTROL-SUSPEND
    QByteArray serverWords_; // the start of what the server said while the port was opening
    bool readQueued_ = false;
    bool heldUp_ = false; // a send was refused, and not a byte has moved since
    int event_ = 0;
    QString error_;
};
