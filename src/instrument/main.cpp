#include "common/bytes.h"
#include "instrument/instrument.h"
#include "instrument/instrument_options.h"
#include "instrument/port_loop.h"
#include "instrument/pty_device.h"
#include "common/stop_signals.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>

namespace
{

void PrintLine(std::FILE* stream, const QString& line)
{
    std::fprintf(stream, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stream);
}

void ShowDisplay(const QByteArray& shown)
{
    PrintLine(stderr, QString("display [%1]").arg(FromWindows1252(shown)));
}

int Serve(const InstrumentOptions& options, int stopFd)
{
    QString error;
    std::unique_ptr<PtyDevice> device = PtyDevice::Open(options.linkPath, error);
    if (!device) {
        PrintLine(stderr, "durnix-instrument: " + error);
        return 1;
    }
    PrintLine(stdout, options.linkPath);
    Instrument instrument(
        options.settings, [] { return QTime::currentTime(); }, ShowDisplay);
    const LoopCounters counters = PortLoop(device->MasterFd(), stopFd, options, instrument).Run();
    device.reset();
    PrintLine(stdout, SummaryLine(counters));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Before Qt starts anything, so the stop signals reach only our descriptor.
    const int stopFd = OpenStopSignals();
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    const auto parsed = ParseInstrumentOptions(QCoreApplication::arguments());
    if (const auto* stop = std::get_if<CommandLineStop>(&parsed)) {
        PrintLine(stop->exitCode == 0 ? stdout : stderr, stop->text);
        return stop->exitCode;
    }
    if (stopFd < 0) {
        PrintLine(stderr, "durnix-instrument: cannot watch for stop signals");
        return 1;
    }
    return Serve(std::get<InstrumentOptions>(parsed), stopFd);
}
