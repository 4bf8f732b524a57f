#pragma once
#include <QString>
#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;

// The small always-on-top window in which the user types a frame number. The
// go-to seeks the open medium there and checks where the device really landed,
// nudging the target forward until the reported position is close enough.
// Created hidden at start-up; the panel's Goto Frame command shows it.
class TGotoFrameFrm : public QWidget {
    Q_OBJECT
public:
    explicit TGotoFrameFrm(QWidget* parent = nullptr);
    ~TGotoFrameFrm() override;

    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;

    // Shows a conversion error; a modal message box unless replaced (tests).
    std::function<void(const QString& text)> ShowError;

    void FormCreate();
    void FormShow();
    void Edit1KeyPress(char key);
    void Button1Click();
    void FormClose();

    // Attempts of one go-to before it gives up, and the distance (exclusive) at
    // which a reported position counts as arrived.
    static constexpr int MaxAttempts = 20;
    static constexpr int Tolerance = 50;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void RunGoto();
    bool SeekAndCheck(int target, bool& arrived);
    void RearmPositionTimer();
};

extern TGotoFrameFrm* GotoFrameFrm;
