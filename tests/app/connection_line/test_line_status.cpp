#include "app/display_label.h"
#include "app/lamp.h"
#include "form_harness.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace
{

// The six lamps as one text, in the order framing, parity, CTS, DSR, DCD, RI:
// R red, G green, . black, ? any other colour.
QString Lamps(const DurnixForm& f)
{
    QString shown;
    for (const Lamp* lamp :
        { f.ShapeFraming, f.ShapeParity, f.ShapeCTS, f.ShapeDSR, f.ShapeDCD, f.ShapeRI }) {
        const QColor color = lamp->fillColor();
        shown += color == QColor(255, 0, 0) ? 'R'
            : color == QColor(0, 255, 0)    ? 'G'
            : color == QColor(0, 0, 0)      ? '.'
                                            : '?';
    }
    return shown;
}

} // namespace

TEST(LineStatus, LampsLatchErrorsAndFollowTheModemLines)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    FakeComm& comm = h.comm;
    const auto raise = [&comm](int code) { return [&comm, code](DurnixForm&) { comm.raise(code); }; };
    const struct {
        const char* step;
        std::function<void(DurnixForm&)> act;
        QString lamps;
        int lineErrors;
    } steps[] = {
        { "framing error", raise(1004), "R.....", 1 },
        { "parity error", raise(1009), "RR....", 3 },
        { "framing error again", raise(1004), "RR....", 3 },
        { "clean bytes", [&](DurnixForm&) { comm.receive("ok"); }, "RR....", 3 },
        { "click on the answer", [](DurnixForm& f) { QTest::mouseClick(f.TextInput, Qt::LeftButton); },
            "......", 0 },
        { "CTS up",
            [&](DurnixForm&) {
                comm.cts = true;
                comm.raise(3);
            },
            "..G...", 0 },
        { "DSR up",
            [&](DurnixForm&) {
                comm.dsr = true;
                comm.raise(4);
            },
            "..GG..", 0 },
        { "DCD up",
            [&](DurnixForm&) {
                comm.cd = true;
                comm.raise(5);
            },
            "..GGG.", 0 },
        { "ring", raise(6), "..GGGG", 0 },
        { "unknown event", raise(7), "..GGGG", 0 },
        { "DSR down puts RI out",
            [&](DurnixForm&) {
                comm.dsr = false;
                comm.raise(4);
            },
            "..G.G.", 0 },
        { "ring and parity error",
            [&](DurnixForm&) {
                comm.raise(6);
                comm.raise(1009);
            },
            ".RG.GG", 2 },
        { "a send clears only the errors", [](DurnixForm& f) { f.CommandSend->click(); }, "..G.GG", 0 },
        { "framing error before a failed set-up", raise(1004), "R.G.GG", 1 },
        { "failed set-up keeps every lamp",
            [&](DurnixForm& f) {
                comm.failOpen = true;
                comm.cts = false;
                f.ComboPort->setCurrentIndex(1);
            },
            "R.G.GG", 1 },
        { "set-up shows the lines at once",
            [&](DurnixForm& f) {
                comm.failOpen = false;
                f.ComboPort->setCurrentIndex(2);
            },
            "....G.", 0 },
    };
    ASSERT_EQ(Lamps(f), QString("......"));
    for (const auto& s : steps) {
        s.act(f);
        EXPECT_EQ(Lamps(f), s.lamps) << s.step;
        EXPECT_EQ(f.LineErrors, s.lineErrors) << s.step;
    }
}
