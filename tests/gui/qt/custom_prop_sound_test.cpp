// The Sound page: what is enabled when, the per-event settings, the check of
// a typed wave-file name, Play and Stop, and what it saves.

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "app/sound_player.hpp"
#include "gui/qt/custom_prop_main.hpp"
#include "gui/qt/custom_prop_sound.hpp"
#include "gui/qt/custom_prop_tool.hpp"
#include "gui_test_support.hpp"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::gui::testing;

namespace {

class Recorder final : public SoundPlayer {
public:
    void Beep() override { calls << "beep"; }
    void PlayFile(std::string_view path) override {
        calls << "play " + QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    }
    void Stop() override { calls << "stop"; }
    QStringList calls;
};

// A sheet opened on the Sound page.
struct Sheet {
    Sheet(const ProgramDir& dir, SoundSettings sound)
        : settings{0, std::move(sound), 0},
          main(dir.PathStd(), settings, Language::English, player, nullptr) {
        main.show();
        main.Tabs()->setCurrentIndex(1);
    }
    CCustomPropSound& page() { return *main.SoundPage(); }
    CustomSettings settings;
    Recorder player;
    CCustomPropMain main;
};

bool WaveControlsEnabled(CCustomPropSound& p) {
    return p.WaveLabel()->isEnabled() && p.WaveBox()->isEnabled() && p.OpenButton()->isEnabled() &&
           p.PlayButton()->isEnabled() && p.StopButton()->isEnabled();
}
bool WaveControlsDisabled(CCustomPropSound& p) {
    return !p.WaveLabel()->isEnabled() && !p.WaveBox()->isEnabled() &&
           !p.OpenButton()->isEnabled() && !p.PlayButton()->isEnabled() &&
           !p.StopButton()->isEnabled();
}
bool EventControlsEnabled(CCustomPropSound& p, bool on) {
    return p.EventLabel()->isEnabled() == on && p.TypeFrame()->isEnabled() == on &&
           p.WaveButton()->isEnabled() == on && p.BeepButton()->isEnabled() == on &&
           p.EventList()->isEnabled() == on;
}

// Types `text` into the wave box and moves the focus away from it.
void TypeWaveName(CCustomPropSound& p, QWidget* elsewhere, const QString& text) {
    p.WaveBox()->setFocus();
    p.OnWaveFocusIn();
    p.WaveBox()->setEditText(text);
    p.OnWaveFocusOut();
    elsewhere->setFocus();
}

}  // namespace

class CustomPropSoundTest : public QObject {
    Q_OBJECT
private slots:
    void OpensOnErrorWithItsSettings();
    void SoundOffGreysEverythingButTheSwitch();
    void BeepGreysTheWaveControls();
    void BeepWithoutWaveEnablesTheSoundWaveWithoutDisables();
    void EachEventKeepsItsOwnSettings();
    void TypedNameMustBeAWaveFile_data();
    void TypedNameMustBeAWaveFile();
    void NoneIsAlwaysAccepted();
    void TabbingOutOfTheBoxChecksWhatWasTyped();
    void PlayStopsThenPlaysTheShownFile();
    void SaveWritesShortFormsOrNone();
    void SwitchingSoundOffKeepsThePerEventSettings();
    void ToolPageWritesItsSwitch();
};

void CustomPropSoundTest::OpensOnErrorWithItsSettings() {
    ProgramDir dir;
    Sheet s(dir, {1, 1, 0, "/snd/err.wav", 1, 1, "<none>"});
    CCustomPropSound& p = s.page();
    QCOMPARE(p.EventList()->currentText(), QString("ERROR"));
    QCOMPARE(p.EventList()->count(), 2);
    QVERIFY(p.EnableBox()->isChecked());
    QVERIFY(p.WaveButton()->isChecked());
    QCOMPARE(p.WaveBox()->currentText(), QString("/snd/err.wav"));
    QCOMPARE(p.WaveBox()->itemText(0), QString("<none>"));
    QVERIFY(EventControlsEnabled(p, true));
    QVERIFY(WaveControlsEnabled(p));
}

void CustomPropSoundTest::SoundOffGreysEverythingButTheSwitch() {
    ProgramDir dir;
    Sheet s(dir, {1, 1, 0, "/snd/err.wav", 0, 0, "<none>"});
    CCustomPropSound& p = s.page();
    p.EnableBox()->click();
    QVERIFY(!p.EnableBox()->isChecked());
    QVERIFY(p.EnableBox()->isEnabled());
    QVERIFY(EventControlsEnabled(p, false));
    QVERIFY(WaveControlsDisabled(p));
    QVERIFY(s.main.Buttons()->button(QDialogButtonBox::Apply)->isEnabled());
    p.EnableBox()->click();
    QVERIFY(EventControlsEnabled(p, true));
    QVERIFY(WaveControlsEnabled(p));
}

