// The program as a whole: its command line, and batch mode run as a process.

#include <QProcess>
#include <QtTest>

#include "gui/gui_test_support.hpp"
#include "gui/writer_app.hpp"

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
    void OptionsAreTakenOutBeforeTheBatchArguments();
    void PortOptionTakesANumberOrAPath();
    void OptionWithoutItsValueIsRefused();
    void BatchWithoutTheHexFileRecordsNGAndEnds();
};

void WriterAppTest::OptionsAreTakenOutBeforeTheBatchArguments() {
    Request o;
    QString error;
    QVERIFY(ParseCommandLine({"--program-dir", "/opt/q/", "fw.mhx", "--port=/dev/ttyUSB1", "COM2",
                              "no_reset"},
                             o, error));
    QCOMPARE(o.programDir, std::string("/opt/q/"));
    QCOMPARE(o.portPath, std::string("/dev/ttyUSB1"));
    QVERIFY(!o.comPortIndex);
    // The words between the options are the batch form.
    QVERIFY(o.batch);
    QCOMPARE(o.batchHexFile, std::string("fw.mhx"));
    QCOMPARE(o.batchComPortIndex, std::optional<int>(1));
    QVERIFY(!o.askForReset);
    Request none;
    QVERIFY(ParseCommandLine({}, none, error));
    QVERIFY(!none.batch);  // no arguments: not batch mode
    QVERIFY(none.askForReset);
}

void WriterAppTest::PortOptionTakesANumberOrAPath() {
    Request o;
    QString error;
    QVERIFY(ParseCommandLine({"--port", "com12"}, o, error));
    QCOMPARE(o.comPortIndex, std::optional<int>(11));
    QVERIFY(o.portPath.empty());
    Request p;
    QVERIFY(ParseCommandLine({"--port", "/dev/pts/4"}, p, error));
    QVERIFY(!p.comPortIndex);
    QCOMPARE(p.portPath, std::string("/dev/pts/4"));
    // There is no port 0: refused, as quillon-cli refuses it.
    Request q;
    QVERIFY(!ParseCommandLine({"--port", "COM0"}, q, error));
    QVERIFY2(error.contains("--port") && error.contains("COM0"), qPrintable(error));
    QVERIFY(q.portPath.empty());
    QVERIFY(!q.comPortIndex);
}

void WriterAppTest::OptionWithoutItsValueIsRefused() {
    Request o;
    QString error;
    QVERIFY(!ParseCommandLine({"fw.mhx", "--program-dir"}, o, error));
    QVERIFY(error.contains("--program-dir"));
}

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
