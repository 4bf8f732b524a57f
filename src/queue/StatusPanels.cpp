#include "queue/StatusPanels.h"

#include <QLabel>

TStatusPanels::TStatusPanels(QWidget* parent)
    : QFrame(parent)
{
    const int widths[3] = {240, 50, 50};
    int left = 0;
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        panels_[i]->setGeometry(left, 0, widths[i], 19);
        left += widths[i] + 2;
    }
    panels_[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

QString TStatusPanels::PanelText(int index) const
{
    return index >= 0 && index < 3 ? panels_[index]->text() : QString();
}

void TStatusPanels::SetPanelText(int index, const QString& text)
{
    if (index >= 0 && index < 3)
        panels_[index]->setText(text);
}
