// The main dialog: start-up failures, the command states, keyboard and mouse,
// dropped files, tooltips, and the settings sheet as the dialog runs it.

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolTip>
#include <QtTest>

#include "app/report.hpp"
#include "app/version_label.hpp"
#include "gui/qt/about_dlg.hpp"
#include "gui/qt/check_sum_dlg.hpp"
#include "gui/qt/custom_prop_com.hpp"
#include "gui/qt/custom_prop_main.hpp"
#include "gui/qt/custom_prop_sound.hpp"
#include "gui_test_support.hpp"
#include "gui/qt/progress_dlg.hpp"
#include "gui/qt/qt_file_chooser.hpp"
#include "gui/qt/writer_dlg.hpp"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::gui::testing;

namespace {

const QByteArray kTwoChips = ChipSection("TC301") + ChipSection("TC326", "FlashArea=1\r\n");

std::unique_ptr<CWriterDlg> Start(const ProgramDir& dir, CWriterDlg::InitResult expected =
                                                             CWriterDlg::InitResult::Ready,
                                  const std::string& portPath = "") {
    Request request;
    request.programDir = dir.PathStd();
    request.portPath = portPath;
    auto dlg = std::make_unique<CWriterDlg>(request);
    const CWriterDlg::InitResult result = dlg->OnInitDialog();
    if (result != expected) return nullptr;
    if (result == CWriterDlg::InitResult::Ready) {
        dlg->show();
        dlg->activateWindow();
        if (!QTest::qWaitForWindowActive(dlg.get())) return nullptr;
    }
    return dlg;
}

QPushButton* Button(CWriterDlg& dlg, int id) { return qobject_cast<QPushButton*>(dlg.Control(id)); }

bool Enabled(CWriterDlg& dlg, int id) { return dlg.Control(id)->isEnabled(); }

QString GroupCaption(CWriterDlg& dlg) {
    return qobject_cast<QGroupBox*>(dlg.Control(kIdCommandGroup))->title();
}

}  // namespace

class WriterDlgTest : public QObject {
    Q_OBJECT
private slots:
    void StartupFailuresShowTheirBoxAndEnd_data();
    void StartupFailuresShowTheirBoxAndEnd();
    void NotDownloadedStateAfterStartUp();
    void EraseOfferedBeforeDownloadOnlyForTheBootRomChips();
    void SeverityTwoReportAsksTwiceAndDropsTheDownload();
    void LetterKeysActAsMnemonicsWithoutAlt();
    void LetterOfADisabledCommandDoesNothing();
    void EscapeAndEnterNeverEndTheWindow();
    void RightClickOnCopyTogglesTheFormat();
    void DroppedFileBecomesTheHexFile();
    void DroppedFolderIsIgnored();
    void TooltipsFollowTheSetting();
    void ComPageWritesTheIndexAndTheCaptionFollows();
    void CancelWithoutApplyLeavesTheFileAlone();
    void CancelAfterApplyKeepsWhatApplyWrote();
    void PageNeverShownWritesNothing();
    void CheckSumDialogStartsWithFFEachTime();
    void VersionLabelAndAboutBox();
    void HelpWithoutItsFileSaysSo();
    void OpenTakesTheChosenFileAndSavesEitherWay();
    void JapaneseTextsOnAJapaneseSystem();
    void CopyOutputDialogOffersTheFormatAndTakesANewName();
};

void WriterDlgTest::StartupFailuresShowTheirBoxAndEnd_data() {
    QTest::addColumn<QByteArray>("chipDef");
    QTest::addColumn<bool>("longPath");
    QTest::addColumn<QString>("text");
    QTest::newRow("no chip definition file") << QByteArray() << false << "REGIST FAILED!";
    QTest::newRow("no complete section")
        << QByteArray("[TC301]\r\nDownloadFile=x\r\n[TC302]\r\nBaud=9600\r\n") << false
        << "REGIST FAILED!";
    QTest::newRow("program path too long") << kTwoChips << true << "PATH TOO LONG error";
}

