#include "gui/qt/writer_dlg.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QToolTip>
#include <QUrl>

#include "app/batch_run.hpp"
#include "app/checksum_field.hpp"
#include "app/settings_files.hpp"
#include "app/controller.hpp"
#include "app/version_label.hpp"
#include "config/catalog.hpp"
#include "config/user_settings.hpp"
#include "gui/qt/about_dlg.hpp"
#include "gui/qt/artwork.hpp"
#include "gui/qt/check_sum_dlg.hpp"
#include "gui/qt/custom_prop_main.hpp"
#include "gui/qt/dialog_layout.hpp"
#include "gui/qt/help_viewer.hpp"
#include "gui/qt/progress_dlg.hpp"
#include "gui/qt/qt_file_chooser.hpp"
#include "gui/qt/qt_prompt.hpp"
#include "gui/qt/qt_sound.hpp"
#include "gui/help_file.hpp"
#include "gui/main_dialog.hpp"
#include "platform/paths.hpp"
#include "platform/system_paths.hpp"

namespace quillon::gui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

void FillList(QComboBox* list, const std::vector<std::string>& entries) {
    bool same = list->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < list->count(); ++i) {
        same = list->itemText(i) == Q(entries[static_cast<std::size_t>(i)]);
    }
    if (same) return;
    list->clear();
    for (const std::string& e : entries) list->addItem(Q(e));
}

}  // namespace

CWriterDlg::CWriterDlg(Request request, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      request_(std::move(request)) {
    setObjectName("CWriterDlg");
    setWindowTitle(kMainCaption);
    setWindowIcon(QuillonIcon());
    du_ = DialogUnitsFor(font());

    prompt_ = std::make_unique<QtPrompt>([this](PromptOwner owner) -> QWidget* {
        switch (owner) {
            case PromptOwner::Progress:
                if (auto* p = dynamic_cast<CProgressDlg*>(ctx_.progress.get())) return p;
                return this;
            case PromptOwner::MainDialog: return this;
            case PromptOwner::None: break;
        }
        return nullptr;
    });
    sound_ = std::make_unique<QtSound>();
    progressFactory_ = std::make_unique<QtProgressFactory>(this);
    fileChooser_ = std::make_unique<QtFileChooser>(this);

    ctx_.frontEnd.prompt = prompt_.get();
    ctx_.frontEnd.panel = this;
    ctx_.frontEnd.sound = sound_.get();
    ctx_.frontEnd.progress = progressFactory_.get();
    ctx_.frontEnd.files = fileChooser_.get();
    ctx_.language = DetectLanguage();
    ctx_.request = request_;

    BuildControls();
    setFixedSize(du_.Size(343, 183));
    qApp->installEventFilter(this);
}

CWriterDlg::~CWriterDlg() {
    qApp->removeEventFilter(this);
    // The progress window is a child of this window; let it go first.
    ctx_.progress.reset();
}

void CWriterDlg::BuildControls() {
    const DialogControls made = CreateDialogControls("main", this, du_);
    for (const auto& [id, widget] : made.byId) controls_[id] = widget;
    targetList_ = made.Get<QComboBox>("list1045");
    targetList_->setMaxVisibleItems(12);
    crystalList_ = made.Get<QComboBox>("list1046");
    hexFile_ = made.Get<QLineEdit>("edit1020");
    commandGroup_ = qobject_cast<QGroupBox*>(controls_[kIdCommandGroup]);
    copyButton_ = made.Get<QPushButton>("button1038");
    mainFlash_ = made.Get<QCheckBox>("check1085");
    mainArea_ = made.Get<QLabel>("text1047");
    workFlash_ = made.Get<QCheckBox>("check1086");
    workArea_ = made.Get<QLabel>("text1048");
    picture_ = made.Get<QLabel>("picture1111");
    version_ = made.Get<QLabel>("text1027");
    UpdatePicture();

    auto onClick = [this](int id, void (*command)(OperationContext&)) {
        connect(static_cast<QPushButton*>(controls_[id]), &QPushButton::clicked, this,
                [this, command] { RunCommand(command); });
    };
    onClick(kIdDownload, &OnDownload);
    onClick(kIdErase, &OnErase);
    onClick(kIdBlankCheck, &OnBlankCheck);
    onClick(kIdProgramVerify, &OnProgramVerify);
    onClick(kIdReadCompare, &OnReadCompare);
    onClick(kIdCopy, &OnCopy);
    onClick(kIdFullOperation, &OnFullOperation);
    auto onButton = [this](int id, void (CWriterDlg::*handler)()) {
        connect(static_cast<QPushButton*>(controls_[id]), &QPushButton::clicked, this,
                [this, handler] { (this->*handler)(); });
    };
    onButton(kIdOpen, &CWriterDlg::OnOpen);
    onButton(kIdSetEnvironment, &CWriterDlg::OnSetEnvironment);
    onButton(kIdHelp, &CWriterDlg::OnHelp);
    onButton(kIdCheckSum, &CWriterDlg::OnCheckSum);
    connect(targetList_, &QComboBox::currentIndexChanged, this, [this] {
        if (!exchanging_) RunCommand(&OnSelchangeTarget);
    });
    connect(crystalList_, &QComboBox::currentIndexChanged, this, [this] {
        if (!exchanging_) RunCommand(&OnSelchangeCrystal);
    });
}

CWriterDlg::InitResult CWriterDlg::OnInitDialog() {
    setWindowIcon(QuillonIcon());
    const MainDialog::Start start = model_.StartUp();
    if (start == MainDialog::Start::Failed) {
        ctx_.frontEnd.prompt->Ask(PromptRequest{model_.StartFailureText(), kBoxCaption,
                                                PromptButtons::Ok, PromptIcon::Stop,
                                                PromptOwner::None});
        return InitResult::Failed;
    }
    if (start == MainDialog::Start::BatchDone) return InitResult::BatchDone;
    setAcceptDrops(true);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    BuildToolTips();
    version_->setText(Q(BuildVersionLabel()));
    return InitResult::Ready;
}

void CWriterDlg::BuildToolTips() {
    for (const ToolTipEntry& tip : model_.ToolTips()) {
        if (QWidget* w = Control(tip.control)) w->setToolTip(Q(tip.text));
    }
}

void CWriterDlg::SetHexFileTip(std::string_view) { hexFile_->setToolTip(Q(model_.HexFileTip())); }

QWidget* CWriterDlg::Control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QWidget* CWriterDlg::PictureField() const { return picture_; }

void CWriterDlg::EnableControl(int id, bool enable) {
    if (QWidget* w = Control(id)) w->setEnabled(enable);
}

void CWriterDlg::SetControlText(int id, std::string_view text) {
    const QString t = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QWidget* w = Control(id);
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(t);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(t);
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(t);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(t);
    }
}

