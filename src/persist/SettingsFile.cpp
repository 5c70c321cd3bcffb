#include "persist/SettingsFile.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "persist/IniFile.h"
#include "settings/RegisterOperations.h"
#include "toollink/HIDToolsErrorCodes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <vector>

namespace {

const QString IdentitySection = QStringLiteral("IC");
const QString IdentityKey = QStringLiteral("Device");
const QString LoadError = QStringLiteral("Error loading settings!");
const QString InvalidFileItem = QStringLiteral("Invalid settings file selected!");
const QString InvalidFileBox = QStringLiteral("The selected settings file is invalid or ment for a different device.");
const QString DemoMissingBox =
    QStringLiteral("Unable to locate the settings file!\n\nPlease try reinstalling this application.");

enum class TKeyKind { kNumber, kIndex, kCheck };

// One key of the file. The value lives in a control of the settings record, a check of the main window, or
// one of the main window's channel checks.
struct TKey {
    const char* Section;
    const char* Key;
    TKeyKind Kind;
    int Default;
    const char* Control = nullptr;
    bool TMainCore::*CoreCheck = nullptr;
    int Channel = -1;
    // The names as strings, made once: a load looks up every key.
    QString SectionName{};
    QString KeyName{};
    QString ControlName{};
};

TKey Number(const char* section, const char* key, const char* control, int def)
{
    return {section, key, TKeyKind::kNumber, def, control};
}
TKey Index(const char* section, const char* key, const char* control, int def)
{
    return {section, key, TKeyKind::kIndex, def, control};
}
TKey Check(const char* section, const char* key, const char* control, bool def)
{
    return {section, key, TKeyKind::kCheck, def ? 1 : 0, control};
}
TKey MainCheck(const char* section, const char* key, bool TMainCore::*check)
{
    return {section, key, TKeyKind::kCheck, 1, nullptr, check};
}
TKey ChannelCheck(int channel)
{
    static const char* const names[] = {"CH0", "CH1", "CH2", "CH3"};
    return {"Channels", names[channel], TKeyKind::kCheck, 1, nullptr, nullptr, channel};
}

// Every key after [IC] Device, in the order written.
const std::vector<TKey>& Keys()
{
    static const std::vector<TKey> keys = [] {
        std::vector<TKey> k;
        for (int n = 0; n < 4; ++n) {
            static const char* const ch[] = {"CH0", "CH1", "CH2", "CH3"};
            static const char* const spin[] = {"Comp0Spin", "Comp1Spin", "Comp2Spin", "Comp3Spin"};
            k.push_back(Number("Compensation", ch[n], spin[n], 0));
        }
        static const char* const sens[] = {"Sens0", "Sens1", "Sens2", "Sens3"};
        static const char* const sensCombo[] = {"Sens0Combo", "Sens1Combo", "Sens2Combo", "Sens3Combo"};
        for (int n = 0; n < 4; ++n)
            k.push_back(Index("Multiplier", sens[n], sensCombo[n], 0));
        static const char* const comp[] = {"Comp0", "Comp1", "Comp2", "Comp3"};
        static const char* const compCombo[] = {"Comp0Combo", "Comp1Combo", "Comp2Combo", "Comp3Combo"};
        for (int n = 0; n < 4; ++n)
            k.push_back(Index("Multiplier", comp[n], compCombo[n], 0));
        // Channel 1's base is stored as "Rest".
        k.push_back(Index("Base", "CH0", "CH0BaseCombo", 0));
        k.push_back(Index("Base", "Rest", "CH1BaseCombo", 0));
        k.push_back(Index("Base", "CH2", "CH2BaseCombo", 0));
        k.push_back(Index("Base", "CH3", "CH3BaseCombo", 0));

        k.push_back(Number("Thresholds", "Prox", "ProxSpin", 4));
        k.push_back(Number("Thresholds", "Touch1", "Touch1Spin", 16));
        k.push_back(Number("Thresholds", "Touch2", "Touch2Spin", 16));
        k.push_back(Number("Thresholds", "Touch3", "Touch3Spin", 16));
        k.push_back(Number("Thresholds", "MovThr", "MovThrSpin", 3));
        k.push_back(Check("Thresholds", "HaltRB0", "FHCheckCh0", false));
        k.push_back(Check("Thresholds", "HaltRB1", "FHCheckCh1", false));
        k.push_back(Check("Thresholds", "HaltRB2", "FHCheckCh2", false));
        k.push_back(Check("Thresholds", "HaltRB3", "FHCheckCh3", false));
        k.push_back(Number("Thresholds", "HaltTime", "HaltSpin", 20));
        k.push_back(Number("Thresholds", "TimeOut", "TimeoutSpin", 4));
        // "TimeOut" again: here the low-power time.
        k.push_back(Number("Timings", "TimeOut", "LPSpin", 0));
        k.push_back(Number("Timings", "TargT", "Targ1Spin", 48));
        k.push_back(Number("Timings", "TargP", "Targ2Spin", 64));
        k.push_back(Number("Gestures", "TapTimer", "TapSpin", 5));
        k.push_back(Number("Gestures", "FlickTimer", "FlickTimeSpin", 20));
        k.push_back(Number("Gestures", "FlickThr", "FlickThrSpin", 50));

        k.push_back(Index("ProxSettings0", "AutoATI", "ATIRadio", 1));
        k.push_back(Index("ProxSettings0", "PartialATI", "ATIPartialRadio", 0));
        k.push_back(Index("ProxSettings0", "Band", "BandRadio", 0));
        k.push_back(Index("ProxSettings0", "StreamATI", "StreamATIRadio", 0));
        k.push_back(Index("ProxSettings0", "Osc", "En4MhzRadio", 0));
        k.push_back(Index("ProxSettings0", "ForceHalt", "ForceHaltRadio", 0));
        k.push_back(Index("ProxSettings1", "WDT", "WDTRadio", 0));
        k.push_back(Index("ProxSettings1", "CommsMode", "CommsModeRadio", 0));
        k.push_back(Index("ProxSettings1", "LTABeta", "LTABetaRadio", 1));
        k.push_back(Index("ProxSettings1", "Slider", "SliderRadio", 0));
        k.push_back(Index("ProxSettings1", "ACF", "ACFRadio", 1));
        k.push_back(Index("ProxSettings2", "SleepHalt", "SleepHaltRadio", 0));
        k.push_back(Index("ProxSettings2", "WakeRelease", "WakeRadio", 0));
        k.push_back(Index("ProxSettings2", "WheelFilter", "WheelFilterRadio", 0));
        k.push_back(Index("ProxSettings2", "Movement", "MovementRadio", 0));
        k.push_back(Index("ProxSettings2", "Out", "OutRadio", 0));
        k.push_back(Index("ProxSettings3", "TouchDebounce", "TDebounceRadio", 0));
        k.push_back(Index("ProxSettings3", "CSCap", "OffModeRadio", 0));
        k.push_back(Index("ProxSettings3", "ProjBias", "ProjectedBiasRadio", 0));
        k.push_back(Index("ProxSettings3", "FloatCX", "FloatCXRadio", 0));
        k.push_back(Index("ProxSettings3", "ATA", "HaltChargeRadio", 0));
        k.push_back(Index("ProxSettings3", "Turbo", "TurboRadio", 0));
        k.push_back(Index("ProxSettings3", "FilterTouch", "FilterTouchRadio", 0));
        k.push_back(Index("ProxSettings3", "Xfer", "XferRadio", 0));
        k.push_back(Index("EventMask", "FlickLeft", "FlickLeftRadio", 1));
        k.push_back(Index("EventMask", "FlickRight", "FlickRightRadio", 1));
        k.push_back(Index("EventMask", "Tap", "TapRadio", 1));
        k.push_back(Index("EventMask", "Mov", "MovRadio", 1));
        k.push_back(Index("EventMask", "ATIEvent", "ATIEventRadio", 1));
        k.push_back(Index("EventMask", "SlideEvent", "SliderEventRadio", 1));
        k.push_back(Index("EventMask", "TouchEvent", "TouchRadio", 1));
        k.push_back(Index("EventMask", "ProxEvent", "ProxRadio", 1));

        k.push_back(MainCheck("Other", "EventsCheck", &TMainCore::EventsCheck));
        k.push_back(MainCheck("Other", "WheelCheck", &TMainCore::WheelCheck));
        k.push_back(MainCheck("Other", "SliderCheck", &TMainCore::SliderCheck));
        k.push_back(MainCheck("Other", "RelCheck", &TMainCore::RelativeCheck));
        k.push_back(Index("Other", "Projected", "ProjectedRiadioGroup", 0));
        k.push_back(Index("Other", "GlobalFH", "IgnoreFHRadioGroup", -1));
        k.push_back(Check("Other", "DeltaOnly", "DeltaCheck", false));
        for (int n = 0; n < 4; ++n)
            k.push_back(ChannelCheck(n));
        k.push_back(Check("Streaming", "Wheel", "WheelCheck", true));
        k.push_back(Check("Streaming", "CS", "CSCheck", true));
        k.push_back(Check("Streaming", "LT", "LTACheck", true));
        k.push_back(Check("Streaming", "PT", "PTCheck", true));
        for (TKey& key : k) {
            key.SectionName = QString::fromLatin1(key.Section);
            key.KeyName = QString::fromLatin1(key.Key);
            key.ControlName = QString::fromLatin1(key.Control);
        }
        return k;
    }();
    return keys;
}

bool Is(const TKey& key, const char* section, const char* name)
{
    return qstrcmp(key.Section, section) == 0 && qstrcmp(key.Key, name) == 0;
}

// Applied only after the set-up has been written with automatic tuning on, and after the channels.
bool IsAutoATI(const TKey& key) { return Is(key, "ProxSettings0", "AutoATI"); }
bool IsCommsMode(const TKey& key) { return Is(key, "ProxSettings1", "CommsMode"); }

int ValueOf(const TMainCore& core, const TKey& key)
{
    if (key.Control)
        return core.Settings.Value(key.ControlName);
    if (key.CoreCheck)
        return core.*(key.CoreCheck) ? 1 : 0;
    return core.CHCheck[size_t(key.Channel)] ? 1 : 0;
}

void Apply(TMainCore& core, const TKey& key, int value)
{
    if (key.Control)
        core.Settings.SetValue(key.ControlName, value);
    else if (key.CoreCheck)
        core.*(key.CoreCheck) = value != 0;
    else
        core.CHCheck[size_t(key.Channel)] = value != 0;
}

bool HasIdentity(const TIniFile& ini)
{
    return ini.ReadString(IdentitySection, IdentityKey, QString()) == TSettingsFile::DeviceName;
}

// Every key's value from the file, defaults for missing keys; false when a value cannot be converted.
bool ReadValues(const TIniFile& ini, std::vector<int>& values)
{
    values.clear();
    values.reserve(Keys().size());
    for (const TKey& key : Keys()) {
        values.push_back(key.Kind == TKeyKind::kCheck
                             ? (ini.ReadBool(key.SectionName, key.KeyName, key.Default != 0) ? -1 : 0)
                             : ini.ReadInteger(key.SectionName, key.KeyName, key.Default));
        if (ini.ReadFailed())
            return false;
    }
    return true;
}

// The register a key sets; empty for the display choices and the stream set-up, which stay on the bench.
QString RegisterOf(const TKey& key)
{
    const QByteArray section(key.Section);
    if (section == "Compensation")
        return QStringLiteral("Compensation (08H)");
    if (section == "Multiplier" || section == "Base")
        return QStringLiteral("Multipliers (07H)");
    if (section == "Thresholds")
        return QStringLiteral("Thresholds (0AH)");
    if (section == "Timings")
        return QStringLiteral("Timings (0BH)");
    if (section == "Gestures")
        return QStringLiteral("GestureTimers (0CH)");
    if (section.startsWith("ProxSettings") || section == "EventMask")
        return QStringLiteral("ProxSettings (09H)");
    if (section == "Channels")
        return QStringLiteral("ActiveChannels (0DH)");
    if (Is(key, "Other", "Projected") || Is(key, "Other", "GlobalFH"))
        return QStringLiteral("SystemFlags (01H)");
    return QString();
}

QList<TSettingsEntry> Entries(const std::vector<int>& values)
{
    QList<TSettingsEntry> entries;
    const std::vector<TKey>& keys = Keys();
    for (size_t i = 0; i < keys.size(); ++i)
        entries.append({keys[i].SectionName, keys[i].KeyName, RegisterOf(keys[i]),
                        values[i]});
    return entries;
}

} // namespace