void CustomPropSoundTest::BeepGreysTheWaveControls() {
    ProgramDir dir;
    Sheet s(dir, {1, 0, 0, "<none>", 0, 0, "<none>"});
    CCustomPropSound& p = s.page();
    QVERIFY(WaveControlsEnabled(p));
    p.BeepButton()->click();
    QVERIFY(WaveControlsDisabled(p));
    QVERIFY(EventControlsEnabled(p, true));
    p.WaveButton()->click();
    QVERIFY(WaveControlsEnabled(p));
}

void CustomPropSoundTest::BeepWithoutWaveEnablesTheSoundWaveWithoutDisables() {
    ProgramDir dir;
    Sheet s(dir, {1, 0, 0, "<none>", 0, 0, "<none>"});
    CCustomPropSound& p = s.page();
    p.EventList()->setCurrentIndex(1);  // END
    p.BeepButton()->click();
    QCOMPARE(p.Settings().endSoundType, 1);
    QCOMPARE(p.Settings().endSoundEnabled, 1);
    p.WaveButton()->click();
    QCOMPARE(p.Settings().endSoundType, 0);
    QCOMPARE(p.Settings().endSoundEnabled, 0);
    QCOMPARE(p.Settings().errorSoundEnabled, 0);  // the other event untouched
}

void CustomPropSoundTest::EachEventKeepsItsOwnSettings() {
    ProgramDir dir;
    Sheet s(dir, {1, 1, 0, "/snd/err.wav", 1, 1, "/snd/end.wav"});
    CCustomPropSound& p = s.page();
    p.EventList()->setCurrentIndex(1);
    QVERIFY(p.BeepButton()->isChecked());
    QCOMPARE(p.WaveBox()->currentText(), QString("/snd/end.wav"));
    QVERIFY(WaveControlsDisabled(p));
    p.EventList()->setCurrentIndex(0);
    QVERIFY(p.WaveButton()->isChecked());
    QCOMPARE(p.WaveBox()->currentText(), QString("/snd/err.wav"));
    QVERIFY(WaveControlsEnabled(p));
}

void CustomPropSoundTest::TypedNameMustBeAWaveFile_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("plain") << "/snd/ding.wav" << true;
    QTest::newRow("capital extension") << "/snd/DING.WAV" << true;
    QTest::newRow("five characters") << "a.wav" << true;
    QTest::newRow("only the extension after a backslash") << "C:\\snd\\.wav" << false;
    QTest::newRow("only the extension after a slash") << "/snd/.wav" << false;
    QTest::newRow("too short") << ".wav" << false;
    QTest::newRow("other extension") << "/snd/ding.mp3" << false;
    QTest::newRow("empty") << "" << false;
}

void CustomPropSoundTest::TypedNameMustBeAWaveFile() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    ProgramDir dir;
    Sheet s(dir, {1, 1, 0, "/snd/old.wav", 0, 0, "<none>"});
    CCustomPropSound& p = s.page();
    QList<SeenBox> seen;
    Autopilot pilot;
    if (!accepted) pilot.Then(AnswerBox(QMessageBox::Ok, &seen));
    TypeWaveName(p, p.EnableBox(), typed);
    QVERIFY(pilot.Done());
    QCOMPARE(pilot.unexpected, 0);
    if (accepted) {
        QCOMPARE(p.Settings().errorWavePath, typed.toStdString());
        QCOMPARE(p.Settings().errorSoundEnabled, 1);
        QVERIFY(seen.isEmpty());
    } else {
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].caption, QString("falsh"));
        QCOMPARE(seen[0].text,
                 QString("The entry file has a mistake\nIt returns to the original file"));
        QCOMPARE(seen[0].icon, QMessageBox::Warning);
        QCOMPARE(p.WaveBox()->currentText(), QString("/snd/old.wav"));
        QCOMPARE(p.Settings().errorWavePath, std::string("/snd/old.wav"));
    }
    QVERIFY(IsUsableWaveName(typed.toStdString()) == accepted);
}

void CustomPropSoundTest::NoneIsAlwaysAccepted() {
    ProgramDir dir;
    Sheet s(dir, {1, 1, 0, "/snd/old.wav", 0, 0, "<none>"});
    CCustomPropSound& p = s.page();
    Autopilot pilot;
    TypeWaveName(p, p.EnableBox(), "<none>");
    QCOMPARE(pilot.unexpected, 0);
    QCOMPARE(p.Settings().errorWavePath, std::string("<none>"));
    QCOMPARE(p.Settings().errorSoundEnabled, 0);
}