void CWriterDlg::FocusControl(int id) {
    if (QWidget* w = Control(id)) w->setFocus();
}

void CWriterDlg::ExchangeToControls() {
    exchanging_ = true;
    mainArea_->setText(Q(ctx_.mainAreaText.substr(0, kAreaTextLimit)));
    workArea_->setText(Q(ctx_.workAreaText.substr(0, kAreaTextLimit)));
    hexFile_->setText(Q(ctx_.hexFileName));
    FillList(targetList_, ctx_.targetList);
    targetList_->setCurrentIndex(ctx_.chipIndex < targetList_->count() ? ctx_.chipIndex : -1);
    FillList(crystalList_, ctx_.crystalList);
    crystalList_->setCurrentIndex(ctx_.clockIndex < crystalList_->count() ? ctx_.clockIndex : -1);
    workFlash_->setChecked(ctx_.workFlashSelected != 0);
    mainFlash_->setChecked(ctx_.mainFlashSelected != 0);
    exchanging_ = false;
}

void CWriterDlg::ExchangeFromControls() {
    ctx_.mainAreaText = mainArea_->text().left(static_cast<qsizetype>(kAreaTextLimit)).toStdString();
    ctx_.workAreaText = workArea_->text().left(static_cast<qsizetype>(kAreaTextLimit)).toStdString();
    ctx_.hexFileName = hexFile_->text().toStdString();
    ctx_.chipIndex = targetList_->currentIndex();
    ctx_.clockIndex = crystalList_->currentIndex();
    ctx_.workFlashSelected = workFlash_->isChecked() ? 1 : 0;
    ctx_.mainFlashSelected = mainFlash_->isChecked() ? 1 : 0;
}

void CWriterDlg::RepaintNow() { repaint(); }

void CWriterDlg::RunCommand(void (*command)(OperationContext&)) { model_.Run(command); }

void CWriterDlg::OnOpen() {
    ExchangeFromControls();
    const QString startDir = Q(model_.OpenFolder());
    if (!startDir.isEmpty()) QDir::setCurrent(startDir);
    QFileDialog dialog(this, QString(), startDir);
    dialog.setObjectName("openHexFile");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters({"S format files (*.mhx *.cnv *.ahx)", "all files (*.*)"});
    std::optional<std::string> chosen;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        chosen = QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
    }
    QDir::setCurrent(Q(ctx_.programDir));
    model_.OpenEnded(chosen);
}

void CWriterDlg::OnDropFiles(const QString& path) {
    // A folder or a name that is not there is ignored.
    (void)model_.DropHexFile(QDir::toNativeSeparators(path).toStdString());
}

void CWriterDlg::OnSetEnvironment() {
    const CustomSettings settings = model_.SheetSettings();
    {
        CCustomPropMain sheet(ctx_.programDir, settings, ctx_.language, *sound_, this);
        sheet.exec();
    }
    // Whatever closed the sheet, the file is what counts.
    ReloadCustomSettings();
}

