// The profile-file layer: arbitrary file text, then writes, key deletions and section erasures given by
// the input, alone or in a batch. Each change must leave every other value as it was, a value that needs
// no trimming must read back as written, and the saved file must read back as the object saw it
// (parse -> write -> parse).

#include "fuzz/FuzzSupport.h"

#include "persist/IniFile.h"

#include <QFile>
#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

namespace {

struct TName {
    QString Section, Key;
};

// Section and key names as they appear in the text, found without the layer's own parser.
std::vector<TName> NamesIn(const QByteArray& text)
{
    std::vector<TName> names;
    QString section;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.indexOf(QLatin1Char(']')) > 0) {
            section = line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
            names.push_back({section, QString()});
        } else if (line.indexOf(QLatin1Char('=')) > 0) {
            names.push_back({section, line.left(line.indexOf(QLatin1Char('=')))});
        }
    }
    return names;
}

QStringList Snapshot(const TIniFile& ini, const std::vector<TName>& names)
{
    QStringList values;
    for (const TName& n : names)
        values << (n.Key.isEmpty() ? ini.ReadSection(n.Section).join(QLatin1Char('|'))
                                   : ini.ReadString(n.Section, n.Key, QStringLiteral("<none>")));
    return values;
}

bool SameName(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? file.readAll() : QByteArray();
}

bool Plain(const QString& value)
{
    if (value != value.trimmed())
        return false;
    return !(value.size() >= 2 && value.front() == value.back() &&
             (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::App();
    static const QString path = Fuzz::TempPath(QStringLiteral("profile.ini"));
    FuzzedDataProvider in(data, size);
    const std::string text = in.ConsumeRandomLengthString(size);
    Fuzz::WriteFile(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());

    TIniFile ini(path);
    FUZZ_CHECK(!ini.ReadFailed());
    const bool batch = in.ConsumeBool();
    if (batch)
        ini.BeginUpdate();
    bool allOk = true;
    for (int op = 0; op < 4 && in.remaining_bytes() > 0; ++op) {
        const int kind = in.ConsumeIntegralInRange(0, 2);
        const QString section = QString::fromLatin1(in.ConsumeRandomLengthString(40));
        const QString key = QString::fromLatin1(in.ConsumeRandomLengthString(40));
        const QString value = QString::fromLatin1(in.ConsumeRandomLengthString(80));
        std::vector<TName> names = NamesIn(batch ? QByteArray::fromStdString(text) : FileBytes(path));
        names.push_back({section, key});
        const QStringList before = Snapshot(ini, names);
        bool ok = false;
        if (kind == 0) {
            ok = ini.WriteString(section, key, value);
            if (ok && Plain(value))
                FUZZ_CHECK(ini.ReadString(section, key, QString()) == value);
        } else if (kind == 1) {
            ok = ini.DeleteKey(section, key);
        } else {
            ok = ini.EraseSection(section);
            if (ok)
                FUZZ_CHECK(!ini.SectionExists(section));
        }
        allOk = allOk && ok;
        const QStringList after = Snapshot(ini, names);
        for (size_t i = 0; i < names.size(); ++i) {
            const bool touched = SameName(names[i].Section, section) && (kind == 2 || names[i].Key.isEmpty() ||
                                                                         SameName(names[i].Key, key));
            if (!ok || !touched)
                FUZZ_CHECK(before[qsizetype(i)] == after[qsizetype(i)]);
        }
    }
    if (batch)
        FUZZ_CHECK(ini.UpdateFile() == allOk);

    // What is on disk now reads as the object reads it.
    const std::vector<TName> names = NamesIn(FileBytes(path));
    const TIniFile reread(path);
    FUZZ_CHECK(Snapshot(reread, names) == Snapshot(ini, names));
    return 0;
}
