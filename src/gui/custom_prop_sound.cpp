#include "gui/custom_prop_sound.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "config/catalog.hpp"
#include "app/sound_player.hpp"
#include "gui/dialog_layout.hpp"

namespace quillon::gui {

namespace {

const QString kNone = "<none>";

}  // namespace

bool IsUsableWaveName(const QString& text) {
    if (text.size() < 5) return false;
    if (text.right(4).toLower() != ".wav") return false;
    return text[text.size() - 5] != '\\' && text[text.size() - 5] != '/';
}

CCustomPropSound::CCustomPropSound(std::string programDir, const SoundSettings& settings,
                                   Language language, SoundPlayer& sound, QWidget* parent)
    : CustomPropPage(parent),
      programDir_(std::move(programDir)),
      language_(language),
      player_(sound),
      s_(settings) {
    setObjectName("CCustomPropSound");
    const DialogUnits du = DialogUnitsFor(font());

    const DialogControls made = CreateDialogControls("sound_page", this, du);
    enable_ = made.Get<QCheckBox>("check1004");
    eventLabel_ = made.Get<QLabel>("eventLabel");
    eventList_ = made.Get<QComboBox>("list1012");
    eventList_->addItems({"ERROR", "END"});
    typeFrame_ = made.Get<QGroupBox>("typeFrame");
    wave_ = made.Get<QRadioButton>("radio1013");
    beep_ = made.Get<QRadioButton>("radio1014");
    typeGroup_ = new QButtonGroup(this);
    typeGroup_->addButton(wave_, 0);
    typeGroup_->addButton(beep_, 1);
    waveLabel_ = made.Get<QLabel>("waveLabel");
    waveBox_ = made.Get<QComboBox>("combo1017");
    waveBox_->setInsertPolicy(QComboBox::NoInsert);
    waveBox_->addItem(kNone);
    waveBox_->lineEdit()->installEventFilter(this);
    waveBox_->installEventFilter(this);
    open_ = made.Get<QPushButton>("button1005");
    play_ = made.Get<QPushButton>("button1009");
    stop_ = made.Get<QPushButton>("button1010");

    connect(enable_, &QCheckBox::clicked, this, &CCustomPropSound::OnEnableClicked);
    connect(eventList_, &QComboBox::currentIndexChanged, this, [this] {
        if (!exchanging_) OnEventChanged();
    });
    connect(wave_, &QRadioButton::clicked, this, &CCustomPropSound::OnTypeClicked);
    connect(beep_, &QRadioButton::clicked, this, &CCustomPropSound::OnTypeClicked);
    connect(open_, &QPushButton::clicked, this, &CCustomPropSound::OnOpen);
    connect(play_, &QPushButton::clicked, this, &CCustomPropSound::OnPlay);
    connect(stop_, &QPushButton::clicked, this, &CCustomPropSound::OnStop);
    connect(waveBox_, &QComboBox::activated, this, [this] {
        if (!exchanging_) OnWavePicked();
    });
    setMinimumSize(du.Size(180, 155));
}

int& CCustomPropSound::TypeOf(int event) {
    return event == kEnd ? s_.endSoundType : s_.errorSoundType;
}
int& CCustomPropSound::EnabledOf(int event) {
    return event == kEnd ? s_.endSoundEnabled : s_.errorSoundEnabled;
}
std::string& CCustomPropSound::PathOf(int event) {
    return event == kEnd ? s_.endWavePath : s_.errorWavePath;
}

void CCustomPropSound::OnInitPage() {
    soundOn_ = s_.soundEnabled;
    shownEvent_ = kError;
    shownType_ = TypeOf(kError);
    shownWave_ = QString::fromStdString(PathOf(kError));
    UpdateEnabling();
    MoveToControls();
}

void CCustomPropSound::TakeFromControls() {
    soundOn_ = enable_->isChecked() ? 1 : 0;
    shownType_ = typeGroup_->checkedId();
    shownWave_ = waveBox_->currentText();
    shownEvent_ = eventList_->currentIndex();
}

void CCustomPropSound::MoveToControls() {
    exchanging_ = true;
    enable_->setChecked(soundOn_ != 0);
    if (shownType_ == 0 || shownType_ == 1) {
        typeGroup_->button(shownType_)->setChecked(true);
    } else {
        typeGroup_->setExclusive(false);
        wave_->setChecked(false);
        beep_->setChecked(false);
        typeGroup_->setExclusive(true);
    }
    waveBox_->setEditText(shownWave_);
    eventList_->setCurrentIndex(shownEvent_);
    exchanging_ = false;
}

void CCustomPropSound::UpdateEnabling() {
    const bool on = soundOn_ != 0;
    const bool waveOn = on && shownType_ == 0;
    for (QWidget* w : {static_cast<QWidget*>(eventLabel_), static_cast<QWidget*>(typeFrame_),
                       static_cast<QWidget*>(wave_), static_cast<QWidget*>(beep_),
                       static_cast<QWidget*>(eventList_)}) {
        w->setEnabled(on);
    }
    for (QWidget* w : {static_cast<QWidget*>(waveLabel_), static_cast<QWidget*>(waveBox_),
                       static_cast<QWidget*>(open_), static_cast<QWidget*>(play_),
                       static_cast<QWidget*>(stop_)}) {
        w->setEnabled(waveOn);
    }
}

void CCustomPropSound::OnEnableClicked() {
    TakeFromControls();
    UpdateEnabling();
    emit Modified();
}

void CCustomPropSound::OnEventChanged() {
    TakeFromControls();
    shownWave_ = QString::fromStdString(PathOf(shownEvent_));
    shownType_ = TypeOf(shownEvent_);
    UpdateEnabling();
    MoveToControls();
}

void CCustomPropSound::OnTypeClicked() {
    TakeFromControls();
    UpdateEnabling();
    TypeOf(shownEvent_) = shownType_;
    EnabledOf(shownEvent_) = (shownType_ == 1 || shownWave_ != kNone) ? 1 : 0;
    emit Modified();
}

void CCustomPropSound::OnOpen() {
    QFileDialog dialog(this, QString(), QString(), "Sound (*.wav)");
    dialog.setObjectName("openWaveFile");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("wav");
    dialog.selectFile("*.wav");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString chosen = dialog.selectedFiles().first();
    TakeFromControls();
    shownWave_ = chosen;
    PathOf(shownEvent_) = chosen.toStdString();
    EnabledOf(shownEvent_) = 1;
    MoveToControls();
    emit Modified();
}

void CCustomPropSound::OnWaveFocusIn() { focusEvent_ = eventList_->currentIndex(); }

void CCustomPropSound::OnWavePicked() {
    TakeFromControls();
    PathOf(shownEvent_) = shownWave_.toStdString();
    EnabledOf(shownEvent_) = shownWave_ != kNone ? 1 : 0;
    emit Modified();
}

void CCustomPropSound::OnWaveFocusOut() {
    // The message box below takes the focus itself; that is no second leave.
    if (checkingWave_) return;
    checkingWave_ = true;
    CheckTypedWave();
    checkingWave_ = false;
}

void CCustomPropSound::CheckTypedWave() {
    const QString before = shownWave_;
    TakeFromControls();
    if (shownWave_ != kNone && !IsUsableWaveName(shownWave_)) {
        QMessageBox::warning(this, "falsh",
                             QString::fromStdString(CatalogText(language_, kMsgWaveFileMistake)));
        shownWave_ = before;
        exchanging_ = true;
        waveBox_->setEditText(before);
        exchanging_ = false;
        return;
    }
    if (shownWave_ == before && PathOf(focusEvent_) == before.toStdString()) return;
    PathOf(focusEvent_) = shownWave_.toStdString();
    EnabledOf(focusEvent_) = shownWave_ != kNone ? 1 : 0;
    emit Modified();
}

void CCustomPropSound::OnPlay() {
    player_.Stop();
    player_.PlayFile(waveBox_->currentText().toStdString());
}

void CCustomPropSound::OnStop() { player_.Stop(); }

void CCustomPropSound::Save() {
    s_.soundEnabled = soundOn_;
    WriteSoundPageSettings(programDir_, s_);
    // The page keeps what it wrote (the short form, or "<none>").
    shownWave_ = QString::fromStdString(PathOf(shownEvent_));
    MoveToControls();
}

bool CCustomPropSound::eventFilter(QObject* watched, QEvent* event) {
    if (watched == waveBox_ || watched == waveBox_->lineEdit()) {
        if (event->type() == QEvent::FocusIn) {
            OnWaveFocusIn();
        } else if (event->type() == QEvent::FocusOut) {
            auto* fe = static_cast<QFocusEvent*>(event);
            // The box's own list taking the focus, or another window becoming
            // active, is not leaving the box.
            if (fe->reason() != Qt::PopupFocusReason &&
                fe->reason() != Qt::ActiveWindowFocusReason) {
                OnWaveFocusOut();
            }
        }
    }
    return CustomPropPage::eventFilter(watched, event);
}

}  // namespace quillon::gui