const QString TSettingsFile::DeviceName = QStringLiteral("KT610B");
const QStringList TSettingsFile::DemoFileNames{QStringLiteral("KT610 Wheel.ini"), QStringLiteral("KT610 Discrete Keys.ini"),
                                               QStringLiteral("KT610 2Channel Slider.ini"),
                                               QStringLiteral("KT610 3Channel Slider.ini")};

TSettingsFile::TSettingsFile(TMainCore& core) : FCore(core)
{
    FCore.OnLoadSettings = [this] { LoadSettings(); };
    FCore.OnLoadDemoSettings = [this](int index) { LoadDemoSettings(index); };
}

TSettingsFile::~TSettingsFile()
{
    FCore.OnLoadSettings = nullptr;
    FCore.OnLoadDemoSettings = nullptr;
}

bool TSettingsFile::SaveSettings(const QString& fileName)
{
    TIniFile ini(fileName);
    ini.BeginUpdate();
    bool ok = ini.WriteString(IdentitySection, IdentityKey, DeviceName);
    for (const TKey& key : Keys()) {
        const int value = ValueOf(FCore, key);
        ok = (key.Kind == TKeyKind::kCheck ? ini.WriteBool(key.SectionName, key.KeyName, value != 0)
                                           : ini.WriteInteger(key.SectionName, key.KeyName, value)) &&
             ok;
    }
    ok = ini.UpdateFile() && ok;
    if (!ok) {
        FCore.KvrAddItem(QStringLiteral("Error saving settings!"), TKvrItemType::aError);
        return false;
    }
    FCore.KvrAddItem(QStringLiteral("Settings saved successfully"), TKvrItemType::aInfo);
    return true;
}

