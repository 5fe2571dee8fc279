#include "gui/custom_prop_com.hpp"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>

#include "config/port_map.hpp"
#include "config/port_names.hpp"
#include "config/reset_sequence.hpp"
#include "config/user_settings.hpp"
#include "gui/dialog_layout.hpp"
#include "platform/serial_device.hpp"

namespace quillon::gui {

namespace {

constexpr int kFirstId = 1201;
// Only these buttons tell the sheet that the page changed; a port above
// COM8 is still saved by OK.
constexpr int kPortsThatMarkChanged = 8;

// Device labels are information, not a choice: shown softer than the
// choices, and a mapped device that is not there in a warning colour.
const QColor kSoftText(0x55, 0x5f, 0x6b);
const QColor kWarningText(0xb0, 0x30, 0x20);

#ifndef Q_OS_LINUX
// The reset row is laid out below the device row, which only Linux has.
constexpr int kDeviceRowHeight = 18;
#endif

QString Q(const std::string& text) { return QString::fromStdString(text); }

#ifdef Q_OS_LINUX
// What a person knows a port by. USB adapters go by their by-id name, which
// stays the same whichever socket or order they are plugged in.
QString StoredName(const SerialPortInfo& port) {
    return Q(port.byIdPath.empty() ? port.device : port.byIdPath);
}

QString EntryText(const SerialPortInfo& port) {
    QString text = StoredName(port);
    if (!port.description.empty()) text += QStringLiteral(" \u2014 ") + Q(port.description);
    QStringList ids;
    if (!UsbId(port).empty()) ids << Q(UsbId(port));
    if (!port.serialNumber.empty()) ids << Q(port.serialNumber);
    if (!ids.isEmpty()) text += " (" + ids.join(", ") + ")";
    return text;
}

bool IsPresent(const std::vector<SerialPortInfo>& ports, const std::string& device) {
    for (const SerialPortInfo& port : ports) {
        if (port.device == device || port.byIdPath == device) return true;
    }
    return false;
}
#endif

// The device an entry of the box stands for: an entry from the list saves
// its path without the description, anything else is a path as typed.
std::string DeviceOfEntry(const QComboBox& box, const QString& text) {
    const int at = box.findText(text);
    if (at >= 0) return box.itemData(at).toString().toStdString();
    return text.trimmed().toStdString();
}

std::string Trimmed(const QString& text) { return text.trimmed().toStdString(); }

}  // namespace

CCustomPropCom::CCustomPropCom(std::string programDir, int comPortIndex, QWidget* parent,
                               SerialPortLister listPorts)
    : CustomPropPage(parent),
      programDir_(std::move(programDir)),
      selected_(comPortIndex),
      listPorts_(std::move(listPorts)) {
    setObjectName("CCustomPropCom");
    const DialogUnits du = DialogUnitsFor(font());
    const DialogControls made = CreateDialogControls("com_page", this, du);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    for (int i = 0; i < kPorts; ++i) {
        auto* radio = made.Get<QRadioButton>(QString("radio%1").arg(kFirstId + i));
        group_->addButton(radio, i);
        if (i < kPortsThatMarkChanged) {
            connect(radio, &QRadioButton::clicked, this, [this] { emit Modified(); });
        }
    }
#ifdef Q_OS_LINUX
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
    const DialogLayout reset = LoadDialogLayout("com_reset");
#else
    DialogLayout reset = LoadDialogLayout("com_reset");
    for (LayoutControl& c : reset.controls) c.y -= kDeviceRowHeight;
    setMinimumSize(du.Size(298, 222 - kDeviceRowHeight));
#endif
    const DialogControls resetRow = CreateControls(reset, this, du);
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
    const std::vector<ComPortMapping> mappings = ComPortMappings(programDir_, kPorts);
    for (int i = 0; i < kPorts; ++i) {
        saved_[i] = mappings[i].mapped ? mappings[i].device : std::string();
        chosen_[i] = saved_[i];
    }
#ifdef Q_OS_LINUX
    ports_ = listPorts_ ? listPorts_() : ListSerialPorts();
    loading_ = true;
    deviceBox_->addItem(QString(), QString(""));  // the default; named per COM number
    for (const SerialPortInfo& port : ports_) deviceBox_->addItem(EntryText(port), StoredName(port));
    // The list shows the entries whole, though the box is narrower.
    deviceBox_->view()->setMinimumWidth(deviceBox_->view()->sizeHintForColumn(0));
    loading_ = false;
#endif
    for (int i = 0; i < kPorts; ++i) ShowDevice(i);
    // Shown as the file holds it, a malformed one too, so it can be mended.
    savedReset_ = ReadResetSequenceSetting(programDir_);
    resetEdit_->setText(Q(savedReset_));
    resetEdit_->setCursorPosition(0);
    if (selected_ >= 0 && selected_ < kPorts) group_->button(selected_)->setChecked(true);
    LoadDeviceBox(SelectedIndex());
}

void CCustomPropCom::ShowDevice(int index) {
    QLabel* label = DeviceLabel(index);
    const bool mapped = !chosen_[index].empty();
    const QString device = Q(mapped ? chosen_[index] : DefaultSerialDevicePath(index + 1));
    bool missing = false;
#ifdef Q_OS_LINUX
    missing = mapped && !IsPresent(ports_, chosen_[index]);
#endif
    const QString suffix = missing ? QString(" (missing)") : QString();
    // A by-id name is longer than the label: its middle goes, its ends say
    // which adapter it is.
    const QFontMetrics metrics = label->fontMetrics();
    const QString shown = metrics.elidedText(device, Qt::ElideMiddle,
                                             label->width() - metrics.horizontalAdvance(suffix));
    label->setText(shown + suffix);
    label->setToolTip(shown == device ? QString() : device);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, missing ? kWarningText : kSoftText);
    label->setPalette(palette);
}

