#include "queue/FileListBox.h"

#include <QDir>

namespace {

QStringList nameFilters(const QString& mask)
{
    QStringList filters;
    for (const QString& pattern : mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        // "*.*" means every file where the mask comes from, dot or none.
        filters << (pattern.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : pattern.trimmed());
    }
    return filters;
}

} // namespace

TFileListBox::TFileListBox(QWidget* parent)
    : QListWidget(parent)
    , mask_(QStringLiteral("*.avi;*.mpg;*.mpa;*.mpv;*.dat;*.fl?;*.vbs;*.mov"))
{
    connect(this, &QListWidget::currentRowChanged, this, [this](int) { emit Changed(); });
}

void TFileListBox::SetDirectory(const QString& path)
{
    directory_ = path;
    Refresh();
}

void TFileListBox::SetMask(const QString& mask)
{
    mask_ = mask;
    Refresh();
}

QString TFileListBox::FullPath(int row) const
{
    if (row < 0 || row >= count())
        return QString();
    QString path = directory_;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + item(row)->text();
}

void TFileListBox::Refresh()
{
    {
        // One change for the whole refill, told below.
        const QSignalBlocker quiet(this);
        clear();
        if (!directory_.isEmpty()) {
            const QDir dir(directory_);
            addItems(dir.entryList(nameFilters(mask_), QDir::Files | QDir::Hidden | QDir::System,
                                   QDir::Name | QDir::IgnoreCase));
        }
        setCurrentRow(-1);
    }
    emit Changed();
}
