#include "persist/IniFile.h"

#include "persist/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <tuple>

namespace {

// Far above any profile file; stops a wrongly chosen file from being read whole into memory.
constexpr qint64 MaxFileSize = 8 * 1024 * 1024;

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Name points into the parsed line: parsing allocates nothing, as every read looks at many lines.
struct TParsedLine {
    enum TKind { lkOther, lkSection, lkKey };
    TKind Kind = lkOther;
    QStringView Name;
    int ValueStart = 0; // key lines: first character after "=" and the blanks behind it
};

TParsedLine ParseLine(const QString& line)
{
    TParsedLine parsed;
    int i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    if (i == line.size() || line[i] == QLatin1Char(';'))
        return parsed;
    if (line[i] == QLatin1Char('[')) {
        const int close = line.indexOf(QLatin1Char(']'), i + 1);
        if (close > i) {
            parsed.Kind = TParsedLine::lkSection;
            parsed.Name = QStringView(line).mid(i + 1, close - i - 1).trimmed();
        }
        return parsed;
    }
    const int equals = line.indexOf(QLatin1Char('='), i);
    if (equals < 0)
        return parsed;
    parsed.Name = QStringView(line).mid(i, equals - i).trimmed();
    if (parsed.Name.isEmpty())
        return parsed;
    parsed.Kind = TParsedLine::lkKey;
    int v = equals + 1;
    while (v < line.size() && IsBlank(line[v]))
        ++v;
    parsed.ValueStart = v;
    return parsed;
}

bool SameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Equal for names that SameName() matches (text from a file is 8-bit, so folding by code unit is enough).
size_t FoldedHash(QStringView name)
{
    size_t hash = 14695981039346656037ull;
    for (QChar c : name)
        hash = (hash ^ c.toCaseFolded().unicode()) * 1099511628211ull;
    return hash;
}

// Lines Header + 1 .. End - 1 belong to the section; Header is -1 when it is missing.
struct TSectionRange {
    int Header = -1;
    int End = -1;
};

TSectionRange FindSection(const QStringList& lines, const QString& section, int from = 0)
{
    TSectionRange range;
    for (int i = from; i < lines.size(); ++i) {
        const TParsedLine parsed = ParseLine(lines[i]);
        if (parsed.Kind != TParsedLine::lkSection)
            continue;
        if (range.Header >= 0) {
            range.End = i;
            return range;
        }
        if (SameName(parsed.Name, section))
            range.Header = i;
    }
    if (range.Header >= 0)
        range.End = int(lines.size());
    return range;
}

// Line index of the key in the section, -1 when missing.
int FindKey(const QStringList& lines, const TSectionRange& range, const QString& key)
{
    for (int i = range.Header + 1; i < range.End; ++i) {
        const TParsedLine parsed = ParseLine(lines[i]);
        if (parsed.Kind == TParsedLine::lkKey && SameName(parsed.Name, key))
            return i;
    }
    return -1;
}

QStringView ValueOf(const QString& line)
{
    QStringView value = QStringView(line).mid(ParseLine(line).ValueStart).trimmed();
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        value = value.mid(1, value.size() - 2);
    return value;
}

bool IsBlankLine(const QString& line)
{
    return line.trimmed().isEmpty();
}

bool HasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

bool IsLatin1(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

// Why a text cannot be stored in an 8-bit line, or empty.
QString TextProblem(const QString& text, const QString& what)
{
    if (HasLineBreak(text))
        return QStringLiteral("%1 \"%2\" contains a line break").arg(what, text);
    if (!IsLatin1(text))
        return QStringLiteral("%1 \"%2\" contains characters that cannot be stored in 8-bit text").arg(what, text);
    return {};
}

QString SectionProblem(const QString& section)
{
    if (section.isEmpty())
        return QStringLiteral("the section name is empty");
    if (section.contains(QLatin1Char(']')))
        return QStringLiteral("the section name \"%1\" contains \"]\"").arg(section);
    return TextProblem(section, QStringLiteral("the section name"));
}

QString KeyProblem(const QString& key)
{
    if (key.isEmpty())
        return QStringLiteral("the key name is empty");
    if (key.contains(QLatin1Char('=')) || key.startsWith(QLatin1Char('[')) || key.startsWith(QLatin1Char(';')))
        return QStringLiteral("the key name \"%1\" cannot be stored").arg(key);
    return TextProblem(key, QStringLiteral("the key name"));
}

} // namespace

TIniFile::TIniFile(const QString& fileName) : FFileName(fileName)
{
    if (!Load(FLines))
        ReadFailure(FError);
    LinesChanged();
}

TIniFile::~TIniFile()
{
    // A forgotten UpdateFile() must not lose the batch.
    if (FInBatch)
        UpdateFile();
}

bool TIniFile::Load(QStringList& lines)
{
    lines.clear();
    const QFileInfo info(FFileName);
    if (!info.exists())
        return true;
    QFile file(FFileName);
    // Read whole in one go: a buffered read would first fill a 16 KiB buffer, for files of a few lines.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        FError = QStringLiteral("Cannot read \"%1\": %2").arg(FFileName, file.errorString());
        return false;
    }
    if (file.size() > MaxFileSize) {
        FError = QStringLiteral("\"%1\" is too large for a settings file").arg(FFileName);
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        FError = QStringLiteral("Cannot read \"%1\": %2").arg(FFileName, file.errorString());
        return false;
    }
    const QString text = QString::fromLatin1(data);
    lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')) || text.isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return true;
}

