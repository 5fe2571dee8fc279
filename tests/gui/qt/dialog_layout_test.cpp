// The dialog layout files: what a line holds, that a faulty line stops the
// reading and is named, and that every compiled-in layout is sound.

#include "gui/qt/dialog_layout.hpp"

#include <QDirIterator>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "gui/qt/resources.hpp"

using namespace quillon::gui;

class DialogLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void ALineHoldsOneControl();
    void CommentsAndBlankLinesAreIgnored();
    void FaultyLineIsNamed_data();
    void FaultyLineIsNamed();
    void ControlsAreMadeInOrderAtTheirPlace();
    void EveryCompiledInLayoutIsSound();
    void MissingLayoutIsReported();
};

void DialogLayoutTest::ALineHoldsOneControl() {
    const DialogLayout layout = ParseDialogLayout(
        "button, 1036, button1036, 11, 145, 61, 14, \"&Program && Verify\", noautodefault default\n"
        "label, -1, -, 3, 3, 77, 12, \"say \"\"hi\"\", world\"\n",
        "t.dlg");
    QVERIFY2(layout.error.isEmpty(), qPrintable(layout.error));
    QCOMPARE(layout.controls.size(), std::size_t{2});
    const LayoutControl& b = layout.controls[0];
    QCOMPARE(b.kind, QString("button"));
    QCOMPARE(b.id, 1036);
    QCOMPARE(b.name, QString("button1036"));
    QCOMPARE(QList<int>({b.x, b.y, b.width, b.height}), QList<int>({11, 145, 61, 14}));
    QCOMPARE(b.caption, QString("&Program && Verify"));
    QCOMPARE(b.flags, QStringList({"noautodefault", "default"}));
    QCOMPARE(b.line, 1);
    const LayoutControl& l = layout.controls[1];
    QCOMPARE(l.id, -1);
    QVERIFY(l.name.isEmpty());
    QCOMPARE(l.caption, QString("say \"hi\", world"));
    QVERIFY(l.flags.isEmpty());
}

void DialogLayoutTest::CommentsAndBlankLinesAreIgnored() {
    const DialogLayout layout = ParseDialogLayout(
        "# a comment, with commas\n\n   \ncheck, 1085, check1085, 1, 2, 3, 4, \"Main Flash\"\r\n",
        "t.dlg");
    QVERIFY2(layout.error.isEmpty(), qPrintable(layout.error));
    QCOMPARE(layout.controls.size(), std::size_t{1});
    QCOMPARE(layout.controls[0].line, 4);
    QCOMPARE(layout.controls[0].caption, QString("Main Flash"));
}

void DialogLayoutTest::FaultyLineIsNamed_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("problem");
    QTest::newRow("too few fields") << "button, 1, button1, 1, 2, 3, \"OK\""
                                    << "7 fields";
    QTest::newRow("too many fields") << "button, 1, button1, 1, 2, 3, 4, \"OK\", default, more"
                                     << "10 fields";
    QTest::newRow("unknown kind") << "slider, 1, s, 1, 2, 3, 4, \"\""
                                  << "unknown kind \"slider\"";
    QTest::newRow("id not a number") << "button, one, b, 1, 2, 3, 4, \"\""
                                     << "id \"one\"";
    QTest::newRow("negative width") << "button, 1, b, 1, 2, -3, 4, \"\""
                                    << "width \"-3\"";
    QTest::newRow("x not a number") << "button, 1, b, 1x, 2, 3, 4, \"\""
                                    << "x \"1x\"";
    QTest::newRow("caption unquoted") << "button, 1, b, 1, 2, 3, 4, OK"
                                      << "caption OK";
    QTest::newRow("quote left open") << "button, 1, b, 1, 2, 3, 4, \"OK"
                                     << "quote is not closed";
    QTest::newRow("lone quote inside") << "button, 1, b, 1, 2, 3, 4, \"a\"b\"c\""
                                       << "caption";
    QTest::newRow("unknown flag") << "button, 1, b, 1, 2, 3, 4, \"OK\", defualt"
                                  << "unknown flag \"defualt\"";
    QTest::newRow("bad maxlength") << "edit, 1, e, 1, 2, 3, 4, \"\", maxlength=x"
                                   << "unknown flag \"maxlength=x\"";
    QTest::newRow("empty name") << "button, 1, , 1, 2, 3, 4, \"OK\""
                                << "name is empty";
}

