#pragma once
#include <QDialog>
#include <QStringList>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class TKURL2;

// The about box: title, version and contact links, and either the video MCI
// devices and file extensions found at start-up or the note that command-line
// mode skips that search. Created hidden; shown modeless, OK hides it.
class TInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TInfoForm(QWidget* parent = nullptr);
    ~TInfoForm() override;

    QTabWidget* PageControl1 = nullptr;

    // Page "Info".
    QWidget* TabSheet1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label7 = nullptr;
    TKURL2* KURL21 = nullptr;
    QLabel* Label12 = nullptr;
    TKURL2* KURL23 = nullptr;
    QLabel* Label5 = nullptr;
    TKURL2* KURL22 = nullptr;

    // Page of the discovered devices and extensions.
    QWidget* TabSheet2 = nullptr;
    QLabel* Label8 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label9 = nullptr;
    QListWidget* ListBox2 = nullptr;

    // Page of the command-line note.
    QWidget* TabSheet3 = nullptr;
    QLabel* Label10 = nullptr;

    QPushButton* Button1 = nullptr;

    // Creation at program start: texts, then device discovery unless the command
    // line was used or asked for none. Needs CommandLineDone and NoAutoDetect set.
    void FormCreate();

    void Button1Click();
    void ListBox1Click();
    void ListBox1DblClick();
    void ListBox2Click();
    void ListBox2DblClick();

    // The pages' tabs, for the device check.
    void ShowPage(QWidget* page, bool visible);
    bool PageShown(QWidget* page) const;

    // The list contents, top to bottom.
    QStringList DeviceNames() const;
    QStringList Extensions() const;
    void SetDeviceNames(const QStringList& names);
    void SetExtensions(const QStringList& extensions);
    // Both lists in alphabetical order, without regard to case.
    void SortLists();

private:
    void BuildInfoPage();
    void BuildDevicePage();
    void BuildNotePage();
    void PlaceWebLinks();
    QFrame* MakeSeparator(QWidget* page, int top);
    QListWidget* MakeList(QWidget* page, int left);
};

extern TInfoForm* InfoForm;

// The text shown as the version.
extern const char* const InfoVersionText;
