#include "gui/screenshot.hpp"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolTip>

#include "app/catalog.hpp"
#include "gui/about_dlg.hpp"
#include "gui/artwork.hpp"
#include "gui/check_sum_dlg.hpp"
#include "gui/custom_prop_main.hpp"
#include "gui/progress_dlg.hpp"
#include "gui/qt_sound.hpp"
#include "gui/writer_dlg.hpp"
#include "image/checksum.hpp"

namespace quillon::gui {

namespace {

QString Requested() { return qEnvironmentVariable("QUILLON_SCREENSHOT"); }
QString OutputFile() { return qEnvironmentVariable("QUILLON_SCREENSHOT_OUT"); }

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

bool ScreenshotRequested() { return !Requested().isEmpty() && !OutputFile().isEmpty(); }

bool TakeScreenshot(CWriterDlg& dlg) {
    const QString what = Requested();
    OperationContext& ctx = dlg.Context();
    if (what == "main") return Save(&dlg);
    if (what == "main-tip") {
        ctx.toolTipsEnabled = 1;
        return SaveWithToolTip(dlg, dlg.Control(kIdFullOperation));
    }
    if (what == "progress") {
        // The window as a Full Operation shows it while it programs.
        dlg.show();
        CProgressDlg progress(13, &dlg);
        progress.Create();
        progress.SetButtons(14, true, "Full Operation");
        progress.SetMessage(StepText(ctx.language, kMsgProgramming, true));
        progress.Reset(0, 96, 1, 0);
        progress.SetPos(41);
        const bool ok = Save(&progress);
        progress.Destroy();
        return ok;
    }
    if (what.startsWith("settings-")) {
        CustomSettings settings;
        settings.comPortIndex = ctx.comPortIndex;
        settings.sound = {ctx.soundEnabled, ctx.errorSoundEnabled, ctx.errorSoundType,
                          ctx.errorWavePath, ctx.endSoundEnabled, ctx.endSoundType,
                          ctx.endWavePath};
        settings.toolTipsEnabled = ctx.toolTipsEnabled;
        QtSound sound;
        CCustomPropMain sheet(ctx.programDir, settings, ctx.language, sound, &dlg);
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
