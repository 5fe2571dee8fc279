// The progress window: flags, heights, title, the remembered Cancel and the
// owner's input.

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "gui_test_support.hpp"
#include "gui/qt/progress_dlg.hpp"

using namespace quillon;
using namespace quillon::gui;

class ProgressDlgTest : public QObject {
    Q_OBJECT
private slots:
    void ButtonAndBarFollowTheFlags_data();
    void ButtonAndBarFollowTheFlags();
    void ThreeHeightsKeepWidthAndCorner();
    void TitleShowsPositionOfRange();
    void StepItCountsFromTheCurrentPosition();
    void CancelPressedBeforeThePollIsReportedOnce();
    void EscapeMarksCancelAndKeepsTheWindow();
    void WithoutPollingCheckCancelNeitherPumpsNorReports();
    void OwnerDisabledWhileTheWindowExists();
    void AlreadyDisabledOwnerStaysDisabled();
    void DoubledAmpersandShowsAsOne();
    void IconsForTheSeverities();
};

void ProgressDlgTest::ButtonAndBarFollowTheFlags_data() {
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("buttonEnabled");
    QTest::addColumn<bool>("barEnabled");
    QTest::newRow("13 Ok enabled bar") << 13 << "Ok" << true << true;
    QTest::newRow("-1 means 13") << -1 << "Ok" << true << true;
    QTest::newRow("14 Cancel enabled bar") << 14 << "Cancel" << true << true;
    QTest::newRow("8 bar only") << 8 << "" << false << true;
    QTest::newRow("6 Cancel no bar") << 6 << "Cancel" << true << false;
    QTest::newRow("5 Ok no bar") << 5 << "Ok" << true << false;
    QTest::newRow("3 Ok wins over Cancel") << 3 << "Ok" << false << false;
    QTest::newRow("0 message only") << 0 << "" << false << false;
}

void ProgressDlgTest::ButtonAndBarFollowTheFlags() {
    QFETCH(int, flags);
    QFETCH(QString, text);
    QFETCH(bool, buttonEnabled);
    QFETCH(bool, barEnabled);
    CProgressDlg dlg(13, nullptr);
    QVERIFY(dlg.Create());
    dlg.SetButtons(flags, false, std::nullopt);
    QCOMPARE(dlg.Button()->text(), text);
    QCOMPARE(dlg.Button()->isEnabled(), buttonEnabled);
    QCOMPARE(dlg.Bar()->isEnabled(), barEnabled);
    QCOMPARE(dlg.CancelPolling(), buttonEnabled);
    QVERIFY(dlg.isVisible());
}

void ProgressDlgTest::ThreeHeightsKeepWidthAndCorner() {
    CProgressDlg dlg(13, nullptr);
    QVERIFY(dlg.Create());
    const int width = dlg.width();
    const int full = dlg.height();
    const QPoint corner = dlg.pos();

    dlg.SetButtons(0, false, std::nullopt);
    const int messageOnly = dlg.height();
    // Cut above the bar: the bar lies below the window's edge.
    QVERIFY(dlg.Bar()->geometry().top() >= messageOnly);
    QVERIFY(dlg.MessageLabel()->geometry().bottom() < messageOnly);

    dlg.SetButtons(8, false, std::nullopt);
    const int barOnly = dlg.height();
    QVERIFY(dlg.Bar()->geometry().bottom() < barOnly);
    QVERIFY(dlg.Button()->geometry().top() >= barOnly);

    dlg.SetButtons(14, false, std::nullopt);
    QCOMPARE(dlg.height(), full);
    QVERIFY(dlg.Button()->geometry().bottom() < full);
    QVERIFY(messageOnly < barOnly && barOnly < full);
    QCOMPARE(dlg.width(), width);
    QCOMPARE(dlg.pos(), corner);
    // Any flags other than 0 and 8 show everything.
    dlg.SetButtons(5, false, std::nullopt);
    QCOMPARE(dlg.height(), full);
}

void ProgressDlgTest::TitleShowsPositionOfRange() {
    CProgressDlg dlg(14, nullptr);
    QVERIFY(dlg.Create());
    dlg.SetButtons(14, true, "Full Operation");
    QCOMPARE(dlg.windowTitle(), QString("Full Operation"));
    dlg.Reset(0, 8, 1, 0);
    QCOMPARE(dlg.windowTitle(), QString("0 / 8"));
    QCOMPARE(dlg.SetPos(5), 0);
    QCOMPARE(dlg.windowTitle(), QString("5 / 8"));
    QCOMPARE(dlg.Bar()->value(), 5);
    QCOMPARE(dlg.SetPos(2), 5);  // the previous position
}

