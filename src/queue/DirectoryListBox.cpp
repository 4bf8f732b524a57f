#include "queue/DirectoryListBox.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int PathRole = Qt::UserRole;

QStringList ancestorsOf(const QString& path)
{
    QStringList chain;
    QDir dir(path);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());
    return chain;
}

} // namespace

TDirectoryListBox::TDirectoryListBox(QWidget* parent)
    : QListWidget(parent)
{
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (SetDirectory(item->data(PathRole).toString()))
            emit DirectoryChanged(directory_);
    });
}

bool TDirectoryListBox::SetDirectory(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isReadable() || !QDir(path).isReadable())
        return false;
    directory_ = QDir(path).absolutePath();
    Fill();
    return true;
}

void TDirectoryListBox::Fill()
{
    clear();
    const QStringList chain = ancestorsOf(directory_);
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString name = depth == 0 ? chain.at(0) : QFileInfo(chain.at(depth)).fileName();
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(PathRole, chain.at(depth));
    }
    setCurrentRow(count() - 1);
    const QString indent(chain.size() * 2, QLatin1Char(' '));
    const QDir dir(directory_);
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QListWidgetItem(indent + sub, this);
        item->setData(PathRole, dir.absoluteFilePath(sub));
    }
}