bool TSettingsFile::ReadAndApply(const QString& fileName, int& autoATI, int& commsMode)
{
    IMainView* view = FCore.View();
    const TIniFile ini(fileName);
    if (ini.ReadFailed()) {
        FCore.KvrAddItem(LoadError, TKvrItemType::aError);
        return false;
    }
    if (!HasIdentity(ini)) {
        FCore.KvrAddItem(InvalidFileItem, TKvrItemType::aError);
        view->ShowErrorBox(InvalidFileBox);
        return false;
    }

    // Every value is converted before anything is applied, so that a bad value leaves the window and the
    // chip as they were instead of half a set-up.
    const std::vector<TKey>& keys = Keys();
    std::vector<int> values;
    if (!ReadValues(ini, values)) {
        FCore.KvrAddItem(LoadError, TKvrItemType::aError);
        return false;
    }
    FCore.FLoadingSettings = true;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (IsAutoATI(keys[i])) {
            autoATI = values[i];
            continue;
        }
        if (IsCommsMode(keys[i])) {
            commsMode = values[i];
            continue;
        }
        Apply(FCore, keys[i], values[i]);
        if (keys[i].Channel == 3)
            view->CheckActiveChannels();
    }
    FCore.FLoadingSettings = false;
    view->SettingsRecordChanged();
    FCore.StreamSetup.SetupStreaming();
    return true;
}

