#include "traffic/traffic_model.h"

#include <numeric>

namespace
{

// A cell shows the start of a long record: a flood's 64 KiB need not be laid out at every paint.
constexpr qsizetype kShownBytes = 300;
constexpr qsizetype kShownChars = 1000;

QString Cut(QString text)
{
    if (text.size() > kShownChars) {
        text.truncate(kShownChars);
        text += QChar(0x2026);
    }
    return text;
}

qint64 RecordBytes(const TrafficRow& row)
{
    const LogRecord& record = row.traffic.record;
    return record.bytes.size() + record.text.size() * qint64(sizeof(QChar));
}

const char* const kTitles[] = { "Time", "Event", "Hex", "Text", "ms", "Decoded" };

} // namespace

TrafficModel::TrafficModel(int keptRows, qint64 keptBytes, QObject* parent)
    : QAbstractTableModel(parent)
    , kept_(keptRows)
    , keptBytes_(keptBytes)
{
    batch_.setSingleShot(true);
    batch_.setInterval(kBatchMs);
    connect(&batch_, &QTimer::timeout, this, &TrafficModel::Flush);
}

void TrafficModel::Add(const TrafficRecord& record)
{
    counts_.Add(record);
    const qint64 number = first_ + qint64(rows_.size() + pending_.size());
    const QString& event = record.record.event;
    if (event == QLatin1String("RX")) {
        unanswered_.reset();
    } else if (event == QLatin1String("TX")) {
        if (TrafficRow* send = unanswered_ ? RowAt(*unanswered_) : nullptr) {
            MarkUnanswered(*send);
            if (const qint64 row = *unanswered_ - first_; row < qint64(rows_.size()))
                emit dataChanged(index(int(row), DecodedColumn), index(int(row), DecodedColumn));
        }
        unanswered_ = number;
    }
    pending_.push_back(MakeTrafficRow(record));
    bytes_ += RecordBytes(pending_.back());
    if (!batch_.isActive())
        batch_.start();
}

void TrafficModel::RepeatSwitched(bool on)
{
    counts_.RepeatSwitched(on);
}

void TrafficModel::Clear()
{
    beginResetModel();
    first_ += qint64(rows_.size() + pending_.size());
    rows_.clear();
    pending_.clear();
    bytes_ = 0;
    unanswered_.reset();
    endResetModel();
    emit changed();
}

TrafficRow* TrafficModel::RowAt(qint64 number)
{
    const qint64 at = number - first_;
    if (at < 0)
        return nullptr;
    if (at < qint64(rows_.size()))
        return &rows_[at];
    const qint64 pendingAt = at - qint64(rows_.size());
    return pendingAt < qint64(pending_.size()) ? &pending_[pendingAt] : nullptr;
}

void TrafficModel::Flush()
{
    if (const qsizetype excess = Excess())
        DropOldest(excess);
    if (!pending_.empty()) {
        const int start = int(rows_.size());
        beginInsertRows({}, start, start + int(pending_.size()) - 1);
        std::move(pending_.begin(), pending_.end(), std::back_inserter(rows_));
        pending_.clear();
        endInsertRows();
    }
    emit changed();
}

// How many of the oldest rows must go for the rest to keep within both bounds.
qsizetype TrafficModel::Excess() const
{
    const qsizetype total = qsizetype(rows_.size() + pending_.size());
    qsizetype excess = std::max<qsizetype>(total - kept_, 0);
    qint64 bytes = bytes_;
    for (qsizetype at = 0; at < total; ++at) {
        if (at >= excess && bytes <= keptBytes_)
            break;
        const TrafficRow& row = at < qsizetype(rows_.size()) ? rows_[at] : pending_[at - rows_.size()];
        bytes -= RecordBytes(row);
        excess = std::max(excess, at + 1);
    }
    return excess;
}

void TrafficModel::DropOldest(qsizetype count)
{
    for (qsizetype at = 0; at < count; ++at)
        bytes_ -= RecordBytes(at < qsizetype(rows_.size()) ? rows_[at] : pending_[at - rows_.size()]);
    const qsizetype fromRows = std::min<qsizetype>(count, rows_.size());
    if (fromRows > 0) {
        beginRemoveRows({}, 0, int(fromRows) - 1);
        rows_.erase(rows_.begin(), rows_.begin() + fromRows);
        endRemoveRows();
    }
    pending_.erase(pending_.begin(), pending_.begin() + (count - fromRows));
    first_ += count;
    dropped_ += count;
}

QByteArray TrafficModel::LogText(const QList<int>& rows) const
{
    QByteArray text(kLogHeader);
    for (const int row : rows)
        text += FormatLogRecord(rows_.at(row).traffic.record);
    return text;
}

QByteArray TrafficModel::LogText() const
{
    QList<int> all(rowCount());
    std::iota(all.begin(), all.end(), 0);
    return LogText(all);
}

std::optional<int> TrafficModel::Find(const QString& text, int after) const
{
    const int count = rowCount();
    for (int step = 1; step <= count && !text.isEmpty(); ++step) {
        const int row = (after + step) % count;
        const TrafficRow& candidate = rows_[row];
        if (candidate.traffic.record.text.contains(text, Qt::CaseInsensitive)
            || Shown(candidate, HexColumn).contains(text, Qt::CaseInsensitive))
            return row;
    }
    return std::nullopt;
}

int TrafficModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int TrafficModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TrafficModel::Shown(const TrafficRow& row, int column) const
{
    const LogRecord& record = row.traffic.record;
    switch (column) {
    case TimeColumn:
        return LogTime(record.time);
    case EventColumn:
        return record.event;
    case HexColumn:
        return LogHex(record.bytes);
    case TextColumn:
        return ::LogText(record.text);
    case MsColumn:
        return record.ms ? LogMs(*record.ms) : QString();
    default:
        return row.decoded;
    }
}

QVariant TrafficModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TrafficRow& row = rows_[index.row()];
    const QByteArray& bytes = row.traffic.record.bytes;
    if (role == Qt::DisplayRole && index.column() == HexColumn && bytes.size() > kShownBytes)
        return LogHex(QByteArrayView(bytes).first(kShownBytes)) + QChar(0x2026);
    if (role == Qt::DisplayRole)
        return Cut(Shown(row, index.column()));
    if (role == Qt::ToolTipRole && index.column() == DecodedColumn && !row.decoded.isEmpty())
        return row.decoded; // whole, where the column is too narrow for it
    if (role == StandsOutRole)
        return row.standsOut;
    if (role == Qt::TextAlignmentRole && index.column() == MsColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return QString::fromLatin1(kTitles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}