void WriterDlgTest::StartupFailuresShowTheirBoxAndEnd() {
    QFETCH(QByteArray, chipDef);
    QFETCH(bool, longPath);
    QFETCH(QString, text);
    ProgramDir dir;
    if (!chipDef.isEmpty()) dir.Write("CHIPDEF.INI", chipDef);
    QList<SeenBox> seen;
    Autopilot pilot;
    pilot.Then(AnswerBox(QMessageBox::Ok, &seen));
    Request request;
    // Beyond what a path may hold on this system.
    request.programDir = longPath ? dir.PathStd() + std::string(5000, 'x') : dir.PathStd();
    CWriterDlg dlg(request);
    QCOMPARE(dlg.OnInitDialog(), CWriterDlg::InitResult::Failed);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(seen.size(), 1);
    // The text as it has always been, and for a missing chip definition the
    // file looked for and why that folder.
    QVERIFY2(seen[0].text.startsWith(text), qPrintable(seen[0].text));
    if (text == "REGIST FAILED!") {
        QCOMPARE(seen[0].text, text + "\n\n" + dir.File("CHIPDEF.INI") + "\n(given with --program-dir)");
    } else {
        QCOMPARE(seen[0].text, text);
    }
    QCOMPARE(seen[0].caption, QString("flash"));
    QCOMPARE(seen[0].icon, QMessageBox::Critical);
}

void WriterDlgTest::NotDownloadedStateAfterStartUp() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    for (int id : {kIdDownload, kIdFullOperation, kIdCheckSum, kIdOpen, kIdSetEnvironment}) {
        QVERIFY2(Enabled(*dlg, id), qPrintable(QString::number(id)));
    }
    for (int id : {kIdErase, kIdBlankCheck, kIdProgramVerify, kIdReadCompare, kIdCopy}) {
        QVERIFY2(!Enabled(*dlg, id), qPrintable(QString::number(id)));
    }
    QCOMPARE(dlg->Context().downloaded, 0);
    QCOMPARE(GroupCaption(*dlg), QString("Command  to  COM1"));
    auto* target = qobject_cast<QComboBox*>(dlg->Control(kIdTargetList));
    QCOMPARE(target->count(), 2);
    QCOMPARE(target->currentText(), QString("TC301"));
    auto* crystal = qobject_cast<QComboBox*>(dlg->Control(kIdCrystalList));
    QCOMPARE(crystal->count(), 3);
    QCOMPARE(qobject_cast<QLabel*>(dlg->Control(kIdMainAreaText))->text(), QString("080000H"));
    QCOMPARE(dlg->size(), dlg->Units().Size(343, 183));
    QCOMPARE(dlg->size(), dlg->minimumSize());
    QCOMPARE(dlg->size(), dlg->maximumSize());  // fixed size
    QVERIFY(!(dlg->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(dlg->windowFlags() & Qt::WindowMinimizeButtonHint);
}

void WriterDlgTest::EraseOfferedBeforeDownloadOnlyForTheBootRomChips() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=1\r\nRATE=0\r\n");
    auto dlg = Start(dir);
    QVERIFY(dlg);
    QCOMPARE(qobject_cast<QComboBox*>(dlg->Control(kIdTargetList))->currentText(),
             QString("TC326"));
    QVERIFY(Enabled(*dlg, kIdErase));
    // Choosing the other chip takes it away and saves the choice.
    qobject_cast<QComboBox*>(dlg->Control(kIdTargetList))->setCurrentIndex(0);
    QVERIFY(!Enabled(*dlg, kIdErase));
    QCOMPARE(dlg->Context().chipIndex, 0);
    QVERIFY(dir.Read("DATAFILE.TXT").contains("CPU=0"));
}

