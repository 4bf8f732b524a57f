#include "shell/Info.h"

#include "shell/CheckVideoDevices.h"
#include "engine/modul01.h"
#include "shell/KURL2.h"
#include "shell/MessageBoxes.h"
#include "shell/ProgramIcon.h"
#include "shell/language.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>

TInfoForm* InfoForm = nullptr;
const char* const InfoVersionText = "Version  2.4     ";

namespace {

constexpr int kClientWidth = 327;
constexpr int kClientHeight = 234;
constexpr int kPagesHeight = 201;
constexpr int kLinkLeft = 52;

QStringList ItemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

// No selection and no current item: nothing looks chosen.
void ClearChoice(QListWidget* list)
{
    list->setCurrentItem(nullptr);
    list->clearSelection();
}

void SortCaseless(QListWidget* list)
{
    QStringList texts = ItemTexts(list);
    std::stable_sort(texts.begin(), texts.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    list->clear();
    list->addItems(texts);
}

QLabel* MakeLabel(QWidget* page, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, page);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* MakeCentredLabel(QWidget* page, const QString& text, int top)
{
    auto* label = new QLabel(text, page);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(0, top, kClientWidth - 8, 18);
    return label;
}

} // namespace

TInfoForm::TInfoForm(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(ApplicationTitle());
    setWindowIcon(ProgramIcon());
    setFixedSize(kClientWidth, kClientHeight);
    move(153, 92);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(0, 0, kClientWidth, kPagesHeight);
    BuildInfoPage();
    BuildDevicePage();
    BuildNotePage();
    // Only "Info" until start-up decides between the lists and the note.
    ShowPage(TabSheet2, false);
    ShowPage(TabSheet3, false);
    PageControl1->setCurrentWidget(TabSheet1);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(kClientWidth - 83, kPagesHeight + 4, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TInfoForm::Button1Click);
}

TInfoForm::~TInfoForm()
{
    if (InfoForm == this)
        InfoForm = nullptr;
}

void TInfoForm::BuildInfoPage()
{
    TabSheet1 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("Info"));

    Image1 = new QLabel(TabSheet1);
    Image1->setGeometry(8, 6, 32, 32);
    Image1->setPixmap(windowIcon().pixmap(32, 32));

    Label1 = MakeCentredLabel(TabSheet1, ApplicationTitle(), 6);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = MakeCentredLabel(TabSheet1, QString(), 24);

    MakeSeparator(TabSheet1, 44);
    Label3 = MakeCentredLabel(TabSheet1, QStringLiteral("(C) the KELD32 developers. All rights reserved."), 50);
    Label4 = MakeCentredLabel(TabSheet1, QStringLiteral("Freeware: free to use and to pass on unchanged."), 67);
    MakeSeparator(TabSheet1, 87);

    Label7 = MakeLabel(TabSheet1, QStringLiteral("eMail:"), 8, 95);
    KURL21 = new TKURL2(TabSheet1);
    KURL21->SetURLorEMAIL(QStringLiteral("mailto:keld32@example.org"));
    KURL21->move(kLinkLeft, 95);

    Label12 = MakeLabel(TabSheet1, QStringLiteral("WWW:"), 8, 114);
    KURL23 = new TKURL2(TabSheet1);
    KURL23->SetURLorEMAIL(QStringLiteral("https://keld32.example.org"));
    Label5 = MakeLabel(TabSheet1, QStringLiteral("or"), 0, 114);
    KURL22 = new TKURL2(TabSheet1);
    KURL22->SetURLorEMAIL(QStringLiteral("www.keld32.example.org"));
    PlaceWebLinks();
}

// "WWW:" link "or" link on one line; where the font is too wide for that, the
// second link goes on the line below so that no address is cut off.
void TInfoForm::PlaceWebLinks()
{
    const int top = 114;
    KURL23->move(kLinkLeft, top);
    Label5->move(KURL23->x() + KURL23->width() + 4, top);
    const int left = Label5->x() + Label5->width() + 4;
    if (left + KURL22->width() <= kClientWidth - 8)
        KURL22->move(left, top);
    else
        KURL22->move(kLinkLeft, top + 19);
}

