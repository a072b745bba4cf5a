#pragma once
// A profile file: "[Section]" lines, each followed by "key=value" lines.
// Sections and keys are matched without regard to case; the order of sections and
// keys is kept; a new section goes to the end of the file and a new key to the end
// of its section. The whole file is written at once through a save file, so a
// failed write leaves the previous file intact.
//
// The file is kept as its lines: everything the program does not set (comments,
// blank lines, other keys and sections, the spacing and line ends of each line) is
// written back byte for byte. Values are single-byte text: each byte is one
// character (Latin-1), so any byte read comes back unchanged when written.
//
// A file that cannot be read (not a regular file or a link to one, not readable, or
// larger than any settings file) reads as an empty profile and is never written:
// what it holds is the user's, and the program never saw it.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class ProfileFile {
public:
    // The largest file read: the program's own file is some 1.5 KB.
    static constexpr qint64 kMaxFileBytes = 64 * 1024;
    enum class ReadStatus { Read, Missing, Unreadable };

    // Reads the file; a missing or unreadable file gives an empty profile.
    explicit ProfileFile(const QString& path);
    // A profile from the file's bytes, without touching the disk (save() then writes
    // to `path`).
    static ProfileFile fromBytes(const QByteArray& bytes, const QString& path = QString());

    // The value of a key, or nothing when the section or key is missing.
    bool contains(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key) const;

    // Text value: at most 259 characters are kept, as a 260-character buffer would.
    QString text(const QString& section, const QString& key, const QString& def) const;
    // Integer value: the decimal number at the start of the value (optional minus
    // sign), 0 when it holds none; the default when the key is missing.
    int integer(const QString& section, const QString& key, int def) const;
    // Byte value: an integer held in its low 8 bits.
    quint8 byte(const QString& section, const QString& key, int def) const;

    // Sets a value. A key that already holds the value keeps its line as it was.
    // Characters outside Latin-1 are written as '?'; a value must hold no line break.
    void setValue(const QString& section, const QString& key, const QString& value);
    void setInteger(const QString& section, const QString& key, int value);

    // Writes the whole file. Returns false (and leaves any old file whole) on failure,
    // for a file that could not be read, and for one larger than kMaxFileBytes.
    bool save() const;
    ReadStatus readStatus() const { return m_status; }

    QString path() const { return m_path; }
    // The file's bytes as save() writes them: the lines read, with the values set
    // since; new lines end with CR LF.
    QByteArray toBytes() const;

    // The leading-number rule of integer values, on its own.
    static int leadingInteger(const QString& value);

private:
    ProfileFile() = default;
    void parse(const QByteArray& bytes);

    // One line of the file with its line end; a key line also holds its key and
    // value, trimmed. A run of lines that are neither keys nor section headers (blank
    // lines, comments) is kept as one, so memory follows the file's size rather than
    // its number of lines.
    struct Line {
        QByteArray raw;
        bool isEntry = false;
        QString key;
        QString value;
    };
    // The lines before the first section header form a section without a name.
    struct Section {
        QString name;
        bool hasHeader = false;
        std::vector<Line> lines; // the header line first when there is one
    };
    static Line parseLine(const QByteArray& raw);
    static void terminateLastLine(Section& section);
    const Line* find(const QString& section, const QString& key) const;
    Line* find(const QString& section, const QString& key);

    QString m_path;
    ReadStatus m_status = ReadStatus::Read;
    std::vector<Section> m_sections;
};

// One-call forms, each reading (and for writes, rewriting) the file.
QString GetPrivateProfileString(const QString& section, const QString& key, const QString& def,
                                const QString& path);
int GetPrivateProfileInt(const QString& section, const QString& key, int def, const QString& path);
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path);