void WriterDlgTest::SeverityTwoReportAsksTwiceAndDropsTheDownload() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=1\r\nRATE=0\r\n");
    // The port named on the command line is a device that is not there.
    const std::string absent = dir.PathStd() + "no-such-tty";
    auto dlg = Start(dir, CWriterDlg::InitResult::Ready, absent);
    QVERIFY(dlg);
    OperationContext& ctx = dlg->Context();
    // As after a download: every command offered.
    for (int id : {kIdErase, kIdBlankCheck, kIdProgramVerify, kIdReadCompare, kIdCopy}) {
        dlg->EnableControl(id, true);
    }
    ctx.downloaded = 1;
    QStringList messages;
    bool mainDisabledMeanwhile = false;
    Autopilot pilot;
    bool closeRefusedMeanwhile = false;
    pilot.Then([&] {
             mainDisabledMeanwhile = !dlg->isEnabled();
             // The close box during a command would pull the progress window
             // from under the running operation: refused until it ends.
             closeRefusedMeanwhile = !dlg->close() && dlg->isVisible();
             return PressProgressButton(&messages)();
         })
        .Then(PressProgressButton(&messages));
    Button(*dlg, kIdErase)->click();  // TC326 erases: the port cannot be opened
    QVERIFY(pilot.Done());
    QCOMPARE(pilot.unexpected, 0);
    QVERIFY(mainDisabledMeanwhile);
    QVERIFY(closeRefusedMeanwhile);
    QCOMPARE(ctx.closing, 0);
    QCOMPARE(messages.size(), 2);
    QVERIFY2(messages[0].startsWith("ERROR !!    "), qPrintable(messages[0]));
    QVERIFY2(messages[0].contains(" No.006 Unable to open COM port."), qPrintable(messages[0]));
    // The reason names the device the command line chose.
    QVERIFY2(messages[0].contains(QString::fromStdString(absent)), qPrintable(messages[0]));
    QCOMPARE(messages[1], QString("Please redo from download operation"));
    QCOMPARE(ctx.downloaded, 0);
    for (int id : {kIdBlankCheck, kIdProgramVerify, kIdReadCompare, kIdCopy}) {
        QVERIFY2(!Enabled(*dlg, id), qPrintable(QString::number(id)));
    }
    QVERIFY(Enabled(*dlg, kIdErase));
    QVERIFY(Enabled(*dlg, kIdDownload));
    QVERIFY(Enabled(*dlg, kIdFullOperation));
    // The command has ended: no progress window, the dialog usable again.
    QVERIFY(!ctx.progress);
    QVERIFY(dlg->isEnabled());
    QVERIFY(!ctx.link.IsOpen());
    QVERIFY(dir.Read("MESSFILE.TXT").startsWith("NG\r\n"));
}

void WriterDlgTest::LetterKeysActAsMnemonicsWithoutAlt() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    auto* target = dlg->Control(kIdTargetList);
    auto* hexFile = dlg->Control(kIdHexFile);
    int sheets = 0;
    Autopilot pilot;
    auto closeSheet = OnModal<CCustomPropMain>([&sheets](CCustomPropMain* s) {
        ++sheets;
        s->reject();
    });
    pilot.Then(closeSheet).Then(closeSheet).Then(closeSheet);

    // S is "&Set Environment", from the list, the Hex File box and with Shift.
    target->setFocus();
    QTest::keyClick(target, Qt::Key_S);
    QCOMPARE(sheets, 1);
    hexFile->setFocus();
    QTest::keyClick(hexFile, Qt::Key_S);
    QCOMPARE(sheets, 2);
    QCOMPARE(qobject_cast<QLineEdit*>(hexFile)->text(), QString());  // nothing typed
    QTest::keyClick(dlg->Control(kIdCheckSum), Qt::Key_S, Qt::ShiftModifier);
    QCOMPARE(sheets, 3);
    QVERIFY(pilot.Done());

    // Label mnemonics move the focus to their lists.
    hexFile->setFocus();
    QTest::keyClick(hexFile, Qt::Key_Y);
    QCOMPARE(dlg->focusWidget(), dlg->Control(kIdCrystalList));
    QTest::keyClick(dlg->Control(kIdCrystalList), Qt::Key_T);
    QCOMPARE(dlg->focusWidget(), target);
    // A letter is not a search in the list.
    QCOMPARE(qobject_cast<QComboBox*>(target)->currentIndex(), 0);
    QTest::keyClick(target, Qt::Key_C);  // Copy is disabled: nothing
    QCOMPARE(qobject_cast<QComboBox*>(target)->currentIndex(), 0);
    QCOMPARE(pilot.unexpected, 0);
}

void WriterDlgTest::LetterOfADisabledCommandDoesNothing() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    Autopilot pilot;
    QVERIFY(!Enabled(*dlg, kIdErase));
    QTest::keyClick(dlg->Control(kIdTargetList), Qt::Key_E);
    QTest::keyClick(dlg->Control(kIdTargetList), Qt::Key_B);
    QTest::qWait(50);
    QVERIFY(!dlg->Context().progress);
    QCOMPARE(pilot.unexpected, 0);
    QVERIFY(!dir.Exists("MESSFILE.TXT"));
}

