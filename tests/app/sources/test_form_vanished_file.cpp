// The command file pulled away while it is open: sends go on, silently, with what the open
// handle still gives and then with the box as it stands.
#include "form_harness.h"

#include <QDir>
#include <functional>

namespace
{

// Handles this process holds on the path, the file deleted since included.
int HandlesOn(const QString& path)
{
    int count = 0;
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System))
        count += fd.symLinkTarget().startsWith(path) ? 1 : 0;
    return count;
}

TEST(FormVanishedFile, SendsGoOnSilentlyWhenTheOpenFileIsDeletedReplacedOrTruncated)
{
    const QList<QByteArray> readToEndThenStuck { "A", "AB", "ABC", "BCD", "BCD", "BCD" };
    const struct {
        const char* name;
        std::function<void(const QString& path)> fault;
        QList<QByteArray> sent;
        int handles;
    } cases[] = {
        // The open handle reads on to the end; then the name leads nowhere and the box stays.
        { "deleted", [](const QString& path) { QFile::remove(path); }, readToEndThenStuck, 0 },
        // Now an empty file: each step finds its end and opens it again.
        { "truncated", [](const QString& path) { QFile(path).resize(0); }, { "OLD", "OLD", "OLD" }, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormHarness h;
        DurnixForm& f = h.Start();
        f.ComboProt->setCurrentIndex(5); // "As is": each write is the box
        const QString path = QDir(h.folder.path()).canonicalPath() + "/commands.txt";
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("ABCD") == 4);
        file.close();
        f.TextOutput->setEditText("OLD");
        f.OptionModeFile->setChecked(true);
        SetVbValue(f.CheckDisp, 0);
        SetVbValue(f.CheckPatkittain, 0);
        f.TextChars->setText("3");
        h.fileToChoose = path;
        f.CommandSend->click(); // only opens the file
        ASSERT_EQ(HandlesOn(path), 1);

        c.fault(path);
        QList<QByteArray> sent;
        for (qsizetype i = 0; i < c.sent.size(); ++i) {
            f.CommandSend->click();
            sent << h.comm.writes.last();
        }
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(HandlesOn(path), c.handles);
        // Still in file mode on the same name, and nothing asked, shown or beeped.
        EXPECT_EQ(QString("%1 %2 %3 %4 %5").arg(int(f.OptionModeFile->isChecked())).arg(f.CommandFileName)
                      .arg(f.windowTitle()).arg(h.fileDialogs.size()).arg(h.portFailures.size() + h.beeps),
            QString("1 %1 Durnix - %1 1 0").arg(path));
    }
}

} // namespace
