#pragma once
// Windows profile ("ini") files, read and written line by line so that everything the program does not
// touch survives: foreign sections and keys, comments, blank lines and odd spacing. Values are replaced in
// place, missing keys go to the end of their section, missing sections to the end of the file. Section and
// key names match regardless of letter case. The text is 8-bit (Latin-1) both ways; LF or CR LF is read,
// CR LF is written.
//
// Every write goes to disk at once, as the platform's profile functions do: the file is read again, changed,
// written to a temporary file in the same folder, flushed and renamed over the old one, so a crash or a full
// disk never leaves half a file. Between BeginUpdate() and UpdateFile() writes are kept in memory and saved
// together; a batch still open when the object goes away is saved then.
//
// Reads never fail loudly: a value that is not a number or a Boolean returns the default and marks the read
// as failed (ReadFailed()), as does a file that exists but cannot be read.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

class TIniFile {
public:
    explicit TIniFile(const QString& fileName);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const QString& FileName() const { return FFileName; }

    // The value text, blanks around it and one pair of enclosing quotes removed; Default when the key is missing.
    QString ReadString(const QString& Section, const QString& Ident, const QString& Default) const;
    // A decimal integer; anything else is a read failure.
    int ReadInteger(const QString& Section, const QString& Ident, int Default) const;
    // Any number other than 0 is true, 0 is false, True and False in any letter case; anything else fails.
    bool ReadBool(const QString& Section, const QString& Ident, bool Default) const;

    bool SectionExists(const QString& Section) const;
    bool ValueExists(const QString& Section, const QString& Ident) const;
    // Key names of the section, in file order.
    QStringList ReadSection(const QString& Section) const;

    // Each returns false with ErrorString() set when the file could not be read or written or the text cannot
    // be stored (a line break, a character outside Latin-1, a name that would read back differently); the
    // file on disk is then unchanged.
    bool WriteString(const QString& Section, const QString& Ident, const QString& Value);
    bool WriteInteger(const QString& Section, const QString& Ident, int Value);
    // Writes "-1" or "0".
    bool WriteBool(const QString& Section, const QString& Ident, bool Value);
    bool EraseSection(const QString& Section);
    bool DeleteKey(const QString& Section, const QString& Ident);

    // Collects the following writes in memory until UpdateFile(), which saves them in one go and returns
    // false if the save or any write of the batch failed.
    void BeginUpdate();
    bool UpdateFile();

    // A read failed since the object was made (bad number or Boolean, unreadable file).
    bool ReadFailed() const { return FReadFailed; }
    // Text of the last failure, read or write.
    const QString& ErrorString() const { return FError; }

private:
    bool Load(QStringList& lines);
    bool Save(const QStringList& lines);
    // Applies edit (which returns whether it changed anything) and saves the result.
    template <typename TEdit>
    bool Change(TEdit edit);
    void ReadFailure(const QString& text) const;

    // Where each section's lines and each key are; reads look them up instead of scanning the file, which
    // with hundreds of keys would cost keys x lines per load. Built on the first read after the lines change;
    // names are views into the lines and a lookup allocates nothing.
    struct TSectionIndex {
        QStringView Name;
        int Header = -1;
        int End = -1;
    };
    struct TKeyIndex {
        size_t Hash = 0; // of the folded name
        int Section = 0; // in FSections
        int Line = 0;
        QStringView Name;
    };
    void BuildIndex() const;
    // The first section of that name, or nullptr.
    const TSectionIndex* FindIndexed(const QString& Section) const;
    // Line of the key's first occurrence in that section, -1 when missing.
    int FindIndexedKey(const QString& Section, const QString& Ident) const;
    void LinesChanged() { FIndexed = false; }
    bool WriteFailure(const QString& text);

    QString FFileName;
    QStringList FLines;
    bool FInBatch = false;
    bool FBatchLoaded = false;
    bool FBatchFailed = false;
    bool FDirty = false;
    mutable std::vector<TSectionIndex> FSections; // first occurrences, in file order
    mutable std::vector<TKeyIndex> FKeys;         // sorted by hash, section, line
    mutable bool FIndexed = false;
    mutable bool FReadFailed = false;
    mutable QString FError;
};
