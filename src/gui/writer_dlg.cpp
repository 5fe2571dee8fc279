#include "gui/writer_dlg.hpp"

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
#include "app/controller.hpp"
#include "app/settings_files.hpp"
#include "app/startup.hpp"
#include "app/version_label.hpp"
#include "config/catalog.hpp"
#include "config/user_settings.hpp"
#include "gui/about_dlg.hpp"
#include "gui/artwork.hpp"
#include "gui/check_sum_dlg.hpp"
#include "gui/custom_prop_main.hpp"
#include "gui/dialog_layout.hpp"
#include "gui/help_viewer.hpp"
#include "gui/mnemonic.hpp"
#include "gui/progress_dlg.hpp"
#include "gui/qt_file_chooser.hpp"
#include "gui/qt_prompt.hpp"
#include "gui/qt_sound.hpp"
#include "platform/paths.hpp"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace quillon::gui {

namespace {

constexpr const char* kCaption = "Microcontroller with Flash Memory Programmer";
constexpr const char* kHelpFile = "flash_html.chm";
constexpr int kAboutCommand = 16;  // the system-menu item of the About box
constexpr int kAreaTextLimit = 7;

QString Q(const std::string& s) { return QString::fromStdString(s); }

struct ToolTipEntry {
    int control;
    int catalogId;
};
constexpr ToolTipEntry kToolTips[] = {
    {kIdTargetList, 550}, {kIdCrystalList, 551}, {kIdFullOperation, 548},
    {kIdReadCompare, 546}, {kIdCopy, 547},        {kIdSetEnvironment, 549},
    {kIdOpen, 553},       {kIdHexFile, 554},     {kIdDownload, 542},
    {kIdErase, 543},      {kIdBlankCheck, 544},  {kIdProgramVerify, 545},
    {kIdMainAreaText, 555}, {kIdWorkAreaText, 556},
};

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
    setWindowTitle(kCaption);
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
    AddSystemMenuItem();
    setWindowIcon(QuillonIcon());

    const StartupFailure failure = StartUp(ctx_);
    if (failure != StartupFailure::None) {
        std::string text = StartupFailureText(failure);
        // Which folder was looked in, and why that one: the first thing a
        // user of an installed program needs to know.
        if (failure == StartupFailure::RegistFailed) {
            text += "\n\n" + ctx_.chipDefPath + "\n(" + ctx_.programDirWhy + ")";
        }
        ctx_.frontEnd.prompt->Ask(PromptRequest{text, "flash", PromptButtons::Ok, PromptIcon::Stop,
                                                PromptOwner::None});
        return InitResult::Failed;
    }
    setAcceptDrops(true);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    BuildToolTips();
    ctx_.copyAsIntelHex = 0;
    version_->setText(Q(BuildVersionLabel()));

    if (ctx_.batchMode) {
        commandRunning_ = true;
        batchOutcome_ = RunBatch(ctx_);
        commandRunning_ = false;
        return InitResult::BatchDone;
    }
    return InitResult::Ready;
}

void CWriterDlg::BuildToolTips() {
    for (const ToolTipEntry& tip : kToolTips) {
        if (QWidget* w = Control(tip.control)) w->setToolTip(Q(CatalogText(ctx_.language, tip.catalogId)));
    }
    hexFileTip_ = Q(ctx_.hexFilePath);
    ApplyHexFileTip();
}

void CWriterDlg::ApplyHexFileTip() {
    // The box has two tips: what it is for, and the full path of the file.
    QString tip = Q(CatalogText(ctx_.language, 554));
    if (!hexFileTip_.isEmpty()) tip += "\n" + hexFileTip_;
    hexFile_->setToolTip(tip);
}

void CWriterDlg::SetHexFileTip(std::string_view path) {
    hexFileTip_ = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    ApplyHexFileTip();
}

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
    ctx_.mainAreaText = mainArea_->text().left(kAreaTextLimit).toStdString();
    ctx_.workAreaText = workArea_->text().left(kAreaTextLimit).toStdString();
    ctx_.hexFileName = hexFile_->text().toStdString();
    ctx_.chipIndex = targetList_->currentIndex();
    ctx_.clockIndex = crystalList_->currentIndex();
    ctx_.workFlashSelected = workFlash_->isChecked() ? 1 : 0;
    ctx_.mainFlashSelected = mainFlash_->isChecked() ? 1 : 0;
}

void CWriterDlg::RepaintNow() { repaint(); }

void CWriterDlg::RunCommand(void (*command)(OperationContext&)) {
    commandRunning_ = true;
    command(ctx_);
    commandRunning_ = false;
}

