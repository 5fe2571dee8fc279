#pragma once
// The save-file dialog of Copy.

#include <QPointer>
#include <QWidget>

#include "app/file_chooser.hpp"

namespace quillon::gui {

class QtFileChooser final : public FileChooser {
public:
    explicit QtFileChooser(QWidget* owner) : owner_(owner) {}
    std::optional<std::string> ChooseCopyFile(bool intelHex, std::string_view initialPath) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace quillon::gui
