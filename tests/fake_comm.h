#pragma once

#include "serial/mscomm.h"

#include <QStringList>
#include <utility>

// A serial control for tests: records what the window does to the line and
// lets a test inject received bytes and line events.
class FakeComm : public MSComm
{
    Q_OBJECT
public:
    using MSComm::MSComm;

    bool setCommPort(int port) override
    {
        port_ = port;
        return true;
    }
    int commPort() const override { return port_; }
    void setHandshaking(int) override { }
    bool setSettings(const QString& text) override
    {
        settingsText = text;
        error = rejectSettings ? QStringLiteral("bad settings") : error;
        return !rejectSettings;
    }
    QString settings() const override { return settingsText; }
    void setRThreshold(int) override { }

    bool portOpen() const override { return open_; }
    bool setPortOpen(bool open) override
    {
        if (open && failOpen) {
            error = "no such device";
            return false;
        }
        open_ = open;
        log << (open ? QStringLiteral("OPEN") : QStringLiteral("CLOSE"));
        return true;
    }

    void setInBufferCount(int) override // the window only ever discards
    {
        inBuffer.clear();
        log << QStringLiteral("DISCARD");
    }
    bool setOutput(const QByteArray& bytes) override
    {
        writes << bytes;
        log << QStringLiteral("WRITE ") + QString::fromLatin1(bytes.toHex(' ').toUpper());
        return true;
    }
    QByteArray input() override { return std::exchange(inBuffer, {}); }

    void setDTREnable(bool raised) override { log << QStringLiteral("DTR=%1").arg(raised); }
    void setRTSEnable(bool raised) override { log << QStringLiteral("RTS=%1").arg(raised); }
    bool setBreak(bool on) override
    {
        if (!open_)
            return false;
        log << QStringLiteral("BREAK=%1").arg(on);
        return true;
    }

    // As a driver that switches RTS itself when `driverRts` is set.
    bool setAutoRts(bool on) override
    {
        autoRts = on;
        return rtsByDriver();
    }
    bool rtsByDriver() const override { return driverRts && autoRts && open_; }
    void setLowLatency(bool on) override { lowLatency_ = on; }
    bool lowLatency() const override { return lowLatency_; }
    QString portNotes() const override { return notes; }

    bool ctsHolding() const override { return cts; }
    bool dsrHolding() const override { return dsr; }
    bool cdHolding() const override { return cd; }
    int commEvent() const override { return event_; }
    QString errorText() const override { return error; }

    // Test side.
    void receive(const QByteArray& bytes)
    {
        inBuffer.append(bytes);
        raise(comEvReceive);
    }
    void lose()
    {
        open_ = false;
        emit portLost();
    }
    void raise(int code)
    {
        event_ = code;
        emit onComm();
    }

    QByteArray inBuffer;
    QList<QByteArray> writes;
    QStringList log;
    QString settingsText;
    QString error;
    bool cts = false, dsr = false, cd = false;
    bool failOpen = false, rejectSettings = false;
    bool driverRts = false, autoRts = false;
    QString notes;

private:
    int port_ = 1;
    bool open_ = false;
    int event_ = 0;
    bool lowLatency_ = true;
};
