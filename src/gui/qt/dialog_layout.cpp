#include "gui/qt/dialog_layout.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "gui/qt/resources.hpp"

namespace quillon::gui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QWidget* MakeControl(const TemplateControl& c, QWidget* parent) {
    Qt::Alignment align;
    if (c.Has("center")) align = Qt::AlignCenter;
    if (c.Has("topleft")) align = Qt::AlignLeft | Qt::AlignTop;
    const QString caption = Q(c.caption);

    if (c.kind == "label") {
        auto* l = new QLabel(caption, parent);
        if (c.Has("plain")) l->setTextFormat(Qt::PlainText);
        if (align) l->setAlignment(align);
        if (c.Has("sunken")) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (c.Has("wordwrap")) l->setWordWrap(true);
        if (c.Has("selectable")) l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    }
    if (c.kind == "button") {
        auto* b = new QPushButton(caption, parent);
        if (c.Has("noautodefault")) b->setAutoDefault(false);
        if (c.Has("default")) b->setDefault(true);
        return b;
    }
    if (c.kind == "combo") {
        auto* combo = new QComboBox(parent);
        // Made editable here, so that its edit field takes its place in the tab order.
        if (c.Has("editable")) combo->setEditable(true);
        return combo;
    }
    if (c.kind == "edit") {
        auto* e = new QLineEdit(caption, parent);
        if (align) e->setAlignment(align);
        if (c.Has("readonly")) e->setReadOnly(true);
        if (const std::string n = c.Value("maxlength"); !n.empty()) e->setMaxLength(std::stoi(n));
        return e;
    }
    if (c.kind == "check") return new QCheckBox(caption, parent);
    if (c.kind == "radio") return new QRadioButton(caption, parent);
    if (c.kind == "group") return new QGroupBox(caption, parent);
    auto* bar = new QProgressBar(parent);
    if (c.Has("notext")) bar->setTextVisible(false);
    return bar;
}

}  // namespace

DialogTemplate LoadDialogLayout(const QString& dialog) {
    RegisterResources();
    const QString path = QString(":/quillon/dialogs/%1.dlg").arg(dialog);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DialogTemplate missing;
        missing.error = (path + ": cannot be read").toStdString();
        return missing;
    }
    return ParseDialogTemplate(file.readAll().toStdString(), path.toStdString());
}

QWidget* DialogControls::Named(const QString& name) const {
    auto it = byName.find(name);
    if (it == byName.end()) {
        qFatal("dialog layout %s has no control %s", qPrintable(dialog), qPrintable(name));
    }
    return it->second;
}

DialogControls CreateControls(const DialogTemplate& layout, QWidget* parent,
                              const DialogUnits& du) {
    if (!layout.error.empty()) qFatal("%s", layout.error.c_str());
    DialogControls made;
    made.dialog = parent->objectName();
    std::vector<std::pair<QLabel*, QString>> buddies;
    for (const TemplateControl& c : layout.controls) {
        QWidget* w = MakeControl(c, parent);
        if (!c.name.empty()) {
            w->setObjectName(Q(c.name));
            made.byName[Q(c.name)] = w;
        }
        if (c.id >= 0) made.byId.emplace_back(c.id, w);
        if (c.Has("bold")) {
            QFont bold = w->font();
            bold.setBold(true);
            w->setFont(bold);
        }
        PlaceAt(w, du, c.x, c.y, c.width, c.height);
        if (c.Has("lower")) w->lower();
        if (const std::string buddy = c.Value("buddy"); !buddy.empty()) {
            auto* label = qobject_cast<QLabel*>(w);
            if (!label)
                qFatal("%s line %d: only a label has a buddy", qPrintable(made.dialog), c.line);
            buddies.emplace_back(label, Q(buddy));
        }
    }
    for (const auto& [label, buddy] : buddies) label->setBuddy(made.Named(buddy));
    return made;
}

DialogControls CreateDialogControls(const QString& dialog, QWidget* parent, const DialogUnits& du) {
    DialogControls made = CreateControls(LoadDialogLayout(dialog), parent, du);
    made.dialog = dialog;
    return made;
}

}  // namespace quillon::gui
