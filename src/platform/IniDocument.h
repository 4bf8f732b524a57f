#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// The settings file's text, held line by line. A value the player sets is written
// in QSettings' spelling (TIniText); every other "name=value" line, another
// program's included, is written back exactly as it was read, byte for byte.
//
// A line that is neither "[section]", "name=value" nor blank (a comment, a line
// without "=", control bytes, the lines under a section header that cannot be
// read) is skipped and its number kept, so the caller can keep the original file.
class TIniDocument {
public:
    enum class Stored { Absent, Text, Other };

    explicit TIniDocument(const QByteArray& bytes = QByteArray());

    // 1-based numbers of the lines that were skipped.
    const QList<int>& UnreadableLines() const { return m_Unreadable; }
    // No value at all.
    bool IsEmpty() const;

    // Names below are compared without regard to case, groups being the sub-keys.
    // Whether any value lies under `groups` (always true for no groups).
    bool HasGroups(const QStringList& groups) const;
    Stored Read(const QStringList& groups, const QString& name, QString& text) const;
    // Replaces the value under the spelling it already has (other spellings of the
    // same name go), or adds it under the spelling its groups already have.
    void Write(const QStringList& groups, const QString& name, const QString& text);

    // The file: each section with its values, blank lines and skipped lines left out.
    QByteArray Bytes() const;

private:
    struct Entry {
        QStringList path;   // groups and name, as QSettings decodes them
        QByteArray key;     // the name as found left of "="
        QByteArray line;    // the whole line, written back as it is
    };
    struct Section {
        QByteArray header;  // "[...]"; empty for the lines before the first header
        QStringList groups;
        std::vector<Entry> entries;
    };

    void ParseLine(const QByteArray& line, int number, bool& sectionLost);
    Section* SectionFor(const QStringList& groups);
    QStringList SpellingOf(const QStringList& path) const;
    QString GroupSpelling(const QStringList& groups) const;

    std::vector<Section> m_Sections;
    QList<int> m_Unreadable;
};
