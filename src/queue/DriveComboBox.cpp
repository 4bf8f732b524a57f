#include "queue/DriveComboBox.h"

#include <QDir>
#include <QStorageInfo>

namespace {

bool isRemovableMount(const QString& root)
{
    return root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/run/media/"))
        || root.startsWith(QLatin1String("/mnt/")) || root == QLatin1String("/mnt");
}

bool isInside(const QString& path, const QString& root)
{
    if (root == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

} // namespace

TDriveComboBox::TDriveComboBox(QWidget* parent)
    : QComboBox(parent)
{
    SetDrives(MountedDrives());
    connect(this, &QComboBox::activated, this, [this](int) { emit DriveChanged(); });
}

QStringList TDriveComboBox::MountedDrives()
{
    QStringList drives{QStringLiteral("/")};
    const QString home = QDir::homePath();
    if (home != QLatin1String("/"))
        drives << home;
    QStringList removable;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (isRemovableMount(root) && !removable.contains(root))
            removable << root;
    }
    removable.sort();
    return drives + removable;
}

void TDriveComboBox::SetDrives(const QStringList& drives)
{
    clear();
    addItems(drives.isEmpty() ? QStringList{QStringLiteral("/")} : drives);
    setCurrentIndex(0);
}

QString TDriveComboBox::Drive() const
{
    return currentText();
}

void TDriveComboBox::SetDriveOf(const QString& path)
{
    int best = 0;
    for (int i = 0; i < count(); ++i) {
        if (isInside(path, itemText(i)) && itemText(i).size() > itemText(best).size())
            best = i;
    }
    setCurrentIndex(best);
}

void TDriveComboBox::ResetToRoot()
{
    setCurrentIndex(0);
}
