#pragma once
#include <QString>
#include <memory>

class QSettings;

// One INI settings file opened for one read or one update.
//
// QSettings is the INI reader and writer, but it keeps every file it has opened in
// a process-wide cache: a change whose write failed stays there and is written by
// the next successful sync of the same file, and a file replaced within the same
// millisecond at the same size is served stale. So QSettings only ever sees a
// private copy in the temporary folder; the real file is read once when opening
// and replaced in one atomic step (QSaveFile) by Commit, never written in place.
class TIniWorkingCopy {
public:
    explicit TIniWorkingCopy(const QString& realFile);
    ~TIniWorkingCopy();
    TIniWorkingCopy(const TIniWorkingCopy&) = delete;
    TIniWorkingCopy& operator=(const TIniWorkingCopy&) = delete;

    // Whether the real file was there when opened.
    bool Existed() const { return m_Existed; }
    // Null when no private copy could be made (nothing can be read or written).
    QSettings* Settings() const { return m_Settings.get(); }
    const QString& RealFile() const { return m_RealFile; }

    // Replaces the real file by the copy, creating its folder as needed.
    // Returns false, leaving the real file as it was, when anything fails.
    bool Commit();

private:
    QString m_RealFile;
    QString m_CopyFile;
    bool m_Existed = false;
    std::unique_ptr<QSettings> m_Settings;
};
