#include "gui/qt/screenshot.hpp"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolTip>

#include "gui/qt/about_dlg.hpp"
#include "gui/qt/check_sum_dlg.hpp"
#include "gui/qt/custom_prop_main.hpp"
#include "gui/qt/progress_dlg.hpp"
#include "gui/qt/qt_sound.hpp"
#include "gui/qt/writer_dlg.hpp"
#include "app/checksum_field.hpp"

namespace quillon::gui {

namespace {

QString Requested() { return qEnvironmentVariable("QUILLON_SCREENSHOT"); }
QString OutputFile() { return qEnvironmentVariable("QUILLON_SCREENSHOT_OUT"); }

// The serial devices of a fake tree (QUILLON_SCREENSHOT_PORTS names a folder
// with sys/ and dev/), shown as if the tree were the system's own, so that
// the COM page can be pictured with an adapter the machine lacks. Without
// the variable the page lists the system's devices.
SerialPortLister ScreenshotPorts() {
    const QString root = qEnvironmentVariable("QUILLON_SCREENSHOT_PORTS");
    if (root.isEmpty()) return {};
    const std::string base = QDir::cleanPath(root).toStdString();
    return [base] {
        std::vector<SerialPortInfo> ports = ListSerialPorts({base + "/sys", base + "/dev"});
        for (SerialPortInfo& port : ports) {
            for (std::string* path : {&port.device, &port.byIdPath}) {
                if (path->starts_with(base + "/dev/")) path->erase(0, base.size());
            }
        }
        return ports;
    };
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

// The window's client area under a plain title bar, since a grab holds only
// what the window paints itself and Xvfb runs no window manager.
QPixmap WithTitleBar(QWidget* window, const QPixmap& body) {
    const int bar = window->fontMetrics().height() + 10;
    QPixmap framed(body.width() + 2, body.height() + bar + 1);
    framed.fill(QColor(0x3c, 0x4a, 0x5a));
    QPainter p(&framed);
    const QPixmap icon = window->windowIcon().pixmap(bar - 8, bar - 8);
    int textLeft = 8;
    if (!icon.isNull()) {
        p.drawPixmap(6, 4, icon);
        textLeft = 10 + icon.width();
    }
    p.setPen(Qt::white);
    p.setFont(window->font());
    p.drawText(QRect(textLeft, 0, framed.width() - textLeft, bar), Qt::AlignVCenter,
               window->windowTitle());
    p.drawPixmap(1, bar, body);
    return framed;
}

bool Save(QWidget* window) {
    window->show();
    window->raise();
    Settle();
    return WithTitleBar(window, window->grab()).save(OutputFile(), "PNG");
}

// The main dialog with the tip of one control showing, as hovering shows it.
bool SaveWithToolTip(CWriterDlg& dlg, QWidget* control) {
    dlg.show();
    Settle();
    QPixmap body = dlg.grab();
    const QPoint at = control->mapTo(&dlg, QPoint(control->width() / 3, control->height()));
    QToolTip::showText(control->mapToGlobal(QPoint(control->width() / 3, control->height())),
                       control->toolTip(), control);
    Settle();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || qstrcmp(w->metaObject()->className(), "QTipLabel") != 0) continue;
        QPainter p(&body);
        p.drawPixmap(at + QPoint(0, 4), w->grab());
    }
    QToolTip::hideText();
    return WithTitleBar(&dlg, body).save(OutputFile(), "PNG");
}

}  // namespace

void ArmLiveProgressGrab() {
    if (Requested() != "progress-live" || OutputFile().isEmpty()) return;
    auto* timer = new QTimer(qApp);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<CProgressDlg*>(w);
            if (!progress || !progress->isVisible()) continue;
            const QProgressBar* bar = progress->Bar();
            // Caught well into programming, when the title counts blocks.
            if (!progress->MessageLabel()->text().contains("Programming")) continue;
            if (bar->maximum() <= 0 || bar->value() * 10 < bar->maximum() * 4) continue;
            WithTitleBar(progress, progress->grab()).save(OutputFile(), "PNG");
            timer->stop();
            timer->deleteLater();
            return;
        }
    });
    timer->start();
}

bool ScreenshotRequested() {
    return !Requested().isEmpty() && Requested() != "progress-live" && !OutputFile().isEmpty();
}

bool TakeScreenshot(CWriterDlg& dlg) {
    const QString what = Requested();
    OperationContext& ctx = dlg.Context();
    if (what == "main") return Save(&dlg);
    if (what == "main-tip") {
        ctx.toolTipsEnabled = 1;
        return SaveWithToolTip(dlg, dlg.Control(kIdFullOperation));
    }
    if (what.startsWith("settings-")) {
        CustomSettings settings;
        settings.comPortIndex = ctx.comPortIndex;
        settings.sound = ctx.sound;
        settings.toolTipsEnabled = ctx.toolTipsEnabled;
        QtSound sound;
        CCustomPropMain sheet(ctx.programDir, settings, ctx.language, sound, &dlg,
                              ScreenshotPorts());
        const int page = what == "settings-sound" ? 1 : what == "settings-tool" ? 2 : 0;
        sheet.Tabs()->setCurrentIndex(page);
        return Save(&sheet);
    }
    if (what == "checksum") {
        CCheckSumDlg check([&ctx](const std::string& fill) { return ChecksumFieldText(ctx, fill); },
                           &dlg);
        check.OnCheckSum();
        return Save(&check);
    }
    if (what == "about") {
        CAboutDlg about(&dlg);
        return Save(&about);
    }
    return false;
}

}  // namespace quillon::gui
