// The COM page on Linux: choosing the device of a COM number from the serial
// devices found or by typing a path, what OK, Apply and Cancel leave in
// Customize.ini, and how a mapped device that is not there is shown; the
// board's reset sequence: what is saved, what is refused, and why.

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "app/sound_player.hpp"
#include "config/port_names.hpp"
#include "config/reset_sequence.hpp"
#include "config/user_settings.hpp"
#include "gui/qt/custom_prop_com.hpp"
#include "gui/qt/custom_prop_main.hpp"
#include "gui_test_support.hpp"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::gui::testing;

namespace {

const std::string kById = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0";

// A machine with one FTDI adapter and one on-board UART; the page never
// reads the real /sys here.
std::vector<SerialPortInfo> Ports() {
    return {{"/dev/ttyUSB0", kById, "FT232R USB UART", "FTDI", "0403", "6001", "A12345"},
            {"/dev/ttyS0", "", "serial8250", "", "", "", ""}};
}

class Silent final : public SoundPlayer {
public:
    void Beep() override {}
    void PlayFile(std::string_view) override {}
    void Stop() override {}
};

// A sheet opened on the COM page with COM<comIndex + 1> selected.
struct Sheet {
    Sheet(const ProgramDir& dir, int comIndex)
        : settings{comIndex, {}, 0},
          main(dir.PathStd(), settings, Language::English, player, nullptr, [] { return Ports(); }) {
        main.show();
    }
    CCustomPropCom& page() { return *main.ComPage(); }
    QComboBox& box() { return *page().DeviceBox(); }
    QLabel& label(int index) { return *page().DeviceLabel(index); }
    QPushButton* button(QDialogButtonBox::StandardButton which) {
        return main.Buttons()->button(which);
    }
    void Type(const QString& text) {
        box().lineEdit()->clear();
        QTest::keyClicks(box().lineEdit(), text);
    }
    QLineEdit& reset() { return *page().ResetEdit(); }
    void TypeReset(const QString& text) {
        reset().selectAll();
        QTest::keyClick(&reset(), Qt::Key_Delete);
        QTest::keyClicks(&reset(), text);
    }
    CustomSettings settings;
    Silent player;
    CCustomPropMain main;
};

}  // namespace

class CustomPropComTest : public QObject {
    Q_OBJECT
private slots:
    void ChosenAdapterIsSavedByItsById();
    void EntryIsSavedAsItsPath_data();
    void EntryIsSavedAsItsPath();
    void EachComNumberKeepsItsOwnDevice();
    void MappedDeviceNotPresentIsMarkedMissing();
    void CancelWritesNothingAndOkOnlyWhatChanged();
    void DeviceThatCannotBeSavedIsReported_data();
    void DeviceThatCannotBeSavedIsReported();
    void ResetSequenceIsSavedOnlyWhenItCanBeRead_data();
    void ResetSequenceIsSavedOnlyWhenItCanBeRead();
    void MalformedResetSequenceIsShownAndLeftAlone();
};

void CustomPropComTest::ChosenAdapterIsSavedByItsById() {
    ProgramDir dir;
    Sheet s(dir, 2);
    QCOMPARE(s.box().count(), 3);
    QCOMPARE(s.box().currentText(), QString("(default: /dev/ttyS2)"));
    QCOMPARE(s.box().itemText(1), QString::fromUtf8("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_"
                                                    "A12345-if00-port0 \u2014 FT232R USB UART "
                                                    "(0403:6001, A12345)"));
    QCOMPARE(s.box().itemText(2), QString::fromUtf8("/dev/ttyS0 \u2014 serial8250"));
    QVERIFY(!s.button(QDialogButtonBox::Apply)->isEnabled());

    s.box().setCurrentIndex(1);
    QVERIFY(s.button(QDialogButtonBox::Apply)->isEnabled());
    QCOMPARE(s.label(2).toolTip(), QString::fromStdString(kById));
    QVERIFY(!s.label(2).text().contains("missing"));
    s.button(QDialogButtonBox::Ok)->click();

    QCOMPARE(ComPortDevicePath(dir.PathStd(), 3), kById);
    const QByteArray ini = dir.Read("Customize.ini");
    QVERIFY(ini.contains(QByteArray("[Ports]\r\nCOM3=") + kById.c_str() + "\r\n"));
    QVERIFY(!ini.contains("FT232R USB UART") && !ini.contains("0403:6001"));
}

void CustomPropComTest::EntryIsSavedAsItsPath_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("pick");  // an entry of the list, or -1 to type
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("opens");
    const QByteArray mapped = "[Ports]\r\nCOM3=/dev/ttyUSB7\r\n";
    QTest::newRow("typed path") << QByteArray() << -1 << "/dev/ttyACM3" << "/dev/ttyACM3";
    QTest::newRow("typed with blanks") << QByteArray() << -1 << "  /dev/ttyACM3 " << "/dev/ttyACM3";
    QTest::newRow("a listed port's device, typed") << QByteArray() << -1 << "/dev/ttyUSB0"
                                                   << "/dev/ttyUSB0";
    QTest::newRow("on-board port") << QByteArray() << 2 << "" << "/dev/ttyS0";
    QTest::newRow("default entry") << mapped << 0 << "" << "/dev/ttyS2";
    QTest::newRow("box emptied") << mapped << -1 << "" << "/dev/ttyS2";
}

