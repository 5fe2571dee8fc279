#include "gui_test_support.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "gui/qt/progress_dlg.hpp"

namespace quillon::gui::testing {

ProgramDir::ProgramDir() { dir_.setAutoRemove(true); }

QString ProgramDir::Path() const { return dir_.path() + "/"; }

void ProgramDir::Write(const QString& name, const QByteArray& contents) const {
    QFile f(File(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(contents);
}

QByteArray ProgramDir::Read(const QString& name) const {
    QFile f(File(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool ProgramDir::Exists(const QString& name) const { return QFile::exists(File(name)); }

QByteArray ChipSection(const char* name, const char* extra) {
    return QByteArray("[") + name +
           "]\r\nDownloadFile=ctl.bin\r\nLoadAddress=4096\r\nStartAddress=80000,C0000\r\n"
           "EndAddress=BFFFF,FFFFF\r\nFlashSize=512K\r\nClock=10MHz,12.5MHz,16MHz\r\n"
           "Baud=9600,19200,38400\r\n" +
           extra;
}

QWidget* TopModal() { return QApplication::activeModalWidget(); }

Autopilot::Autopilot() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &Autopilot::Tick);
    timer_.start();
    idle_.start();
}

Autopilot::~Autopilot() { timer_.stop(); }

Autopilot& Autopilot::Then(std::function<bool()> step) {
    steps_.push_back(std::move(step));
    return *this;
}

void Autopilot::Tick() {
    if (!steps_.empty()) {
        if (steps_.front()()) {
            steps_.pop_front();
            idle_.restart();
        }
        return;
    }
    // Nothing left to do: a window that waits now would hang the suite.
    QStringList late;
    if (idle_.elapsed() > 200 && PressProgressButton(&late)()) {
        ++unexpected;
        qWarning("unexpected result: %s", qPrintable(late.join(' ')));
        idle_.restart();
        return;
    }
    if (QWidget* modal = TopModal(); modal && idle_.elapsed() > 200) {
        ++unexpected;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            qWarning("unexpected message box: %s", qPrintable(box->text()));
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        idle_.restart();
    }
}

std::function<bool()> AnswerBox(QMessageBox::StandardButton button, QList<SeenBox>* seen) {
    return [button, seen] {
        auto* box = qobject_cast<QMessageBox*>(TopModal());
        if (!box || !box->isVisible()) return false;
        if (seen) seen->append(SeenBox{box->windowTitle(), box->text(), box->icon()});
        QAbstractButton* b = box->button(button);
        if (!b) b = box->buttons().isEmpty() ? nullptr : box->buttons().first();
        if (b) {
            b->click();
        } else {
            box->reject();
        }
        return true;
    };
}

std::function<bool()> PressProgressButton(QStringList* messages) {
    return [messages] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* p = qobject_cast<CProgressDlg*>(w);
            // Only a result waits for "Ok"; a "Cancel" would end the operation.
            if (!p || !p->isVisible() || !p->Button()->isEnabled()) continue;
            if (p->Button()->text() != "Ok") continue;
            if (messages) messages->append(p->MessageLabel()->text());
            p->Button()->click();
            return true;
        }
        return false;
    };
}

}  // namespace quillon::gui::testing