void WriterDlgTest::EscapeAndEnterNeverEndTheWindow() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    bool finished = false;
    connect(dlg.get(), &QDialog::finished, this, [&finished] { finished = true; });
    for (QWidget* w : {static_cast<QWidget*>(dlg.get()), dlg->Control(kIdTargetList),
                       static_cast<QWidget*>(Button(*dlg, kIdDownload))}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Escape);
        QTest::keyClick(w, Qt::Key_Return);
        QTest::keyClick(w, Qt::Key_Enter);
    }
    QVERIFY(dlg->isVisible());
    QVERIFY(!finished);
    QCOMPARE(dlg->Context().closing, 0);
    // The close box ends it.
    QVERIFY(dlg->close());
    QVERIFY(finished);
    QCOMPARE(dlg->Context().closing, 1);
    QCOMPARE(dlg->result(), int(QDialog::Rejected));
}

void WriterDlgTest::RightClickOnCopyTogglesTheFormat() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    QPushButton* copy = Button(*dlg, kIdCopy);
    QVERIFY(!copy->isEnabled());  // works on the disabled button too
    QTest::mouseClick(copy, Qt::RightButton);
    QCOMPARE(copy->text(), QString("&Copy_i"));
    QCOMPARE(dlg->Context().copyAsIntelHex, 1);
    QTest::mouseClick(copy, Qt::RightButton);
    QCOMPARE(copy->text(), QString("&Copy"));
    QCOMPARE(dlg->Context().copyAsIntelHex, 0);
    // A left click on the disabled button and a right click beside it do nothing.
    QTest::mouseClick(copy, Qt::LeftButton);
    QTest::mouseClick(Button(*dlg, kIdReadCompare), Qt::RightButton);
    QCOMPARE(copy->text(), QString("&Copy"));
    // A double right-click arrives as press, release, press and double-click,
    // the last two with one time stamp: two toggles, as two right-clicks.
    auto send = [copy](QEvent::Type type, ulong timestamp) {
        const QPoint at(4, 4);
        QMouseEvent e(type, at, copy->mapToGlobal(at), Qt::RightButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::RightButton,
                      Qt::NoModifier);
        e.setTimestamp(timestamp);
        QApplication::sendEvent(copy, &e);
    };
    send(QEvent::MouseButtonPress, 100000);
    QCOMPARE(copy->text(), QString("&Copy_i"));
    send(QEvent::MouseButtonRelease, 100050);
    send(QEvent::MouseButtonPress, 100200);
    send(QEvent::MouseButtonDblClick, 100200);
    send(QEvent::MouseButtonRelease, 100250);
    QCOMPARE(copy->text(), QString("&Copy"));
    QCOMPARE(dlg->Context().copyAsIntelHex, 0);
    // A double-click that comes alone counts as one.
    send(QEvent::MouseButtonDblClick, 100900);
    QCOMPARE(copy->text(), QString("&Copy_i"));
}

void WriterDlgTest::DroppedFileBecomesTheHexFile() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    dir.Write("Customize.ini", "[Tool]\r\nToolTips=1\r\n");
    dir.Write("image.mhx", "S00600004844521B\r\n");
    auto dlg = Start(dir);
    QVERIFY(dlg);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(dir.File("image.mhx"))});
    QWidget* target = dlg->Control(kIdHexFile);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCOMPARE(qobject_cast<QLineEdit*>(target)->text(), QString("image.mhx"));
    QCOMPARE(dlg->Context().hexFilePath, dir.File("image.mhx").toStdString());
    QVERIFY(dir.Read("DATAFILE.TXT").contains("Write File=" + dir.File("image.mhx").toUtf8()));
    QVERIFY(target->toolTip().contains(dir.File("image.mhx")));
}

void WriterDlgTest::DroppedFolderIsIgnored() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    QDir(dir.Path()).mkdir("folder.mhx");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(dir.File("folder.mhx")),
                  QUrl::fromLocalFile(dir.File("CHIPDEF.INI"))});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dlg.get(), &drop);
    QCOMPARE(qobject_cast<QLineEdit*>(dlg->Control(kIdHexFile))->text(), QString());
    QVERIFY(dlg->Context().hexFilePath.empty());
    QVERIFY(!dir.Exists("DATAFILE.TXT"));
    // Nor does a name that no longer exists count.
    mime.setUrls({QUrl::fromLocalFile(dir.File("gone.mhx"))});
    QDropEvent gone(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dlg.get(), &gone);
    QVERIFY(dlg->Context().hexFilePath.empty());
}

