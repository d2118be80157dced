#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/errors.h"

namespace pc {

namespace {

MessageBoxes* installed = nullptr;

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(Buttons buttons)
{
    switch (buttons) {
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::Ok: break;
    }
    return QMessageBox::Ok;
}

} // namespace

Answer QtMessageBoxes::Show(const MessageRequest& r)
{
    QMessageBox box(ToQt(r.icon), QString::fromStdString(r.caption), QString::fromStdString(r.text), ToQt(r.buttons),
                    r.owner);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: break;
    }
    // Closing the box with Escape or the title bar means Cancel (or No when there is no Cancel).
    return r.buttons == Buttons::YesNo ? Answer::No : r.buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

Answer ScriptedMessageBoxes::Show(const MessageRequest& r)
{
    shown_.push_back(r);
    if (r.buttons == Buttons::Ok)
        return Answer::Ok;
    if (answers_.empty())
        throw Error("unexpected question: " + r.text);
    Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

MessageBoxes& Messages()
{
    static QtMessageBoxes qtBoxes;
    return installed ? *installed : qtBoxes;
}

ScopedMessageBoxes::ScopedMessageBoxes(MessageBoxes& boxes) : previous_(installed)
{
    installed = &boxes;
}

ScopedMessageBoxes::~ScopedMessageBoxes()
{
    installed = previous_;
}

void ShowMessage(const std::string& text)
{
    std::string caption = QApplication::applicationDisplayName().toStdString();
    Messages().Show({text, caption.empty() ? "Prismcase" : caption, Buttons::Ok, MessageIcon::None, nullptr});
}

Answer Ask(const std::string& text, const std::string& caption, Buttons buttons, QWidget* owner)
{
    return Messages().Show({text, caption, buttons, MessageIcon::Question, owner});
}

} // namespace pc
