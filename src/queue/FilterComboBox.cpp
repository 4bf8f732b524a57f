#include "queue/FilterComboBox.h"

TFilterComboBox::TFilterComboBox(QWidget* parent)
    : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { emit MaskChanged(Mask()); });
}

void TFilterComboBox::SetFilter(const QString& filter)
{
    const QSignalBlocker quiet(this);
    clear();
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2)
        addItem(parts.at(i), parts.at(i + 1));
    setCurrentIndex(count() > 0 ? 0 : -1);
}

QString TFilterComboBox::Mask() const
{
    return currentData().toString();
}
