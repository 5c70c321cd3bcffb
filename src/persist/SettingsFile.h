#pragma once
// Device settings files: a whole chip set-up (the settings record and a few display choices of the main
// window) saved to and loaded from a profile file, and the four demonstration set-ups beside the program.
// A load fills the record, then writes the set-up to the chip and starts a new automatic tuning run.
//
// While it lives, the object is the core's settings-file loader (TMainCore::OnLoadSettings and
// OnLoadDemoSettings), used by the pending update of the session.

#include <QList>
#include <QString>
#include <QStringList>

class TMainCore;

// One key of the file with its value (check boxes 0 or -1), and the register it sets, empty for display keys.
struct TSettingsEntry {
    QString Section;
    QString Key;
    QString Register;
    int Value = 0;
};

class TSettingsFile {
public:
    explicit TSettingsFile(TMainCore& core);
    ~TSettingsFile();
    TSettingsFile(const TSettingsFile&) = delete;
    TSettingsFile& operator=(const TSettingsFile&) = delete;

    // The identity a settings file must carry in [IC] Device.
    static const QString DeviceName;
    // File names of the demonstration set-ups, by LoadDemoSettings index.
    static const QStringList DemoFileNames;
    static constexpr int LoadPauseMs = 500;

    // Folder of the demonstration files; the program's own folder unless set.
    QString DemoFolder;

    // Writes every key, values taken from the record and the core as they are now. Reports in the message
    // list; true on success.
    bool SaveSettings(const QString& fileName);
    // Loads FSettingsFile: fills the record and the main window's checks, writes the set-up to the chip.
    // Nothing changes when the file is rejected or a value cannot be converted. True on success.
    bool LoadSettings();
    // Demonstration set-up 0..3 through LoadSettings; FSettingsFile is left as it was.
    bool LoadDemoSettings(int index);
    // Fills the record and the main window's checks from fileName with no chip traffic, and composes the
    // prox-settings register images from them. Reports in the message list; true on success.
    bool FillFromFile(const QString& fileName);
    // Every key of fileName in file order, defaults for missing keys; on failure the reason.
    static bool ReadEntries(const QString& fileName, QList<TSettingsEntry>& entries, QString& error);
    // Every key in file order as a save would write it now.
    QList<TSettingsEntry> CurrentEntries() const;

    // "Apply Settings": the pending update in settings-load mode now, with the wait picture on the bar graph.
    void LoadCustomSettings();

private:
    // Identity check, every value converted, then applied to the record and the main window's checks, all
    // but AutoATI and CommsMode, which are returned for the caller's own order of writes.
    bool ReadAndApply(const QString& fileName, int& autoATI, int& commsMode);

    TMainCore& FCore;
};
