#include "shell/CheckVideoDevices.h"

#include "engine/MCI_FUNC.h"
#include "engine/modul01.h"
#include "shell/Info.h"
#include "shell/PanelRequests.h"

namespace {

const char* const kTitle = "Vantu's MCI Video File Player";
const char* const kChecking = "   -   Checking MCI Video Devices";

// "*.avi;*.mpg" for the extensions avi and mpg.
QString PatternList(const QStringList& extensions)
{
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns.append(QStringLiteral("*.") + extension);
    return patterns.join(QLatin1Char(';'));
}

QString VideoFilter(const QStringList& extensions)
{
    const QString patterns = PatternList(extensions);
    return QStringLiteral("Video Files(") + patterns + QStringLiteral(")|") + patterns
           + QStringLiteral("|All Files(*.*)|*.*");
}

void SetPanelCaption(const QString& caption)
{
    emit ThePanelRequests().CaptionWanted(caption);
}

// Detection borrows the alias "vid" and closes it after each device: a medium
// still open under it would be closed behind the player's back.
void CloseOpenMedium()
{
    if (MediaOpen != 1)
        return;
    int result = 0;
    CloseMedia(result);
}

} // namespace

void CheckVideoDevices()
{
    CheckVideoDevices(InfoForm);
}

void CheckVideoDevices(TInfoForm* about)
{
    CloseOpenMedium();
    if (about)
        about->ShowPage(about->TabSheet2, true);
    SetPanelCaption(QString::fromLatin1(kTitle) + QString::fromLatin1(kChecking));

    QStringList devices = about ? about->DeviceNames() : QStringList();
    QStringList extensions = about ? about->Extensions() : QStringList();
    ListVideoDevices(devices, extensions);
    if (about) {
        about->SetDeviceNames(devices);
        about->SetExtensions(extensions);
    }

    emit ThePanelRequests().OpenFilterChosen(VideoFilter(extensions));
    SetPanelCaption(QString::fromLatin1(kTitle));
    if (about) {
        about->SortLists();
        about->ShowPage(about->TabSheet3, false);
    }
}
