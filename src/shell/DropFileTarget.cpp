#include "shell/DropFileTarget.h"

#include <QMimeData>
#include <QUrl>

namespace {

// Only a list made entirely of local files counts: a web link cannot be played
// as a file, and dropping half a list would queue something the user did not drag.
bool localFilesOf(const QMimeData* data, QStringList* names)
{
    if (!data || !data->hasFormat(QStringLiteral("text/uri-list")))
        return false;
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty())
        return false;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty())
            return false;
        if (names)
            names->append(url.toLocalFile());
    }
    return true;
}

} // namespace

TDropFileTarget::TDropFileTarget(QObject* owner)
    : TDropTarget(owner)
{
}

TDropFileTarget::~TDropFileTarget() = default;

bool TDropFileTarget::AcceptsFormat() const
{
    return localFilesOf(DataObject(), nullptr);
}

void TDropFileTarget::ResetData()
{
    DroppedFiles.clear();
}

bool TDropFileTarget::FetchData()
{
    DroppedFiles.clear();
    QStringList names;
    if (!localFilesOf(DataObject(), &names))
        return false;
    DroppedFiles = names;
    return !DroppedFiles.isEmpty();
}
