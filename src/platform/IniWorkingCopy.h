#pragma once
#include <QString>
#include <memory>

class TIniDocument;

// One INI settings file opened for one read or one update.
//
// The file is read once, into memory; nothing is written anywhere until Commit,
// which replaces the real file in one atomic step from a temporary file beside it
// (QSaveFile). A process killed at any moment leaves the old file or the new one,
// and no copy of either.
//
// A file with lines that cannot be read still gives every value that can be; the
// first Commit keeps the original under "<name>.bad" (the next free "<name>.bad.N"
// when that is taken), says so once on standard error, and writes a clean file.
class TIniWorkingCopy {
public:
    explicit TIniWorkingCopy(const QString& realFile);
    ~TIniWorkingCopy();
    TIniWorkingCopy(const TIniWorkingCopy&) = delete;
    TIniWorkingCopy& operator=(const TIniWorkingCopy&) = delete;

    // Whether the real file was there when opened.
    bool Existed() const { return m_Existed; }
    // Null when the real file is there but cannot be read (nothing can be read or written).
    TIniDocument* Document() const { return m_Document.get(); }
    const QString& RealFile() const { return m_RealFile; }

    // Replaces the real file by the document, creating its folder as needed.
    // Returns false, leaving the real file as it was, when anything fails.
    bool Commit();

private:
    bool KeepUnreadableOriginal(QString& kept);

    QString m_RealFile;
    QByteArray m_Original;
    bool m_Existed = false;
    std::unique_ptr<TIniDocument> m_Document;
};
