#pragma once

#include "app/form_services.h"
#include "app/settings/window_placement.h"
#include "command/recent_commands.h"
#include "exchange/exchange.h"
#include "log/traffic_log.h"
#include "response/receiver.h"
#include "serial/port_map.h"
#include "sources/command_file.h"
#include "sources/display_fitting.h"

#include <QWidget>

class DisplayLabel;
class IntervalTimer;
class Lamp;
class MSComm;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QRadioButton;
class QScrollBar;
class TrafficModel;
class TrafficWindow;
struct SettingLine;

// The one window of Durnix. Controls, window-level variables and handlers
// carry the names the operators' documentation uses; the handlers are defined
// beside the core code of their subsystem.
class DurnixForm : public QWidget {
    Q_OBJECT
public:
    DurnixForm(MSComm& comm, FormServices services, QWidget* parent = nullptr);
    ~DurnixForm() override;

    // Whether the settings file gave the window its place on the screen.
    bool PlacedBySettings() const { return placedBySettings_; }
    // Brings a window that the settings file placed where no screen shows it back onto the
    // nearest of these screen areas.
    void KeepOnScreens(const QList<QRect>& screenAreas);

    // Window-level variables, readable by tests and tools.
    qint16 ResponseState = 0;
    qint16 LineErrors = 0;
    qint16 ShownLineErrors = 0;
    qint16 Loading = 0;
    qint16 SettingOutput = 0;
    qint16 RunningNumber = 0;
    double ModeFreeDisp = 0;
    double ModeTimeDisp = 1;
    double ModeFileDisp = -1;
    QString CommandFileName;
    RecentCommands Recent; // the texts mirror the TextOutput list; RecentDisp and RecentHex

    // Frame "Connection"
    QGroupBox* Frame1;
    QLabel *Label1, *Label2, *Label8, *Label5, *Label4;
    QComboBox *ComboPort, *ComboBPS, *ComboBits, *ComboPar, *ComboStop, *ComboProt;
    QLineEdit* TextAddr;
    QScrollBar* VScrollAddr;
    // Frame "Line"
    QGroupBox* Frame2;
    QCheckBox *CheckDTR, *CheckRTS, *CheckAutoRTS;
    QPushButton* CommandBreak;
    Lamp *ShapeFraming, *ShapeParity, *ShapeDSR, *ShapeRI, *ShapeDCD, *ShapeCTS;
    QLabel *Label9, *Label10, *Label3, *Label12, *Label7, *CTS;
    // Frame "Repeat"
    QGroupBox* Frame3;
    QLabel *Label6, *Label11;
    QLineEdit *TextRepeat, *TextCount;
    QCheckBox *CheckRepeat, *CheckWaitForResponse;
    // Frame "Command"
    QGroupBox* Frame4;
    QRadioButton *OptionModeFree, *OptionModeTime, *OptionModeFile;
    QCheckBox *CheckHex, *CheckPatkittain, *CheckDisp, *CheckAA;
    QComboBox* ComboTime;
    QLabel* LabelChars;
    QLineEdit* TextChars;
    QComboBox* TextOutput;
    DisplayLabel* TextOutputhex;
    QPushButton* CommandSend;
    // Frame "Response"
    QGroupBox* Frame5;
    DisplayLabel *TextInputHex, *TextInput;
    // Controls without a place on screen
    IntervalTimer* RepeatTimer;
    IntervalTimer* RTSTimer;
    MSComm& MSComm1;
    // The right-click menu of the three displays: copying and the traffic log.
    QMenu* DisplayMenu;
    QAction *MenuCopy, *MenuStartLog, *MenuStopLog;
    // "Ports…", in the right-click menus of the port box and of the displays.
    QMenu* PortMenu;
    QAction* MenuPorts;
    // The traffic window, from "Traffic..." in that menu or Ctrl+T; made when first opened.
    QAction* MenuTraffic;
    TrafficWindow* Traffic = nullptr;

