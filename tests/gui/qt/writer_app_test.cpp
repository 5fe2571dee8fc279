// The Qt program as a whole: batch mode run as a process.

#include <QProcess>
#include <QtTest>

#include "gui_test_support.hpp"
#include "gui/qt/writer_app.hpp"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::gui::testing;

namespace {

QString ProgramPath() { return QString(QUILLON_BIN_DIR) + "/quillon"; }

// Runs quillon offscreen; false when it did not end within a minute.
bool RunQuillon(const QStringList& arguments, int& exitCode) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUILLON_LANG", "en");
    env.remove("QUILLON_HOME");
    p.setProcessEnvironment(env);
    p.start(ProgramPath(), arguments);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return true;
}

}  // namespace

class WriterAppTest : public QObject {
    Q_OBJECT
private slots:
    void BatchWithoutTheHexFileRecordsNGAndEnds();
};

void WriterAppTest::BatchWithoutTheHexFileRecordsNGAndEnds() {
    ProgramDir dir;
    dir.Write("CHIPDEF.INI", ChipSection("TC301"));
    dir.Write("MESSFILE.TXT", "OK");  // a stale outcome must not survive
    int exitCode = -1;
    QVERIFY(RunQuillon({dir.File("missing.mhx"), "com2", "--program-dir", dir.Path()}, exitCode));
    QCOMPARE(exitCode, 1);
    const QByteArray result = dir.Read("MESSFILE.TXT");
    QVERIFY2(result.startsWith("NG\r\n"), result.constData());
    QVERIFY2(result.contains("No.101"), result.constData());
    // Batch mode leaves the saved selections alone.
    QVERIFY(!dir.Exists("DATAFILE.TXT"));
}

QTEST_MAIN(WriterAppTest)
#include "writer_app_test.moc"
