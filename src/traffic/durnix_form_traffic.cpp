// The traffic window's hooks in the main window: its model fed from the start, the menu entry and Ctrl+T,
// and its place in the settings file.
#include "app/durnix_form.h"
#include "app/settings/settings_reader.h"
#include "app/twips.h"
#include "app/vb_controls.h"
#include "traffic/traffic_model.h"
#include "traffic/traffic_window.h"

#include <QCheckBox>
#include <QMenu>

void DurnixForm::SetUpTraffic()
{
    trafficModel_ = new TrafficModel(TrafficModel::kKeptRows, TrafficModel::kKeptBytes, this);
    connect(&trafficLog_, &TrafficLog::recorded, trafficModel_, &TrafficModel::Add);
    // After the repeat's own handler, which has told the log.
    connect(CheckRepeat, &QCheckBox::stateChanged, trafficModel_,
        [this] { trafficModel_->RepeatSwitched(IsSet(CheckRepeat)); });
    MenuTraffic
        = DisplayMenu->addAction(QString::fromUtf8("Traffic\u2026"), this, &DurnixForm::MenuTraffic_Click);
    MenuTraffic->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    addAction(MenuTraffic); // so that Ctrl+T works anywhere in the window
}

// Closing the window only hides it: opening it again shows every row kept meanwhile.
void DurnixForm::MenuTraffic_Click()
{
    if (!Traffic) {
        Traffic = new TrafficWindow(*trafficModel_,
            { [this] { return services_.askLogFileName(services_.settingsFolder); },
                [this](
                    QWidget* parent, const QString& message) { services_.showLogFailure(parent, message); } },
            this);
        if (trafficPlace_) {
            const QRect place = TwipsRect(
                trafficPlace_->x(), trafficPlace_->y(), trafficPlace_->width(), trafficPlace_->height());
            Traffic->move(place.topLeft());
            Traffic->resize(place.size());
        }
    }
    Traffic->show();
    Traffic->raise();
    Traffic->activateWindow();
}

bool DurnixForm::ApplyTrafficSetting(const SettingLine& line)
{
    if (line.key < SettingKey::TrafficLeft || line.key > SettingKey::TrafficHeight)
        return true;
    QRect& place = trafficPlace_ ? *trafficPlace_ : trafficPlace_.emplace(0, 0, 6000, 6000);
    const int twips = SettingTwips(line.value);
    if (line.key == SettingKey::TrafficLeft)
        place.moveLeft(twips);
    else if (line.key == SettingKey::TrafficTop)
        place.moveTop(twips);
    else if (line.key == SettingKey::TrafficWidth)
        place.setWidth(twips);
    else
        place.setHeight(twips);
    return true;
}

// The window's place while it is in its normal state; the place read at start-up when it never opened.
std::optional<QRect> DurnixForm::TrafficPlace() const
{
    if (!Traffic)
        return trafficPlace_;
    if (Traffic->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return trafficPlace_;
    const QRect frame = Traffic->frameGeometry();
    return QRect(int(PixelsToTwips(frame.x())), int(PixelsToTwips(frame.y())),
        int(PixelsToTwips(Traffic->width())), int(PixelsToTwips(Traffic->height())));
}
