#include "queue/QueueForm.h"

#include "queue/DirectoryListBox.h"
#include "queue/DriveComboBox.h"
#include "queue/FileListBox.h"
#include "queue/FilterComboBox.h"
#include "queue/Queue.h"
#include "queue/QueueFile.h"
#include "queue/StartupQueue.h"
#include "queue/StatusPanels.h"
#include "shell/MessageBoxes.h"
#include "shell/PanelRequests.h"
#include "shell/language.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

TQueueForm* QueueForm = nullptr;

namespace {

// The built-in video filter, for an editor shown without a panel.
const char* const DefaultFilter =
    "Video Files (*.avi;*.mpg;*.mpa;*.mpv;*.dat;*.fl?;*.vbs;*.mov)"
    "|*.avi;*.mpg;*.mpeg;*.mpa;*.mpv;*.dat;*.fl?;*.vbs;*.mov|All Files (*.*)|*.*";

// "KELD32 Lists (*.KQL)|*.kql" in Qt's form; both cases, as the name may be typed either way.
const char* const QueueFilesFilter = "KELD32 Lists (*.KQL) (*.kql *.KQL)";

} // namespace

TQueueForm::TQueueForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    if (!QueueForm)
        QueueForm = this;
    setFixedSize(482, 356);
    move(85, 58);
    BuildBrowser();
    BuildButtons();
    BuildQueueList();
    BuildStatus();
    InstallDefaultDialogs();
}

TQueueForm::~TQueueForm()
{
    if (QueueForm == this)
        QueueForm = nullptr;
}

void TQueueForm::BuildBrowser()
{
    DriveComboBox1 = new TDriveComboBox(this);
    DriveComboBox1->setGeometry(8, 8, 160, 22);
    DirectoryListBox1 = new TDirectoryListBox(this);
    DirectoryListBox1->setGeometry(8, 34, 160, 136);
    FileListBox1 = new TFileListBox(this);
    FileListBox1->setGeometry(8, 174, 160, 124);
    FilterComboBox1 = new TFilterComboBox(this);
    FilterComboBox1->setGeometry(8, 302, 160, 22);

    const QString start = QDir::currentPath();
    DirectoryListBox1->SetDirectory(start);
    DriveComboBox1->SetDriveOf(start);
    FileListBox1->SetDirectory(DirectoryListBox1->Directory());

    // Wired after the first fill: at start Add and Add all stay disabled.
    connect(DriveComboBox1, &TDriveComboBox::DriveChanged, this, &TQueueForm::DriveComboBox1Change);
    connect(DirectoryListBox1, &TDirectoryListBox::DirectoryChanged, FileListBox1, &TFileListBox::SetDirectory);
    connect(FileListBox1, &TFileListBox::Changed, this, &TQueueForm::FileListBox1Change);
    connect(FileListBox1, &QListWidget::itemDoubleClicked, this, [this] { FileListBox1DblClick(); });
    connect(FilterComboBox1, &TFilterComboBox::MaskChanged, FileListBox1, &TFileListBox::SetMask);
}

