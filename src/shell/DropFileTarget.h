#pragma once
#include "shell/DropTarget.h"

#include <QStringList>

// The drop target for lists of local files (text/uri-list with file URLs only).
class TDropFileTarget : public TDropTarget {
    Q_OBJECT
public:
    explicit TDropFileTarget(QObject* owner = nullptr);
    ~TDropFileTarget() override;

    // The dropped names, in the source's order; filled only while OnDrop runs.
    QStringList DroppedFiles;

protected:
    bool FetchData() override;
    void ResetData() override;
    bool AcceptsFormat() const override;
};