void CWriterDlg::OnOpen() {
    ExchangeFromControls();
    QString startDir;
    if (!ctx_.hexFilePath.empty()) {
        startDir = QFileInfo(Q(ctx_.hexFilePath)).absolutePath();
        QDir::setCurrent(startDir);
    }
    QFileDialog dialog(this, QString(), startDir);
    dialog.setObjectName("openHexFile");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters({"S format files (*.mhx *.cnv *.ahx)", "all files (*.*)"});
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        ctx_.hexFilePath = QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
        ctx_.hexFileName = FileNamePart(ctx_.hexFilePath);
        ExchangeToControls();
    }
    QDir::setCurrent(Q(ctx_.programDir));
    SaveRecentSelection(ctx_);
}

void CWriterDlg::OnDropFiles(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir()) return;  // a folder is ignored
    ctx_.hexFilePath = QDir::toNativeSeparators(path).toStdString();
    ctx_.hexFileName = FileNamePart(ctx_.hexFilePath);
    SaveRecentSelection(ctx_);
    ExchangeToControls();
}

void CWriterDlg::OnSetEnvironment() {
    CustomSettings settings;
    settings.comPortIndex = ctx_.comPortIndex;
    settings.sound = ctx_.sound;
    settings.toolTipsEnabled = ctx_.toolTipsEnabled;
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
    if (!OpenHelpFile(QDir::cleanPath(Q(ctx_.programDir) + kHelpFile), problem)) {
        ctx_.frontEnd.prompt->Ask(PromptRequest{problem.toStdString(), "flash", PromptButtons::Ok,
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

void CWriterDlg::ToggleCopyFormat() {
    ctx_.copyAsIntelHex = ctx_.copyAsIntelHex ? 0 : 1;
    copyButton_->setText(ctx_.copyAsIntelHex ? "&Copy_i" : "&Copy");
}

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

bool CWriterDlg::PressMnemonic(QChar letter) {
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (w->window() != this || !w->isVisible() || !w->isEnabled()) continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (MnemonicOf(b->text()) != letter) continue;
            if (!qobject_cast<QPushButton*>(b)) b->setFocus();
            b->click();
            return true;
        }
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (!l->buddy() || MnemonicOf(l->text()) != letter) continue;
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
    PressMnemonic(QChar('A' + (key - Qt::Key_A)));
    return true;
}

bool CWriterDlg::eventFilter(QObject* watched, QEvent* event) {
    if (!OwnsWidget(watched)) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress:
            if (HandleLetterKey(static_cast<QKeyEvent*>(event))) return true;
            break;
        case QEvent::ToolTip:
            if (ctx_.toolTipsEnabled != 1) {
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
    // While a command runs, its operation still uses the progress window and
    // the port; the window closes once the command has ended.
    if (commandRunning_ || ctx_.progress) {
        event->ignore();
        return;
    }
    ctx_.closing = 1;
    QDialog::closeEvent(event);
}

void CWriterDlg::reject() {
    if (ctx_.closing) QDialog::reject();
}

void CWriterDlg::accept() {}

void CWriterDlg::contextMenuEvent(QContextMenuEvent* event) {
#ifdef Q_OS_WIN
    QDialog::contextMenuEvent(event);
#else
    // Where the window manager's menu cannot take the item, the window's own
    // context menu offers it.
    const std::string text = CatalogText(ctx_.language, kMsgAboutItem);
    if (text.empty()) return;
    QMenu menu(this);
    menu.setObjectName("systemMenu");
    menu.addAction(Q(text), this, &CWriterDlg::OnAbout);
    menu.exec(event->globalPos());
#endif
}

#ifdef Q_OS_WIN
void CWriterDlg::AddSystemMenuItem() {
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
    if (!menu) return;
    const std::wstring text = Q(CatalogText(ctx_.language, kMsgAboutItem)).toStdWString();
    if (!text.empty()) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kAboutCommand, text.c_str());
    }
    RemoveMenu(menu, SC_SIZE, MF_BYCOMMAND);
    RemoveMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
}

bool CWriterDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    auto* msg = static_cast<MSG*>(message);
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == kAboutCommand) {
        OnAbout();
        *result = 0;
        return true;
    }
    return QDialog::nativeEvent(eventType, message, result);
}
#else
void CWriterDlg::AddSystemMenuItem() {}

bool CWriterDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    return QDialog::nativeEvent(eventType, message, result);
}
#endif

}  // namespace quillon::gui
