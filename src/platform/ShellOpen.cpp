#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

void DesktopOpen(const QString& target, QWidget*)
{
    // "www.example.org" opens as a web address, as the shell would; "mailto:" and
    // full addresses keep their scheme.
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

ShellOpener g_opener = DesktopOpen;

} // namespace

void ShellOpen(const QString& target, QWidget* owner)
{
    g_opener(target, owner);
}

ShellOpener SetShellOpener(ShellOpener opener)
{
    ShellOpener previous = std::move(g_opener);
    g_opener = opener ? std::move(opener) : ShellOpener(DesktopOpen);
    return previous;
}