QPushButton* TQueueForm::MakeButton(int top, void (TQueueForm::*handler)())
{
    auto* button = new QPushButton(this);
    button->setGeometry(176, top, 90, 25);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

QToolButton* TQueueForm::MakeGlyph(int left, int top, int icon, void (TQueueForm::*handler)())
{
    auto* button = new QToolButton(this);
    button->setGeometry(left, top, 40, 28);
    button->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
    connect(button, &QToolButton::clicked, this, handler);
    return button;
}

void TQueueForm::BuildButtons()
{
    BtnLoad = MakeGlyph(176, 8, QStyle::SP_DialogOpenButton, &TQueueForm::BtnLoadClick);
    BtnAuf = MakeGlyph(224, 8, QStyle::SP_ArrowUp, &TQueueForm::BitBtn1Click);
    BtnSave = MakeGlyph(176, 40, QStyle::SP_DialogSaveButton, &TQueueForm::BtnSaveClick);
    BtnAb = MakeGlyph(224, 40, QStyle::SP_ArrowDown, &TQueueForm::BtnAbClick);
    BtnAdd = MakeButton(84, &TQueueForm::BtnAddClick);
    BtnDel = MakeButton(114, &TQueueForm::BtnDelClick);
    BtnAddAll = MakeButton(154, &TQueueForm::BtnAddAllClick);
    BtnDelAll = MakeButton(184, &TQueueForm::BtnDelAllClick);
    Button2 = MakeButton(262, &TQueueForm::Button2Click);
    Button1 = MakeButton(292, &TQueueForm::Button1Click);
    // German design-time captions; FormCreate puts the English ones over them.
    BtnAdd->setText(QStringLiteral("Hinzu  >"));
    BtnDel->setText(QStringLiteral("<  Entfernen"));
    BtnAddAll->setText(QStringLiteral("Alle  >>"));
    BtnDelAll->setText(QStringLiteral("<<  Alle weg"));
    Button2->setText(QStringLiteral("Abbrechen"));
    Button1->setText(QStringLiteral("OK"));
    for (QWidget* b : {static_cast<QWidget*>(BtnAdd), static_cast<QWidget*>(BtnDel),
                       static_cast<QWidget*>(BtnAddAll), static_cast<QWidget*>(BtnDelAll),
                       static_cast<QWidget*>(BtnSave), static_cast<QWidget*>(BtnAuf),
                       static_cast<QWidget*>(BtnAb)})
        b->setEnabled(false);
}

void TQueueForm::BuildQueueList()
{
    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(272, 8, 202, 316);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ListBox1->installEventFilter(this);
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int) { ListBox1Click(); });
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
}

