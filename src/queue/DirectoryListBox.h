#pragma once
#include <QListWidget>

// The directory list of the queue editor: the current directory's ancestors from
// the drive's top down, then its subdirectories. A double click opens one.
class TDirectoryListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TDirectoryListBox(QWidget* parent = nullptr);

    QString Directory() const { return directory_; }
    // Shows `path`; false (nothing changed) when it cannot be read.
    bool SetDirectory(const QString& path);

signals:
    void DirectoryChanged(const QString& path);

private:
    void Fill();
    QString directory_;
};
