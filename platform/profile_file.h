#pragma once
// A profile file: "[Section]" lines, each followed by "key=value" lines.
// Sections and keys are matched without regard to case; the order of sections and
// keys is kept; a new section goes to the end of the file and a new key to the end
// of its section. The whole file is written at once through a save file, so a
// failed write leaves the previous file intact.
#include <QString>
#include <QStringList>
#include <vector>

class ProfileFile {
public:
    // Reads the file; a missing or unreadable file gives an empty profile.
    explicit ProfileFile(const QString& path);

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

    void setValue(const QString& section, const QString& key, const QString& value);
    void setInteger(const QString& section, const QString& key, int value);

    // Writes the whole file. Returns false (and leaves any old file whole) on failure.
    bool save() const;

    QString path() const { return m_path; }
    // The file's text as save() writes it (CR LF line ends).
    QByteArray toBytes() const;

    // The leading-number rule of integer values, on its own.
    static int leadingInteger(const QString& value);

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };
    const Entry* find(const QString& section, const QString& key) const;

    QString m_path;
    std::vector<Section> m_sections;
};

// One-call forms, each reading (and for writes, rewriting) the file.
QString GetPrivateProfileString(const QString& section, const QString& key, const QString& def,
                                const QString& path);
int GetPrivateProfileInt(const QString& section, const QString& key, int def, const QString& path);
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path);
