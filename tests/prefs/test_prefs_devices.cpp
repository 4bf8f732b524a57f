// The preferences' MCI-Device tab: forcing a device, testing whether it can save
// pictures, and asking for the devices when discovery was skipped.
#include "PrefsFixture.h"

#include "platform/RegistryEnhanced.h"
#include "prefs/preferen.h"
#include "shell/Info.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

class PrefsDeviceTest : public DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        Zoom = 1;
        panel->Timer2->setInterval(250);
        mci.answer("capability vid can save", {"true", 0});
    }

    void TearDown() override
    {
        prefs.reset();
        DialogFixture::TearDown();
    }

    void Create(const QStringList& found)
    {
        devices = found;
        prefs = std::make_unique<TPrefs>();
        prefs->DeviceList = [this] { return devices; };
        prefs->CheckVideoDevicesHook = [this] {
            ++discoveries;
            devices = discovered;
        };
        prefs->FormCreate();
    }

    QColor Label8Colour() const { return prefs->Label8->palette().color(QPalette::WindowText); }

    QStringList devices;
    QStringList discovered;
    int discoveries = 0;
    std::unique_ptr<TPrefs> prefs;
};

const Commands DeviceTest(const std::string& device)
{
    return {"open " + device + " alias vid", "capability vid can save", "close vid"};
}

TEST_F(PrefsDeviceTest, TheListSelectsTheForcedDeviceElseTheFirst)
{
    ForcedDevice = QStringLiteral("mpegvideo");
    Create({"avivideo", "mpegvideo"});
    EXPECT_EQ(prefs->ComboBox1->currentText(), "mpegvideo");
    EXPECT_FALSE(prefs->ComboBox1->isEnabled());
    EXPECT_TRUE(prefs->Button5->isHidden());
    EXPECT_FALSE(prefs->CheckBox7->isEnabled());
    prefs.reset();
    ForcedDevice = QStringLiteral("MPEGVIDEO");
    Create({"avivideo", "mpegvideo"});
    EXPECT_EQ(prefs->ComboBox1->currentText(), "avivideo") << "the comparison is exact";
}

TEST_F(PrefsDeviceTest, TheDevicesComeFromTheAboutBox)
{
    TInfoForm about;
    TInfoForm* const previous = InfoForm;
    InfoForm = &about;
    about.SetDeviceNames({"avivideo", "mpegvideo"});
    ForcedDevice = QStringLiteral("mpegvideo");
    prefs = std::make_unique<TPrefs>();
    prefs->FormCreate();
    EXPECT_EQ(prefs->ComboBox1->count(), 2);
    EXPECT_EQ(prefs->ComboBox1->currentText(), "mpegvideo");
    EXPECT_TRUE(prefs->Button5->isHidden());
    prefs.reset();
    InfoForm = previous;
}

TEST_F(PrefsDeviceTest, ForcingADeviceClosesTheMediumAndTestsIt)
{
    Create({"avivideo", "mpegvideo"});
    prefs->show();
    MediumOpen();
    prefs->CheckBox4->setChecked(true);
    Commands expected{"close vid"};
    for (const auto& c : DeviceTest("avivideo"))
        expected.push_back(c);
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_EQ(ForceDevice, 1);
    EXPECT_EQ(ForcedDevice, "avivideo");
    EXPECT_TRUE(prefs->ComboBox1->isEnabled());
    EXPECT_TRUE(prefs->CheckBox7->isEnabled());
    EXPECT_EQ(prefs->Label8->text(), "can save");
    EXPECT_EQ(Label8Colour(), TPrefs::CanSaveColour());
    EXPECT_EQ(TPrefs::CanSaveColour(), QColor(0, 128, 0));
}

TEST_F(PrefsDeviceTest, ChoosingAnotherDeviceTestsThatOne)
{
    mci.answer("capability vid can save", {"false", 0});
    Create({"avivideo", "mpegvideo"});
    prefs->show();
    prefs->CheckBox4->setChecked(true);
    EXPECT_EQ(prefs->Label8->text(), "cannot save");
    EXPECT_EQ(Label8Colour(), QColor(255, 0, 0));

    mci.clearSent();
    mci.answer("capability vid can save", {"true", 0});
    prefs->ComboBox1->setCurrentIndex(1);
    prefs->ComboBox1Change();
    EXPECT_EQ(ForcedDevice, "mpegvideo");
    EXPECT_EQ(Sent(), DeviceTest("mpegvideo")) << "nothing open, nothing closed first";
    EXPECT_EQ(prefs->Label8->text(), "can save");
}

TEST_F(PrefsDeviceTest, ADeviceThatDoesNotOpenLeavesTheLabelEmptyButStaysForced)
{
    mci.answer("open mpegvideo alias vid", {"", 263});
    Create({"avivideo", "mpegvideo"});
    prefs->show();
    prefs->CheckBox4->setChecked(true);
    ASSERT_EQ(prefs->Label8->text(), "can save");
    mci.clearSent();
    prefs->ComboBox1->setCurrentIndex(1);
    prefs->ComboBox1Change();
    EXPECT_EQ(Sent(), Commands({"open mpegvideo alias vid"}));
    EXPECT_EQ(errorBoxes.size(), 1) << "the service shows its own message";
    EXPECT_EQ(prefs->Label8->text(), "");
    EXPECT_EQ(ForceDevice, 1);
    EXPECT_EQ(ForcedDevice, "mpegvideo");
}

