#pragma once

#include "serial/mscomm.h"
#include "serial/port_error_text.h"
#include "serial/port_map.h"

#include <QSerialPort>

#ifdef Q_OS_LINUX
#include "serial/kernel_rs485.h"
#include "serial/line_poller.h"
#include "serial/usb_latency.h"
#endif

// The serial control over a real port. Everything set while the port is closed (port number,
// settings, handshaking, DTR, RTS) is kept and applied when it opens.
class QtSerialComm : public MSComm {
    Q_OBJECT
public:
    // The port reads `portMap` when it opens; the map must outlive it.
    explicit QtSerialComm(const PortMap& portMap, QObject* parent = nullptr);
    explicit QtSerialComm(PortMap&&, QObject* = nullptr) = delete;
#ifdef Q_OS_LINUX
    // The tty driver as the port reaches it past Qt: its ioctls, and `sysfsRoot` for /sys/class/tty.
    QtSerialComm(const PortMap& portMap, TtyIoctl ioctl, const QString& sysfsRoot, QObject* parent = nullptr);
    QtSerialComm(PortMap&&, TtyIoctl, const QString&, QObject* = nullptr) = delete;
#endif

    // The device of the current port number.
    QString DevicePath() const;

    bool setCommPort(int port) override;
    int commPort() const override { return commPort_; }
    void setHandshaking(int mode) override;
    bool setSettings(const QString& settings) override;
    QString settings() const override { return settingsText_; }
    void setRThreshold(int count) override { rThreshold_ = count; }

    bool portOpen() const override { return port_.isOpen(); }
    bool setPortOpen(bool open) override;

    void setInBufferCount(int count) override;
    bool setOutput(const QByteArray& bytes) override;
    QByteArray input() override;

    void setDTREnable(bool raised) override;
    void setRTSEnable(bool raised) override;
    bool setBreak(bool on) override;

    bool setAutoRts(bool on) override;
    bool rtsByDriver() const override;
    void setLowLatency(bool on) override { lowLatency_ = on; }
    bool lowLatency() const override { return lowLatency_; }
    QString portNotes() const override;

    bool ctsHolding() const override { return Lines().cts; }
    bool dsrHolding() const override { return Lines().dsr; }
    bool cdHolding() const override { return Lines().dcd; }

    int commEvent() const override { return event_; }
    QString errorText() const override { return error_; }

private:
    bool Open();
    void Close();
    void SetLine(bool (QSerialPort::*setter)(bool), bool raised);
    void ApplyLines();
    bool Fail(const QString& what);
    bool FailWithPortError(PortFailure::When when = PortFailure::Operating);
    void OnReadyRead();
    void OnPortError(QSerialPort::SerialPortError error);
    void Raise(int code);
    LineReading Lines() const;

    QSerialPort port_;
    const PortMap& portMap_;
    int commPort_ = 1;
    QString settingsText_ = QStringLiteral("9600,N,8,1");
    int rThreshold_ = 0;
    bool dtr_ = true;
    bool rts_ = false;
    bool autoRts_ = false;
    bool lowLatency_ = true;
    int event_ = 0;
    QString error_;
#ifdef Q_OS_LINUX
    LinePoller poller_;
    KernelRs485 rs485_;
    UsbLatency latency_;
#endif
};
