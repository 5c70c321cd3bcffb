#pragma once
// The main window: the tool panel and message list, the streaming buttons, the flags and events, the bar
// graph with its channel row and the wheel, slider and relative read-outs. It owns the core state with the
// hardware components, reports through its message list and shows what the core asks of the screen.

#include "app/MainView.h"
#include "common/KvrTypes.h"

#include <QMainWindow>
#include <QPixmap>
#include <array>
#include <functional>
#include <memory>

class HidBackend;
class QAction;
class QCheckBox;
class QCPBars;
class QCustomPlot;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QTimer;
class QToolButton;
class TAppShortcuts;
class TCategoryPanel;
class TCategoryPanelGroup;
class TColourTrackBar;
class TCopyDataServer;
class TDialButton;
class TGraphPicture;
class TKvrListBox;
class TLiveDisplay;
class TMainCore;
class TRecordingActions;
class TPictureBox;
class TSettingsFile;
class TSevenSegment;
class TStatisticsWindow;
class TThresholdOverlay;
class TToolTipItem;
class TToolTipManager;

class TMainForm : public QMainWindow, public IMainView, public IMessageSink {
    Q_OBJECT
public:
    // copyDataName: the local socket of the copy-data interface (empty: the per-user default).
    explicit TMainForm(std::shared_ptr<HidBackend> backend, const QString& copyDataName = QString(),
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    // Design size of the client area.
    static constexpr int ClientWidth = 950;
    static constexpr int ClientHeight = 708;

    TMainCore& Core() const { return *FCore; }
    TCopyDataServer& CopyDataServer() const { return *FCopyData; }

    // IMessageSink: adds an item to the message list.
    int KvrAddItem(const QString& item, TKvrItemType itemType) override;
    // True when the chip is powered, otherwise the error item "Device power is off!".
    bool CheckPowerOn();

    // IMainView.
    void SetStartCaption(const QString& caption) override;
    void SetStartEnabled(bool enabled) override;
    void SetPauseCaption(const QString& caption) override;
    void SetPauseEnabled(bool enabled) override;
    void SetExportHEnabled(bool enabled) override;
    void SetPowerButtonCaption(const QString& caption) override;
    // Settings window state asked for by the core.
    void SettingsRecordChanged() override;
    void TakeSettingsAsApplied() override;
    void SetSettingsChanged(bool changed) override;
    void ShowATINotice() override;
    void HideATINotice() override;
    bool ATINoticeVisible() const override;
    void ShowDataMissed() override;
    void SetForceSleepEnabled(bool enabled) override;
    bool ForceSleepEnabled() const override;
    void SetLoadSettingsButtonEnabled(bool enabled) override;
    bool LoadSettingsButtonEnabled() const override;
    void SetCalCapWaitVisible(bool visible) override;
    void SetRegisterBusy(bool busy) override;
    void SetDeltaCheckEnabled(bool enabled) override;
    void ShowWarning(const QString& text) override;
    void ShowErrorBox(const QString& text) override;
    uint8_t ShowStartupChooser() override;
    void ClearBarSeries() override;
    void StartBarTimer() override;
    void StopBarTimer() override;
    void StopScopeTimer() override;
    void ShowGraphPicture(bool flickLeft, bool flickRight, bool tap) override;
    void ShowWaitPicture() override;
    void SetAckResetEnabled(bool enabled) override;
    bool AckResetEnabled() const override;
    void SetVersionLabel(const QString& text) override;
    void SetCtLabel(const QString& text, uint32_t colour, bool bold, bool struckOut) override;
    void SetCtLabelHint(const QString& hint) override;
    void SetCtPanelColour(uint32_t colour) override;
    void SetCtSetupButtonEnabled(bool enabled) override;
    bool CtSetupButtonEnabled() const override;
    void UpdateCtSetupList() override;
    void ClearCtSetupList() override;
    bool ToolFirmwareOutdated() const override;
    bool ToolUpdateRecommended() const override;
    bool AskFirmwarePrompt(bool outdated) override;
    void ShowCtSetup() override;
    // The live display.
    void FrameDecoded() override;
    void WheelPosition(int percent) override;
    void MoveRelativeMarker(int step) override;
    void SetChannel0Label(const QString& text) override;
    void ResetLiveDisplay() override;
    void SetChannelEmpty(int channel) override;
    void Delta() override;
    void CheckActiveChannels() override;

    // Application title (task bar): "Korvane KT610B V" + version + " ALPHA".
    QString ApplicationTitle() const;

    // Left column.
    void SetupButtonClick();
    void ScopeButtonClick();
    void StartButtonClick();
    void PauseButtonClick();
    void CtSetupButtonClick();
    void CMTButtonClick();
    // File menu "Export H File".
    void ExportHClick();
    // SaveHDialog: the header file's name, empty when cancelled. Replaceable for tests.
    std::function<QString()> AskHFileName;
    // The engineering page's "Show Send Commands" button: shows the report list and records every report sent.
    void ShowSendCommandsButtonClick();

    // The LeftCtrl+RightCtrl chord.
    void ToggleEngineering();
    // Lines the channel row up under the bars.
    void ArrangeChannelRow();
    // The relative-coordinates strip in its centred state.
    void DrawRelativeStrip();

    // Shell fields.
    QString FAppVersion; // "major.minor.release.build"
    QString AppVersion;  // "V" + FAppVersion
    QString AppPath;
    QString LocalDataPath;
    QString IniFilePath;
    bool FSetupFormIni = true;
    bool FShowTips = false;
    bool FShownTips = false;
    bool FResetSizePos = false;
    bool FValidFirmware = false;
    bool FUpdates = false;  // stored option "Updates": tell about minor tool firmware updates
    bool FUpdates1 = false; // stored option "Updates1", kept as read

    // Pictures.
    QPixmap WaitText, FlickLeft, FlickRight, TapPng, NonePNG, ProxPNG, TouchPNG, SNonePNG, SProxPNG, STouchPNG;
    QPixmap ChipNamePicture;

    // Relative-coordinates strip: left edge of the marker, width of the strip.
    int FCurMovX = 0;
    int FMovImageWidth = 0;

    // Menu.
    QAction* ExportH;
    QAction* Exit1;
    QAction* Resetstartupapplicationsizeandposition1;
    QAction* Showhelphints1;
    QAction* ReadAll;
    QAction* ShowSendCommands1;
    QAction* HintsTips1;
    QAction* About1;
    // "Analysis" menu: the live statistics window and the guided SNR measurement.
    QAction* StatisticsAction;
    QAction* SnrAction;
    void StatisticsClick();
    void SnrClick();
    TStatisticsWindow* StatisticsWindow = nullptr;

    // Left column.
    QScrollArea* ScrollBox;
    TCategoryPanelGroup* CategoryPanelGroup1;
    TCategoryPanel* MessagesCategory;
    TCategoryPanel* StreamingCategory;
    TCategoryPanel* SetupCategory;
    QWidget* MessagesPanel;
    QFrame* CtPanel;
    QLabel* CtLabel;
    QToolButton* CtSetupButton;
    TKvrListBox* MessageBox;
    QPushButton* SetupButton;
    QPushButton* ScopeButton;
    QPushButton* StartButton;
    QPushButton* PauseButton;
    QGroupBox* SysFlagsGroup;
    QLabel *ATIBLabel, *ATIErrorLabel, *LPLabel, *FHLabel, *FHBitsLabel, *ProjLabel, *MovLabel, *ResetLabel,
        *VersionLbl;
    QGroupBox* EventsGroup;
    QLabel *FEFlickLabel, *FETapLabel, *FEMovLabel, *FEAtiLabel, *FESliderLabel, *FETouchLabel, *FEProxLabel;
    QCheckBox* EventsCheck;

    // Right side.
    QWidget* ContainerPanel;
    QFrame* BarPanel;
    QWidget* Panel18;
    QPushButton* RedoATIBtn;
    QPushButton* ReseedBtn;
    QPushButton* AckResetButton;
    QPushButton* StatisticsBtn; // at the right end of Panel18
    QCustomPlot* BarGraph;
    QCPBars* Series1;
    QCPBars* Series2;
    TGraphPicture* GraphPicture;
    // Prox and touch thresholds over the bars, movable by dragging.
    TThresholdOverlay* BarThresholds = nullptr;
    QWidget* ChannelRow;
    // Per channel, index = channel; TTLbl[0] is null (channel 0 has no touch threshold).
    std::array<QLabel*, 4> CHPTShape{}, CHLabel{}, CSLbl{}, LTALbl{}, DTLbl{}, TTLbl{};
    std::array<QCheckBox*, 4> FCHChecks{};
    std::array<QFrame*, 3> Shape{}; // Shape1..Shape3
    QLabel *ChannelsCaption, *CountCaption, *LTACaption, *DeltaCaption, *TouchTHsCaption;
    QCheckBox* AllCHsCheck;
    QPushButton* CMTButton;
    QFrame* WheelPanel;
    TDialButton* JvDialButton1;
    TSevenSegment* SevenSeg1;
    TColourTrackBar* TrackBar1;
    QWidget* MovPanel;
    TPictureBox* MovImage;

    QTimer* RePosTimer;
    QTimer* BarTimer;

    // Hover hints of the four large buttons; their texts follow the program's state.
    TToolTipManager* ToolTipManager1;
    void ToolTipManager1BeforeShow(TToolTipManager* Sender, TToolTipItem* ToolTip);

    // Labels, indicators, bars, read-outs and the scope feed, per decoded frame.
    TLiveDisplay* LiveDisplay = nullptr;
    // Save and load of settings files, and the demonstration set-ups.
    std::unique_ptr<TSettingsFile> SettingsFile;
    // File menu: frame recording and what-if.
    QMenu* FileMenu = nullptr;
    std::unique_ptr<TRecordingActions> Recording;

signals:
    // The main window has closed: the program ends.
    void FormClosed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void CreateMenu();
    void CreateLeftColumn(QWidget* parent);
    void CreateFlagsAndEvents(QWidget* parent);
    void CreateBarPanel(QWidget* parent);
    void CreateChannelRow(QWidget* parent);
    void CreateWheelPanel(QWidget* parent);
    void LoadPictures();
    void FitClientToDesign();
    void ConnectControls();

    void FormCreate();
    void FormActivate();
    void FormResize();
    void FormClose();
    void FormDestroy();

    bool ReadPreferences();
    void WritePreferences();

    void MessageBoxInfoItem();
    void MessageBoxErrorItem();
    void SetMessagesPanelColour(const QColor& colour);
    void ShowWindowRestored(QWidget* window);
    bool HighDensity() const;

    std::unique_ptr<TMainCore> FCore;
    std::unique_ptr<TCopyDataServer> FCopyData;
    std::unique_ptr<TAppShortcuts> FShortcuts;
    bool FFormClosed = false;
    bool FShownOnce = false;
};
