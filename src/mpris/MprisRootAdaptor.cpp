#include "mpris/MprisRootAdaptor.h"

#include "engine/modul01.h"
#include "panel/ZORVEX32.h"

#include <QFile>

namespace {

// The desktop entry is built into the program, so the list cannot drift from it.
QStringList desktopEntryMimeTypes()
{
    QFile entry(QStringLiteral(":/keld32/keld32.desktop"));
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith(QLatin1String("MimeType=")))
            return line.mid(9).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    }
    return {};
}

} // namespace

MprisRootAdaptor::MprisRootAdaptor(QObject* owner, TBedienTeil& panel)
    : QDBusAbstractAdaptor(owner), panel_(panel), mimeTypes_(desktopEntryMimeTypes())
{
}

QString MprisRootAdaptor::Identity() const
{
    return QStringLiteral("Vantu's MCI Video File Player");
}

QString MprisRootAdaptor::DesktopEntry() const
{
    return QStringLiteral("keld32");
}

QStringList MprisRootAdaptor::SupportedUriSchemes() const
{
    return {QStringLiteral("file")};
}

QStringList MprisRootAdaptor::SupportedMimeTypes() const
{
    return mimeTypes_;
}

void MprisRootAdaptor::Raise()
{
    panel_.show();
    panel_.raise();
    panel_.activateWindow();
    PanelInFront = 1;
}

void MprisRootAdaptor::Quit()
{
    panel_.ExitProgramClick();
}