bool TIniFile::Save(const QStringList& lines)
{
    QByteArray data;
    if (!lines.isEmpty())
        data = (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
    QString why;
    if (!AtomicFile::Write(FFileName, data, &why))
        return WriteFailure(QStringLiteral("Cannot write \"%1\": %2").arg(FFileName, why));
    return true;
}

template <typename TEdit>
bool TIniFile::Change(TEdit edit)
{
    if (FInBatch) {
        if (!FBatchLoaded) {
            FBatchFailed = true;
            return false;
        }
        FDirty = edit(FLines) || FDirty;
        LinesChanged();
        return true;
    }
    // Read again first, so that whatever else wrote the file meanwhile is kept.
    QStringList lines;
    if (!Load(lines))
        return false;
    FLines = lines;
    LinesChanged();
    if (!edit(lines))
        return true;
    if (!Save(lines))
        return false;
    FLines = lines;
    LinesChanged();
    return true;
}

void TIniFile::ReadFailure(const QString& text) const
{
    FReadFailed = true;
    FError = text;
}

bool TIniFile::WriteFailure(const QString& text)
{
    FError = text;
    if (FInBatch)
        FBatchFailed = true;
    return false;
}

void TIniFile::BuildIndex() const
{
    FSections.clear();
    FKeys.clear();
    int current = -1; // a repeated section is not read: the first one holds the values
    for (int i = 0; i < FLines.size(); ++i) {
        const TParsedLine parsed = ParseLine(FLines[i]);
        if (parsed.Kind == TParsedLine::lkSection) {
            if (current >= 0)
                FSections[size_t(current)].End = i;
            current = int(FSections.size());
            for (const TSectionIndex& seen : FSections)
                if (SameName(seen.Name, parsed.Name))
                    current = -1;
            if (current >= 0)
                FSections.push_back({parsed.Name, i, -1});
        } else if (parsed.Kind == TParsedLine::lkKey && current >= 0) {
            FKeys.push_back({FoldedHash(parsed.Name), current, i, parsed.Name});
        }
    }
    if (current >= 0)
        FSections[size_t(current)].End = int(FLines.size());
    std::sort(FKeys.begin(), FKeys.end(), [](const TKeyIndex& a, const TKeyIndex& b) {
        return std::tie(a.Hash, a.Section, a.Line) < std::tie(b.Hash, b.Section, b.Line);
    });
    FIndexed = true;
}

const TIniFile::TSectionIndex* TIniFile::FindIndexed(const QString& Section) const
{
    if (!FIndexed)
        BuildIndex();
    const QStringView name = QStringView(Section).trimmed();
    for (const TSectionIndex& section : FSections)
        if (SameName(section.Name, name))
            return &section;
    return nullptr;
}

int TIniFile::FindIndexedKey(const QString& Section, const QString& Ident) const
{
    const TSectionIndex* section = FindIndexed(Section);
    if (!section)
        return -1;
    const int sectionNumber = int(section - FSections.data());
    const QStringView name = QStringView(Ident).trimmed();
    const size_t hash = FoldedHash(name);
    auto key = std::lower_bound(FKeys.begin(), FKeys.end(), hash,
                                [](const TKeyIndex& entry, size_t value) { return entry.Hash < value; });
    for (; key != FKeys.end() && key->Hash == hash; ++key)
        if (key->Section == sectionNumber && SameName(key->Name, name))
            return key->Line;
    return -1;
}

QString TIniFile::ReadString(const QString& Section, const QString& Ident, const QString& Default) const
{
    const int line = FindIndexedKey(Section, Ident);
    return line < 0 ? Default : ValueOf(FLines[line]).toString();
}

int TIniFile::ReadInteger(const QString& Section, const QString& Ident, int Default) const
{
    const int line = FindIndexedKey(Section, Ident);
    if (line < 0)
        return Default;
    const QStringView text = ValueOf(FLines[line]);
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok) {
        ReadFailure(QStringLiteral("[%1] %2: \"%3\" is not an integer").arg(Section, Ident, text.toString()));
        return Default;
    }
    return value;
}