void TQueueForm::BuildStatus()
{
    StatusBar1 = new TStatusPanels(this);
    StatusBar1->setGeometry(0, 335, 482, 21);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(346, 337, 132, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
}

void TQueueForm::InstallDefaultDialogs()
{
    SaveDialog1Execute = [this](QString& fileName) {
        QFileDialog dialog(this);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(QString::fromLatin1(QueueFilesFilter));
        dialog.setDefaultSuffix(QStringLiteral("kql"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        fileName = dialog.selectedFiles().constFirst();
        return true;
    };
    OpenDialog1Execute = [this](QString& fileName) {
        QFileDialog dialog(this);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(QString::fromLatin1(QueueFilesFilter));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        fileName = dialog.selectedFiles().constFirst();
        return true;
    };
    ShowMessage = [this](const QString& text) { ShowPlainMessage(this, text); };
    ShowError = [this](const QString& text) { ShowErrorBox(this, text); };
}

// ---- Window ---------------------------------------------------------------------

void TQueueForm::FormCreate()
{
    ApplyQueueTexts(*this);
    ConnectStartupQueue(*this);
}

void TQueueForm::FormShow()
{
    QString filter;
    emit ThePanelRequests().OpenFilterWanted(filter);
    if (filter.isEmpty())
        filter = QString::fromLatin1(DefaultFilter);
    FilterComboBox1->SetFilter(filter);
    FileListBox1->SetMask(FilterComboBox1->Mask());
}

void TQueueForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TQueueForm::closeEvent(QCloseEvent* event)
{
    // The close box only hides the editor: it lives until the program ends, and
    // closing it must not count as the last window closing.
    event->ignore();
    hide();
}

void TQueueForm::keyPressEvent(QKeyEvent* event)
{
    // Esc presses Cancel; the controls pass it on to the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button2->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TQueueForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListBox1 && event->type() == QEvent::KeyPress)
        ListBox1KeyDown();
    return QWidget::eventFilter(watched, event);
}

// ---- File browser -----------------------------------------------------------------

void TQueueForm::DriveComboBox1Change()
{
    const QString drive = DriveComboBox1->Drive();
    if (DirectoryListBox1->SetDirectory(drive)) {
        FileListBox1->SetDirectory(DirectoryListBox1->Directory());
        return;
    }
    ShowError(MsgDriveNotReady);
    DriveComboBox1->ResetToRoot();
    if (DirectoryListBox1->SetDirectory(DriveComboBox1->Drive()))
        FileListBox1->SetDirectory(DirectoryListBox1->Directory());
}

void TQueueForm::FileListBox1Change()
{
    BtnAddAll->setEnabled(FileListBox1->count() >= 1);
    BtnAdd->setEnabled(FileListBox1->currentRow() >= 0);
}

void TQueueForm::AddSelectedFile()
{
    const int row = FileListBox1->currentRow();
    if (row >= 0 && AddQueueEntry(FileListBox1->FullPath(row)))
        BtnDelAll->setEnabled(true);
    chk_list();
}

void TQueueForm::BtnAddClick()
{
    AddSelectedFile();
}

void TQueueForm::FileListBox1DblClick()
{
    AddSelectedFile();
}

void TQueueForm::BtnAddAllClick()
{
    const int files = FileListBox1->count();
    for (int row = 0; row < files; ++row) {
        FileListBox1->setCurrentRow(row);
        if (!AddQueueEntry(FileListBox1->FullPath(row))) {
            BtnDelAll->setEnabled(true);
            chk_list();
            return;
        }
    }
    if (files > 0)
        BtnDelAll->setEnabled(true);
    chk_list();
}

// ---- Queue list ----------------------------------------------------------------------

void TQueueForm::ListBox1Click()
{
    BtnDel->setEnabled(ListBox1->currentRow() >= 0);
    chk_list();
}

void TQueueForm::ListBox1KeyDown()
{
    ListBox1Click();
}

void TQueueForm::BtnDelClick()
{
    const int k = ListBox1->currentRow();
    if (k < 0)
        return;
    delete ListBox1->takeItem(k);
    if (ListBox1->count() > 0) {
        ListBox1->setCurrentRow(qMin(k, ListBox1->count() - 1));
    } else {
        BtnDel->setEnabled(false);
        BtnDelAll->setEnabled(false);
        emit ThePanelRequests().QueueEmptied();
    }
    chk_list();
}

void TQueueForm::BtnDelAllClick()
{
    ClearQueueList();
}

void TQueueForm::MoveSelected(int by)
{
    const int k = ListBox1->currentRow();
    const int to = k + by;
    if (k < 0 || to < 0 || to >= ListBox1->count())
        return;
    QListWidgetItem* item = ListBox1->takeItem(k);
    ListBox1->insertItem(to, item);
    ListBox1->setCurrentRow(to);
    chk_list();
}

void TQueueForm::BitBtn1Click()
{
    MoveSelected(-1);
}

void TQueueForm::BtnAbClick()
{
    MoveSelected(+1);
}

void TQueueForm::chk_list()
{
    const int k = ListBox1->currentRow();
    const int n = ListBox1->count();
    if (n < 2 || k < 0) {
        BtnAuf->setEnabled(false);
        BtnAb->setEnabled(false);
    } else {
        BtnAuf->setEnabled(k != 0);
        BtnAb->setEnabled(k + 1 != n);
    }
    BtnSave->setEnabled(n >= 1);
    StatusBar1->SetPanelText(1, QString::number(n));
}

// ---- Queue files and queue start ---------------------------------------------------------

void TQueueForm::BtnSaveClick()
{
    QString fileName;
    if (!SaveDialog1Execute || !SaveDialog1Execute(fileName))
        return;
    QStringList entries;
    for (int i = 0; i < ListBox1->count(); ++i)
        entries << ListBox1->item(i)->text();
    if (!WriteQueueFile(fileName, entries))
        ShowMessage(MsgErrorSaving + fileName);
}

void TQueueForm::BtnLoadClick()
{
    QString fileName;
    if (!OpenDialog1Execute || !OpenDialog1Execute(fileName))
        return;
    // Busy: the start-up queue is loading; this request is left out, as the
    // disabled button would have left it.
    if (LoadQueueFile(fileName) == TQueueLoad::Failed)
        ShowMessage(MsgErrorLoading + fileName);
}

void TQueueForm::Button1Click()
{
    if (ListBox1->count() > 0)
        StartQueuePlay(0);
}

void TQueueForm::ListBox1DblClick()
{
    const int k = ListBox1->currentRow();
    if (k >= 0)
        StartQueuePlay(k);
}

void TQueueForm::Button2Click()
{
    EndQueueMode();
    hide();
}
