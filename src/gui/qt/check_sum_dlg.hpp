#pragma once
// The Check SUM dialog: a fill byte in, the 16-bit sum of the hex file out.

#include <functional>
#include <string>

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace quillon::gui {

class CCheckSumDlg final : public QDialog {
    Q_OBJECT
public:
    // `fieldText` turns the fill text into what the result field shows.
    CCheckSumDlg(std::function<std::string(const std::string&)> fieldText, QWidget* parent);

    QLineEdit* FillField() const { return fill_; }
    QLineEdit* SumField() const { return sum_; }
    QPushButton* SumButton() const { return run_; }
    void OnCheckSum();

private:
    std::function<std::string(const std::string&)> fieldText_;
    QLineEdit* fill_ = nullptr;
    QLineEdit* sum_ = nullptr;
    QPushButton* run_ = nullptr;
};

}  // namespace quillon::gui