    // The traffic log; a failure to start it is shown to the operator.
    bool StartLog(const QString& path);
    void StopLog();

    // Window procedures called across subsystems.
    void SetCaption(const QString& text);
    bool SendCommand();
    void NextCommandText();
    void CloseCommandFile();
    void ConfigurePort();
    void ShowLineErrors();
    void ShowModemLines();

    // Handlers, one per event, in the order of the subsystems.
    void CommandSend_Click();
    void TextRepeat_Change();
    void CheckRepeat_Click();
    void RepeatTimer_Timer();
    void TextAddr_Change();
    void VScrollAddr_Change();
    void ComboProt_Click();

    void MSComm1_OnComm();
    void MSComm1_PortLost();
    void TextInput_Click();

    void OptionModeFree_Click();
    void OptionModeTime_Click();
    void OptionModeFile_Click();
    void ComboTime_Click();
    void TextOutput_Change();
    void TextOutput_Click();

    void ComboPort_Click();
    void MenuPorts_Click();
    void ComboBPS_Click();
    void ComboBPS_Change();
    void ComboBits_Click();
    void ComboPar_Click();
    void ComboStop_Click();
    void CheckDTR_Click();
    void CheckRTS_Click();
    void CheckAutoRTS_Click();
    void RTSTimer_Timer();
    void CommandBreak_Click();

    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Design and wiring.
    void CreateConnectionFrame();
    void CreateLineFrame();
    void CreateRepeatFrame();
    void CreateCommandFrame();
    void CreateResponseFrame();
    void ApplyFonts();
    void SetTabOrder();
    void Wire();
    void DropTicksInModalBoxes();
    void WireConnection();
    void WireLineAndRepeat();
    void WireCommand();
    void FillLists();
    void SelectDefaults();

    // Send path.
    void TransmitPacket(const QByteArray& packet);
    void WritePacket(const QByteArray& packet);
    void RememberSentCommand();
    void CountDownRepeat();

    // Receive path.
    void ReceiveBytes();

    // Command sources.
    void SwitchMode(int mode);
    void FileStep();
    void OpenCommandFile();
    void ApplyDispMemory(int mode);

    // Port.
    bool ConfigurePortSteps();
    void ReportPortFailure();
    void HoldBreak();
    void SetUpPortMenu();
    void ApplyPortMap(const PortMap& chosen);

    // Display menu and traffic log.
    void CreateDisplayMenu();
    void SetUpLog();
    void ShowDisplayMenu(DisplayLabel* display, const QPoint& position);
    void MenuCopy_Click();
    void MenuStartLog_Click();
    void ShowLogState();
    void LogLineEvent();
    void LogPortOutcome(bool opened);
    void LogPortLost();

    // Traffic window.
    void SetUpTraffic();
    void MenuTraffic_Click();
    bool ApplyTrafficSetting(const SettingLine& line);
    std::optional<QRect> TrafficPlace() const;

    // Settings file.
    void FileLoadSettings();
    bool ApplySetting(const SettingLine& line);
    bool ApplyWindowSetting(const SettingLine& line);
    bool ApplyConnectionSetting(const SettingLine& line);
    bool ApplyLineAndRepeatSetting(const SettingLine& line);
    bool ApplyCommandSetting(const SettingLine& line);
    bool ApplyRecentSetting(const SettingLine& line);
    void FitOuterSize();
    void WriteSettingsFile();

    FormServices services_;
    int modalDepth_ = 0; // modal boxes and dialogs open inside a handler
    bool placedBySettings_ = false;
    std::optional<OuterSizeFit> outerSizeFit_; // from the settings, until the frame is known
    Receiver receiver_;
    CommandFile commandFile_;
    DisplayFitting fitting_;
    TrafficLog trafficLog_;
    Exchange exchange_ { MSComm1, receiver_, trafficLog_ };
    DisplayLabel* menuDisplay_ = nullptr;
    TrafficModel* trafficModel_;
    std::optional<QRect> trafficPlace_; // twips, as the settings file gave it
};
