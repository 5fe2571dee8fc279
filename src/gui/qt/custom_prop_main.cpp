#include "gui/qt/custom_prop_main.hpp"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "config/catalog.hpp"
#include "gui/qt/custom_prop_com.hpp"
#include "gui/qt/custom_prop_sound.hpp"
#include "gui/qt/custom_prop_tool.hpp"

namespace quillon::gui {

CCustomPropMain::CCustomPropMain(std::string programDir, const CustomSettings& settings,
                                 Language language, SoundPlayer& sound, QWidget* parent,
                                 SerialPortLister listPorts)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName("CCustomPropMain");
    setWindowTitle(QString::fromStdString(CatalogText(language, kMsgCustomizeCaption)));

    tabs_ = new QTabWidget(this);
    com_ = new CCustomPropCom(programDir, settings.comPortIndex, tabs_, std::move(listPorts));
    sound_ = new CCustomPropSound(programDir, settings.sound, language, sound, tabs_);
    tool_ = new CCustomPropTool(programDir, settings.toolTipsEnabled, tabs_);
    tabs_->addTab(com_, "COM PORT");
    tabs_->addTab(sound_, "Sound");
    tabs_->addTab(tool_, "Tooltips");

    // No Help button: the sheet offers no help.
    buttons_ = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    buttons_->button(QDialogButtonBox::Ok)->setText("OK");
    buttons_->button(QDialogButtonBox::Cancel)->setText("Cancel");
    buttons_->button(QDialogButtonBox::Apply)->setText("&Apply");
    buttons_->button(QDialogButtonBox::Apply)->setEnabled(false);
    connect(buttons_->button(QDialogButtonBox::Ok), &QPushButton::clicked, this,
            &CCustomPropMain::OnOk);
    connect(buttons_->button(QDialogButtonBox::Cancel), &QPushButton::clicked, this,
            &QDialog::reject);
    connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &CCustomPropMain::OnApply);

    for (CustomPropPage* page : {static_cast<CustomPropPage*>(com_),
                                 static_cast<CustomPropPage*>(sound_),
                                 static_cast<CustomPropPage*>(tool_)}) {
        connect(page, &CustomPropPage::Modified, this,
                [this] { buttons_->button(QDialogButtonBox::Apply)->setEnabled(true); });
    }
    std::vector<SheetPage> models;
    for (CustomPropPage* page : {static_cast<CustomPropPage*>(com_),
                                 static_cast<CustomPropPage*>(sound_),
                                 static_cast<CustomPropPage*>(tool_)}) {
        models.push_back({false, [page] { page->OnInitPage(); }, [page] { return page->CanSave(); },
                          [page] { page->Save(); }});
    }
    sheet_ = std::make_unique<SettingsSheet>(std::move(models));
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { sheet_->Show(index); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The sheet opens on its first page.
    tabs_->setCurrentIndex(0);
    sheet_->Show(0);
}

CCustomPropMain::~CCustomPropMain() = default;

bool CCustomPropMain::SavePagesShown() {
    const int refused = sheet_->SaveShown();
    if (refused >= 0) tabs_->setCurrentIndex(refused);
    return refused < 0;
}

void CCustomPropMain::OnApply() {
    if (!SavePagesShown()) return;
    buttons_->button(QDialogButtonBox::Apply)->setEnabled(false);
}

void CCustomPropMain::OnOk() {
    // A page that refuses to lose the focus (a mistyped wave name) has put
    // its old text back; leaving the box first commits what it shows.
    if (QWidget* focus = focusWidget()) focus->clearFocus();
    if (!SavePagesShown()) return;
    accept();
}

}  // namespace quillon::gui
