#include "gui/qt/qt_sound.hpp"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace quillon::gui {

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

void QtSound::Beep() { QApplication::beep(); }

void QtSound::PlayFile(std::string_view path) {
    const QString file = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    if (file.isEmpty() || file == "<none>" || !QFileInfo(file).isFile()) return;
    if (!effect_) effect_ = std::make_unique<QSoundEffect>();
    if (effect_->isPlaying()) return;  // a sound in progress is not cut off
    effect_->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    effect_->play();
}

void QtSound::Stop() {
    if (effect_) effect_->stop();
}

}  // namespace quillon::gui
