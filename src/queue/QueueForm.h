#pragma once
#include <QStringList>
#include <QWidget>

#include <functional>

class QListWidget;
class QProgressBar;
class QPushButton;
class QToolButton;
class TDirectoryListBox;
class TDriveComboBox;
class TFileListBox;
class TFilterComboBox;
class TStatusPanels;

// The queue editor: a file browser on the left, the command buttons in the
// middle, the queue list on the right. Created hidden at start and only shown and
// hidden afterwards; the queue operations use its list also while it is hidden.
class TQueueForm : public QWidget {
    Q_OBJECT
public:
    explicit TQueueForm(QWidget* parent = nullptr);
    ~TQueueForm() override;

    TDriveComboBox* DriveComboBox1 = nullptr;
    TDirectoryListBox* DirectoryListBox1 = nullptr;
    TFileListBox* FileListBox1 = nullptr;
    TFilterComboBox* FilterComboBox1 = nullptr;
    QPushButton* BtnAdd = nullptr;
    QPushButton* BtnDel = nullptr;
    QPushButton* BtnAddAll = nullptr;
    QPushButton* BtnDelAll = nullptr;
    QPushButton* Button2 = nullptr;  // Cancel; Esc presses it
    QPushButton* Button1 = nullptr;  // OK
    QToolButton* BtnLoad = nullptr;
    QToolButton* BtnSave = nullptr;
    QToolButton* BtnAuf = nullptr;
    QToolButton* BtnAb = nullptr;
    // The queue list itself; its current row is the current entry.
    QListWidget* ListBox1 = nullptr;
    // The load buffer of a queue file load; never shown.
    QStringList ListBox2;
    TStatusPanels* StatusBar1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

    // The file dialogs of export and import: true with the chosen name in `fileName`.
    // Replaceable so that tests and scripted runs need no real dialog.
    std::function<bool(QString& fileName)> SaveDialog1Execute;
    std::function<bool(QString& fileName)> OpenDialog1Execute;
    // A plain message box (one "OK" button) and the error box (error icon, title
    // "Error", one "Cancel" button); replaceable like the dialogs.
    std::function<void(const QString& text)> ShowMessage;
    std::function<void(const QString& text)> ShowError;

    void FormCreate();
    void FormShow();
    void DriveComboBox1Change();
    void FileListBox1Change();
    void BtnAddClick();
    void FileListBox1DblClick();
    void BtnAddAllClick();
    void ListBox1Click();
    void ListBox1KeyDown();
    void BtnDelClick();
    void BtnDelAllClick();
    void BitBtn1Click();  // up
    void BtnAbClick();    // down
    void BtnSaveClick();
    void BtnLoadClick();
    void Button1Click();
    void ListBox1DblClick();
    void Button2Click();

    // Refreshes the up, down and export buttons and the entry count.
    void chk_list();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildBrowser();
    void BuildButtons();
    void BuildQueueList();
    void BuildStatus();
    void InstallDefaultDialogs();
    QPushButton* MakeButton(int top, void (TQueueForm::*handler)());
    QToolButton* MakeGlyph(int left, int top, int icon, void (TQueueForm::*handler)());
    void AddSelectedFile();
    void MoveSelected(int by);
};

extern TQueueForm* QueueForm;
