#include "gui/dialog_layout.hpp"

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

#include "gui/resources.hpp"

namespace quillon::gui {

namespace {

const QStringList kKinds = {"label", "button", "combo", "edit",
                            "check", "radio",  "group", "progress"};
const QStringList kFlags = {"plain",    "center",     "topleft", "sunken",        "wordwrap",
                            "readonly", "lower",      "bold",    "noautodefault", "default",
                            "notext",   "selectable", "editable"};

// Splits a line at the commas outside double quotes; false when a quote is
// left open.
bool SplitFields(const QString& line, QStringList& fields) {
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            fields.append(field.trimmed());
            field.clear();
        } else {
            field += c;
        }
    }
    fields.append(field.trimmed());
    return !quoted;
}

// A caption is quoted, with a quote inside it doubled.
bool Unquote(const QString& field, QString& text) {
    if (field.size() < 2 || !field.startsWith('"') || !field.endsWith('"')) return false;
    const QString inner = field.mid(1, field.size() - 2);
    text.clear();
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == '"') {
            if (i + 1 >= inner.size() || inner[i + 1] != '"') return false;
            ++i;
        }
        text += inner[i];
    }
    return true;
}

bool KnownFlag(const QString& flag) {
    if (kFlags.contains(flag)) return true;
    if (flag.startsWith("buddy=")) return flag.size() > 6;
    if (flag.startsWith("maxlength=")) {
        bool ok = false;
        return flag.mid(10).toInt(&ok) > 0 && ok;
    }
    return false;
}

// Why the line cannot be used, or an empty text when it can.
QString ParseLine(const QString& line, LayoutControl& c) {
    QStringList f;
    if (!SplitFields(line, f)) return "a quote is not closed";
    if (f.size() != 8 && f.size() != 9) {
        return QString(
                   "%1 fields where 8 or 9 belong "
                   "(kind, id, name, x, y, width, height, \"caption\", flags)")
            .arg(f.size());
    }
    c.kind = f[0];
    if (!kKinds.contains(c.kind)) return QString("unknown kind \"%1\"").arg(c.kind);
    bool ok = false;
    c.id = f[1].toInt(&ok);
    if (!ok || c.id < -1) return QString("id \"%1\" is not a control id").arg(f[1]);
    if (f[2].isEmpty()) return "the name is empty (\"-\" for none)";
    c.name = f[2] == "-" ? QString() : f[2];
    int* place[] = {&c.x, &c.y, &c.width, &c.height};
    const char* what[] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
        *place[i] = f[3 + i].toInt(&ok);
        if (!ok || *place[i] < 0)
            return QString("%1 \"%2\" is not a number of dialog units").arg(what[i], f[3 + i]);
    }
    if (!Unquote(f[7], c.caption)) return QString("the caption %1 is not a quoted text").arg(f[7]);
    c.flags = f.size() == 9 ? f[8].split(' ', Qt::SkipEmptyParts) : QStringList();
    for (const QString& flag : c.flags) {
        if (!KnownFlag(flag)) return QString("unknown flag \"%1\"").arg(flag);
    }
    return QString();
}

QWidget* MakeControl(const LayoutControl& c, QWidget* parent) {
    auto flag = [&c](const char* name) { return c.flags.contains(name); };
    Qt::Alignment align;
    if (flag("center")) align = Qt::AlignCenter;
    if (flag("topleft")) align = Qt::AlignLeft | Qt::AlignTop;

    if (c.kind == "label") {
        auto* l = new QLabel(c.caption, parent);
        if (flag("plain")) l->setTextFormat(Qt::PlainText);
        if (align) l->setAlignment(align);
        if (flag("sunken")) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (flag("wordwrap")) l->setWordWrap(true);
        if (flag("selectable")) l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    }
    if (c.kind == "button") {
        auto* b = new QPushButton(c.caption, parent);
        if (flag("noautodefault")) b->setAutoDefault(false);
        if (flag("default")) b->setDefault(true);
        return b;
    }
    if (c.kind == "combo") {
        auto* combo = new QComboBox(parent);
        // Made editable here, so that its edit field takes its place in the tab order.
        if (flag("editable")) combo->setEditable(true);
        return combo;
    }
    if (c.kind == "edit") {
        auto* e = new QLineEdit(c.caption, parent);
        if (align) e->setAlignment(align);
        if (flag("readonly")) e->setReadOnly(true);
        for (const QString& f : c.flags) {
            if (f.startsWith("maxlength=")) e->setMaxLength(f.mid(10).toInt());
        }
        return e;
    }
    if (c.kind == "check") return new QCheckBox(c.caption, parent);
    if (c.kind == "radio") return new QRadioButton(c.caption, parent);
    if (c.kind == "group") return new QGroupBox(c.caption, parent);
    auto* bar = new QProgressBar(parent);
    if (flag("notext")) bar->setTextVisible(false);
    return bar;
}

}  // namespace

DialogLayout ParseDialogLayout(const QString& text, const QString& fileName) {
    DialogLayout layout;
    const QStringList lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        LayoutControl c;
        c.line = static_cast<int>(i + 1);
        const QString problem = ParseLine(line, c);
        if (!problem.isEmpty()) {
            layout.error = QString("%1 line %2: %3").arg(fileName).arg(c.line).arg(problem);
            layout.controls.clear();
            return layout;
        }
        layout.controls.push_back(c);
    }
    return layout;
}

DialogLayout LoadDialogLayout(const QString& dialog) {
    RegisterResources();
    const QString path = QString(":/quillon/dialogs/%1.dlg").arg(dialog);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DialogLayout missing;
        missing.error = QString("%1: cannot be read").arg(path);
        return missing;
    }
    return ParseDialogLayout(QString::fromUtf8(file.readAll()), path);
}

QWidget* DialogControls::Named(const QString& name) const {
    auto it = byName.find(name);
    if (it == byName.end()) {
        qFatal("dialog layout %s has no control %s", qPrintable(dialog), qPrintable(name));
    }
    return it->second;
}

DialogControls CreateControls(const DialogLayout& layout, QWidget* parent, const DialogUnits& du) {
    if (!layout.error.isEmpty()) qFatal("%s", qPrintable(layout.error));
    DialogControls made;
    made.dialog = parent->objectName();
    std::vector<std::pair<QLabel*, QString>> buddies;
    for (const LayoutControl& c : layout.controls) {
        QWidget* w = MakeControl(c, parent);
        if (!c.name.isEmpty()) {
            w->setObjectName(c.name);
            made.byName[c.name] = w;
        }
        if (c.id >= 0) made.byId.emplace_back(c.id, w);
        if (c.flags.contains("bold")) {
            QFont bold = w->font();
            bold.setBold(true);
            w->setFont(bold);
        }
        PlaceAt(w, du, c.x, c.y, c.width, c.height);
        if (c.flags.contains("lower")) w->lower();
        for (const QString& f : c.flags) {
            if (!f.startsWith("buddy=")) continue;
            auto* label = qobject_cast<QLabel*>(w);
            if (!label)
                qFatal("%s line %d: only a label has a buddy", qPrintable(made.dialog), c.line);
            buddies.emplace_back(label, f.mid(6));
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
