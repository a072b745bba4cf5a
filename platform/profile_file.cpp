#include "platform/profile_file.h"

#include <QFile>
#include "platform/whole_file.h"

namespace {
constexpr int kMaxText = 259;
}

ProfileFile::ProfileFile(const QString& path) : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    Section* current = nullptr;
    for (QByteArray rawLine : bytes.split('\n')) {
        const QString line = QString::fromLocal8Bit(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            int close = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            current = nullptr;
            for (Section& s : m_sections)
                if (s.name.compare(name, Qt::CaseInsensitive) == 0)
                    current = &s;
            if (!current) {
                m_sections.push_back({name, {}});
                current = &m_sections.back();
            }
            continue;
        }
        if (!current)
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        bool known = false;
        for (const Entry& e : current->entries)
            known = known || e.key.compare(key, Qt::CaseInsensitive) == 0;
        if (!known) // the first of two equal keys is the one that counts
            current->entries.push_back({key, value});
    }
}

const ProfileFile::Entry* ProfileFile::find(const QString& section, const QString& key) const
{
    for (const Section& s : m_sections) {
        if (s.name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const Entry& e : s.entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0)
                return &e;
    }
    return nullptr;
}

bool ProfileFile::contains(const QString& section, const QString& key) const
{
    return find(section, key) != nullptr;
}

QString ProfileFile::value(const QString& section, const QString& key) const
{
    const Entry* e = find(section, key);
    return e ? e->value : QString();
}

QString ProfileFile::text(const QString& section, const QString& key, const QString& def) const
{
    const Entry* e = find(section, key);
    return (e ? e->value : def).left(kMaxText);
}

int ProfileFile::leadingInteger(const QString& value)
{
    const QString v = value.trimmed();
    int i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == QLatin1Char('-') || v[i] == QLatin1Char('+'))) {
        negative = v[i] == QLatin1Char('-');
        ++i;
    }
    // Accumulate in unsigned arithmetic so that an overlong number wraps like a
    // 32-bit register instead of overflowing.
    quint32 n = 0;
    for (; i < v.size() && v[i].isDigit() && v[i].unicode() < 128; ++i)
        n = n * 10u + quint32(v[i].unicode() - '0');
    if (negative)
        n = 0u - n;
    return static_cast<int>(n);
}

int ProfileFile::integer(const QString& section, const QString& key, int def) const
{
    const Entry* e = find(section, key);
    return e ? leadingInteger(e->value) : def;
}

quint8 ProfileFile::byte(const QString& section, const QString& key, int def) const
{
    return static_cast<quint8>(static_cast<quint32>(integer(section, key, def)) & 0xFFu);
}

void ProfileFile::setValue(const QString& section, const QString& key, const QString& value)
{
    Section* target = nullptr;
    for (Section& s : m_sections)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            target = &s;
    if (!target) {
        m_sections.push_back({section, {}});
        target = &m_sections.back();
    }
    for (Entry& e : target->entries) {
        if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
            e.value = value;
            return;
        }
    }
    target->entries.push_back({key, value});
}

void ProfileFile::setInteger(const QString& section, const QString& key, int value)
{
    setValue(section, key, QString::number(value));
}

QByteArray ProfileFile::toBytes() const
{
    QByteArray out;
    for (const Section& s : m_sections) {
        out += '[' + s.name.toLocal8Bit() + "]\r\n";
        for (const Entry& e : s.entries)
            out += e.key.toLocal8Bit() + '=' + e.value.toLocal8Bit() + "\r\n";
    }
    return out;
}

bool ProfileFile::save() const
{
    return writeWholeFile(m_path, toBytes()).isEmpty();
}

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& def,
                                const QString& path)
{
    return ProfileFile(path).text(section, key, def);
}

int GetPrivateProfileInt(const QString& section, const QString& key, int def, const QString& path)
{
    return ProfileFile(path).integer(section, key, def);
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path)
{
    ProfileFile file(path);
    file.setValue(section, key, value);
    return file.save();
}
