#pragma once

#include <QWidget>
#include <functional>

class AnswerChart;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TrafficModel;

// What the traffic window asks of the desktop: where to save, and telling of a save that failed.
struct TrafficServices {
    std::function<QString()> askSavePath;
    std::function<void(QWidget*, const QString&)> showSaveFailure;
};

// The whole exchange on the line as a table that follows the newest row, the live figures above it and
// the run's answer times as a chart.
class TrafficWindow : public QWidget
{
    Q_OBJECT
public:
    TrafficWindow(TrafficModel& model, TrafficServices services, QWidget* parent = nullptr);

    QLabel *RunCounts, *PortCounts, *Dropped;
    AnswerChart* Chart;
    QLineEdit* FindText;
    QPushButton *SaveButton, *ClearButton;
    QTableView* Table;

    bool Following() const { return following_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLayout* CreateTools();
    void CreateTable();
    void Follow();
    void ShowFigures();
    void FindNext();
    void CopyRows();
    void SaveRows();

    TrafficModel& model_;
    TrafficServices services_;
    bool following_ = true;
};
