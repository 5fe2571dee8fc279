// The Check SUM dialog: the fill field, the result field, and the sum of a
// real hex file taken through the main dialog.

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "gui/qt/check_sum_dlg.hpp"
#include "gui_test_support.hpp"
#include "gui/qt/writer_dlg.hpp"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::gui::testing;

class CheckSumDlgTest : public QObject {
    Q_OBJECT
private slots:
    void OpensWithFFAndAnEmptyResult();
    void TypingTurnsIntoTwoCapitalLetters();
    void ButtonShowsWhatTheSumGives();
    void SumOfAFileOverTheChipsRange_data();
    void SumOfAFileOverTheChipsRange();
};

void CheckSumDlgTest::OpensWithFFAndAnEmptyResult() {
    CCheckSumDlg dlg([](const std::string&) { return std::string("1234"); }, nullptr);
    QCOMPARE(dlg.windowTitle(), QString("Check SUM"));
    QCOMPARE(dlg.FillField()->text(), QString("FF"));
    QCOMPARE(dlg.SumField()->text(), QString());
    QVERIFY(dlg.SumField()->isReadOnly());
}

void CheckSumDlgTest::TypingTurnsIntoTwoCapitalLetters() {
    CCheckSumDlg dlg([](const std::string&) { return std::string(); }, nullptr);
    dlg.show();
    QLineEdit* fill = dlg.FillField();
    fill->clear();
    QTest::keyClicks(fill, "a");
    QCOMPARE(fill->text(), QString("A"));
    QTest::keyClicks(fill, "bc");
    QCOMPARE(fill->text(), QString("AB"));
    fill->clear();
    QTest::keyClicks(fill, "z9");
    QCOMPARE(fill->text(), QString("Z9"));
}

void CheckSumDlgTest::ButtonShowsWhatTheSumGives() {
    QStringList asked;
    std::string answer = "002A";
    CCheckSumDlg dlg(
        [&](const std::string& fill) {
            asked << QString::fromStdString(fill);
            return answer;
        },
        nullptr);
    dlg.show();
    dlg.FillField()->clear();
    QTest::keyClicks(dlg.FillField(), "ff");
    QTest::mouseClick(dlg.SumButton(), Qt::LeftButton);
    QCOMPARE(asked, QStringList({"FF"}));
    QCOMPARE(dlg.SumField()->text(), QString("002A"));
    answer.clear();
    dlg.SumButton()->click();
    QCOMPARE(dlg.SumField()->text(), QString());
    QCOMPARE(dlg.FillField()->text(), QString("FF"));
}

void CheckSumDlgTest::SumOfAFileOverTheChipsRange_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("fill");
    QTest::addColumn<QString>("sum");
    const QByteArray empty = "S00600004844521B\r\nS804000000FB\r\n";
    const QByteArray threeBytes = "S00600004844521B\r\nS207080000010203EA\r\nS804000000FB\r\n";
    // 0x100 bytes of FF: 0xFF00; 64 KiB of FF would wrap to 0000.
    QTest::newRow("nothing inside, fill FF") << empty << "FF" << "FF00";
    QTest::newRow("nothing inside, fill 00") << empty << "00" << "0000";
    QTest::newRow("nothing inside, fill 01 shows leading zeros") << empty << "01" << "0100";
    QTest::newRow("three bytes") << threeBytes << "FF" << "FC09";
    QTest::newRow("one character") << threeBytes << "F" << "";
    QTest::newRow("not hexadecimal") << threeBytes << "0G" << "";
}

void CheckSumDlgTest::SumOfAFileOverTheChipsRange() {
    QFETCH(QByteArray, file);
    QFETCH(QString, fill);
    QFETCH(QString, sum);
    ProgramDir dir;
    dir.Write("CHIPDEF.INI",
              "[TC301]\r\nDownloadFile=ctl.bin\r\nLoadAddress=4096\r\nStartAddress=80000\r\n"
              "EndAddress=800FF\r\nFlashSize=256\r\nClock=10MHz\r\nBaud=9600\r\nFlashArea=1\r\n");
    dir.Write("image.mhx", file);
    dir.Write("DATAFILE.TXT", "[Recent]\r\nWrite File=" + dir.File("image.mhx").toUtf8() + "\r\n");
    Request request;
    request.programDir = dir.PathStd();
    CWriterDlg main(request);
    QCOMPARE(main.OnInitDialog(), CWriterDlg::InitResult::Ready);
    QString shown;
    Autopilot pilot;
    pilot.Then(OnModal<CCheckSumDlg>([&](CCheckSumDlg* dlg) {
        dlg->FillField()->setText(fill);
        dlg->SumButton()->click();
        shown = dlg->SumField()->text();
        dlg->accept();
    }));
    main.OnCheckSum();
    QVERIFY(pilot.Done());
    QCOMPARE(pilot.unexpected, 0);
    QCOMPARE(shown, sum);
}

QTEST_MAIN(CheckSumDlgTest)
#include "check_sum_dlg_test.moc"
