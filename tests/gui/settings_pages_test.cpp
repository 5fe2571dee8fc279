// The settings sheet's pages without their widgets: all-or-nothing saving,
// the Sound page's per-event settings and wave names, and the COM page's
// devices, entries and what it writes.

#include <gtest/gtest.h>

#include "config/user_settings.hpp"
#include "gui/com_page.hpp"
#include "gui/settings_sheet.hpp"
#include "gui/sound_page.hpp"
#include "platform/serial_device.hpp"
#include "support/temp_dir.hpp"

namespace quillon::gui {
namespace {

using quillon::testing::TempDir;

TEST(SettingsSheet, OnlyShownPagesAreSavedAndOnlyAllOfThem) {
    std::string log;
    bool comFine = false;
    auto page = [&log](const char* name, const bool* fine) {
        return SheetPage{false, [&log, name] { log += std::string("init ") + name + ";"; },
                         fine ? std::function<bool()>([fine] { return *fine; })
                              : std::function<bool()>(),
                         [&log, name] { log += std::string("save ") + name + ";"; }};
    };
    SettingsSheet sheet({page("com", &comFine), page("sound", nullptr), page("tool", nullptr)});
    sheet.Show(0);
    sheet.Show(1);
    sheet.Show(0);
    EXPECT_EQ(log, "init com;init sound;");
    EXPECT_FALSE(sheet.WasShown(2));
    EXPECT_EQ(sheet.SaveShown(), 0);  // the COM page refuses: nothing written
    EXPECT_EQ(log, "init com;init sound;");
    comFine = true;
    EXPECT_EQ(sheet.SaveShown(), -1);
    EXPECT_EQ(log, "init com;init sound;save com;save sound;");
}

TEST(SoundPage, WaveNamesEventsAndTypes) {
    const std::pair<const char*, bool> names[] = {
        {"/snd/ding.wav", true},  {"/snd/DING.WAV", true}, {"a.wav", true},
        {"C:\\snd\\.wav", false}, {"/snd/.wav", false},    {".wav", false},
        {"/snd/ding.mp3", false}, {"", false},
    };
    for (const auto& [name, usable] : names) EXPECT_EQ(IsUsableWaveName(name), usable) << name;

    SoundSettings settings{1, 1, 0, "/snd/err.wav", 1, 1, "<none>"};
    SoundPage page(settings);
    SoundPage::Shown shown = page.Init();
    EXPECT_EQ(shown.wave, "/snd/err.wav");
    EXPECT_TRUE(page.Enabled().wave);
    // END shown, then beep chosen for it: the wave controls grey, END is on.
    shown.event = SoundPage::kEnd;
    shown = page.EventChanged(shown);
    EXPECT_EQ(shown.type, 1);
    EXPECT_FALSE(page.Enabled().wave);
    shown.type = 0;
    page.TypeClicked(shown);
    EXPECT_EQ(page.Settings().endSoundEnabled, 0) << "a wave type without a wave is off";
    // A name typed for END, left while ERROR is shown, still belongs to END.
    page.WaveFocusIn(SoundPage::kEnd);
    shown.wave = "/snd/end.wav";
    shown.event = SoundPage::kError;
    const SoundPage::WaveCheck taken = page.WaveLeft(shown);
    EXPECT_TRUE(taken.modified);
    EXPECT_EQ(page.Settings().endWavePath, "/snd/end.wav");
    EXPECT_EQ(page.Settings().endSoundEnabled, 1);
    shown.wave = "/snd/.wav";
    const SoundPage::WaveCheck refused = page.WaveLeft(shown);
    EXPECT_TRUE(refused.refused);
    EXPECT_EQ(refused.restore, "/snd/end.wav");
    EXPECT_EQ(page.Settings().errorWavePath, "/snd/err.wav");
    // Sound off keeps the per-event settings.
    shown = page.Current();
    shown.soundOn = false;
    page.EnableClicked(shown);
    EXPECT_FALSE(page.Enabled().events);
    EXPECT_EQ(page.Settings().endWavePath, "/snd/end.wav");
}

TEST(ComPage, AdapterOnEachComNumberWhereNumbersAreTheDevices) {
    TempDir dir;
    ComPage page(dir.path(), 2, ComPage::Devices::ComNumbers);
    SerialPortInfo com3{"\\\\.\\COM3", "", "USB Serial Port", "FTDI", "", "", ""};
    SerialPortInfo com12{"\\\\.\\COM12", "", "", "", "", "", ""};
    page.Init({com3, com12});
    EXPECT_EQ(page.Device(2).text, "USB Serial Port");
    EXPECT_EQ(page.Device(11).text, "\\\\.\\COM12");  // no name: the device
    EXPECT_EQ(page.Device(0).text, "");
    EXPECT_FALSE(page.Device(2).missing);
    EXPECT_EQ(page.Selected(), 2);
    // An FTDI adapter's timer: low, nothing said; the default 16 ms, its cost.
    com3.latencyTimerMs = 1;
    page.Init({com3});
    EXPECT_EQ(page.Device(2).note, "");
    com3.latencyTimerMs = 16;
    page.Init({com3});
    EXPECT_EQ(page.Device(2).text, "USB Serial Port (16 ms)");
    EXPECT_EQ(page.Device(2).note, LatencyTimerNote(com3));
}

TEST(ComPage, MappedDevicesEntriesAndWhatIsWritten) {
    TempDir dir;
    dir.Write("Customize.ini", "[Ports]\r\nCOM2=/dev/ttyUSB9\r\n[Reset]\r\nSequence=DTR=1\r\n");
    ComPage page(dir.path(), 0, ComPage::Devices::Mapped);
    SerialPortInfo usb{"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_A", "FT232R", "FTDI",
                       "0403", "6001", "A1"};
    page.Init({usb});
    EXPECT_TRUE(page.Device(1).missing);
    EXPECT_EQ(page.Device(1).text, "/dev/ttyUSB9");
    const std::vector<ComPage::Entry> entries = page.Entries(3);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, "(default: " + DefaultSerialDevicePath(4) + ")");
    EXPECT_EQ(entries[0].device, "");
    EXPECT_EQ(entries[1].text, "/dev/serial/by-id/usb-FTDI_A \u2014 FT232R (0403:6001, A1)");
    EXPECT_EQ(page.DeviceOfText(entries[1].text, 3), "/dev/serial/by-id/usb-FTDI_A");
    EXPECT_EQ(page.DeviceOfText("  /dev/ttyACM3 ", 3), "/dev/ttyACM3");
    EXPECT_TRUE(page.Choose(3, page.DeviceOfText(entries[1].text, 3)));
    EXPECT_FALSE(page.Choose(3, "/dev/serial/by-id/usb-FTDI_A"));
    EXPECT_FALSE(page.Device(3).missing);
#ifndef _WIN32
    page.Choose(5, "/dev/null");  // not listed, but a device is there
    EXPECT_FALSE(page.Device(5).missing);
#endif

    std::string why;
    EXPECT_TRUE(page.CanSave(" DTR=1 ", why));  // unchanged, blanks aside
    EXPECT_FALSE(page.CanSave("DTR=2", why));
    EXPECT_NE(why.find("cannot be saved"), std::string::npos) << why;
    EXPECT_EQ(page.Save(3, "dtr=0, wait=5"), "");
    EXPECT_TRUE(page.ResetWritten());
    EXPECT_EQ(page.ResetText(), "DTR=0,WAIT=5");
    const std::string file = dir.Read("Customize.ini");
    EXPECT_NE(file.find("COM2=/dev/ttyUSB9"), std::string::npos) << "untouched mapping kept";
    EXPECT_NE(file.find("COM4=/dev/serial/by-id/usb-FTDI_A"), std::string::npos) << file;
    EXPECT_NE(file.find("Sequence=DTR=0,WAIT=5"), std::string::npos) << file;
}

}  // namespace
}  // namespace quillon::gui