void ProgressDlgTest::StepItCountsFromTheCurrentPosition() {
    CProgressDlg dlg(14, nullptr);
    QVERIFY(dlg.Create());
    dlg.Reset(0, 8, 1, 0);
    QCOMPARE(dlg.StepIt(), 0);
    QCOMPARE(dlg.windowTitle(), QString("1 / 8"));
    QCOMPARE(dlg.StepIt(), 1);
    QCOMPARE(dlg.windowTitle(), QString("2 / 8"));
    QCOMPARE(dlg.Bar()->value(), 2);
}

void ProgressDlgTest::CancelPressedBeforeThePollIsReportedOnce() {
    CProgressDlg dlg(14, nullptr);
    QVERIFY(dlg.Create());
    QCOMPARE(dlg.CheckCancel(), 0);
    QTest::mouseClick(dlg.Button(), Qt::LeftButton);
    QVERIFY(dlg.isVisible());  // the button only marks the press
    QCOMPARE(dlg.CheckCancel(), 1);
    QCOMPARE(dlg.CheckCancel(), 0);
}

void ProgressDlgTest::EscapeMarksCancelAndKeepsTheWindow() {
    CProgressDlg dlg(13, nullptr);
    QVERIFY(dlg.Create());
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.CheckCancel(), 1);
    dlg.close();  // no close box: the command ends the window
    QVERIFY(dlg.isVisible());
}

void ProgressDlgTest::WithoutPollingCheckCancelNeitherPumpsNorReports() {
    CProgressDlg dlg(8, nullptr);
    QVERIFY(dlg.Create());
    // A press that somehow arrived (the button is disabled) is not seen.
    dlg.SetButtons(14, false, std::nullopt);
    dlg.Button()->click();
    dlg.SetButtons(8, false, std::nullopt);
    bool pumped = false;
    QTimer::singleShot(0, [&pumped] { pumped = true; });
    QCOMPARE(dlg.CheckCancel(), 0);
    QVERIFY(!pumped);
    // With polling on again the remembered press comes through.
    dlg.SetButtons(14, false, std::nullopt);
    QCOMPARE(dlg.CheckCancel(), 1);
    QVERIFY(pumped);
}

void ProgressDlgTest::OwnerDisabledWhileTheWindowExists() {
    QWidget owner;
    owner.show();
    {
        auto dlg = std::make_unique<CProgressDlg>(13, &owner);
        QVERIFY(dlg->Create());
        QVERIFY(!owner.isEnabled());
        QVERIFY(dlg->isEnabled());
        QVERIFY(dlg->Button()->isEnabled());
    }
    QVERIFY(owner.isEnabled());
    CProgressDlg second(8, &owner);
    QVERIFY(second.Create());
    QVERIFY(!owner.isEnabled());
    second.Destroy();
    QVERIFY(owner.isEnabled());
    QVERIFY(!second.isVisible());
}

void ProgressDlgTest::AlreadyDisabledOwnerStaysDisabled() {
    QWidget owner;
    owner.setEnabled(false);
    {
        CProgressDlg dlg(13, &owner);
        QVERIFY(dlg.Create());
    }
    QVERIFY(!owner.isEnabled());
}

void ProgressDlgTest::DoubledAmpersandShowsAsOne() {
    CProgressDlg dlg(13, nullptr);
    QVERIFY(dlg.Create());
    dlg.SetMessage("Full Operation -  Reading && Comparing");
    QCOMPARE(dlg.MessageLabel()->text(), QString("Full Operation -  Reading & Comparing"));
}

void ProgressDlgTest::IconsForTheSeverities() {
    CProgressDlg dlg(13, nullptr);
    QVERIFY(dlg.Create());
    QVERIFY(dlg.IconLabel()->pixmap().isNull());
    for (int icon : {kIconInformation, kIconExclamation, kIconError}) {
        dlg.SetIcon(icon);
        QVERIFY(!dlg.IconLabel()->pixmap().isNull());
    }
    dlg.SetIcon(kIconNone);
    QVERIFY(dlg.IconLabel()->pixmap().isNull());
}

QTEST_MAIN(ProgressDlgTest)
#include "progress_dlg_test.moc"
