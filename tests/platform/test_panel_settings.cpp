#include "panel/PanelSettings.h"

#include "engine/modul01.h"
#include "platform/RegistryEnhanced.h"

#include "ConfigHome.h"
#include "Unwritable.h"

#include <QSettings>
#include <QSignalSpy>

#include <climits>
#include <functional>

namespace {

const QSize Screen(1024, 768);

class PanelSettings : public ConfigHome {
protected:
    TRegistryEnhanced reg;
    PanelSettingsIO io;

    void SetUp() override
    {
        ConfigHome::SetUp();
        ResetPlayerState();
        reg.Key = QStringLiteral("Software\\Vantu\\ZORVEX\\");
    }
    void TearDown() override
    {
        ResetPlayerState();
        ConfigHome::TearDown();
    }

    void read(const QSize& screen = Screen)
    {
        io = PanelSettingsIO();
        ReadPanelSettings(reg, screen, io);
    }
    // Every setting the read gives, in one line.
    QString describe() const
    {
        return QStringLiteral("CommandLoop %1 NoVolume %2 Volume %3 CapDir '%4' WCapCount %5 Panel %6,%7 "
                              "LastPos %8 HidePanel %9 SmartDisplay %10 Display %11,%12 MultiStep %13 Loop %14 "
                              "WTimer %15 WTimerMin %16 Timer2 %17 Zoom %18 Force %19/%20 '%21'")
            .arg(CommandLoop).arg(NoVolume).arg(Volume).arg(CaptureDir).arg(CaptureCounter)
            .arg(io.PanelLeft).arg(io.PanelTop).arg(LastPos).arg(HidePanel).arg(SmartDisplay)
            .arg(DisplayLeft).arg(DisplayTop).arg(MultiStep).arg(LoopOn).arg(TimerFactor).arg(TimerMin)
            .arg(io.Timer2Interval).arg(Zoom).arg(ForceDevice).arg(ForceDevicePermanent).arg(ForcedDevice);
    }
    // A key that holds only these text values (as the file would after a hand edit).
    void storeTexts(std::initializer_list<std::pair<const char*, const char*>> values)
    {
        QByteArray text = "[General]\n";
        for (const auto& [name, value] : values)
            text += QByteArray(name) + "=" + value + "\n";
        writeConf(text);
    }
};

TEST_F(PanelSettings, FirstRunGivesTheFirstRunSettingsAndCreatesNoFile)
{
    read();
    EXPECT_EQ(describe(), "CommandLoop 0 NoVolume 0 Volume 800 CapDir '' WCapCount 0 Panel 0,0 LastPos 1 "
                          "HidePanel 0 SmartDisplay 1 Display 0,38 MultiStep 0 Loop 0 WTimer 2 WTimerMin 500 "
                          "Timer2 250 Zoom 1 Force 0/0 ''");
    EXPECT_FALSE(QFile::exists(vantuDir()));
}

TEST_F(PanelSettings, KeyWithoutValuesGivesTheDefaultsOfTheTable)
{
    storeTexts({{"Unrelated", "1"}});
    read();
    EXPECT_EQ(describe(), "CommandLoop 0 NoVolume 1 Volume 800 CapDir '" + QDir::homePath() + "/' WCapCount 0 "
                          "Panel -6,-7 LastPos 1 HidePanel 0 SmartDisplay 1 Display 0,0 MultiStep 0 Loop 0 "
                          "WTimer 10 WTimerMin 500 Timer2 250 Zoom 1 Force 0/0 ''");
}

TEST_F(PanelSettings, StartValuesAreSetBeforeReading)
{
    DisplayDraggable = 0;
    JumpBusy = 1;
    KeyZoomLevel = 3;
    ForcedDevice = "left over";
    read();
    EXPECT_EQ(DisplayDraggable, 1);
    EXPECT_EQ(JumpBusy, 0);
    EXPECT_EQ(KeyZoomLevel, 0);
    EXPECT_EQ(ForcedDevice, QString());
}

struct RuleCase {
    const char* name;
    const char* stored;
    int expected;
};

void CheckRule(PanelSettings*, const std::vector<RuleCase>& cases, const std::function<int()>& result,
               const std::function<void(const char*, const char*)>& store)
{
    for (const RuleCase& c : cases) {
        store(c.name, c.stored);
        EXPECT_EQ(result(), c.expected) << c.name << " stored as \"" << c.stored << "\"";
    }
}

TEST_F(PanelSettings, NumberRulesTakeTheirFirstCharactersAndReplaceOutOfRange)
{
    const auto store = [this](const char* name, const char* value) {
        storeTexts({{name, value}});
        read();
    };
    CheckRule(this,
              {{"WTimer", "0", 2}, {"WTimer", "11", 2}, {"WTimer", "123", 2}, {"WTimer", "1", 1},
               {"WTimer", "10", 10}, {"WTimer", "105", 10}, {"WTimer", "-1", 2}, {"WTimer", "\"\"", 2},
               {"WTimer", "abc", 10}, {"WTimer", "5x", 10}, {"WTimer", "x5", 10}},
              [] { return TimerFactor; }, store);
    CheckRule(this,
              {{"WTimerMin", "99999", 500}, {"WTimerMin", "2000", 2000}, {"WTimerMin", "99", 500},
               {"WTimerMin", "100", 100}, {"WTimerMin", "2001", 500}, {"WTimerMin", "20009", 2000},
               {"WTimerMin", "\"\"", 500}, {"WTimerMin", "fast", 500}},
              [] { return TimerMin; }, store);
    CheckRule(this,
              {{"Timer2", "1000", 1000}, {"Timer2", "99", 250}, {"Timer2", "100", 100}, {"Timer2", "1001", 250},
               {"Timer2", "10009", 1000}, {"Timer2", "\"\"", 250}},
              [this] { return io.Timer2Interval; }, store);
    CheckRule(this,
              {{"Zoom", "42", 4}, {"Zoom", "0", 1}, {"Zoom", "5", 1}, {"Zoom", "3", 3}, {"Zoom", "\"\"", 1},
               {"Zoom", "-2", 1}, {"Zoom", "x", 1}},
              [] { return Zoom; }, store);
    CheckRule(this,
              {{"WVolume", "\"\"", 800}, {"WVolume", "0", 0}, {"WVolume", "1000", 1000}, {"WVolume", "loud", 800},
               {"WVolume", "12345", 12345}},
              [] { return Volume; }, store);
}

TEST_F(PanelSettings, FlagsCompareTheExactCaseSensitiveLiteral)
{
    const auto store = [this](const char* name, const char* value) {
        storeTexts({{name, value}});
        read();
    };
    CheckRule(this, {{"CommandLoop", "TRUE", 1}, {"CommandLoop", "true", 0}, {"CommandLoop", "\"\"", 0}},
              [] { return int(CommandLoop); }, store);
    CheckRule(this, {{"WNoVolume", "true", 1}, {"WNoVolume", "TRUE", 0}, {"WNoVolume", "\"\"", 0}},
              [] { return int(NoVolume); }, store);
    CheckRule(this, {{"LastPos", "FALSE", 0}, {"LastPos", "false", 1}, {"LastPos", "\"\"", 1}},
              [] { return int(LastPos); }, store);
    CheckRule(this, {{"HidePanel", "TRUE", 1}, {"HidePanel", "True", 0}}, [] { return int(HidePanel); }, store);
    CheckRule(this, {{"SmartDisplay", "FALSE", 0}, {"SmartDisplay", "no", 1}},
              [] { return int(SmartDisplay); }, store);
    CheckRule(this, {{"MultiStep", "ON", 1}, {"MultiStep", "on", 0}, {"MultiStep", "TRUE", 0}},
              [] { return int(MultiStep); }, store);
    CheckRule(this, {{"Loop", "ON", 1}, {"loop", "ON", 1}, {"LOOP", "On", 0}}, [] { return int(LoopOn); }, store);
    CheckRule(this, {{"commandloop", "TRUE", 1}}, [] { return int(CommandLoop); }, store);
    CheckRule(this, {{"ZOOM", "3", 3}}, [] { return Zoom; }, store);
}

TEST_F(PanelSettings, PanelEdgesOffScreenGoBackToTheCorner)
{
    const auto place = [this](qint32 x, qint32 y) {
        writeConf("");
        reg.WriteValue("PanelX", x);
        reg.WriteValue("PanelY", y);
        read();
        return std::make_pair(io.PanelLeft, io.PanelTop);
    };
    EXPECT_EQ(place(5000, 100), std::make_pair(-6, 100));
    EXPECT_EQ(place(-100, -100), std::make_pair(-6, -7));
    EXPECT_EQ(place(944, 738), std::make_pair(944, 738));   // width - 80, height - 30
    EXPECT_EQ(place(945, 739), std::make_pair(-6, -7));
    EXPECT_EQ(place(-6, -7), std::make_pair(-6, -7));
    EXPECT_EQ(place(INT_MAX, INT_MIN), std::make_pair(-6, -7));
}

TEST_F(PanelSettings, PanelEdgesAreHandedOverAsSoonAsRead)
{
    storeTexts({{"PanelX", "300"}, {"PanelY", "int32:200"}, {"Timer2", "500"}});
    QStringList calls;
    io.SetPanelLeft = [&](int v) { calls << QStringLiteral("left %1").arg(v); };
    io.SetPanelTop = [&](int v) { calls << QStringLiteral("top %1").arg(v); };
    io.SetTimer2Interval = [&](int v) { calls << QStringLiteral("timer2 %1").arg(v); };
    ReadPanelSettings(reg, Screen, io);
    EXPECT_EQ(calls, (QStringList{"left 300", "top 200", "timer2 500"}));
    EXPECT_EQ(io.PanelLeft, 300);   // an integer setting stored as text is converted
}

TEST_F(PanelSettings, DisplayPositionIsReadOnlyWithLastPosAndResetNearTheEdges)
{
    const auto display = [this](const char* last, const char* x, const char* y, QSize screen = Screen) {
        storeTexts({{"LastPos", last}, {"X", x}, {"Y", y}});
        read(screen);
        return std::make_pair(DisplayLeft, DisplayTop);
    };
    EXPECT_EQ(display("TRUE", "100", "200"), std::make_pair(100, 200));
    EXPECT_EQ(display("FALSE", "100", "200"), std::make_pair(0, 38));
    EXPECT_EQ(display("TRUE", "1004", "748"), std::make_pair(1004, 748));
    EXPECT_EQ(display("TRUE", "1005", "100"), std::make_pair(0, 38));
    EXPECT_EQ(display("TRUE", "100", "749"), std::make_pair(0, 38));
    EXPECT_EQ(display("TRUE", "-5000", "-5000"), std::make_pair(0, 38));
    EXPECT_EQ(display("TRUE", "100", "-1"), std::make_pair(0, 38));
    EXPECT_EQ(display("TRUE", "-1", "100"), std::make_pair(0, 38));
    EXPECT_EQ(display("TRUE", "0", "0"), std::make_pair(0, 0));
    EXPECT_EQ(display("TRUE", "\"\"", "\"\""), std::make_pair(0, 38));
    EXPECT_EQ(display("TRUE", "2147483647", "5"), std::make_pair(0, 38));
    EXPECT_EQ(display("TRUE", "left", "top"), std::make_pair(0, 0));

    display("TRUE", "-5000", "-5000");
    WritePanelSettings(reg, io);
    EXPECT_EQ(reg.ReadValue("X", QString()), "0") << "the off-screen place is not kept";
    EXPECT_EQ(reg.ReadValue("Y", QString()), "38");
}

TEST_F(PanelSettings, TextSettingsStoredAsIntegersAndTheReverseAreConverted)
{
    writeConf("");
    reg.WriteValue("WTimer", qint32(5));
    reg.WriteValue("Zoom", qint32(42));
    reg.WriteValue("WCapCount", "17");
    read();
    EXPECT_EQ(TimerFactor, 5);
    EXPECT_EQ(Zoom, 4);
    EXPECT_EQ(CaptureCounter, 17);
    reg.WriteValue("WCapCount", "seventeen");
    read();
    EXPECT_EQ(CaptureCounter, 0);
}

TEST_F(PanelSettings, DeviceIsReadOnlyWhenForcedAndForcingSetsBothFlags)
{
    storeTexts({{"ForceDevice", "TRUE"}, {"Device", "mpegvideo"}});
    read();
    EXPECT_EQ(ForceDevice, 1);
    EXPECT_EQ(ForceDevicePermanent, 1);
    EXPECT_EQ(ForcedDevice, "mpegvideo");
    storeTexts({{"ForceDevice", "true"}, {"Device", "mpegvideo"}});
    read();
    EXPECT_EQ(ForceDevice, 0);
    EXPECT_EQ(ForcedDevice, QString());
}

void SetEveryValueAwayFromItsDefault(PanelSettingsIO& io)
{
    CommandLoop = 1; NoVolume = 1; Volume = 345; CaptureDir = "/srv/caps, and more/";
    CaptureCounter = 77; LastPos = 1; HidePanel = 1; SmartDisplay = 0;
    DisplayLeft = 123; DisplayTop = 456; MultiStep = 1; LoopOn = 1;
    TimerFactor = 7; TimerMin = 1500; Zoom = 3;
    ForceDevice = 1; ForceDevicePermanent = 1; ForcedDevice = "avivideo";
    io.PanelLeft = 40; io.PanelTop = -7; io.Timer2Interval = 900;
}

TEST_F(PanelSettings, EveryValueRoundTripsThroughTheFile)
{
    SetEveryValueAwayFromItsDefault(io);
    const QString before = describe();
    ASSERT_TRUE(WritePanelSettings(reg, io));
    ResetPlayerState();
    read();
    EXPECT_EQ(describe(), before);
}

TEST_F(PanelSettings, ValuesAreWrittenInTheirFormsAndTypes)
{
    SetEveryValueAwayFromItsDefault(io);
    WritePanelSettings(reg, io);
    QSettings raw(confPath(), QSettings::IniFormat);
    const std::vector<std::pair<const char*, const char*>> forms{
        {"WVolume", "345"}, {"WNoVolume", "true"}, {"HidePanel", "TRUE"}, {"SmartDisplay", "FALSE"},
        {"LastPos", "TRUE"}, {"MultiStep", "ON"}, {"Loop", "ON"}, {"CommandLoop", "TRUE"}, {"WTimer", "7"},
        {"WTimerMin", "1500"}, {"Timer2", "900"}, {"Zoom", "3"}, {"X", "123"}, {"Y", "456"},
        {"PanelX", "int32:40"}, {"PanelY", "int32:-7"}, {"WCapCount", "int32:77"}, {"ForceDevice", "TRUE"},
        {"Device", "avivideo"}};
    for (const auto& [name, form] : forms)
        EXPECT_EQ(raw.value(name).toString(), QString::fromLatin1(form)) << name;
    EXPECT_EQ(raw.allKeys().size(), int(forms.size()) + 1);   // and CapDir
}

TEST_F(PanelSettings, WriteOrderIsFixedAndDeviceFollowsOnlyAPermanentForce)
{
    const QStringList order{"WVolume", "WNoVolume", "CapDir", "HidePanel", "SmartDisplay", "LastPos",
                            "MultiStep", "Loop", "CommandLoop", "WTimer", "WTimerMin", "Timer2", "Zoom",
                            "X", "Y", "PanelX", "PanelY", "WCapCount", "ForceDevice"};
    const auto written = [this] {
        QSignalSpy spy(&reg, &TRegistryEnhanced::ValueWritten);
        WritePanelSettings(reg, io);
        QStringList names;
        for (const QList<QVariant>& call : spy)
            names << call.at(0).toString();
        return names;
    };
    ForceDevicePermanent = 1;
    ForcedDevice = "mpegvideo";
    EXPECT_EQ(written(), order + QStringList{"Device"});
    ForceDevicePermanent = 0;
    ForceDevice = 1;   // forced for this run only
    ForcedDevice = "other";
    EXPECT_EQ(written(), order);
    EXPECT_EQ(reg.ReadValue("ForceDevice", QString()), "FALSE");
    EXPECT_EQ(reg.ReadValue("Device", QString()), "mpegvideo");
}

TEST_F(PanelSettings, PositionsAreWrittenEvenWithLastPosOff)
{
    LastPos = 0;
    DisplayLeft = 300;
    DisplayTop = 200;
    WritePanelSettings(reg, io);
    EXPECT_EQ(reg.ReadValue("X", QString()), "300");
    EXPECT_EQ(reg.ReadValue("Y", QString()), "200");
    read();
    EXPECT_EQ(DisplayLeft, 0);
    EXPECT_EQ(DisplayTop, 38);
}

TEST_F(PanelSettings, QueueFromTheCommandLineDoesNotPersistItsForcedCommandLoop)
{
    CommandLoop = 1;
    SavedCommandLoop = 0;
    io.QueueForcesCommandLoop = true;
    WritePanelSettings(reg, io);
    EXPECT_EQ(reg.ReadValue("CommandLoop", QString()), "FALSE");
    io.QueueForcesCommandLoop = false;
    WritePanelSettings(reg, io);
    EXPECT_EQ(reg.ReadValue("CommandLoop", QString()), "TRUE");
}

TEST_F(PanelSettings, UnwritableSettingsKeepTheOldFileWholeAndExitGoesOn)
{
    storeTexts({{"Zoom", "2"}, {"Loop", "ON"}});
    const QByteArray before = readConf();
    SetEveryValueAwayFromItsDefault(io);
    EXPECT_FALSE(WithFullDisk(200, [this] { return WritePanelSettings(reg, io); }));
    EXPECT_EQ(readConf(), before);

    QFile::setPermissions(vantuDir(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    EXPECT_EQ(AsUnprivilegedUser([this] { return WritePanelSettings(reg, io) ? 1 : 0; }), 0);
    EXPECT_EQ(readConf(), before);
}

} // namespace
