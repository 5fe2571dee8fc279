#include "gui/qt/custom_prop_com.hpp"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>

#include "gui/qt/dialog_layout.hpp"

namespace quillon::gui {

namespace {

constexpr int kFirstId = 1201;

// Device labels are information, not a choice: shown softer than the
// choices, and a mapped device that is not there in a warning colour.
const QColor kSoftText(0x55, 0x5f, 0x6b);
const QColor kWarningText(0xb0, 0x30, 0x20);

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CCustomPropCom::CCustomPropCom(std::string programDir, int comPortIndex, QWidget* parent,
                               SerialPortLister listPorts)
    : CustomPropPage(parent),
      model_(std::move(programDir), comPortIndex, ComPage::Devices::Mapped),
      listPorts_(std::move(listPorts)) {
    setObjectName("CCustomPropCom");
    const DialogUnits du = DialogUnitsFor(font());
    const DialogControls made = CreateDialogControls("com_page", this, du);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    for (int i = 0; i < kPorts; ++i) {
        auto* radio = made.Get<QRadioButton>(QString("radio%1").arg(kFirstId + i));
        group_->addButton(radio, i);
        if (i < ComPage::kPortsThatMarkChanged) {
            connect(radio, &QRadioButton::clicked, this, [this] { emit Modified(); });
        }
    }
    deviceBox_ = CreateDialogControls("com_devices", this, du).Get<QComboBox>("deviceBox");
    // A typed path is kept as typed: no completion to a listed entry, and
    // Enter does not add it to the list.
    deviceBox_->setCompleter(nullptr);
    deviceBox_->setInsertPolicy(QComboBox::NoInsert);
    connect(deviceBox_, &QComboBox::editTextChanged, this, &CCustomPropCom::OnDeviceEdited);
    // An entry is longer than the box: show where its path begins.
    connect(deviceBox_, &QComboBox::activated, this,
            [this] { deviceBox_->lineEdit()->setCursorPosition(0); });
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) LoadDeviceBox(id);
    });
    setMinimumSize(du.Size(298, 222));
    const DialogControls resetRow = CreateDialogControls("com_reset", this, du);
    resetEdit_ = resetRow.Get<QLineEdit>("resetEdit");
    // The form of a sequence, shown while there is none.
    resetEdit_->setPlaceholderText("DTR=0,RTS=1,WAIT=100,RTS=0");
    auto* hint = resetRow.Get<QLabel>("resetHint");
    QPalette palette = hint->palette();
    palette.setColor(QPalette::WindowText, kSoftText);
    hint->setPalette(palette);
    connect(resetEdit_, &QLineEdit::textEdited, this, [this] { emit Modified(); });
}

void CCustomPropCom::OnInitPage() {
    model_.Init(listPorts_ ? listPorts_() : ListSerialPorts());
    loading_ = true;
    for (const ComPage::Entry& entry : model_.Entries(0)) {
        deviceBox_->addItem(Q(entry.text), Q(entry.device));
    }
    // The list shows the entries whole, though the box is narrower.
    deviceBox_->view()->setMinimumWidth(deviceBox_->view()->sizeHintForColumn(0));
    loading_ = false;
    for (int i = 0; i < kPorts; ++i) ShowDevice(i);
    resetEdit_->setText(Q(model_.ResetText()));
    resetEdit_->setCursorPosition(0);
    const int selected = model_.Selected();
    if (selected >= 0 && selected < kPorts) group_->button(selected)->setChecked(true);
    LoadDeviceBox(SelectedIndex());
}

void CCustomPropCom::ShowDevice(int index) {
    QLabel* label = DeviceLabel(index);
    const ComPage::DeviceLine line = model_.Device(index);
    const QString device = Q(line.text);
    const QString suffix = line.missing ? QString(" (missing)") : QString();
    // A by-id name is longer than the label: its middle goes, its ends say
    // which adapter it is.
    const QFontMetrics metrics = label->fontMetrics();
    const QString shown = metrics.elidedText(device, Qt::ElideMiddle,
                                             label->width() - metrics.horizontalAdvance(suffix));
    label->setText(shown + suffix);
    QStringList tip;
    if (shown != device) tip << device;
    if (!line.note.empty()) tip << Q(line.note);
    label->setToolTip(tip.join("\n"));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, line.missing ? kWarningText : kSoftText);
    label->setPalette(palette);
}

void CCustomPropCom::LoadDeviceBox(int index) {
    loading_ = true;
    const bool valid = index >= 0 && index < kPorts;
    deviceBox_->setEnabled(valid);
    if (valid) {
        deviceBox_->setItemText(0, Q(model_.Entries(index).front().text));
        const int at = deviceBox_->findData(Q(model_.Chosen(index)));
        deviceBox_->setCurrentIndex(at);
        deviceBox_->setEditText(at >= 0 ? deviceBox_->itemText(at) : Q(model_.Chosen(index)));
        deviceBox_->lineEdit()->setCursorPosition(0);
    } else {
        deviceBox_->setCurrentIndex(-1);
        deviceBox_->setEditText(QString());
    }
    loading_ = false;
}

void CCustomPropCom::OnDeviceEdited(const QString& text) {
    const int index = SelectedIndex();
    if (loading_ || index < 0) return;
    if (!model_.Choose(index, model_.DeviceOfText(text.toStdString(), index))) return;
    ShowDevice(index);
    emit Modified();
}

QRadioButton* CCustomPropCom::PortButton(int index) const {
    return static_cast<QRadioButton*>(group_->button(index));
}

QLabel* CCustomPropCom::DeviceLabel(int index) const {
    return findChild<QLabel*>(QString("device%1").arg(kFirstId + index));
}

int CCustomPropCom::SelectedIndex() const { return group_->checkedId(); }

bool CCustomPropCom::CanSave() {
    std::string message;
    if (model_.CanSave(resetEdit_->text().toStdString(), message)) return true;
    QMessageBox::warning(this, window()->windowTitle(), Q(message));
    resetEdit_->setFocus();
    return false;
}

void CCustomPropCom::Save() {
    const std::string text = resetEdit_->text().toStdString();
    const std::string problems = model_.Save(group_->checkedId(), text);
    // A sequence written is shown in its own form: what the next download runs.
    if (model_.ResetWritten()) resetEdit_->setText(Q(model_.ResetText()));
    if (!problems.empty()) QMessageBox::warning(this, window()->windowTitle(), Q(problems));
}

}  // namespace quillon::gui