void WriterDlgTest::TooltipsFollowTheSetting() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    dir.Write("DATAFILE.TXT", "[Recent]\r\nWrite File=/data/fw/app.mhx\r\n");
    auto dlg = Start(dir);
    QVERIFY(dlg);
    QWidget* hexFile = dlg->Control(kIdHexFile);
    QCOMPARE(hexFile->toolTip(),
             QString("The Programming hex file to the flash\n/data/fw/app.mhx"));
    QCOMPARE(dlg->Control(kIdDownload)->toolTip(),
             QString("Transfers a control program to the microcomputer"));
    auto hover = [&](QWidget* w) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(3, 3), w->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(w, &help);
        QTest::qWait(20);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    // Off (no Customize.ini): no tip, also over the Hex File box.
    QCOMPARE(hover(hexFile), QString());
    QCOMPARE(hover(dlg->Control(kIdDownload)), QString());
    // On after the settings are reloaded.
    dir.Write("Customize.ini", "[Tool]\r\nToolTips=1\r\n");
    dlg->ReloadCustomSettings();
    QVERIFY(hover(hexFile).contains("/data/fw/app.mhx"));
    QToolTip::hideText();
}

void WriterDlgTest::ComPageWritesTheIndexAndTheCaptionFollows() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    bool applyOffered = true;
    Autopilot pilot;
    pilot.Then(OnModal<CCustomPropMain>([&](CCustomPropMain* sheet) {
        QCOMPARE(sheet->windowTitle(), QString("Customize setting"));
        QCOMPARE(sheet->Tabs()->count(), 3);
        QCOMPARE(sheet->Tabs()->tabText(0), QString("COM PORT"));
        QVERIFY(sheet->ComPage()->PortButton(0)->isChecked());
        QVERIFY(sheet->ComPage()->DeviceLabel(11)->text().startsWith("/dev/ttyS11"));
        sheet->ComPage()->PortButton(11)->click();
        // COM9 and up do not offer Apply; OK saves them all the same.
        applyOffered = sheet->Buttons()->button(QDialogButtonBox::Apply)->isEnabled();
        sheet->Buttons()->button(QDialogButtonBox::Ok)->click();
    }));
    dlg->OnSetEnvironment();
    QVERIFY(pilot.Done());
    QVERIFY(!applyOffered);
    QVERIFY(dir.Read("Customize.ini").contains("[Com]\r\nCom=11\r\n"));
    QCOMPARE(dlg->Context().comPortIndex, 11);
    QCOMPARE(GroupCaption(*dlg), QString("Command  to  COM12"));
}

void WriterDlgTest::CancelWithoutApplyLeavesTheFileAlone() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    const QByteArray before =
        "; kept as it is\r\n[Com]\r\nCom=1\r\n[Ports]\r\nCOM5=/dev/ttyUSB0\r\n[Tool]\r\nToolTips=1\r\n";
    dir.Write("Customize.ini", before);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    QCOMPARE(GroupCaption(*dlg), QString("Command  to  COM2"));
    Autopilot pilot;
    pilot.Then(OnModal<CCustomPropMain>([](CCustomPropMain* sheet) {
        // Marked "(missing)" on a machine without that adapter.
        QVERIFY(sheet->ComPage()->DeviceLabel(4)->text().startsWith("/dev/ttyUSB0"));
        sheet->ComPage()->PortButton(4)->click();
        if (QComboBox* device = sheet->ComPage()->DeviceBox()) device->setEditText("/dev/ttyACM9");
        QVERIFY(sheet->Buttons()->button(QDialogButtonBox::Apply)->isEnabled());
        sheet->Tabs()->setCurrentIndex(1);
        sheet->SoundPage()->EnableBox()->click();
        sheet->Tabs()->setCurrentIndex(2);
        sheet->Buttons()->button(QDialogButtonBox::Cancel)->click();
    }));
    dlg->OnSetEnvironment();
    QVERIFY(pilot.Done());
    QCOMPARE(dir.Read("Customize.ini"), before);
    QCOMPARE(dlg->Context().comPortIndex, 1);
    QCOMPARE(dlg->Context().sound.soundEnabled, 0);
    QCOMPARE(GroupCaption(*dlg), QString("Command  to  COM2"));
}

