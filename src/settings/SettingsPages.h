#pragma once
// Change tracking of the settings window's pages over the settings record: per page a current and a snapshot
// array, changed flags, the active page, and Apply and Undo of the register pages. The settings window, the
// settings file loader and the command-line tool share it; the window shows its state.

#include <array>
#include <cstdint>
#include <functional>

class TMainCore;

// Page indexes of the settings window.
enum TSettingsPageIndex : int {
    spSetup = 0,
    spProx0 = 1,
    spProx1 = 2,
    spProx2 = 3,
    spProx3 = 4,
    spMultComp = 5,
    spThr = 6,
    spTimings = 7,
    spEvents = 8,
    spEngineering = 9,
    spSysFlags = 11,
    spDataLog = 12
};

class TSettingsPages {
public:
    explicit TSettingsPages(TMainCore& core);

    using TDone = std::function<void(bool ok)>;

    int FActivePage = spSetup;

    // Page 0: stream set-up bits live in TStreamSetup (FCurSetup, FPrevSetup, FStreamSetupChanged).
    std::array<int32_t, 5> FCurSetupCheckStates{}, FPrevSetupCheckStates{};
    bool FSetupChecksChanged = false;
    std::array<int32_t, 6> FProx0Values{}, FPrevProx0Values{};
    bool FProx0SetupChanged = false;
    std::array<int32_t, 5> FProx1Values{}, FPrevProx1Values{};
    bool FProx1SetupChanged = false;
    std::array<int32_t, 5> FProx2Values{}, FPrevProx2Values{};
    bool FProx2SetupChanged = false;
    std::array<int32_t, 8> FProx3Values{}, FPrevProx3Values{};
    bool FProx3SetupChanged = false;
    std::array<int32_t, 14> FMultValues{}, FPrevMultValues{};
    bool FMultSetupChanged = false, FCompSetupChanged = false;
    std::array<int32_t, 8> FThrValues{}, FPrevThrValues{};
    bool FThrSetupChanged = false;
    std::array<int32_t, 6> FTimValues{}, FPrevTimValues{};
    bool FTimSetupChanged = false, FGesSetupChanged = false;
    uint8_t FEveValues = 0, FPrevEveValues = 0;
    bool FEveSetupChanged = false;
    uint8_t FCurSysCheckStates = 0, FPrevSysCheckStates = 0;
    bool FSysChecksChanged = false;

    // Get: the record into the current array. Set: an array into the record.
    void GetSetupCheckStates();
    void SetSetupCheckStates(const std::array<int32_t, 5>& values);
    void GetProx0Values();
    void SetProx0Values(const std::array<int32_t, 6>& values);
    void GetProx1Values();
    void SetProx1Values(const std::array<int32_t, 5>& values);
    void GetProx2Values();
    void SetProx2Values(const std::array<int32_t, 5>& values);
    void GetProx3Values();
    void SetProx3Values(const std::array<int32_t, 8>& values);
    void GetMultValues();
    void SetMultValues(const std::array<int32_t, 14>& values);
    void GetThrValues();
    void SetThrValues(const std::array<int32_t, 8>& values);
    void GetTimValues();
    void SetTimValues(const std::array<int32_t, 6>& values);
    void GetEveValues();
    void SetEveValues(uint8_t values);
    void GetSysCheckStates();
    void SetSysCheckStates(uint8_t values);

    // Change handlers: run after a field of the page changed in the record. All but the Setup and System
    // Flags pages ignore changes while FLoadingSettings is set. (The stream set-up boxes have their handler
    // on TStreamSetup; CheckChanges follows it.)
    void SetupChecksChangeClick();
    void Prox0Change();
    void Prox1Change();
    void Prox2Change();
    void Prox3Change();
    void MultChange();
    void CompChange();
    void ThrChange();
    void TimChange();
    void GesChange();
    void EventChange();
    void SysChecksChangeClick();

    // True when the page differs from its snapshot (pages 9 and 12 never do).
    bool PageChanged(int page) const;
    // The active page has unapplied changes: Undo and Apply are enabled.
    bool Changed() const { return FUndoEnabled; }
    // Re-evaluates the active page and tells the view.
    void CheckChanges();

    // Takes the page's snapshot and clears its flags.
    void Snapshot(int page);
    // Snapshot of every page; hides the ATI notice.
    void ResetDefault();
    // Makes a page the active one for change tracking and takes its snapshot (the page switch without
    // the discard question, which is the window's).
    void SetActivePage(int page);
    // Puts the active page back to its snapshot.
    void CancelButtonClick();

    // Writes the register page that is active (pages 1..8 and 11) and takes its new snapshot. done runs with
    // the result, possibly before this returns; on failure the page stays dirty. The Setup page (stream
    // set-up, tool voltage, display) is applied by the settings window itself: nothing is done here for it.
    void ApplyButtonClick(TDone done);
    static bool IsRegisterPage(int page);

    // "Read All" buttons and "Update all settings from chip": read, snapshot, caches.
    bool ReadAllMultButtonClick();
    bool ReadAllThrButtonClick();
    bool ReadAllTimingsButtonClick();
    // The main window's read-all, then ResetDefault.
    void UpdateAllSettingsClick();

private:
    bool ApplyRegisterPage();
    bool ApplyProx1Page();
    bool ApplyMultCompPage();
    bool ApplyTimingsPage();
    bool ApplySysFlagsPage();
    void Finish(int page, bool ok, const TDone& done);

    TMainCore& FCore;
    bool FUndoEnabled = false;
};
