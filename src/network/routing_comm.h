#pragma once

#include "serial/mscomm.h"
#include "serial/port_map.h"

// The window's one serial control in front of two kinds: the port number picks the network kind when
// the map names a URL for it, and the serial kind otherwise. Everything else goes to the kind of the
// current port, and only its events come through.
class RoutingComm : public MSComm
{
    Q_OBJECT
public:
    // The kind is chosen from `portMap` at each port number; the map must outlive the control.
    RoutingComm(MSComm& serial, MSComm& network, const PortMap& portMap, QObject* parent = nullptr);
    RoutingComm(MSComm&, MSComm&, PortMap&&, QObject* = nullptr) = delete;

    bool setCommPort(int port) override;
    int commPort() const override { return current_->commPort(); }
    void setHandshaking(int mode) override { current_->setHandshaking(mode); }
    bool setSettings(const QString& settings) override { return current_->setSettings(settings); }
    QString settings() const override { return current_->settings(); }
    QString settingsReport() const override { return current_->settingsReport(); }
    void setRThreshold(int count) override { current_->setRThreshold(count); }

    bool portOpen() const override { return current_->portOpen(); }
    bool setPortOpen(bool open) override { return current_->setPortOpen(open); }

    void setInBufferCount(int count) override { current_->setInBufferCount(count); }
    bool setOutput(const QByteArray& bytes) override { return current_->setOutput(bytes); }
    QByteArray input() override { return current_->input(); }

    void setDTREnable(bool raised) override { current_->setDTREnable(raised); }
    void setRTSEnable(bool raised) override { current_->setRTSEnable(raised); }
    bool setBreak(bool on) override { return current_->setBreak(on); }

    // The window sets these once, for whichever kind is picked later: both kinds keep them.
    bool setAutoRts(bool on) override;
    bool rtsByDriver() const override { return current_->rtsByDriver(); }
    void setLowLatency(bool on) override { serial_.setLowLatency(on), network_.setLowLatency(on); }
    bool lowLatency() const override { return current_->lowLatency(); }
    QString portNotes() const override { return current_->portNotes(); }

    bool ctsHolding() const override { return current_->ctsHolding(); }
    bool dsrHolding() const override { return current_->dsrHolding(); }
    bool cdHolding() const override { return current_->cdHolding(); }

    int commEvent() const override { return current_->commEvent(); }
    QString errorText() const override { return current_->errorText(); }

private:
    void Pass(MSComm& kind);

    MSComm& serial_;
    MSComm& network_;
    const PortMap& portMap_;
    MSComm* current_;
};
