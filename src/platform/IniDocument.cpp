#include "platform/IniDocument.h"

#include "platform/IniText.h"

namespace {

bool SameNames(const QStringList& a, const QStringList& b, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i)
        if (a[i].compare(b[i], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

bool SamePath(const QStringList& a, const QStringList& b)
{
    return a.size() == b.size() && SameNames(a, b, a.size());
}

bool IsBelow(const QStringList& path, const QStringList& groups)
{
    return path.size() > groups.size() && SameNames(path, groups, groups.size());
}

// Tabs aside, no control byte belongs in a settings line.
bool HasControlBytes(const QByteArray& line)
{
    for (const char c : line)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            return true;
    return false;
}

QStringList SplitKey(const QString& key)
{
    return key.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

// QSettings keeps the values without a group in "[General]"; a group of that
// name is written "[%General]".
QStringList SectionGroups(const QByteArray& name)
{
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return {};
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        return {QString::fromUtf8(name.mid(1))};
    return SplitKey(TIniText::UnescapeKey(name));
}

QByteArray SectionHeader(const QString& group)
{
    if (group.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0)
        return "[%General]";
    return '[' + TIniText::EscapeKey(group) + ']';
}

QByteArray ValueOf(const QByteArray& line)
{
    return line.mid(line.indexOf('=') + 1);
}

} // namespace

TIniDocument::TIniDocument(const QByteArray& bytes)
{
    m_Sections.push_back(Section{});   // the lines before the first header
    const QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    const QList<QByteArray> lines = text.split('\n');
    bool sectionLost = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        ParseLine(line, int(i + 1), sectionLost);
    }
}

void TIniDocument::ParseLine(const QByteArray& line, int number, bool& sectionLost)
{
    if (HasControlBytes(line)) {
        m_Unreadable << number;
        return;
    }
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty())
        return;
    if (trimmed.startsWith('[')) {
        // The values under a header that cannot be read belong to no known group.
        sectionLost = trimmed.size() < 3 || !trimmed.endsWith(']');
        if (sectionLost)
            m_Unreadable << number;
        else
            m_Sections.push_back(Section{trimmed, SectionGroups(trimmed.mid(1, trimmed.size() - 2).trimmed()), {}});
        return;
    }
    const qsizetype equals = trimmed.indexOf('=');
    const QByteArray key = equals < 0 ? QByteArray() : trimmed.left(equals).trimmed();
    const QStringList name = SplitKey(TIniText::UnescapeKey(key));
    if (sectionLost || name.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#')) {
        m_Unreadable << number;
        return;
    }
    Section& section = m_Sections.back();
    section.entries.push_back(Entry{section.groups + name, key, line});
}

bool TIniDocument::IsEmpty() const
{
    for (const Section& section : m_Sections)
        if (!section.entries.empty())
            return false;
    return true;
}

bool TIniDocument::HasGroups(const QStringList& groups) const
{
    if (groups.isEmpty())
        return true;
    for (const Section& section : m_Sections)
        for (const Entry& entry : section.entries)
            if (IsBelow(entry.path, groups))
                return true;
    return false;
}

TIniDocument::Stored TIniDocument::Read(const QStringList& groups, const QString& name, QString& text) const
{
    const QStringList path = groups + QStringList{name};
    for (const Section& section : m_Sections) {
        for (const Entry& entry : section.entries) {
            if (!SamePath(entry.path, path))
                continue;
            const TIniText::Value kind = TIniText::UnescapeValue(ValueOf(entry.line), text);
            return kind == TIniText::Value::Text ? Stored::Text : Stored::Other;
        }
    }
    return Stored::Absent;
}

void TIniDocument::Write(const QStringList& groups, const QString& name, const QString& text)
{
    const QStringList path = groups + QStringList{name};
    const QByteArray value = TIniText::EscapeValue(text);
    bool replaced = false;
    for (Section& section : m_Sections) {
        for (auto it = section.entries.begin(); it != section.entries.end();) {
            if (!SamePath(it->path, path)) {
                ++it;
            } else if (!replaced) {
                it->line = it->key + '=' + value;
                replaced = true;
                ++it;
            } else {
                it = section.entries.erase(it);   // a spelling typed in by hand twice
            }
        }
    }
    if (replaced)
        return;
    const QStringList spelled = SpellingOf(path);
    const QStringList sectionGroups = spelled.size() > 1 ? spelled.mid(0, 1) : QStringList();
    const QByteArray key = TIniText::EscapeKey(spelled.mid(sectionGroups.size()).join(QLatin1Char('/')));
    SectionFor(sectionGroups)->entries.push_back(Entry{spelled, key, key + '=' + value});
}

// The groups of `path` as values already stored spell them; the name as given.
QStringList TIniDocument::SpellingOf(const QStringList& path) const
{
    QStringList spelled = path;
    for (qsizetype level = 0; level + 1 < path.size(); ++level)
        spelled[level] = GroupSpelling(path.mid(0, level + 1));
    return spelled;
}

// The last of `groups` as the first value stored below them spells it.
QString TIniDocument::GroupSpelling(const QStringList& groups) const
{
    for (const Section& section : m_Sections)
        for (const Entry& entry : section.entries)
            if (IsBelow(entry.path, groups))
                return entry.path[groups.size() - 1];
    return groups.back();
}

TIniDocument::Section* TIniDocument::SectionFor(const QStringList& groups)
{
    for (Section& section : m_Sections)
        if (SamePath(section.groups, groups) && (!section.header.isEmpty() || !section.entries.empty()))
            return &section;
    if (groups.isEmpty())   // QSettings puts "[General]" first
        return &*m_Sections.insert(m_Sections.begin() + 1, Section{"[General]", {}, {}});
    m_Sections.push_back(Section{SectionHeader(groups.first()), groups, {}});
    return &m_Sections.back();
}

QByteArray TIniDocument::Bytes() const
{
    QByteArray out;
    for (const Section& section : m_Sections) {
        if (section.entries.empty())
            continue;
        if (!out.isEmpty())
            out += '\n';
        if (!section.header.isEmpty())
            out += section.header + '\n';
        for (const Entry& entry : section.entries)
            out += entry.line + '\n';
    }
    return out;
}