TEST_F(PrefsDeviceTest, UntickingReleasesTheDeviceAndItsPermanence)
{
    Create({"avivideo"});
    prefs->show();
    prefs->CheckBox4->setChecked(true);
    prefs->CheckBox7->setChecked(true);
    mci.clearSent();
    prefs->CheckBox4->setChecked(false);
    EXPECT_EQ(ForceDevice, 0);
    EXPECT_EQ(ForceDevicePermanent, 0);
    EXPECT_FALSE(prefs->CheckBox7->isChecked());
    EXPECT_FALSE(prefs->CheckBox7->isEnabled());
    EXPECT_FALSE(prefs->ComboBox1->isEnabled());
    EXPECT_EQ(prefs->Label8->text(), "");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(PrefsDeviceTest, OkMakesTheForcedDevicePermanentOnlyFromTheBox)
{
    Create({"avivideo"});
    prefs->show();
    prefs->CheckBox4->setChecked(true);
    prefs->CheckBox7->setChecked(true);
    prefs->Button1Click();
    EXPECT_EQ(ForceDevicePermanent, 1);
    prefs->show();
    EXPECT_TRUE(prefs->CheckBox7->isChecked());
    prefs->CheckBox7->setChecked(false);
    prefs->Button2Click();
    EXPECT_EQ(ForceDevicePermanent, 1) << "Cancel takes nothing";
}

TEST_F(PrefsDeviceTest, FirstShowingWithAForcedDeviceClosesTheMediumAndTestsOnce)
{
    ForceDevice = 1;
    ForceDevicePermanent = 1;
    ForcedDevice = QStringLiteral("mpegvideo");
    Create({"avivideo", "mpegvideo"});
    MediumOpen();
    prefs->show();
    Commands expected{"close vid"};
    for (const auto& c : DeviceTest("mpegvideo"))
        expected.push_back(c);
    EXPECT_EQ(Sent(), expected);
    EXPECT_TRUE(prefs->CheckBox4->isChecked());
    EXPECT_TRUE(prefs->CheckBox7->isChecked());
    EXPECT_EQ(prefs->Label8->text(), "can save");

    prefs->Button2Click();
    MediumOpen();
    prefs->show();
    EXPECT_TRUE(Sent().empty()) << "a box already ticked does not run its handler again";
    EXPECT_EQ(MediaOpen, 1);
    EXPECT_EQ(prefs->Label8->text(), "can save") << "kept between showings";
}

TEST_F(PrefsDeviceTest, WithDiscoverySkippedCheckDevicesIsOffered)
{
    Create({});
    EXPECT_FALSE(prefs->Button5->isHidden());
    EXPECT_TRUE(prefs->Button5->isEnabled());
    EXPECT_FALSE(prefs->CheckBox4->isEnabled());
    EXPECT_FALSE(prefs->CheckBox7->isEnabled());

    ForceDevice = 1;  // set by hand: the empty list must not let it be forced
    prefs->CheckBox4->setChecked(true);
    EXPECT_FALSE(prefs->CheckBox4->isChecked());
    EXPECT_EQ(ForceDevice, 0);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(PrefsDeviceTest, CheckDevicesReadsTheStoredDeviceAndForcesIt)
{
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QByteArray savedHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    TRegistryEnhanced store;
    store.Key = QStringLiteral("Software\\Vantu\\ZORVEX\\");
    store.WriteValue(QStringLiteral("ForceDevice"), QStringLiteral("TRUE"));
    store.WriteValue(QStringLiteral("Device"), QStringLiteral("mpegvideo"));
    panel->RegData = &store;

    Create({});
    discovered = {"avivideo", "mpegvideo"};
    MediumOpen();
    prefs->show();
    EXPECT_TRUE(Sent().empty());
    prefs->Button5Click();

    EXPECT_EQ(discoveries, 1);
    EXPECT_EQ(ForceDevice, 1);
    EXPECT_EQ(ForceDevicePermanent, 1);
    EXPECT_EQ(ForcedDevice, "mpegvideo");
    EXPECT_EQ(prefs->ComboBox1->count(), 2);
    EXPECT_EQ(prefs->ComboBox1->currentText(), "mpegvideo");
    EXPECT_TRUE(prefs->Button5->isHidden());
    EXPECT_FALSE(prefs->Button5->isEnabled());
    EXPECT_TRUE(prefs->CheckBox4->isChecked());
    EXPECT_TRUE(prefs->CheckBox7->isChecked());
    Commands expected{"close vid"};
    for (const auto& c : DeviceTest("mpegvideo"))
        expected.push_back(c);
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(prefs->Label8->text(), "can save");

    panel->RegData = nullptr;
    if (savedHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedHome);
}

TEST_F(PrefsDeviceTest, CheckDevicesWithoutAStoredDeviceForcesNothing)
{
    Create({});
    discovered = {"avivideo"};
    prefs->Button5Click();
    EXPECT_EQ(ForceDevice, 0);
    EXPECT_FALSE(prefs->CheckBox4->isChecked());
    EXPECT_TRUE(prefs->CheckBox4->isEnabled());
    EXPECT_EQ(prefs->ComboBox1->currentText(), "avivideo");
    EXPECT_TRUE(Sent().empty());
}

} // namespace