bool TSettingsFile::LoadSettings()
{
    IMainView* view = FCore.View();
    int autoATI = 1, commsMode = 0;
    if (!ReadAndApply(FCore.FSettingsFile, autoATI, commsMode))
        return false;

    TSettingsRecord& s = FCore.Settings;
    TRegisterOperations& ops = *FCore.RegOps;
    // The set-up is written with automatic tuning on; the file's choice follows at the end.
    if (s.ATIRadio == 0)
        s.ATIRadio = 1;
    ops.CH0CheckClick();

    s.SetValue(QStringLiteral("CommsModeRadio"), commsMode);
    bool ok = true;
    const auto eventMode = [&](bool on) {
        FCore.FEventMode = on;
        if (const uint16_t r = FCore.KorvaneHidTool1->EventMode(on)) {
            FCore.KvrAddItem(ErrorCodeText(r), TKvrItemType::aError);
            ok = false;
        }
    };
    if (s.CommsModeRadio == 0)
        eventMode(true);
    else if (FCore.FEventMode)
        eventMode(false); // the chip streams again: the tool must not wait for events

    ops.UpdateAllProxSettings();
    ok = ops.ProxSettingsAllCmd() && ok;
    ok = ops.WriteTimGes(true, true) && ok;
    ok = ops.WriteAllThr() && ok;
    view->Delta();
    ok = ops.WriteIgnoreFH() && ok;
    ok = ops.WriteProjectedSelf() && ok;

    s.SetValue(QStringLiteral("ATIRadio"), autoATI);
    view->SettingsRecordChanged();
    ok = ops.ProxSettings0Cmd() && ok;
    ok = ops.WriteMultComp(true, true) && ok;
    ok = ops.RedoATIBtnClick() && ok;

    // The writes have told what failed; the load must not then claim success.
    if (ok)
        FCore.KvrAddItem(QStringLiteral("Settings loaded successfully"), TKvrItemType::aInfo);
    else
        FCore.KvrAddItem(LoadError, TKvrItemType::aError);
    FCore.Pages.ResetDefault();
    view->TakeSettingsAsApplied();
    FCore.Pages.CheckChanges();
    FCore.FSettingsATIMessage = true;
    // Tuning starts before streaming resumes.
    FCore.Session->DelayRestart(LoadPauseMs);
    return ok;
}