void CCustomPropCom::LoadDeviceBox(int index) {
    if (!deviceBox_) return;
    loading_ = true;
    const bool valid = index >= 0 && index < kPorts;
    deviceBox_->setEnabled(valid);
    if (valid) {
        deviceBox_->setItemText(0, "(default: " + Q(DefaultSerialDevicePath(index + 1)) + ")");
        const int at = deviceBox_->findData(Q(chosen_[index]));
        deviceBox_->setCurrentIndex(at);
        deviceBox_->setEditText(at >= 0 ? deviceBox_->itemText(at) : Q(chosen_[index]));
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
    std::string device = DeviceOfEntry(*deviceBox_, text);
    if (device == chosen_[index]) return;
    chosen_[index] = std::move(device);
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

// Compared without the blanks around it; an untouched sequence is neither
// checked nor written, so a hand-written one stays as it is.
bool CCustomPropCom::ResetChanged() const {
    return Trimmed(resetEdit_->text()) != Trimmed(Q(savedReset_));
}

bool CCustomPropCom::CanSave() {
    if (!ResetChanged()) return true;
    ResetSequence sequence;
    std::string error;
    if (ParseResetSequence(Trimmed(resetEdit_->text()), sequence, error)) return true;
    QMessageBox::warning(this, window()->windowTitle(),
                         "The reset sequence cannot be saved: " + Q(error) +
                             ".\nCorrect it, or empty it to be asked to reset the board.");
    resetEdit_->setFocus();
    return false;
}

void CCustomPropCom::Save() {
    selected_ = group_->checkedId();
    WriteComPageSettings(programDir_, selected_);
    // Only the numbers whose device changed are written, so that the rest of
    // [Ports] stays as the user or another program left it.
    QStringList failed;
    for (int i = 0; i < kPorts; ++i) {
        if (chosen_[i] == saved_[i]) continue;
        const int number = i + 1;
        const std::string wanted = chosen_[i].empty() ? DefaultSerialDevicePath(number) : chosen_[i];
        // Read back, since a value the file cannot hold whole (too long for
        // the mapping's read) would open another device than the one chosen.
        if (MapComPort(programDir_, number, chosen_[i]) &&
            ComPortDevicePath(programDir_, number) == wanted) {
            saved_[i] = chosen_[i];
            continue;
        }
        (void)MapComPort(programDir_, number, saved_[i]);
        failed << QString("COM%1").arg(number);
    }
    QStringList problems;
    if (!failed.isEmpty()) {
        problems << QString("The device of %1 could not be saved in Customize.ini; "
                            "the mapping there is unchanged.")
                        .arg(failed.join(", "));
    }
    if (ResetChanged()) {
        // Written in its own form, which the page then shows: what is shown
        // is what the next download runs.
        ResetSequence sequence;
        std::string error;
        if (ParseResetSequence(Trimmed(resetEdit_->text()), sequence, error) &&
            WriteResetSequenceSetting(programDir_, sequence)) {
            savedReset_ = FormatResetSequence(sequence);
            resetEdit_->setText(Q(savedReset_));
        } else {
            problems << "The reset sequence could not be saved in Customize.ini; "
                        "the sequence there is unchanged.";
        }
    }
    if (!problems.isEmpty()) {
        QMessageBox::warning(this, window()->windowTitle(), problems.join("\n"));
    }
}

}  // namespace quillon::gui
