#include "shell/MessageBoxes.h"

#include <QMessageBox>

namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
             QMessageBox::StandardButton button)
{
    QMessageBox box(icon, title, text, button, parent);
    box.exec();
}

} // namespace

QString ApplicationTitle()
{
    return QStringLiteral("Vantu's MCI Video File Player");
}

void ShowPlainMessage(QWidget* parent, const QString& text)
{
    ShowBox(parent, QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok);
}

void ShowErrorBox(QWidget* parent, const QString& text)
{
    ShowBox(parent, QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Cancel);
}

void ShowRuntimeError(QWidget* parent, const QString& text)
{
    ShowBox(parent, QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok);
}