bool TIniFile::ReadBool(const QString& Section, const QString& Ident, bool Default) const
{
    const int line = FindIndexedKey(Section, Ident);
    if (line < 0)
        return Default;
    const QStringView text = ValueOf(FLines[line]);
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok) {
        ReadFailure(QStringLiteral("[%1] %2: \"%3\" is not a Boolean").arg(Section, Ident, text.toString()));
        return Default;
    }
    return value != 0;
}

bool TIniFile::SectionExists(const QString& Section) const
{
    return FindIndexed(Section) != nullptr;
}

bool TIniFile::ValueExists(const QString& Section, const QString& Ident) const
{
    return FindIndexedKey(Section, Ident) >= 0;
}

QStringList TIniFile::ReadSection(const QString& Section) const
{
    QStringList keys;
    const TSectionIndex* range = FindIndexed(Section);
    for (int i = range ? range->Header + 1 : 0; range && i < range->End; ++i) {
        const TParsedLine parsed = ParseLine(FLines[i]);
        if (parsed.Kind == TParsedLine::lkKey && !keys.contains(parsed.Name, Qt::CaseInsensitive))
            keys << parsed.Name.toString();
    }
    return keys;
}

bool TIniFile::WriteString(const QString& Section, const QString& Ident, const QString& Value)
{
    const QString section = Section.trimmed();
    const QString key = Ident.trimmed();
    QString problem = SectionProblem(section);
    if (problem.isEmpty())
        problem = KeyProblem(key);
    if (problem.isEmpty())
        problem = TextProblem(Value, QStringLiteral("the value"));
    if (!problem.isEmpty())
        return WriteFailure(QStringLiteral("Cannot write [%1] %2 to \"%3\": %4").arg(Section, Ident, FFileName,
                                                                                    problem));
    return Change([&](QStringList& lines) {
        const TSectionRange range = FindSection(lines, section);
        if (range.Header < 0) {
            if (!lines.isEmpty() && !IsBlankLine(lines.last()))
                lines << QString();
            lines << QLatin1Char('[') + section + QLatin1Char(']') << key + QLatin1Char('=') + Value;
            return true;
        }
        const int line = FindKey(lines, range, key);
        if (line >= 0) {
            const QString replaced = lines[line].left(ParseLine(lines[line]).ValueStart) + Value;
            if (replaced == lines[line])
                return false;
            lines[line] = replaced;
            return true;
        }
        int insert = range.End;
        while (insert > range.Header + 1 && IsBlankLine(lines[insert - 1]))
            --insert;
        lines.insert(insert, key + QLatin1Char('=') + Value);
        return true;
    });
}

bool TIniFile::WriteInteger(const QString& Section, const QString& Ident, int Value)
{
    return WriteString(Section, Ident, QString::number(Value));
}

bool TIniFile::WriteBool(const QString& Section, const QString& Ident, bool Value)
{
    return WriteString(Section, Ident, Value ? QStringLiteral("-1") : QStringLiteral("0"));
}

bool TIniFile::EraseSection(const QString& Section)
{
    const QString section = Section.trimmed();
    return Change([&](QStringList& lines) {
        bool changed = false;
        for (TSectionRange range = FindSection(lines, section); range.Header >= 0;
             range = FindSection(lines, section, range.Header)) {
            lines.erase(lines.begin() + range.Header, lines.begin() + range.End);
            changed = true;
        }
        return changed;
    });
}

bool TIniFile::DeleteKey(const QString& Section, const QString& Ident)
{
    const QString section = Section.trimmed();
    const QString key = Ident.trimmed();
    return Change([&](QStringList& lines) {
        const TSectionRange range = FindSection(lines, section);
        const int line = range.Header < 0 ? -1 : FindKey(lines, range, key);
        if (line < 0)
            return false;
        lines.removeAt(line);
        return true;
    });
}

void TIniFile::BeginUpdate()
{
    if (FInBatch)
        return;
    FInBatch = true;
    FBatchFailed = false;
    FDirty = false;
    FBatchLoaded = Load(FLines);
    LinesChanged();
}

bool TIniFile::UpdateFile()
{
    if (!FInBatch)
        return true;
    bool ok = FBatchLoaded && !FBatchFailed;
    if (FDirty && FBatchLoaded && !Save(FLines)) {
        ok = false;
        // Show what is really on disk again.
        const QString error = FError;
        Load(FLines);
        LinesChanged();
        FError = error;
    }
    FInBatch = false;
    FDirty = false;
    return ok;
}
