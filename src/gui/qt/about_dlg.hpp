#pragma once
// The About box: the product name and the version label.

#include <QDialog>

class QLabel;

namespace quillon::gui {

class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    QLabel* VersionLabel() const { return version_; }

private:
    QLabel* version_ = nullptr;
};

}  // namespace quillon::gui
