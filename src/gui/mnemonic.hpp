#pragma once

#include <QChar>
#include <QString>

namespace quillon::gui {

// The mnemonic letter of a caption ("&Copy" -> 'C'), upper case; a null
// character when the caption has none ("&&" is a plain ampersand).
inline QChar MnemonicOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return caption[i + 1].toUpper();
    }
    return QChar();
}

}  // namespace quillon::gui
