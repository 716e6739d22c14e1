#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// The instrument's end of a raw pseudo-terminal pair, with the terminal's end
// linked at a path. We keep a descriptor of the terminal's end open too, so
// that the terminal closing its port is no hang-up for us.
class PtyDevice
{
public:
    // Nothing, with the reason in error, when the pair or the link cannot be made.
    static std::unique_ptr<PtyDevice> Open(const QString& linkPath, QString& error);
    ~PtyDevice(); // removes the link, unless another instrument has taken it over

    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    int MasterFd() const { return master_; }

private:
    PtyDevice(int master, int slave, QByteArray slavePath);

    int master_;
    int slave_;
    QByteArray slavePath_;
    QByteArray linkPath_; // empty until the link is made
};
