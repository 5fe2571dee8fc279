// Full Operation against the virtual target over a pseudo-terminal: from the
// main dialog's button, and from the command line in batch mode.

#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <grp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "gui_test_support.hpp"
#include "gui/qt/progress_dlg.hpp"
#include "gui/qt/writer_dlg.hpp"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::gui::testing;

namespace {

constexpr const char* kChip = "TC350";  // main flash in sectors, a work flash

// quillon-sim as a child process; the first line it prints is its device.
class Simulator {
public:
    explicit Simulator(const QStringList& args) {
        process_.setProgram(QString(QUILLON_BIN_DIR) + "/quillon-sim");
        process_.setArguments(args);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
#ifdef Q_OS_LINUX
        // A suite that aborts (a time-out) runs no destructor; the target
        // then goes with it instead of lingering.
        process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
        process_.start();
        if (!process_.waitForStarted(10000)) return;
        QElapsedTimer waited;
        waited.start();
        while (!process_.canReadLine() && waited.elapsed() < 10000) process_.waitForReadyRead(200);
        path_ = QString::fromUtf8(process_.readLine()).trimmed();
    }
    ~Simulator() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    const QString& Path() const { return path_; }
    QString Errors() { return QString::fromUtf8(process_.readAllStandardError()); }

private:
    QProcess process_;
    QString path_;
};

void CopyExamples(const ProgramDir& dir) {
    const QDir examples(QString(QUILLON_SOURCE_DIR) + "/examples");
    QDirIterator it(examples.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = dir.File(examples.relativeFilePath(from));
        QDir().mkpath(QFileInfo(to).path());
        QFile::copy(from, to);
    }
}

// One S1 record of `data` at `address`, with its sum.
QByteArray S1(quint16 address, const QByteArray& data) {
    QByteArray body;
    body.append(char(data.size() + 3));
    body.append(char(address >> 8));
    body.append(char(address & 0xFF));
    body.append(data);
    quint8 sum = 0;
    for (char c : body) sum += quint8(c);
    body.append(char(~sum));
    return "S1" + body.toHex().toUpper() + "\r\n";
}

// 64 bytes of a counting pattern at the start of the main flash.
QByteArray Firmware() {
    QByteArray file = "S00600004844521B\r\n";
    for (int block = 0; block < 4; ++block) {
        QByteArray data;
        for (int i = 0; i < 16; ++i) data.append(char(block * 16 + i));
        file += S1(quint16(block * 16), data);
    }
    return file + "S9030000FC\r\n";
}

// The main dialog on kChip, talking to `sim`, with the firmware chosen.
std::unique_ptr<CWriterDlg> StartOn(const ProgramDir& dir, const Simulator& sim) {
    Request request;
    request.programDir = dir.PathStd();
    request.portPath = sim.Path().toStdString();
    auto dlg = std::make_unique<CWriterDlg>(request);
    if (dlg->OnInitDialog() != CWriterDlg::InitResult::Ready) return nullptr;
    dlg->show();
    auto* target = qobject_cast<QComboBox*>(dlg->Control(kIdTargetList));
    const int chip = target->findText(kChip);
    if (chip < 0) return nullptr;
    target->setCurrentIndex(chip);
    OperationContext& ctx = dlg->Context();
    ctx.hexFilePath = dir.File("firmware.mhx").toStdString();
    ctx.hexFileName = "firmware.mhx";
    dlg->ExchangeToControls();
    return dlg;
}

void CheckDownloadedState(CWriterDlg& dlg) {
    QCOMPARE(dlg.Context().downloaded, 1);
    for (int id : {kIdDownload, kIdErase, kIdBlankCheck, kIdProgramVerify, kIdReadCompare, kIdCopy,
                   kIdFullOperation, kIdCheckSum, kIdOpen, kIdSetEnvironment}) {
        QVERIFY2(dlg.Control(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    for (int id : {kIdMainFlash, kIdMainAreaText, kIdWorkFlash, kIdWorkAreaText}) {
        QVERIFY2(!dlg.Control(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    // The command has ended.
    QVERIFY(!dlg.Context().progress);
    QVERIFY(dlg.isEnabled());
    QVERIFY(!dlg.Context().link.IsOpen());
}

}  // namespace

class FullOperationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void DownloadFromTheDialogOffersEveryCommand();
    void FullOperationFromTheDialogLeavesItDownloaded();
    void BatchModeWritesOK();
    void BatchModeInAReadOnlyFolderStillTellsItsOutcome();
};

void FullOperationTest::initTestCase() {
    if (!QFileInfo::exists(QString(QUILLON_BIN_DIR) + "/quillon-sim")) {
        QFAIL("quillon-sim is not built");
    }
}

void FullOperationTest::DownloadFromTheDialogOffersEveryCommand() {
    ProgramDir dir;
    CopyExamples(dir);
    dir.Write("firmware.mhx", Firmware());
    Simulator sim({"--program-dir", dir.Path(), "--chip", kChip});
    QVERIFY2(!sim.Path().isEmpty(), qPrintable(sim.Errors()));
    auto dlg = StartOn(dir, sim);
    QVERIFY(dlg);
    // Before: only Download and Full Operation of the commands.
    QVERIFY(!dlg->Control(kIdBlankCheck)->isEnabled());
    QVERIFY(dlg->Control(kIdMainFlash)->isEnabled());

    QList<SeenBox> boxes;
    QStringList results;
    Autopilot pilot;
    pilot.Then(AnswerBox(QMessageBox::Ok, &boxes)).Then(PressProgressButton(&results));
    qobject_cast<QPushButton*>(dlg->Control(kIdDownload))->click();
    QVERIFY2(pilot.Done() && pilot.unexpected == 0,
             qPrintable(QString::fromUtf8(dir.Read("MESSFILE.TXT"))));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(results, QStringList({"It transferred a control program to the microcomputer"}));
    CheckDownloadedState(*dlg);
}

void FullOperationTest::FullOperationFromTheDialogLeavesItDownloaded() {
    ProgramDir dir;
    CopyExamples(dir);
    dir.Write("firmware.mhx", Firmware());
    Simulator sim({"--program-dir", dir.Path(), "--chip", kChip, "--flash", dir.File("flash.bin")});
    QVERIFY2(!sim.Path().isEmpty(), qPrintable(sim.Errors()));

    auto started = StartOn(dir, sim);
    QVERIFY(started);
    CWriterDlg& dlg = *started;

    QList<SeenBox> boxes;
    QStringList results;
    bool disabledMeanwhile = false;
    Autopilot pilot;
    pilot.Then(AnswerBox(QMessageBox::Ok, &boxes))  // reset the board
        .Then([&] {
            disabledMeanwhile = !dlg.isEnabled();
            return PressProgressButton(&results)();
        });
    qobject_cast<QPushButton*>(dlg.Control(kIdFullOperation))->click();

    QVERIFY2(pilot.Done(), qPrintable(QString::fromUtf8(dir.Read("MESSFILE.TXT"))));
    QVERIFY2(pilot.unexpected == 0, qPrintable(QString::fromUtf8(dir.Read("MESSFILE.TXT"))));
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.startsWith("Please reset the microcontroller"), qPrintable(boxes[0].text));
    QVERIFY(disabledMeanwhile);
    QCOMPARE(results, QStringList({"It ended normally completely"}));
    QCOMPARE(dir.Read("MESSFILE.TXT"), QByteArray("OK"));

    // Downloaded: every command offered, the areas locked.
    CheckDownloadedState(dlg);
    // The flash holds the image once the target has saved it (when the line
    // goes quiet).
    QByteArray expected;
    for (int i = 0; i < 64; ++i) expected.append(char(i));
    QTRY_VERIFY_WITH_TIMEOUT(dir.Read("flash.bin").left(64) == expected, 20000);
    QCOMPARE(quint8(dir.Read("flash.bin").at(64)), quint8(0xFF));
}

namespace {

// A program folder for batch mode on kChip: the examples, the firmware and
// the chip saved as the last one chosen.
bool PrepareBatchFolder(const ProgramDir& dir) {
    CopyExamples(dir);
    dir.Write("firmware.mhx", Firmware());
    Request request;
    request.programDir = dir.PathStd();
    CWriterDlg probe(request);
    if (probe.OnInitDialog() != CWriterDlg::InitResult::Ready) return false;
    const int chip = qobject_cast<QComboBox*>(probe.Control(kIdTargetList))->findText(kChip);
    if (chip < 0) return false;
    dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=" + QByteArray::number(chip) + "\r\nRATE=0\r\n");
    return true;
}

struct BatchRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// quillon in batch mode on the firmware, offscreen. With `unprivileged` a
// process started by root runs as nobody, for whom a folder without write
// permission is really read-only. With `trace`, QUILLON_TRACE names it.
BatchRun RunQuillonBatch(const ProgramDir& dir, const QString& port, bool unprivileged = false,
                         const QString& trace = {}) {
    QProcess quillon;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUILLON_LANG", "en");
    env.insert("XDG_RUNTIME_DIR", QDir::tempPath());
    if (trace.isEmpty()) {
        env.remove("QUILLON_TRACE");
    } else {
        env.insert("QUILLON_TRACE", trace);
    }
    quillon.setProcessEnvironment(env);
#ifdef Q_OS_LINUX
    if (unprivileged && geteuid() == 0) {
        quillon.setChildProcessModifier([] {
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
        });
    }
#endif
    quillon.start(QString(QUILLON_BIN_DIR) + "/quillon",
                  {dir.File("firmware.mhx"), "no_reset", "--program-dir", dir.Path(), "--port", port});
    BatchRun run;
    if (!quillon.waitForStarted() || !quillon.waitForFinished(120000)) {
        quillon.kill();
        quillon.waitForFinished();
        return run;
    }
    run.exitCode = quillon.exitStatus() == QProcess::NormalExit ? quillon.exitCode() : -1;
    run.out = QString::fromUtf8(quillon.readAllStandardOutput());
    run.err = QString::fromUtf8(quillon.readAllStandardError());
    return run;
}

}  // namespace

void FullOperationTest::BatchModeWritesOK() {
    ProgramDir dir;
    QVERIFY(PrepareBatchFolder(dir));
    Simulator sim({"--program-dir", dir.Path(), "--chip", kChip, "--flash", dir.File("flash.bin")});
    QVERIFY2(!sim.Path().isEmpty(), qPrintable(sim.Errors()));
    const BatchRun run = RunQuillonBatch(dir, sim.Path(), false, dir.File("wire.trace"));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString("OK\n"));
    QCOMPARE(dir.Read("MESSFILE.TXT"), QByteArray("OK"));
    // QUILLON_TRACE: the run's bytes and steps, from the port's opening to its closing.
    const QByteArray trace = dir.Read("wire.trace");
    QVERIFY2(trace.contains("# opened " + sim.Path().toUtf8() + " at "), trace.left(400).constData());
    QVERIFY2(trace.contains("# step program 0x000000\n"), trace.left(400).constData());
    QVERIFY(trace.contains(" TX 18\n"));
    QVERIFY(trace.endsWith("# closed\n"));
}

void FullOperationTest::BatchModeInAReadOnlyFolderStillTellsItsOutcome() {
#ifndef Q_OS_LINUX
    QSKIP("needs POSIX permissions");
#else
    ProgramDir dir;
    QVERIFY(PrepareBatchFolder(dir));
    dir.Write("MESSFILE.TXT", "OK");  // an old outcome that cannot be removed
    Simulator sim({"--program-dir", dir.Path(), "--chip", kChip, "--flash", dir.File("flash.bin")});
    QVERIFY2(!sim.Path().isEmpty(), qPrintable(sim.Errors()));
    QVERIFY(chmod(sim.Path().toLocal8Bit().constData(), 0666) == 0);
    QVERIFY(chmod(dir.Path().toLocal8Bit().constData(), 0555) == 0);

    // A Full Operation that succeeds but cannot say so in MESSFILE.TXT.
    BatchRun run = RunQuillonBatch(dir, sim.Path(), true);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QString("OK\n"));
    QVERIFY2(run.err.contains("could not be written to " + dir.File("MESSFILE.TXT")),
             qPrintable(run.err));

    // One that fails: the stale "OK" must not pass for its outcome.
    run = RunQuillonBatch(dir, dir.File("no-such-port"), true);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.startsWith("NG\n"), qPrintable(run.out));
    QVERIFY2(run.out.contains("No.006"), qPrintable(run.out));
    QVERIFY2(run.err.contains("could not be written"), qPrintable(run.err));
    QCOMPARE(dir.Read("MESSFILE.TXT"), QByteArray("OK"));
    QVERIFY(chmod(dir.Path().toLocal8Bit().constData(), 0700) == 0);
#endif
}

QTEST_MAIN(FullOperationTest)
#include "full_operation_test.moc"
