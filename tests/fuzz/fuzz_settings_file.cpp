// The settings-file loader on arbitrary files: the entry reader and the loader agree on which files load,
// and nothing the file holds can crash either. The save/load round trip has its own target
// (fuzz_settings_file_roundtrip), as its saves cost ten times a load.

#include "fuzz/FuzzSupport.h"

#include "app/MainCore.h"
#include "hid/VirtualHidBackend.h"
#include "persist/SettingsFile.h"

#include <memory>

namespace {

struct Quiet : IMessageSink {
    int KvrAddItem(const QString&, TKvrItemType) override { return 0; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::App();
    static const auto backend = std::make_shared<VirtualHidBackend>();
    static Quiet messages;
    static IMainView view;
    static const QString input = Fuzz::TempPath(QStringLiteral("input.ini"));
    Fuzz::WriteFile(input, data, size);

    // A load sets every value the file holds, so the core is made once.
    static TMainCore core(backend, &messages, &view);
    static TSettingsFile file(core);
    QList<TSettingsEntry> entries;
    QString error;
    const bool readable = TSettingsFile::ReadEntries(input, entries, error);
    FUZZ_CHECK(readable == file.FillFromFile(input));
    FUZZ_CHECK(readable == error.isEmpty());
    return 0;
}
