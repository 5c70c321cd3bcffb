// The settings-file round trip through this program's own save: a file that loads saves to a file that
// loads to the same set-up, both into a new file and into a copy of the original (which keeps the foreign
// lines).

#include "fuzz/FuzzSupport.h"

#include "app/MainCore.h"
#include "hid/VirtualHidBackend.h"
#include "persist/SettingsFile.h"

#include <QFile>
#include <memory>

namespace {

struct Quiet : IMessageSink {
    int KvrAddItem(const QString&, TKvrItemType) override { return 0; }
};

bool SameEntries(const QList<TSettingsEntry>& a, const QList<TSettingsEntry>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].Section != b[i].Section || a[i].Key != b[i].Key || a[i].Value != b[i].Value)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::App();
    static const auto backend = std::make_shared<VirtualHidBackend>();
    static Quiet messages;
    static IMainView view;
    static const QString input = Fuzz::TempPath(QStringLiteral("input.ini"));
    static const QString fresh = Fuzz::TempPath(QStringLiteral("fresh.ini"));
    static const QString merged = Fuzz::TempPath(QStringLiteral("merged.ini"));
    Fuzz::WriteFile(input, data, size);

    // A load sets every value the file holds, so the cores are made once.
    static TMainCore core(backend, &messages, &view);
    static TMainCore again(backend, &messages, &view);
    static TSettingsFile file(core);
    static TSettingsFile reload(again);
    QList<TSettingsEntry> entries;
    QString error;
    const bool readable = TSettingsFile::ReadEntries(input, entries, error);
    const bool loaded = file.FillFromFile(input);
    FUZZ_CHECK(readable == loaded);
    if (!loaded)
        return 0;
    const QList<TSettingsEntry> setUp = file.CurrentEntries();

    QFile::remove(fresh);
    FUZZ_CHECK(file.SaveSettings(fresh));
    QFile::remove(merged);
    FUZZ_CHECK(QFile::copy(input, merged));
    FUZZ_CHECK(file.SaveSettings(merged));

    for (const QString& saved : {fresh, merged}) {
        FUZZ_CHECK(reload.FillFromFile(saved));
        FUZZ_CHECK(SameEntries(reload.CurrentEntries(), setUp));
        QList<TSettingsEntry> read;
        FUZZ_CHECK(TSettingsFile::ReadEntries(saved, read, error));
    }
    return 0;
}
