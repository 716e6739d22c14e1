#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial communications control: exactly the operations and event codes
// that the window uses. Operations that can fail return false and leave the
// reason in errorText(). Properties set while the port is closed take effect
// when it opens.
class MSComm : public QObject {
    Q_OBJECT
public:
    enum CommEventCode : int {
        comEvReceive = 2,
        comEvCTS = 3,
        comEvDSR = 4,
        comEvCD = 5,
        comEvRing = 6,
        comEventFrame = 1004,
        comEventRxParity = 1009,
    };

    using QObject::QObject;
    ~MSComm() override = default;

    virtual bool setCommPort(int port) = 0;
    virtual int commPort() const = 0;
    virtual void setHandshaking(int mode) = 0;
    // "speed,parity,data,stop", as "9600,N,8,1".
    virtual bool setSettings(const QString& settings) = 0;
    virtual QString settings() const = 0;
    // The settings for a person to read: those in force, and what was
    // asked where the port took others.
    virtual QString settingsReport() const { return settings(); }
    virtual void setRThreshold(int count) = 0;

    virtual bool portOpen() const = 0;
    virtual bool setPortOpen(bool open) = 0;

    virtual void setInBufferCount(int count) = 0;
    virtual bool setOutput(const QByteArray& bytes) = 0;
    virtual QByteArray input() = 0;

    // On a device without modem lines these do nothing; that is not a failure.
    virtual void setDTREnable(bool raised) = 0;
    virtual void setRTSEnable(bool raised) = 0;
    virtual bool setBreak(bool on) = 0;

    // Automatic RTS by the driver itself, exactly while bits are on the line. setAutoRts asks for it
    // (on an open port at once, else at opening) and says whether the driver took it; a port that
    // cannot leaves RTS to the window's timer.
    virtual bool setAutoRts(bool) { return false; }
    virtual bool rtsByDriver() const { return false; }
    // Whether to ask the driver for its shortest receive latency at opening.
    virtual void setLowLatency(bool) { }
    virtual bool lowLatency() const { return true; }
    // What the open port adds to its record, each note after "; ", as "; USB latency timer 1 ms".
    virtual QString portNotes() const { return {}; }

    virtual bool ctsHolding() const = 0;
    virtual bool dsrHolding() const = 0;
    virtual bool cdHolding() const = 0;

    // The code of the event being reported by onComm.
    virtual int commEvent() const = 0;

    // Why the last failing operation failed, for a person to read.
    virtual QString errorText() const = 0;

signals:
    void onComm();
    // The device went away while open (unplugged, or its far side closed);
    // the port has been closed.
    void portLost();
    // Worth a line in the log, though nothing failed: output held up by a
    // slow peer, an option the peer withdrew.
    void notice(const QString& text);
};