void CWriterDlg::ReloadCustomSettings() { LoadCustomSettings(ctx_); }

void CWriterDlg::OnHelp() {
    QString problem;
    const std::string path =
        HelpFilePath(ctx_.programDir, DirectoryPart(ExecutablePath().value_or(std::string())));
    if (!OpenHelpFile(QDir::cleanPath(Q(path)), problem)) {
        ctx_.frontEnd.prompt->Ask(PromptRequest{problem.toStdString(), kBoxCaption, PromptButtons::Ok,
                                       PromptIcon::Exclamation, PromptOwner::MainDialog});
    }
}

void CWriterDlg::OnCheckSum() {
    // Before a download the sum is taken over the areas ticked now.
    ExchangeFromControls();
    CCheckSumDlg dlg([this](const std::string& fill) { return ChecksumFieldText(ctx_, fill); },
                     this);
    dlg.exec();
}

void CWriterDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CWriterDlg::ToggleCopyFormat() { copyButton_->setText(Q(model_.ToggleCopyFormat())); }

void CWriterDlg::UpdatePicture() {
    picture_->setPixmap(QuillonPicture(picture_->size(), devicePixelRatioF()));
}

void CWriterDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    UpdatePicture();
}

bool CWriterDlg::OwnsWidget(QObject* object) const {
    if (!object || !object->isWidgetType()) return false;
    return static_cast<QWidget*>(object)->window() == this;
}

bool CWriterDlg::PressMnemonic(char letter) {
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (w->window() != this || !w->isVisible() || !w->isEnabled()) continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (MnemonicOf(b->text().toStdString()) != letter) continue;
            if (!qobject_cast<QPushButton*>(b)) b->setFocus();
            b->click();
            return true;
        }
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (!l->buddy() || MnemonicOf(l->text().toStdString()) != letter) continue;
            if (l->buddy()->isEnabled()) l->buddy()->setFocus();
            return true;
        }
    }
    return false;
}

bool CWriterDlg::HandleLetterKey(QKeyEvent* event) {
    const int key = event->key();
    if (key < Qt::Key_A || key > Qt::Key_Z) return false;
    if (event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) {
        return false;
    }
    // A letter acts as Alt plus the letter: the underlined mnemonics work
    // without Alt, also while a list or the Hex File box has the focus.
    PressMnemonic(static_cast<char>('A' + (key - Qt::Key_A)));
    return true;
}

bool CWriterDlg::eventFilter(QObject* watched, QEvent* event) {
    if (!OwnsWidget(watched)) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress:
            if (HandleLetterKey(static_cast<QKeyEvent*>(event))) return true;
            break;
        case QEvent::ToolTip:
            if (!model_.ToolTipsShown()) {
                QToolTip::hideText();
                return true;
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() != Qt::RightButton) break;
            const QRect copyRect(copyButton_->mapToGlobal(QPoint(0, 0)), copyButton_->size());
            if (!copyRect.contains(me->globalPosition().toPoint())) break;
            // A double-click arrives as a press and a double-click with the
            // same time stamp; the pair is one right-click.
            if (event->type() == QEvent::MouseButtonPress || me->timestamp() != lastCopyToggle_) {
                ToggleCopyFormat();
                lastCopyToggle_ = me->timestamp();
            }
            return true;
        }
        case QEvent::ContextMenu: {
            auto* ce = static_cast<QContextMenuEvent*>(event);
            const QRect copyRect(copyButton_->mapToGlobal(QPoint(0, 0)), copyButton_->size());
            if (copyRect.contains(ce->globalPos())) return true;
            break;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* de = static_cast<QDragMoveEvent*>(event);
            if (de->mimeData()->hasUrls()) {
                de->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto* de = static_cast<QDropEvent*>(event);
            const QList<QUrl> urls = de->mimeData()->urls();
            if (!urls.isEmpty()) {
                de->acceptProposedAction();
                OnDropFiles(urls.first().toLocalFile());
                return true;
            }
            break;
        }
        default: break;
    }
    return QDialog::eventFilter(watched, event);
}

void CWriterDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape: event->accept(); return;  // never end the window
        default: QDialog::keyPressEvent(event);
    }
}

void CWriterDlg::closeEvent(QCloseEvent* event) {
    if (!model_.Close()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CWriterDlg::reject() {
    if (ctx_.closing) QDialog::reject();
}

void CWriterDlg::accept() {}

void CWriterDlg::contextMenuEvent(QContextMenuEvent* event) {
    // Where the window manager's menu cannot take the item, the window's own
    // context menu offers it.
    const std::string text = CatalogText(ctx_.language, kMsgAboutItem);
    if (text.empty()) return;
    QMenu menu(this);
    menu.setObjectName("systemMenu");
    menu.addAction(Q(text), this, &CWriterDlg::OnAbout);
    menu.exec(event->globalPos());
}

}  // namespace quillon::gui
