#pragma once
#include <QComboBox>

// The file-type filter of the queue editor, fed from a filter text in the form
// "description|patterns|description|patterns".
class TFilterComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TFilterComboBox(QWidget* parent = nullptr);

    // Replaces the list and selects the first filter.
    void SetFilter(const QString& filter);
    // The patterns of the chosen filter.
    QString Mask() const;

signals:
    void MaskChanged(const QString& mask);
};
