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
    WriterOptions o;
    QString error;
    QVERIFY(ParseCommandLine({"--program-dir", "/opt/q/", "fw.mhx", "--port=/dev/ttyUSB1", "COM2",
                              "no_reset"},
                             o, error));
    QCOMPARE(o.programDir, std::string("/opt/q/"));
    QCOMPARE(o.portPath, std::string("/dev/ttyUSB1"));
    QCOMPARE(o.portIndex, -1);
    QCOMPARE(o.arguments, (std::vector<std::string>{"fw.mhx", "COM2", "no_reset"}));
    WriterOptions none;
    QVERIFY(ParseCommandLine({}, none, error));
    QVERIFY(none.arguments.empty());  // no arguments: not batch mode
}

void WriterAppTest::PortOptionTakesANumberOrAPath() {
    WriterOptions o;
    QString error;
    QVERIFY(ParseCommandLine({"--port", "com12"}, o, error));
    QCOMPARE(o.portIndex, 11);
    QVERIFY(o.portPath.empty());
    WriterOptions p;
    QVERIFY(ParseCommandLine({"--port", "/dev/pts/4"}, p, error));
    QCOMPARE(p.portIndex, -1);
    QCOMPARE(p.portPath, std::string("/dev/pts/4"));
    WriterOptions q;
    QVERIFY(ParseCommandLine({"--port", "COM0"}, q, error));  // no port 0: a device name
    QCOMPARE(q.portPath, std::string("COM0"));
}

void WriterAppTest::OptionWithoutItsValueIsRefused() {
    WriterOptions o;
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
