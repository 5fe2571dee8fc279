#pragma once
// What the Qt Test suites share: a program directory with its files, and an
// autopilot that answers modal windows and presses the progress window's
// button as they come up, so that the real windows run offscreen unattended.

#include <deque>
#include <functional>

#include <QByteArray>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

namespace quillon::gui::testing {

class ProgramDir {
public:
    ProgramDir();
    // With a trailing separator.
    QString Path() const;
    std::string PathStd() const { return Path().toStdString(); }
    QString File(const QString& name) const { return Path() + name; }
    void Write(const QString& name, const QByteArray& contents) const;
    QByteArray Read(const QString& name) const;
    bool Exists(const QString& name) const;

private:
    QTemporaryDir dir_;
};

// A complete CHIPDEF.INI section of a plain two-area chip, plus `extra` lines.
QByteArray ChipSection(const char* name, const char* extra = "FlashArea=3\r\n");

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Steps tried in order every few milliseconds while the event loop runs
// (modal windows and the progress window's pumping included); a step
// returns true once it has acted.
class Autopilot : public QObject {
    Q_OBJECT
public:
    Autopilot();
    ~Autopilot() override;
    Autopilot& Then(std::function<bool()> step);
    bool Done() const { return steps_.empty(); }
    int Remaining() const { return static_cast<int>(steps_.size()); }
    // Windows that came up with nothing left to answer them (closed at once).
    int unexpected = 0;

private:
    void Tick();
    std::deque<std::function<bool()>> steps_;
    QTimer timer_;
    QElapsedTimer idle_;
};

// Answers the message box on top with `button`, recording what it showed.
std::function<bool()> AnswerBox(QMessageBox::StandardButton button, QList<SeenBox>* seen = nullptr);
// Acts on the modal window on top when it is a T.
template <typename T>
std::function<bool()> OnModal(std::function<void(T*)> action);
// Presses the progress window's "Ok" once it is offered, recording the
// message it showed.
std::function<bool()> PressProgressButton(QStringList* messages = nullptr);

QWidget* TopModal();

template <typename T>
std::function<bool()> OnModal(std::function<void(T*)> action) {
    return [action] {
        auto* w = qobject_cast<T*>(TopModal());
        if (!w || !w->isVisible()) return false;
        action(w);
        return true;
    };
}

}  // namespace quillon::gui::testing
