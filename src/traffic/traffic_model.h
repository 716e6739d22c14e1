#pragma once

#include "traffic/traffic_counts.h"
#include "traffic/traffic_row.h"

#include <QAbstractTableModel>
#include <QTimer>
#include <deque>
#include <optional>
#include <vector>

// The latest records of the line, one row each, for a table that draws only the rows it shows. Records
// come one by one as they are made and reach the table in batches, a few times a second at most, so
// that a fast line costs the table one insertion per batch. The oldest rows beyond the bounds, of rows
// and of their bytes, are dropped and counted.
class TrafficModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { TimeColumn, EventColumn, HexColumn, TextColumn, MsColumn, DecodedColumn, ColumnCount };
    // True for a row that must stand out, which the table shows in a colour of its own.
    static constexpr int StandsOutRole = Qt::UserRole;
    static constexpr int kKeptRows = 100000;
    // What the records' bytes and texts may take: a flood's answers come in records of 64 KiB.
    static constexpr qint64 kKeptBytes = 8 << 20;
    static constexpr int kBatchMs = 250;

    explicit TrafficModel(int keptRows = kKeptRows, qint64 keptBytes = kKeptBytes, QObject* parent = nullptr);

    void Add(const TrafficRecord& record);
    void RepeatSwitched(bool on);
    // Empties the table; the figures go on.
    void Clear();

    qint64 Dropped() const { return dropped_; }
    const TrafficCounts& Counts() const { return counts_; }
    // The rows in the log's format, with its header.
    QByteArray LogText(const QList<int>& rows) const;
    QByteArray LogText() const;
    // The first row after `after` (wrapping round) whose text or hex holds `text`, ignoring case.
    std::optional<int> Find(const QString& text, int after) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // A batch reached the table, or the table was emptied.
    void changed();

private:
    void Flush();
    qsizetype Excess() const;
    void DropOldest(qsizetype count);
    TrafficRow* RowAt(qint64 number);
    QString Shown(const TrafficRow& row, int column) const;

    int kept_;
    qint64 keptBytes_;
    qint64 bytes_ = 0; // of the rows kept and waiting, as RecordBytes() counts them
    std::deque<TrafficRow> rows_;
    std::vector<TrafficRow> pending_;
    qint64 first_ = 0; // the number of rows_.front() among all rows ever made
    qint64 dropped_ = 0;
    std::optional<qint64> unanswered_; // the number of the latest send while no answer has come
    TrafficCounts counts_;
    QTimer batch_;
};