void WriterDlgTest::CancelAfterApplyKeepsWhatApplyWrote() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    Autopilot pilot;
    pilot.Then(OnModal<CCustomPropMain>([](CCustomPropMain* sheet) {
        sheet->ComPage()->PortButton(2)->click();
        QPushButton* apply = sheet->Buttons()->button(QDialogButtonBox::Apply);
        apply->click();
        QVERIFY(!apply->isEnabled());
        sheet->ComPage()->PortButton(6)->click();
        sheet->Buttons()->button(QDialogButtonBox::Cancel)->click();
    }));
    dlg->OnSetEnvironment();
    QVERIFY(pilot.Done());
    QVERIFY(dir.Read("Customize.ini").contains("Com=2\r\n"));
    QCOMPARE(GroupCaption(*dlg), QString("Command  to  COM3"));
}

void WriterDlgTest::PageNeverShownWritesNothing() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    Autopilot pilot;
    pilot.Then(OnModal<CCustomPropMain>([](CCustomPropMain* sheet) {
        sheet->Buttons()->button(QDialogButtonBox::Ok)->click();
    }));
    dlg->OnSetEnvironment();
    const QByteArray written = dir.Read("Customize.ini");
    QVERIFY(written.contains("[Com]\r\nCom=0\r\n"));
    QVERIFY(!written.contains("[Sound]"));
    QVERIFY(!written.contains("[Tool]"));
}

void WriterDlgTest::CheckSumDialogStartsWithFFEachTime() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    QStringList fills;
    auto look = OnModal<CCheckSumDlg>([&fills](CCheckSumDlg* check) {
        fills << check->FillField()->text();
        QVERIFY(check->SumField()->text().isEmpty());
        check->FillField()->setText("12");
        check->accept();
    });
    Autopilot pilot;
    pilot.Then(look).Then(look);
    Button(*dlg, kIdCheckSum)->click();
    Button(*dlg, kIdCheckSum)->click();
    QCOMPARE(fills, QStringList({"FF", "FF"}));
}

void WriterDlgTest::VersionLabelAndAboutBox() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    const QString label = QString::fromStdString(BuildVersionLabel());
    QCOMPARE(qobject_cast<QLabel*>(dlg->Control(kIdVersion))->text(), label);
    QVERIFY(label.startsWith("V01,L01"));

    // The About item sits in the window's context menu here.
    QString item, aboutVersion, aboutTitle;
    Autopilot pilot;
    pilot.Then([&item] {
             auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
             if (!menu || menu->actions().isEmpty()) return false;
             item = menu->actions().first()->text();
             // Chosen once this step has returned: the About box then runs
             // its own loop, in which the next step answers it.
             QAction* action = menu->actions().first();
             QTimer::singleShot(0, menu, [menu, action] {
                 menu->setActiveAction(action);
                 QTest::keyClick(menu, Qt::Key_Return);
             });
             return true;
         })
        .Then(OnModal<CAboutDlg>([&](CAboutDlg* about) {
            aboutVersion = about->VersionLabel()->text();
            aboutTitle = about->windowTitle();
            about->accept();
        }));
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                dlg->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(dlg.get(), &menuEvent);
    QVERIFY(pilot.Done());
    QCOMPARE(item, QString("version(flash) (&A)..."));
    QCOMPARE(aboutTitle, QString("(C)Information"));
    QCOMPARE(aboutVersion, label + " (" + QString::fromStdString(PackageVersion()) + ")");
}

void WriterDlgTest::HelpWithoutItsFileSaysSo() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    auto dlg = Start(dir);
    QVERIFY(dlg);
    QList<SeenBox> seen;
    Autopilot pilot;
    pilot.Then(AnswerBox(QMessageBox::Ok, &seen));
    QTest::keyClick(dlg->Control(kIdTargetList), Qt::Key_H);
    QVERIFY(pilot.Done());
    QCOMPARE(seen.size(), 1);
    QVERIFY(seen[0].text.contains("flash_html.chm"));
    QVERIFY(seen[0].text.contains("not found"));
}

