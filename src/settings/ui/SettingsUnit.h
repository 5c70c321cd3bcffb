#pragma once
// The settings window: a navigation column selects one page at a time; each register page edits one
// register group of the chip. The controls show and edit the core's settings record; change tracking,
// Apply and Undo of the register pages and every register operation live in the core.

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QTableWidget;
class QVBoxLayout;
class TDataLogPage;
class TKvrRadioGroup;
class TMainCore;
class TSettingsFile;
struct TSettingsRecord;
class TSpinTrackPair;

class TSettingsForm : public QWidget {
    Q_OBJECT
public:
    // Over the main window's core (the main window is created first).
    explicit TSettingsForm(QWidget* parent = nullptr);
    explicit TSettingsForm(TMainCore& core, QWidget* parent = nullptr);
    ~TSettingsForm() override;

    // Page indices (the navigation buttons' pages).
    static constexpr int SetupPageIndex = 0;
    static constexpr int Prox1PageIndex = 2;
    static constexpr int EngineeringPageIndex = 9;

    // The page shown.
    int ActivePage() const { return FShownPage; }
    // The navigation: asks before unapplied changes are discarded.
    void SelectPage(int index) { NavButtonClick(index); }
    // The same for an edit made outside the window (a threshold dragged on a graph): a snapshot still owed to
    // the next activation is taken now, so that it cannot swallow the edit.
    void SelectPageForEdit(int index);

    // Engineering mode shows the "Engineering" navigation button.
    void SetEngineeringVisible(bool visible);
    bool IsEngineeringVisible() const;
    void SelectEngineeringPage() { SelectPage(EngineeringPageIndex); }
    void SelectSetupPage() { SelectPage(SetupPageIndex); }
    bool IsEngineeringPageCurrent() const { return FShownPage == EngineeringPageIndex; }

    // What the main window passes on from the core (IMainView).
    void SettingsRecordChanged();
    void TakeSettingsAsApplied();
    void SetSettingsChanged(bool changed);
    void ShowATINotice();
    void HideATINotice();
    bool ATINoticeVisible() const;
    void ShowDataMissed();
    void SetForceSleepEnabled(bool enabled);
    bool ForceSleepEnabled() const;
    void SetPowerButtonCaption(const QString& caption);
    void SetLoadSettingsButtonEnabled(bool enabled);
    bool LoadSettingsButtonEnabled() const;
    void SetCalCapWaitVisible(bool visible);
    void SetRegisterBusy(bool busy);
    void SetDeltaCheckEnabled(bool enabled);

    // Handlers.
    void NavButtonClick(int page);
    void ApplyButtonClick();
    void CancelButtonClick();
    void CloseButtonClick();
    void ResetDefault();
    void UpdateAllSettingsClick();
    void IgnoreButtonClick();
    // The record after a Read All button, and its outcome on the bottom bar.
    void ShowReadResult(bool ok);
    void ReadAllMultButtonClick();
    void ReadAllThrButtonClick();
    void ReadAllTimingsButtonClick();
    void RedoATIButtonClick();
    void ReseedButtonClick();
    void ForceSleepButtonClick();
    void VoltageComboChange();
    void FormActivate();

    // The opacity as set by JvTracker1: round(value x 2.55).
    int AlphaBlendValue() const { return FAlphaBlendValue; }

    // Replaceable for tests: the discard question (true for Yes), the bar graph's left axis, opening the
    // raw report window.
    std::function<bool(const QString& text)> AskYesNo;
    std::function<void(int minimum, int maximum, int increment)> OnSetGraphAxis;
    std::function<void()> OnShowSendCommands;

    // Navigation column.
    QPushButton* NavButton(int page) const { return FNavButtons.at(page); }
    QPushButton* SetupNavButton;
    QPushButton* EngineeringNavButton;
    QFrame* ATIErrorPanel;
    QLabel* ATIErrorLabel;
    QPushButton* UpdateAllSettings;
    QPushButton* IgnoreButton;
    QFrame* ReadAllPanel;
    QPushButton* UpdateAllSettings2;
    QSlider* JvTracker1;

    // Page area.
    QLabel* SetupPageHeader;
    QStackedWidget* PageControl;
    QWidget* Page(int index) const { return FPages.at(index); }
    QTableWidget* StringGrid1;

    // Bottom bar.
    QLabel* ErrorLabel;
    QLabel* ChangeLabel;
    QFrame* CancelPanel;
    QPushButton* CancelButton;
    QFrame* ApplyPanel;
    QPushButton* ApplyButton;
    QPushButton* CloseButton;