void DialogLayoutTest::FaultyLineIsNamed() {
    QFETCH(QString, line);
    QFETCH(QString, problem);
    // The faulty line comes after a sound one; nothing of the file is kept.
    const DialogLayout layout =
        ParseDialogLayout("# head\nlabel, -1, -, 1, 2, 3, 4, \"fine\"\n" + line + "\n", "x.dlg");
    QVERIFY(layout.controls.empty());
    QVERIFY2(layout.error.startsWith("x.dlg line 3: "), qPrintable(layout.error));
    QVERIFY2(layout.error.contains(problem), qPrintable(layout.error));
}

void DialogLayoutTest::ControlsAreMadeInOrderAtTheirPlace() {
    QWidget parent;
    DialogUnits du;
    du.baseX = 8;
    du.baseY = 16;
    const DialogLayout layout = ParseDialogLayout(
        "label, -1, -, 0, 0, 40, 8, \"&Name\", plain buddy=edit7\n"
        "edit, 7, edit7, 40, 0, 20, 8, \"FF\", center readonly maxlength=2\n"
        "group, 9, -, 0, 10, 60, 20, \"Box\", lower\n"
        "button, 8, button8, 4, 12, 16, 8, \"Go\", noautodefault default\n",
        "t.dlg");
    QVERIFY2(layout.error.isEmpty(), qPrintable(layout.error));
    const DialogControls made = CreateControls(layout, &parent, du);
    QCOMPARE(made.byId.size(), std::size_t{3});
    QCOMPARE(made.byId[0].first, 7);
    QCOMPARE(made.byId[1].first, 9);
    QCOMPARE(made.byId[2].first, 8);
    auto* edit = made.Get<QLineEdit>("edit7");
    QCOMPARE(edit->geometry(), QRect(80, 0, 40, 16));
    QCOMPARE(edit->text(), QString("FF"));
    QVERIFY(edit->isReadOnly());
    QCOMPARE(edit->maxLength(), 2);
    QCOMPARE(edit->alignment(), Qt::AlignCenter);
    auto* button = made.Get<QPushButton>("button8");
    QVERIFY(!button->autoDefault());
    QVERIFY(button->isDefault());
    QVERIFY(qobject_cast<QGroupBox*>(made.byId[1].second));
    const QList<QLabel*> labels = parent.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels[0]->buddy(), edit);
    QCOMPARE(labels[0]->textFormat(), Qt::PlainText);
    // The group is lowered under the controls made before it.
    QCOMPARE(parent.children().first(), made.byId[1].second);
}

void DialogLayoutTest::EveryCompiledInLayoutIsSound() {
    RegisterResources();
    int count = 0;
    QDirIterator it(":/quillon/dialogs", {"*.dlg"});
    while (it.hasNext()) {
        const QString name = QFileInfo(it.next()).completeBaseName();
        const DialogLayout layout = LoadDialogLayout(name);
        QVERIFY2(layout.error.isEmpty(), qPrintable(layout.error));
        QVERIFY2(!layout.controls.empty(), qPrintable(name));
        ++count;
    }
    QCOMPARE(count, 9);
}

void DialogLayoutTest::MissingLayoutIsReported() {
    const DialogLayout layout = LoadDialogLayout("no_such_dialog");
    QVERIFY(layout.controls.empty());
    QVERIFY2(layout.error.contains("no_such_dialog.dlg: cannot be read"), qPrintable(layout.error));
}

QTEST_MAIN(DialogLayoutTest)
#include "dialog_layout_test.moc"
