#include "platform/profile_file.h"

#include <QFileInfo>
#include <utility>

#include "platform/whole_file.h"

namespace {
constexpr int kMaxText = 259;
const QByteArray kNewLine = QByteArrayLiteral("\r\n");
const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

QByteArray lineEnd(const QByteArray& raw)
{
    if (raw.endsWith(kNewLine))
        return kNewLine;
    return raw.endsWith('\n') ? QByteArray("\n") : QByteArray();
}

bool sameName(const QString& a, const QString& b)
{
    // Case folding keeps the length: names of two lengths never match, and most lines
    // are passed over without comparing their characters.
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

ProfileFile::ProfileFile(const QString& path) : m_path(path)
{
    const std::optional<QByteArray> bytes = readWholeFile(path, nullptr, kMaxFileBytes);
    if (!bytes) {
        // Nothing at all there (not even a link) is a first start: a new file is made.
        const QFileInfo there(path);
        m_status =
            there.exists() || there.isSymLink() ? ReadStatus::Unreadable : ReadStatus::Missing;
    }
    parse(bytes.value_or(QByteArray()));
}

ProfileFile ProfileFile::fromBytes(const QByteArray& bytes, const QString& path)
{
    ProfileFile profile;
    profile.m_path = path;
    profile.parse(bytes);
    return profile;
}

ProfileFile::Line ProfileFile::parseLine(const QByteArray& raw)
{
    Line line{raw, false, {}, {}};
    const QByteArray content = raw.trimmed(); // blanks, tabs and the line end
    const qsizetype eq = content.indexOf('=');
    if (content.startsWith('[') || content.startsWith(';') || eq < 0)
        return line;
    line.isEntry = true;
    line.key = QString::fromLatin1(content.left(eq).trimmed());
    line.value = QString::fromLatin1(content.mid(eq + 1).trimmed());
    return line;
}

void ProfileFile::parse(const QByteArray& bytes)
{
    m_sections.push_back({}); // the lines before the first section
    qsizetype start = 0;
    // The byte-order mark an editor may put first is no part of the first line (it
    // would hide that line's section); a line of its own, it is written back as read.
    if (bytes.startsWith(kUtf8Bom)) {
        m_sections.back().lines.push_back(parseLine(kUtf8Bom));
        start = kUtf8Bom.size();
    }
    while (start < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', start);
        const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        const QByteArray raw = bytes.mid(start, end - start);
        start = end;
        const QByteArray content = raw.trimmed();
        if (content.startsWith('[')) {
            const qsizetype close = content.indexOf(']');
            const QByteArray name = content.mid(1, close < 0 ? -1 : close - 1).trimmed();
            m_sections.push_back({QString::fromLatin1(name), true, {}});
        }
        Section& section = m_sections.back();
        Line line = parseLine(raw);
        const bool afterHeader = section.hasHeader && section.lines.size() == 1;
        if (!line.isEntry && !content.startsWith('[') && !section.lines.empty()
            && !section.lines.back().isEntry && !afterHeader)
            section.lines.back().raw += raw; // one more blank or comment line of a run
        else
            section.lines.push_back(std::move(line));
    }
}

const ProfileFile::Line* ProfileFile::find(const QString& section, const QString& key) const
{
    // Sections of one name count as one; the first of two equal keys is the one
    // that counts.
    for (const Section& s : m_sections) {
        if (!s.hasHeader || !sameName(s.name, section))
            continue;
        for (const Line& line : s.lines)
            if (line.isEntry && sameName(line.key, key))
                return &line;
    }
    return nullptr;
}

ProfileFile::Line* ProfileFile::find(const QString& section, const QString& key)
{
    return const_cast<Line*>(std::as_const(*this).find(section, key));
}

bool ProfileFile::contains(const QString& section, const QString& key) const
{
    return find(section, key) != nullptr;
}

QString ProfileFile::value(const QString& section, const QString& key) const
{
    const Line* line = find(section, key);
    return line ? line->value : QString();
}

QString ProfileFile::text(const QString& section, const QString& key, const QString& def) const
{
    const Line* line = find(section, key);
    return (line ? line->value : def).left(kMaxText);
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
    const Line* line = find(section, key);
    return line ? leadingInteger(line->value) : def;
}

quint8 ProfileFile::byte(const QString& section, const QString& key, int def) const
{
    return static_cast<quint8>(static_cast<quint32>(integer(section, key, def)) & 0xFFu);
}

void ProfileFile::setValue(const QString& section, const QString& key, const QString& value)
{
    if (Line* line = find(section, key)) {
        if (line->value != value)
            *line = parseLine(line->key.toLatin1() + '=' + value.toLatin1() + lineEnd(line->raw));
        return;
    }
    Section* target = nullptr;
    for (Section& s : m_sections)
        if (!target && s.hasHeader && sameName(s.name, section))
            target = &s;
    if (!target) {
        terminateLastLine(m_sections.back());
        m_sections.push_back(
            {section, true, {parseLine('[' + section.toLatin1() + ']' + kNewLine)}});
        target = &m_sections.back();
    }
    // A new key goes after the last key of its section, ahead of any blank or
    // comment lines that end the section.
    auto at = target->lines.begin() + 1;
    for (auto it = at; it != target->lines.end(); ++it)
        if (it->isEntry)
            at = it + 1;
    if (at == target->lines.end())
        terminateLastLine(*target);
    target->lines.insert(at, parseLine(key.toLatin1() + '=' + value.toLatin1() + kNewLine));
}

void ProfileFile::terminateLastLine(Section& section)
{
    // The file's last line may lack its line end; a line added after it needs one.
    if (!section.lines.empty() && lineEnd(section.lines.back().raw).isEmpty())
        section.lines.back() = parseLine(section.lines.back().raw + kNewLine);
}

void ProfileFile::setInteger(const QString& section, const QString& key, int value)
{
    setValue(section, key, QString::number(value));
}

QByteArray ProfileFile::toBytes() const
{
    QByteArray out;
    for (const Section& s : m_sections)
        for (const Line& line : s.lines)
            out += line.raw;
    return out;
}

bool ProfileFile::save() const
{
    if (m_status == ReadStatus::Unreadable)
        return false;
    // Nor is a file written that the next start could not read.
    const QByteArray bytes = toBytes();
    return bytes.size() <= kMaxFileBytes && writeWholeFile(m_path, bytes).isEmpty();
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