    // Setup page.
    QCheckBox *WheelCheck, *PTCheck, *CSCheck, *LTACheck, *DeltaStrCheck;
    QComboBox* VoltageCombo;
    QCheckBox* DeltaCheck;
    QSpinBox *GraphMinSpin, *GraphMaxSpin, *GraphIncSpin;
    QLabel* Label59;
    // "Save / Load Settings".
    QGroupBox* SaveLoadGroup;
    QLineEdit* SettingsFileEdit;
    QPushButton* SettingsFileButton;
    QCheckBox* LoadSettingsCheck;
    QPushButton* SaveSettingsButton;
    QPushButton* LoadSettingsButton = nullptr;
    void SettingsFileButtonClick();
    void LoadSettingsCheckClick(bool checked);
    void LoadSettingsButtonClick();
    void SaveSettingsButtonClick();
    // Replaceable for tests: the open and save dialogs (empty for cancel) and the question before saving
    // (1 Yes, 0 No, -1 dismissed).
    std::function<QString()> AskOpenSettingsFile;
    std::function<QString(const QString& initial)> AskSaveSettingsFile;
    std::function<int(const QString& text)> AskUpdateBeforeSave;

    // Register pages.
    QPushButton *RedoATIButton, *ReseedButton, *ForceSleepButton;
    QComboBox *SensAllCombo, *CompAllCombo;
    QSpinBox* CompAllSpin;
    QPushButton *ReadAllMultButton, *ReadAllThrButton, *ReadAllTimingsButton;

    // Data logging page, filled by the data log.
    QWidget* DataLogPage;
    TDataLogPage* DataLog = nullptr;

    // Engineering page.
    QLabel* DataMissLabel;
    QPushButton* PowerButton; // "Power On" / "Power Off"
    QPushButton* ShowSendCommandsButton;
    QLineEdit *MMAddressEdit, *MMDataEdit, *DirAddrEdit, *DirDataEdit;
    QPushButton *ReadMMButton, *WriteMMButton, *InDirReadButton, *InDirWriteButton;
    QPushButton* ReadActualBaseButton;
    QLineEdit* Edit1;
    QPushButton* Button2;
    QLabel* Label39;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Create();
    void CreateNavColumn(QVBoxLayout* column);
    QWidget* CreateBottomBar();
    void CreateSetupPage();
    QVBoxLayout* CreateRadioPage(int page, const QString& name, const QStringList& controls, int columns);
    void CreateMultCompPage();
    void CreateThrPage();
    void CreateTimingsPage();
    void CreateEngineeringPage();
    void CreateSaveLoadGroup();
    TSettingsFile& SettingsFileOps();
    void SetLoadSettingsCaptionBold(bool bold);
    void SaveSettings();
    void BringToFront();
    QWidget* AddPage(int index, const QString& name);
    void AddButtonRow(QVBoxLayout* layout, const std::vector<QPushButton*>& buttons);

    // Binding of a control to its record field: fill from the record, and on a user edit write the
    // record and run the change handler.
    TKvrRadioGroup* BoundRadio(const QString& name, const std::function<void()>& change);
    QComboBox* BoundCombo(const QString& name, const std::function<void()>& change);
    QCheckBox* BoundCheck(const QString& name, const QString& caption, const std::function<void()>& change);
    QSpinBox* BoundSpin(const QString& name, const std::function<void()>& change);
    TSpinTrackPair* BoundPair(const QString& name, const QString& trackName, const std::function<void()>& change);
    QLineEdit* BoundEdit(const QString& name, bool readOnly);
    QLineEdit* HexEdit(const QString& name);
    QPushButton* Button(const QString& name, const QString& caption);
    // Runs a user edit: nothing while the window fills its controls.
    void Edited(const std::function<void()>& write, const std::function<void()>& change);
    void FillFromRecord();
    // The bottom bar follows the core's change state.
    void SyncChangeState();
    TSettingsRecord& Settings() const;

    void ShowPage(int page);
    // The snapshot of the shown page that an activation after a close takes.
    void TakeActivationSnapshot();
    void ApplySetupPage();
    void ApplyDone(int page, int rows, bool reread, bool ok);
    void ShowError(const QString& text);
    void ShowChange(const QString& text);
    void CopyCommandRows(int count);
    void ClearCommandRows();
    void SetPanelColours(bool dirty);
    void RememberPosition();

    std::unique_ptr<TMainCore> FOwnCore;
    // The settings-file operations of a window over a core of its own.
    std::unique_ptr<TSettingsFile> FOwnSettingsFile;
    TMainCore& FCore;
    std::map<int, QPushButton*> FNavButtons;
    std::map<int, QWidget*> FPages;
    std::vector<std::function<void()>> FFills;
    QWidget* FNavColumn = nullptr;
    int FShownPage = SetupPageIndex;
    bool FFilling = false;
    bool FUndoEnabled = false;
    bool FLoadSettingsEnabled = false;
    int FAlphaBlendValue = 255;
    // SettingsRecordChanged calls: a read from the chip that succeeded shows its values.
    int FRecordFills = 0;

    // Window life cycle.
    bool FDoActivate = true;
    bool FSetupFormIni = true;
    bool FFormActivated = false;
    bool FRunLTApply = false;
    QPoint FRunPos;
};
