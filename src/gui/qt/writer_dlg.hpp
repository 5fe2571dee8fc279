#pragma once
// The program's main window: target, crystal and hex file, the flash areas,
// the command buttons and the options. It owns the operation context for the
// whole run and is the core's command panel.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>

#include "app/batch_run.hpp"
#include "app/command_panel.hpp"
#include "app/operation_context.hpp"
#include "app/request.hpp"
#include "gui/main_dialog.hpp"
#include "gui/qt/dialog_units.hpp"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillon::gui {

class QtPrompt;
class QtSound;
class QtProgressFactory;
class QtFileChooser;

class CWriterDlg final : public QDialog, public CommandPanel {
    Q_OBJECT
public:
    using InitResult = MainDialog::Start;

    explicit CWriterDlg(Request request, QWidget* parent = nullptr);
    ~CWriterDlg() override;

    // Start-up: chip list, selections, settings, the buttons' state. A
    // failure has been shown (caption "flash") when this returns Failed; in
    // batch mode Full Operation has run and the window was never shown.
    InitResult OnInitDialog();

    OperationContext& Context() { return ctx_; }
    // The outcome of the batch run, once OnInitDialog has returned BatchDone.
    const BatchOutcome& BatchResult() const { return model_.BatchResult(); }
    const MainDialog& Model() const { return model_; }
    QWidget* Control(int id) const;
    QWidget* PictureField() const;
    const DialogUnits& Units() const { return du_; }

    // CommandPanel
    void EnableControl(int id, bool enable) override;
    void SetControlText(int id, std::string_view text) override;
    void FocusControl(int id) override;
    void ExchangeToControls() override;
    void ExchangeFromControls() override;
    void RepaintNow() override;
    void SetHexFileTip(std::string_view path) override;

    // The handlers, public for the tests.
    void OnOpen();
    void OnDropFiles(const QString& path);
    void OnSetEnvironment();
    void OnHelp();
    void OnCheckSum();
    void OnAbout();
    void ToggleCopyFormat();
    // Reloads Customize.ini, keeping a port chosen on the command line.
    void ReloadCustomSettings();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void reject() override;
    void accept() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void BuildToolTips();
    void UpdatePicture();
    bool OwnsWidget(QObject* object) const;
    bool HandleLetterKey(QKeyEvent* event);
    bool PressMnemonic(char letter);
    void RunCommand(void (*command)(OperationContext&));

    Request request_;
    OperationContext ctx_;
    MainDialog model_{ctx_};
    DialogUnits du_;
    std::unique_ptr<QtPrompt> prompt_;
    std::unique_ptr<QtSound> sound_;
    std::unique_ptr<QtProgressFactory> progressFactory_;
    std::unique_ptr<QtFileChooser> fileChooser_;

    std::map<int, QWidget*> controls_;
    QComboBox* targetList_ = nullptr;
    QComboBox* crystalList_ = nullptr;
    QLineEdit* hexFile_ = nullptr;
    QLabel* mainArea_ = nullptr;
    QLabel* workArea_ = nullptr;
    QCheckBox* mainFlash_ = nullptr;
    QCheckBox* workFlash_ = nullptr;
    QGroupBox* commandGroup_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QLabel* picture_ = nullptr;
    QLabel* version_ = nullptr;
    bool exchanging_ = false;
    ulong lastCopyToggle_ = 0;
};

}  // namespace quillon::gui
