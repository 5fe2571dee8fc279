// The dialog layouts made into Qt widgets: in order, at their place, sized
// as the system's dialog manager sizes them, and every compiled-in layout
// sound. (What a line holds: tests/gui/dialog_template_test.cpp.)

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
    void ControlsAreMadeInOrderAtTheirPlace();
    void ControlsAreSizedAsTheSystemSizesThem();
    void EveryCompiledInLayoutIsSound();
    void MissingLayoutIsReported();
};

void DialogLayoutTest::ControlsAreMadeInOrderAtTheirPlace() {
    QWidget parent;
    DialogUnits du;
    du.baseX = 8;
    du.baseY = 16;
    const DialogTemplate layout = ParseDialogTemplate(
        "label, -1, -, 0, 0, 40, 8, \"&Name\", plain buddy=edit7\n"
        "edit, 7, edit7, 40, 0, 20, 8, \"FF\", center readonly maxlength=2\n"
        "group, 9, -, 0, 10, 60, 20, \"Box\", lower\n"
        "button, 8, button8, 4, 12, 16, 8, \"Go\", noautodefault default\n",
        "t.dlg");
    QVERIFY2(layout.error.empty(), layout.error.c_str());
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

void DialogLayoutTest::ControlsAreSizedAsTheSystemSizesThem() {
    QWidget parent;
    DialogUnits du;  // 6 x 13 pixels a character
    // At 1 and 1 unit wide: 2 pixels from 1.5, though the far edge, 2
    // units, rounds to 3 - the size a real template gets.
    const DialogTemplate layout =
        ParseDialogTemplate("label, -1, one, 1, 1, 1, 1, \"\"\nlabel, -1, two, 2, 9, 61, 14, \"\"\n",
                            "t.dlg");
    const DialogControls made = CreateControls(layout, &parent, du);
    QCOMPARE(made.Named("one")->geometry(), QRect(2, 2, 2, 2));
    QCOMPARE(made.Named("two")->geometry(), QRect(3, 15, 92, 23));
}

void DialogLayoutTest::EveryCompiledInLayoutIsSound() {
    RegisterResources();
    int count = 0;
    QDirIterator it(":/quillon/dialogs", {"*.dlg"});
    while (it.hasNext()) {
        const QString name = QFileInfo(it.next()).completeBaseName();
        const DialogTemplate layout = LoadDialogLayout(name);
        QVERIFY2(layout.error.empty(), layout.error.c_str());
        QVERIFY2(!layout.controls.empty(), qPrintable(name));
        ++count;
    }
    QCOMPARE(count, 9);
}

void DialogLayoutTest::MissingLayoutIsReported() {
    const DialogTemplate layout = LoadDialogLayout("no_such_dialog");
    QVERIFY(layout.controls.empty());
    QVERIFY2(layout.error.find("no_such_dialog.dlg: cannot be read") != std::string::npos,
             layout.error.c_str());
}

QTEST_MAIN(DialogLayoutTest)
#include "dialog_layout_test.moc"