void WriterDlgTest::OpenTakesTheChosenFileAndSavesEitherWay() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    QDir(dir.Path()).mkdir("fw");
    dir.Write("fw/app.cnv", "S00600004844521B\r\n");
    auto dlg = Start(dir);
    QVERIFY(dlg);
    const QString chosen = dir.File("fw/app.cnv");
    QStringList filters;
    Autopilot pilot;
    pilot.Then(OnModal<QFileDialog>([&](QFileDialog* fd) {
        filters = fd->nameFilters();
        fd->selectFile(chosen);
        QMetaObject::invokeMethod(fd, "accept");
    }));
    Button(*dlg, kIdOpen)->click();
    QVERIFY(pilot.Done());
    QCOMPARE(filters, QStringList({"S format files (*.mhx *.cnv *.ahx)", "all files (*.*)"}));
    QCOMPARE(qobject_cast<QLineEdit*>(dlg->Control(kIdHexFile))->text(), QString("app.cnv"));
    QCOMPARE(dlg->Context().hexFilePath, chosen.toStdString());
    QVERIFY(dir.Read("DATAFILE.TXT").contains("Write File=" + chosen.toUtf8()));
    QCOMPARE(QDir::current().canonicalPath(), QDir(dir.Path()).canonicalPath());

    // Cancelled: nothing changes, the selections are saved all the same.
    QFile::remove(dir.File("DATAFILE.TXT"));
    QString startedIn;
    pilot.Then(OnModal<QFileDialog>([&](QFileDialog* fd) {
        startedIn = fd->directory().canonicalPath();
        fd->reject();
    }));
    Button(*dlg, kIdOpen)->click();
    QVERIFY(pilot.Done());
    QCOMPARE(startedIn, QDir(dir.File("fw")).canonicalPath());
    QCOMPARE(dlg->Context().hexFilePath, chosen.toStdString());
    QVERIFY(dir.Read("DATAFILE.TXT").contains("Write File=" + chosen.toUtf8()));
    QCOMPARE(QDir::current().canonicalPath(), QDir(dir.Path()).canonicalPath());
}

void WriterDlgTest::JapaneseTextsOnAJapaneseSystem() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", kTwoChips);
    const QByteArray before = qgetenv("QUILLON_LANG");
    qputenv("QUILLON_LANG", "ja");
    auto dlg = Start(dir);
    qputenv("QUILLON_LANG", before);
    QVERIFY(dlg);
    QCOMPARE(dlg->Control(kIdDownload)->toolTip(),
             QString::fromUtf8("制御ﾌﾟﾛｸﾞﾗﾑをﾏｲｺﾝに転送"));
    QString caption;
    Autopilot pilot;
    pilot.Then(OnModal<CCustomPropMain>([&caption](CCustomPropMain* sheet) {
        caption = sheet->windowTitle();
        sheet->reject();
    }));
    dlg->OnSetEnvironment();
    QCOMPARE(caption, QString::fromUtf8("環境設定"));
}

void WriterDlgTest::CopyOutputDialogOffersTheFormatAndTakesANewName() {
    ProgramDir dir;
    QtFileChooser chooser(nullptr);
    struct Seen {
        QStringList filters;
        QString suffix;
        bool confirmsOverwrite = false;
    } seen;
    auto choose = [&](const QString& name) {
        return OnModal<QFileDialog>([&seen, name](QFileDialog* fd) {
            seen.filters = fd->nameFilters();
            seen.suffix = fd->defaultSuffix();
            seen.confirmsOverwrite = !fd->testOption(QFileDialog::DontConfirmOverwrite);
            // Typed, as a user names a new file; a selection made while the
            // folder still loads could be replaced by the initial one.
            auto* edit = fd->findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(edit);
            edit->setText(name);
            QMetaObject::invokeMethod(fd, "accept");
        });
    };
    Autopilot pilot;
    // A file that does not exist yet is what a readout usually writes.
    pilot.Then(choose(dir.File("readout")));
    const auto intel = chooser.ChooseCopyFile(true, dir.File("app.mhx").toStdString());
    QVERIFY(pilot.Done());
    QVERIFY(intel.has_value());
    QCOMPARE(QString::fromStdString(*intel), dir.File("readout.hex"));
    QCOMPARE(seen.filters, QStringList({"Intel Hex files (*.hex)", "all files (*.*)"}));
    QCOMPARE(seen.suffix, QString("hex"));
    QVERIFY(seen.confirmsOverwrite);

    pilot.Then(choose(dir.File("readout")));
    const auto srec = chooser.ChooseCopyFile(false, "");
    QVERIFY(srec.has_value());
    QCOMPARE(QString::fromStdString(*srec), dir.File("readout.mhx"));
    QCOMPARE(seen.filters,
             QStringList({"S format files (*.mhx *.cnv *.ahx)", "all files (*.*)"}));

    pilot.Then(OnModal<QFileDialog>([](QFileDialog* fd) { fd->reject(); }));
    QVERIFY(!chooser.ChooseCopyFile(false, "").has_value());
}

QTEST_MAIN(WriterDlgTest)
#include "writer_dlg_test.moc"
