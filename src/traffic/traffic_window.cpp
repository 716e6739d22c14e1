#include "traffic/traffic_window.h"

#include "traffic/answer_chart.h"
#include "traffic/traffic_model.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace
{

// A row that must stand out gets a red tint that reads on a light and on a dark base alike; its
// decoded column says why in words.
class StandOutDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(TrafficModel::StandsOutRole).toBool())
            option->backgroundBrush = QColor(230, 40, 40, 70);
    }
};

// Ctrl+C copies whole rows rather than the current cell.
class TrafficTable : public QTableView
{
public:
    explicit TrafficTable(std::function<void()> copy)
        : copy_(std::move(copy))
    {
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Copy))
            copy_();
        else
            QTableView::keyPressEvent(event);
    }

private:
    std::function<void()> copy_;
};

QString CountsText(const QString& title, const QString& summary)
{
    const QMap<QString, QString> f = SummaryFigures(summary);
    return QStringLiteral("<b>%1</b> sends %2 · complete %3 · BCC errors %4 · NAKs %5 · incomplete %6 · "
                          "unanswered %7 — answer ms: min %8 · median %9 · p99 %10 · max %11")
        .arg(title, f["sends"], f["complete"], f["bccerr"], f["nak"], f["incomplete"], f["unanswered"],
            f["min"], f["median"])
        .arg(f["p99"], f["max"]);
}

std::optional<double> Median(const RunStatistics& run)
{
    bool number = false;
    const double median = SummaryFigures(run.Summary()).value(QStringLiteral("median")).toDouble(&number);
    return number ? std::optional(median) : std::nullopt;
}

} // namespace

TrafficWindow::TrafficWindow(TrafficModel& model, TrafficServices services, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , RunCounts(new QLabel(this))
    , PortCounts(new QLabel(this))
    , Dropped(new QLabel(this))
    , Chart(new AnswerChart(this))
    , model_(model)
    , services_(std::move(services))
{
    setObjectName(QStringLiteral("TrafficWindow"));
    setWindowTitle(QStringLiteral("Durnix - Traffic"));
    for (QLabel* counts : { RunCounts, PortCounts })
        counts->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RunCounts);
    layout->addWidget(PortCounts);
    layout->addWidget(Chart);
    layout->addLayout(CreateTools());
    CreateTable();
    layout->addWidget(Table, 1);
    connect(&model_, &TrafficModel::changed, this, &TrafficWindow::ShowFigures);
    resize(900, 640);
}

QLayout* TrafficWindow::CreateTools()
{
    auto* tools = new QHBoxLayout;
    FindText = new QLineEdit(this);
    FindText->setPlaceholderText(QStringLiteral("Find in text or hex (Ctrl+F, Enter for the next)"));
    connect(FindText, &QLineEdit::returnPressed, this, &TrafficWindow::FindNext);
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
        FindText->setFocus(Qt::ShortcutFocusReason);
        FindText->selectAll();
    });
    SaveButton = new QPushButton(QString::fromUtf8("Save\u2026"), this);
    connect(SaveButton, &QPushButton::clicked, this, &TrafficWindow::SaveRows);
    ClearButton = new QPushButton(QStringLiteral("Clear"), this);
    connect(ClearButton, &QPushButton::clicked, &model_, &TrafficModel::Clear);
    tools->addWidget(FindText, 1);
    tools->addWidget(Dropped);
    tools->addWidget(SaveButton);
    tools->addWidget(ClearButton);
    return tools;
}

// Rows of one height, columns of fixed widths: the table lays out only the rows it shows.
void TrafficWindow::CreateTable()
{
    Table = new TrafficTable([this] { CopyRows(); });
    Table->setParent(this);
    Table->setModel(&model_);
    Table->setItemDelegate(new StandOutDelegate(Table));
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Table->setWordWrap(false);
    Table->verticalHeader()->hide();
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 4);
    const int widths[] = { 165, 45, 180, 180, 50 };
    for (int column = 0; column < int(std::size(widths)); ++column)
        Table->setColumnWidth(column, widths[column]);
    Table->horizontalHeader()->setStretchLastSection(true);
    QScrollBar* bar = Table->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
        [this, bar](int value) { following_ = value == bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, &TrafficWindow::Follow);
}

// Rows added while the newest one shows bring the newest into view again.
void TrafficWindow::Follow()
{
    if (following_)
        Table->scrollToBottom();
}

void TrafficWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ShowFigures();
}

void TrafficWindow::ShowFigures()
{
    if (!isVisible())
        return;
    const TrafficCounts& counts = model_.Counts();
    RunCounts->setText(CountsText(QStringLiteral("This run:"), counts.Run().Summary()));
    PortCounts->setText(CountsText(QStringLiteral("Since the port opened:"), counts.SincePort().Summary()));
    Dropped->setText(
        model_.Dropped() ? QStringLiteral("%1 older records dropped").arg(model_.Dropped()) : QString());
    Chart->Show(counts.RunTimes(), Median(counts.Run()));
}

void TrafficWindow::FindNext()
{
    const int after = Table->currentIndex().isValid() ? Table->currentIndex().row() : -1;
    if (const std::optional<int> row = model_.Find(FindText->text(), after)) {
        Table->selectRow(*row);
        Table->scrollTo(model_.index(*row, 0));
    }
}

void TrafficWindow::CopyRows()
{
    QList<int> rows;
    for (const QModelIndex& index : Table->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QGuiApplication::clipboard()->setText(QString::fromUtf8(model_.LogText(rows)));
}

void TrafficWindow::SaveRows()
{
    const QString path = services_.askSavePath();
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(model_.LogText()) < 0 || !file.commit())
        services_.showSaveFailure(
            this, QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
}