void CustomPropComTest::EntryIsSavedAsItsPath() {
    QFETCH(QByteArray, before);
    QFETCH(int, pick);
    QFETCH(QString, typed);
    QFETCH(QString, opens);
    ProgramDir dir;
    if (!before.isEmpty()) dir.Write("Customize.ini", before);
    Sheet s(dir, 2);
    if (pick >= 0) {
        s.box().setCurrentIndex(pick);
    } else {
        s.Type(typed);
    }
    s.button(QDialogButtonBox::Ok)->click();
    QCOMPARE(QString::fromStdString(ComPortDevicePath(dir.PathStd(), 3)), opens);
}

void CustomPropComTest::EachComNumberKeepsItsOwnDevice() {
    ProgramDir dir;
    Sheet s(dir, 2);
    s.page().PortButton(11)->click();
    QVERIFY(!s.button(QDialogButtonBox::Apply)->isEnabled());
    QCOMPARE(s.box().currentText(), QString("(default: /dev/ttyS11)"));
    // A device changed marks the page, above COM8 too.
    s.Type("/dev/ttyACM1");
    QVERIFY(s.button(QDialogButtonBox::Apply)->isEnabled());
    s.page().PortButton(2)->click();
    QCOMPARE(s.box().currentText(), QString("(default: /dev/ttyS2)"));
    s.box().setCurrentIndex(1);
    s.page().PortButton(11)->click();
    QCOMPARE(s.box().currentText(), QString("/dev/ttyACM1"));

    s.button(QDialogButtonBox::Apply)->click();
    QVERIFY(!s.button(QDialogButtonBox::Apply)->isEnabled());
    QCOMPARE(ComPortDevicePath(dir.PathStd(), 3), kById);
    QCOMPARE(ComPortDevicePath(dir.PathStd(), 12), std::string("/dev/ttyACM1"));
}

void CustomPropComTest::MappedDeviceNotPresentIsMarkedMissing() {
    ProgramDir dir;
    dir.Write("Customize.ini", QByteArray("[Ports]\r\nCOM5=/dev/ttyUSB7\r\nCOM6=") +
                                   kById.c_str() +
                                   "\r\nCOM7=/dev/null\r\nCOM8=/dev/ttyUSB0\r\n");
    Sheet s(dir, 0);
    QCOMPARE(s.label(4).text(), QString("/dev/ttyUSB7 (missing)"));
    QVERIFY(s.label(4).palette().color(QPalette::WindowText) !=
            s.label(6).palette().color(QPalette::WindowText));
    QVERIFY(!s.label(5).text().contains("missing"));
    QCOMPARE(s.label(6).text(), QString("/dev/null"));  // not listed, but there
    QCOMPARE(s.label(7).text(), QString("/dev/ttyUSB0"));  // its device, not its by-id name
    // A default with no UART behind it is as missing as a mapping.
    QCOMPARE(s.label(19).text(), QString("/dev/ttyS19 (missing)"));
    // The box shows a missing device as it stands.
    s.page().PortButton(4)->click();
    QCOMPARE(s.box().currentText(), QString("/dev/ttyUSB7"));
}

void CustomPropComTest::CancelWritesNothingAndOkOnlyWhatChanged() {
    ProgramDir dir;
    const QByteArray before =
        "; kept\r\n[Com]\r\nCom=2\r\n[Ports]\r\ncom5 = /dev/ttyUSB7\r\nCOM9=/dev/ttyUSB0\r\n";
    dir.Write("Customize.ini", before);
    {
        Sheet s(dir, 2);
        s.box().setCurrentIndex(1);
        s.page().PortButton(4)->click();
        s.box().setCurrentIndex(0);
        s.button(QDialogButtonBox::Cancel)->click();
    }
    QCOMPARE(dir.Read("Customize.ini"), before);
    {
        Sheet s(dir, 8);
        s.page().PortButton(2)->click();
        s.button(QDialogButtonBox::Ok)->click();
    }
    // The same COM number again, no device changed: [Ports] stays as written.
    QCOMPARE(dir.Read("Customize.ini"), before);
}

void CustomPropComTest::DeviceThatCannotBeSavedIsReported_data() {
    QTest::addColumn<bool>("fileIsAFolder");
    QTest::addColumn<QString>("typed");
    QTest::newRow("Customize.ini cannot be written") << true << "/dev/ttyACM0";
    // Longer than a mapping is read back: it would open another device.
    QTest::newRow("path too long") << false << "/dev/" + QString(300, 'x');
}

