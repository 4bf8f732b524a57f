#pragma once
#include <QComboBox>
#include <QStringList>

// The drive list of the queue editor: on this platform the mounted file systems,
// the root first, then the home directory and removable media.
class TDriveComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDriveComboBox(QWidget* parent = nullptr);

    // The mount points the system reports, in the order above.
    static QStringList MountedDrives();
    // Replaces the list (the first entry is the root the list falls back to).
    void SetDrives(const QStringList& drives);
    QString Drive() const;
    // Chooses the drive that holds `path` (the longest mount point before it).
    void SetDriveOf(const QString& path);
    // Back to the first drive, the root.
    void ResetToRoot();

signals:
    // The user chose another drive.
    void DriveChanged();
};
