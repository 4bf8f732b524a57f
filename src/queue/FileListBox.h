#pragma once
#include <QListWidget>

// The file list of the queue editor: the files of one directory that match the
// mask ("*.avi;*.mpg;..."), matched without regard to case as the mask's owners
// expect.
class TFileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TFileListBox(QWidget* parent = nullptr);

    QString Directory() const { return directory_; }
    QString Mask() const { return mask_; }
    void SetDirectory(const QString& path);
    void SetMask(const QString& mask);
    // The directory, a separator unless it already ends in one, and the file name.
    QString FullPath(int row) const;
    // Lists the directory again.
    void Refresh();

signals:
    // The list's selection or content changed.
    void Changed();

private:
    QString directory_;
    QString mask_;
};
