#include "gui/qt/custom_prop_sound.hpp"

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
#include "gui/qt/dialog_layout.hpp"

namespace quillon::gui {

namespace {

const QString kNone = kNoWave;

}  // namespace

CCustomPropSound::CCustomPropSound(std::string programDir, const SoundSettings& settings,
                                   Language language, SoundPlayer& sound, QWidget* parent)
    : CustomPropPage(parent),
      programDir_(std::move(programDir)),
      language_(language),
      player_(sound),
      model_(settings) {
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

void CCustomPropSound::OnInitPage() { Show(model_.Init()); }

SoundPage::Shown CCustomPropSound::FromControls() const {
    SoundPage::Shown shown;
    shown.soundOn = enable_->isChecked();
    shown.type = typeGroup_->checkedId();
    shown.wave = waveBox_->currentText().toStdString();
    shown.event = eventList_->currentIndex();
    return shown;
}

void CCustomPropSound::Show(const SoundPage::Shown& shown) {
    UpdateEnabling();
    exchanging_ = true;
    enable_->setChecked(shown.soundOn);
    if (shown.type == 0 || shown.type == 1) {
        typeGroup_->button(shown.type)->setChecked(true);
    } else {
        typeGroup_->setExclusive(false);
        wave_->setChecked(false);
        beep_->setChecked(false);
        typeGroup_->setExclusive(true);
    }
    waveBox_->setEditText(QString::fromStdString(shown.wave));
    eventList_->setCurrentIndex(shown.event);
    exchanging_ = false;
}

void CCustomPropSound::UpdateEnabling() {
    const SoundPage::Enabling on = model_.Enabled();
    for (QWidget* w : {static_cast<QWidget*>(eventLabel_), static_cast<QWidget*>(typeFrame_),
                       static_cast<QWidget*>(wave_), static_cast<QWidget*>(beep_),
                       static_cast<QWidget*>(eventList_)}) {
        w->setEnabled(on.events);
    }
    for (QWidget* w : {static_cast<QWidget*>(waveLabel_), static_cast<QWidget*>(waveBox_),
                       static_cast<QWidget*>(open_), static_cast<QWidget*>(play_),
                       static_cast<QWidget*>(stop_)}) {
        w->setEnabled(on.wave);
    }
}

void CCustomPropSound::OnEnableClicked() {
    model_.EnableClicked(FromControls());
    UpdateEnabling();
    emit Modified();
}

void CCustomPropSound::OnEventChanged() { Show(model_.EventChanged(FromControls())); }

void CCustomPropSound::OnTypeClicked() {
    model_.TypeClicked(FromControls());
    UpdateEnabling();
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
    Show(model_.Opened(FromControls(), chosen.toStdString()));
    emit Modified();
}

void CCustomPropSound::OnWaveFocusIn() { model_.WaveFocusIn(eventList_->currentIndex()); }

void CCustomPropSound::OnWavePicked() {
    model_.WavePicked(FromControls());
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
    const SoundPage::WaveCheck check = model_.WaveLeft(FromControls());
    if (check.refused) {
        QMessageBox::warning(this, "falsh",
                             QString::fromStdString(CatalogText(language_, kMsgWaveFileMistake)));
        exchanging_ = true;
        waveBox_->setEditText(QString::fromStdString(check.restore));
        exchanging_ = false;
        return;
    }
    if (check.modified) emit Modified();
}

void CCustomPropSound::OnPlay() {
    player_.Stop();
    player_.PlayFile(waveBox_->currentText().toStdString());
}

void CCustomPropSound::OnStop() { player_.Stop(); }

void CCustomPropSound::Save() { Show(model_.Save(programDir_)); }

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