void CustomPropSoundTest::TabbingOutOfTheBoxChecksWhatWasTyped() {
    ProgramDir dir;
    Sheet s(dir, {1, 1, 0, "/snd/old.wav", 0, 0, "<none>"});
    s.main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.main));
    CCustomPropSound& p = s.page();
    QList<SeenBox> seen;
    Autopilot pilot;
    pilot.Then(AnswerBox(QMessageBox::Ok, &seen));
    p.WaveBox()->setFocus(Qt::MouseFocusReason);
    QVERIFY(p.WaveBox()->hasFocus());
    p.WaveBox()->lineEdit()->selectAll();
    QTest::keyClicks(p.WaveBox()->lineEdit(), "/snd/.wav");
    QTest::keyClick(p.WaveBox(), Qt::Key_Tab);
    QTRY_VERIFY(pilot.Done());
    QCOMPARE(seen.size(), 1);
    QCOMPARE(p.WaveBox()->currentText(), QString("/snd/old.wav"));
    // A good name typed the same way is taken.
    s.main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.main));
    p.WaveBox()->setFocus(Qt::MouseFocusReason);
    p.WaveBox()->lineEdit()->selectAll();
    QTest::keyClicks(p.WaveBox()->lineEdit(), "/snd/New.WAV");
    QTest::keyClick(p.WaveBox(), Qt::Key_Tab);
    QTest::qWait(50);
    QCOMPARE(pilot.unexpected, 0);
    QCOMPARE(p.Settings().errorWavePath, std::string("/snd/New.WAV"));
}

void CustomPropSoundTest::PlayStopsThenPlaysTheShownFile() {
    ProgramDir dir;
    Sheet s(dir, {1, 1, 0, "/snd/err.wav", 0, 0, "<none>"});
    CCustomPropSound& p = s.page();
    p.PlayButton()->click();
    p.StopButton()->click();
    QCOMPARE(s.player.calls, QStringList({"stop", "play /snd/err.wav", "stop"}));
}

void CustomPropSoundTest::SaveWritesShortFormsOrNone() {
    ProgramDir dir;
    dir.Write("ding.wav", "RIFF");
    const QString ding = dir.File("ding.wav");
    Sheet s(dir, {1, 1, 0, ding.toStdString(), 1, 1, "/gone/end.wav"});
    s.main.Buttons()->button(QDialogButtonBox::Ok)->click();
    const QByteArray ini = dir.Read("Customize.ini");
    QVERIFY2(ini.contains("[Sound]\r\nSound=1\r\nErrorEnable=1\r\nErrorType=0\r\nErrorPass=" +
                          ding.toUtf8() + "\r\nEndEnable=1\r\nEndType=1\r\nEndPass=<none>\r\n"),
             ini.constData());
    // The page keeps what it wrote.
    QCOMPARE(s.page().Settings().endWavePath, std::string("<none>"));
}

void CustomPropSoundTest::SwitchingSoundOffKeepsThePerEventSettings() {
    ProgramDir dir;
    Sheet s(dir, {1, 0, 1, "<none>", 1, 1, "<none>"});
    s.page().EnableBox()->click();
    s.main.OnApply();
    const QByteArray ini = dir.Read("Customize.ini");
    QVERIFY2(ini.contains("Sound=0\r\nErrorEnable=0\r\nErrorType=1\r\nErrorPass=<none>\r\n"
                          "EndEnable=1\r\nEndType=1\r\n"),
             ini.constData());
}

void CustomPropSoundTest::ToolPageWritesItsSwitch() {
    ProgramDir dir;
    CustomSettings settings;
    Recorder player;
    CCustomPropMain sheet(dir.PathStd(), settings, Language::English, player, nullptr);
    sheet.show();
    sheet.Tabs()->setCurrentIndex(2);
    QVERIFY(!sheet.ToolPage()->ToolTipsBox()->isChecked());
    sheet.ToolPage()->ToolTipsBox()->click();
    QVERIFY(sheet.Buttons()->button(QDialogButtonBox::Apply)->isEnabled());
    sheet.Buttons()->button(QDialogButtonBox::Ok)->click();
    const QByteArray ini = dir.Read("Customize.ini");
    QVERIFY(ini.contains("[Tool]\r\nToolTips=1\r\n"));
    QVERIFY(!ini.contains("[Sound]"));  // never shown
    QVERIFY(ini.contains("[Com]"));     // the first page is always shown
}

QTEST_MAIN(CustomPropSoundTest)
#include "custom_prop_sound_test.moc"
