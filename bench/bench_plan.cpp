// A plan of `repeat 10000` / `send ID?` / `match ^durnix` run by durnix-plan against the instrument on a
// pseudo-terminal: cycles per second with every answer checked, beside a minimal pyserial loop that
// writes the same framed packet and reads the answer up to its check byte.
#include "bench_common.h"
#include "instrument_process.h"

#include "command/framing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace
{

constexpr int kCycles = 10000;
constexpr int kCapMs = 120000;

// Cycles per second of the plan, or a reason why there is no figure.
QString PlanRate(const QString& link)
{
    QTemporaryDir folder;
    QFile plan(folder.filePath("bench.plan"));
    if (!plan.open(QIODevice::WriteOnly))
        return QStringLiteral("the plan cannot be written");
    plan.write(QStringLiteral("repeat %1\nsend ID?\nmatch ^durnix\nend\n").arg(kCycles).toUtf8());
    plan.close();
    QProcess run;
    QElapsedTimer clock;
    clock.start();
    run.start(DURNIX_PLAN_PATH, { plan.fileName(), "--port", link, "--quiet" });
    if (!run.waitForFinished(kCapMs) || run.exitCode() != 0)
        return QStringLiteral("the plan failed: %1")
            .arg(QString::fromUtf8(run.readAll() + run.readAllStandardError()));
    const double seconds = double(clock.elapsed()) / 1000.0;
    if (!run.readAllStandardOutput().contains(QByteArray::number(kCycles) + " passed, 0 failed"))
        return QStringLiteral("not every answer passed");
    return QStringLiteral("%1 cycles/s").arg(kCycles / seconds, 0, 'f', 0);
}

// Debian's own Python, which python3-serial is for.
QString PyserialRate(const QString& link)
{
    const QByteArray packet = FramePacket("ID?", VxbWithBcc, 0);
    QProcess run;
    run.start("/usr/bin/python3",
        { DURNIX_PYSERIAL_LOOP, link, QString::number(kCycles), QString::fromLatin1(packet.toHex()), "03" });
    if (!run.waitForFinished(kCapMs) || run.exitCode() != 0)
        return QStringLiteral("no figure: %1").arg(QString::fromUtf8(run.readAllStandardError().trimmed()));
    return QStringLiteral("%1 cycles/s").arg(QString::fromLatin1(run.readAllStandardOutput().trimmed()));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("Test plan, %d cycles of send ID? / match ^durnix against the instrument (%s)\n", kCycles,
        qPrintable(Machine()));
    InstrumentProcess instrument;
    if (!instrument.Start()) {
        std::printf("   the instrument did not start: %s\n", instrument.Errors().constData());
        return 1;
    }
    std::printf("   durnix-plan:     %s\n", qPrintable(PlanRate(instrument.LinkPath())));
    std::printf("   pyserial loop:   %s\n", qPrintable(PyserialRate(instrument.LinkPath())));
    return 0;
}