void CustomPropComTest::DeviceThatCannotBeSavedIsReported() {
    QFETCH(bool, fileIsAFolder);
    QFETCH(QString, typed);
    ProgramDir dir;
    if (fileIsAFolder) QVERIFY(QDir().mkdir(dir.File("Customize.ini")));
    Sheet s(dir, 2);
    s.box().setEditText(typed);
    // A sequence that cannot be written either is told in the same warning.
    if (fileIsAFolder) s.TypeReset("DTR=0,RTS=1");
    QList<SeenBox> seen;
    Autopilot pilot;
    pilot.Then(AnswerBox(QMessageBox::Ok, &seen));
    s.button(QDialogButtonBox::Ok)->click();
    QVERIFY(pilot.Done());
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].icon, QMessageBox::Warning);
    QVERIFY2(seen[0].text.contains("COM3"), qPrintable(seen[0].text));
    QCOMPARE(seen[0].text.contains("reset sequence"), fileIsAFolder);
    QCOMPARE(ComPortDevicePath(dir.PathStd(), 3), std::string("/dev/ttyS2"));
    QCOMPARE(ReadResetSequenceSetting(dir.PathStd()), std::string());
}

namespace {

// Every other line must come through a change of the sequence as it was.
QByteArray CustomizeWithReset(const QByteArray& sequence) {
    return "; kept\r\n[Com]\r\nCom=2\r\n[Ports]\r\ncom5 = /dev/ttyUSB7\r\n[Reset]\r\nSequence=" +
           sequence + "\r\n[Tool]\r\nToolTips=1\r\n";
}

}  // namespace

void CustomPropComTest::ResetSequenceIsSavedOnlyWhenItCanBeRead_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("stored");  // unused when refused: the old one stays
    QTest::addColumn<bool>("refused");
    const QByteArray canonical = "DTR=0,RTS=1,WAIT=100,RTS=0";
    QTest::newRow("as typed") << QString(canonical) << canonical << false;
    QTest::newRow("blanks and case") << " dtr=0 , Rts=1,wait = 100 ,RTS=0 " << canonical << false;
    QTest::newRow("emptied") << "" << QByteArray() << false;
    QTest::newRow("blanks only") << "   " << QByteArray() << false;
    QTest::newRow("unknown line") << "DTR=0,CTS=1" << QByteArray() << true;
    QTest::newRow("wait too long") << "RTS=1,WAIT=10001" << QByteArray() << true;
    QTest::newRow("drives no line") << "WAIT=100" << QByteArray() << true;
}

void CustomPropComTest::ResetSequenceIsSavedOnlyWhenItCanBeRead() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);
    QFETCH(bool, refused);
    ProgramDir dir;
    const QByteArray before = CustomizeWithReset("RTS=1,WAIT=50,RTS=0");
    dir.Write("Customize.ini", before);
    Sheet s(dir, 2);
    s.TypeReset(typed);
    QVERIFY(s.button(QDialogButtonBox::Apply)->isEnabled());
    QList<SeenBox> seen;
    Autopilot pilot;
    if (refused) pilot.Then(AnswerBox(QMessageBox::Ok, &seen));
    s.button(QDialogButtonBox::Ok)->click();
    QVERIFY(pilot.Done());
    QCOMPARE(pilot.unexpected, 0);
    QCOMPARE(s.main.isVisible(), refused);
    if (!refused) {
        QCOMPARE(dir.Read("Customize.ini"), CustomizeWithReset(stored));
        QCOMPARE(s.reset().text(), QString(stored));  // the page shows what was written
        return;
    }
    // The parser's reason, and the sheet open on the page with nothing written.
    ResetSequence unused;
    std::string error;
    QVERIFY(!ParseResetSequence(typed.toStdString(), unused, error));
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].icon, QMessageBox::Warning);
    QVERIFY2(seen[0].text.contains(QString::fromStdString(error)), qPrintable(seen[0].text));
    QCOMPARE(s.main.Tabs()->currentWidget(), &s.page());
    QCOMPARE(dir.Read("Customize.ini"), before);
}

void CustomPropComTest::MalformedResetSequenceIsShownAndLeftAlone() {
    ProgramDir dir;
    // Written by hand: shown so it can be mended, and not in the way of
    // saving the rest while it is left alone.
    const QByteArray before = CustomizeWithReset("DTR=2, RTS=1");
    dir.Write("Customize.ini", before);
    Sheet s(dir, 2);
    QCOMPARE(s.reset().text(), QString("DTR=2, RTS=1"));
    s.page().PortButton(3)->click();
    Autopilot pilot;
    s.button(QDialogButtonBox::Ok)->click();
    QCOMPARE(pilot.unexpected, 0);
    QCOMPARE(dir.Read("Customize.ini"), QByteArray(before).replace("Com=2", "Com=3"));
}

QTEST_MAIN(CustomPropComTest)
#include "custom_prop_com_test.moc"
