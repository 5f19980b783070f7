#pragma once
// IniFile: our own reader and writer of private-profile (INI) files.
//
// The whole file is read when the object is made; every write changes the copy in memory and writes
// the file at once (through a temporary file renamed over it), so a write that cannot reach the disk
// raises std::runtime_error("Unable to write to <file>: <reason>") at that very call. With deferred writes
// the file is written once, by UpdateFile, after all the changes (a writer of many keys).
//
// A file that cannot be read whole (larger than 1 MiB, not open for reading, UTF-16 that does not
// decode, lines that are not text) gives what could be read (nothing, when larger or not open) and
// counts as unreadable: before the first write replaces it, it is kept beside under the name
// "<file>.unreadable" (or "<file>.unreadable-2", ...), so nothing the user had is lost. The writer
// never writes what the reader would not read back: no file over 1 MiB, no value with control
// characters or longer than 2047 characters. Text is UTF-8, Latin-1 line by line where a line is not
// UTF-8, or UTF-16 (with or without a byte-order mark); it is written as UTF-8.
// Leading byte-order marks (however many) are skipped. Looking up a section or a key takes constant
// time, so reading or writing a whole file is linear in its size.
//
// Sections and keys match without regard to case; the first of duplicated sections or keys is the one
// read and written. Existing keys keep their place, new keys go after the last key of their section,
// new sections at the end of the file. Comment lines are kept; lines that cannot be text (control
// characters) are not in the new file (the old one is kept aside, as above). Values read are trimmed and cut
// to 2047 characters. Numbers are written with '.' and read with '.' or ','.

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

class IniFile {
public:
    // Reads the file now; a missing file gives an empty one, an unreadable file what could be read.
    explicit IniFile(QString fileName);

    const QString& FileName() const { return fileName_; }
    // Why the existing file could not be read whole ("it is larger than 1 MiB"); empty when it was
    // read, missing, or has been kept aside.
    const QString& UnreadableReason() const { return unreadable_; }
    // Moves the unreadable file aside (see above) and returns the name it is kept under; throws
    // std::runtime_error when it cannot be moved (the file stays where it was).
    QString KeepUnreadableCopy();
    // The name the unreadable file was kept under by this object; empty when none was kept.
    const QString& KeptCopy() const { return keptCopy_; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal after "0x", "0X" or "$" (up to 8 digits, taken as a 32-bit pattern);
    // anything else, or a decimal outside the int range, gives `def`.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    // '.' or ',' as the decimal separator; text that is not a finite number gives `def`.
    double ReadFloat(const QString& section, const QString& key, double def) const;
    // Read as an integer: non-zero is true.
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    // The keys of the section, in file order, each once.
    QStringList ReadSection(const QString& section) const;
    QStringList ReadSections() const;

    // Control characters in a value (line breaks among them) become blanks; longer values are cut to
    // 2047 characters.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    // General format, at most 15 significant digits, '.' as separator (0.75, 17, 0.300000011920929).
    void WriteFloat(const QString& section, const QString& key, double value);
    void WriteBool(const QString& section, const QString& key, bool value); // "0" / "1"
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& key);

    // Writes the whole file now (temporary file in the same folder, renamed over it), an unreadable
    // file kept aside first. Throws std::runtime_error("Unable to write to <file>: <reason>").
    void UpdateFile();
    // true: writes change only the copy in memory until UpdateFile; false (the default): each write
    // goes to the file at once.
    void SetDeferredWrites(bool deferred) { deferred_ = deferred; }

    static constexpr qint64 MaxFileSize = 1024 * 1024;

    // Text conversions used by the readers and writers, offered to code that parses values itself.
    static bool ParseInteger(const QString& text, int& value);
    static bool ParseFloat(const QString& text, double& value);
    static QString FormatFloat(double value);

private:
    struct Line {
        bool entry = false; // key=value line; otherwise `text` is kept as it was (comments, blanks)
        QString key;
        QString value;
        QString text;
    };
    struct Section {
        QString name;
        bool header = true; // false only for the lines before the first section
        std::vector<Line> lines;
        QHash<QString, std::size_t> keys; // folded key -> index in `lines` of its first entry
    };

    QString fileName_;
    std::vector<Section> sections_;            // sections_[0] holds the lines before the first header
    QHash<QString, std::size_t> sectionIndex_; // folded name -> index of its first section
    bool deferred_ = false;
    QString unreadable_;
    QString keptCopy_;

    void indexSection(std::size_t i);
    void reindex();
    void written();
    void parse(const QByteArray& bytes);
    QByteArray serialize() const;
    const Section* findSection(const QString& name) const;
    Section* findSection(const QString& name);
    static const Line* findKey(const Section& s, const QString& key);
    void setValue(const QString& section, const QString& key, const QString& value);
};