void TInfoForm::BuildDevicePage()
{
    TabSheet2 = new QWidget;
    PageControl1->addTab(TabSheet2, QStringLiteral("Video MCI Devices"));
    const int half = (kClientWidth - 8) / 2;

    Label8 = MakeLabel(TabSheet2, QStringLiteral("Video MCI Devices"), 8, 4);
    ListBox1 = MakeList(TabSheet2, 8);
    connect(ListBox1, &QListWidget::itemClicked, this, &TInfoForm::ListBox1Click);
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &TInfoForm::ListBox1Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TInfoForm::ListBox1DblClick);

    Panel1 = new QFrame(TabSheet2);
    Panel1->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    Panel1->setGeometry(half + 2, 4, 3, 160);

    Label9 = MakeLabel(TabSheet2, QStringLiteral("File Extensions"), half + 8, 4);
    ListBox2 = MakeList(TabSheet2, half + 8);
    connect(ListBox2, &QListWidget::itemClicked, this, &TInfoForm::ListBox2Click);
    connect(ListBox2, &QListWidget::itemSelectionChanged, this, &TInfoForm::ListBox2Click);
    connect(ListBox2, &QListWidget::itemDoubleClicked, this, &TInfoForm::ListBox2DblClick);
}

void TInfoForm::BuildNotePage()
{
    TabSheet3 = new QWidget;
    PageControl1->addTab(TabSheet3, QStringLiteral("Video MCI Devices"));
    MakeSeparator(TabSheet3, 30);
    Label10 = new QLabel(
        QStringLiteral("For speed reasons there is no autodetection of MCI devices in command line mode"),
        TabSheet3);
    Label10->setWordWrap(true);
    Label10->setAlignment(Qt::AlignCenter);
    Label10->setGeometry(16, 40, kClientWidth - 40, 70);
    MakeSeparator(TabSheet3, 120);
}

QFrame* TInfoForm::MakeSeparator(QWidget* page, int top)
{
    auto* line = new QFrame(page);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setGeometry(8, top, kClientWidth - 24, 3);
    return line;
}

QListWidget* TInfoForm::MakeList(QWidget* page, int left)
{
    auto* list = new QListWidget(page);
    list->setGeometry(left, 22, (kClientWidth - 8) / 2 - 14, 142);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return list;
}

void TInfoForm::FormCreate()
{
    Label2->setText(QString::fromLatin1(InfoVersionText));
    ApplyInfoTexts(*this);
    if (CommandLineDone == 1 || NoAutoDetect == 1)
        ShowPage(TabSheet3, true);
    else
        CheckVideoDevices(this);
}

void TInfoForm::Button1Click()
{
    hide();
}

// The lists only display: whatever a click or a key selects is let go at once.
void TInfoForm::ListBox1Click()
{
    ClearChoice(ListBox1);
}

void TInfoForm::ListBox1DblClick()
{
    ClearChoice(ListBox1);
}

void TInfoForm::ListBox2Click()
{
    ClearChoice(ListBox2);
}

void TInfoForm::ListBox2DblClick()
{
    ClearChoice(ListBox2);
}

void TInfoForm::ShowPage(QWidget* page, bool visible)
{
    PageControl1->setTabVisible(PageControl1->indexOf(page), visible);
}

bool TInfoForm::PageShown(QWidget* page) const
{
    return PageControl1->isTabVisible(PageControl1->indexOf(page));
}

QStringList TInfoForm::DeviceNames() const
{
    return ItemTexts(ListBox1);
}

QStringList TInfoForm::Extensions() const
{
    return ItemTexts(ListBox2);
}

void TInfoForm::SetDeviceNames(const QStringList& names)
{
    ListBox1->clear();
    ListBox1->addItems(names);
}

void TInfoForm::SetExtensions(const QStringList& extensions)
{
    ListBox2->clear();
    ListBox2->addItems(extensions);
}

void TInfoForm::SortLists()
{
    SortCaseless(ListBox2);
    SortCaseless(ListBox1);
}