bool TSettingsFile::FillFromFile(const QString& fileName)
{
    int autoATI = 1, commsMode = 0;
    if (!ReadAndApply(fileName, autoATI, commsMode))
        return false;
    TSettingsRecord& s = FCore.Settings;
    FCore.FLoadingSettings = true;
    s.SetValue(QStringLiteral("ATIRadio"), autoATI);
    s.SetValue(QStringLiteral("CommsModeRadio"), commsMode);
    FCore.FLoadingSettings = false;
    FCore.RegOps->UpdateAllProxSettings();
    FCore.View()->SettingsRecordChanged();
    return true;
}

bool TSettingsFile::ReadEntries(const QString& fileName, QList<TSettingsEntry>& entries, QString& error)
{
    const TIniFile ini(fileName);
    std::vector<int> values;
    if (!QFileInfo(fileName).isFile() || ini.ReadFailed())
        error = QStringLiteral("Unable to read \"%1\"").arg(fileName);
    else if (!HasIdentity(ini))
        error = QStringLiteral("\"%1\": %2").arg(fileName, InvalidFileItem);
    else if (!ReadValues(ini, values))
        error = QStringLiteral("\"%1\": %2").arg(fileName, LoadError);
    else
        entries = Entries(values);
    return error.isEmpty();
}

QList<TSettingsEntry> TSettingsFile::CurrentEntries() const
{
    std::vector<int> values;
    for (const TKey& key : Keys()) {
        const int value = ValueOf(FCore, key);
        values.push_back(key.Kind == TKeyKind::kCheck ? (value != 0 ? -1 : 0) : value);
    }
    return Entries(values);
}

bool TSettingsFile::LoadDemoSettings(int index)
{
    const QString folder = DemoFolder.isEmpty() ? QCoreApplication::applicationDirPath() : DemoFolder;
    const QString path = index >= 0 && index < DemoFileNames.size()
                             ? QDir(folder).filePath(DemoFileNames[index])
                             : QString();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        FCore.View()->ShowErrorBox(DemoMissingBox);
        return false;
    }
    const QString userFile = FCore.FSettingsFile;
    FCore.FSettingsFile = path;
    const bool ok = LoadSettings();
    FCore.FSettingsFile = userFile;
    return ok;
}

void TSettingsFile::LoadCustomSettings()
{
    IMainView* view = FCore.View();
    view->ClearBarSeries();
    view->ShowWaitPicture();
    FCore.FReadDevice = false;
    FCore.FLoadSettings = false;
    FCore.FUpdateOptions = TFUpdateOptions::utLoadSettings;
    FCore.Session->UpdateTimerTimer();
    view->ShowGraphPicture(false, false, false);
}
