#pragma once
// Message boxes and questions go through one seam, so model code and tests
// can answer them without a window. The program installs QtMessageBoxes;
// tests install ScriptedMessageBoxes.
#include <deque>
#include <exception>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace pc {

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Question, Warning, Error };
enum class Answer { Ok, Yes, No, Cancel };

struct MessageRequest {
    std::string text;
    std::string caption;
    Buttons buttons = Buttons::Ok;
    MessageIcon icon = MessageIcon::None;
    QWidget* owner = nullptr; // null: a box without owner
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual Answer Show(const MessageRequest& request) = 0;
};

// Real boxes on the screen (QMessageBox).
class QtMessageBoxes : public MessageBoxes {
public:
    Answer Show(const MessageRequest& request) override;
};

// Answers questions from a queue and records every box shown. A question with
// no answer left throws Error, so a test never waits on an unexpected box.
class ScriptedMessageBoxes : public MessageBoxes {
public:
    explicit ScriptedMessageBoxes(std::deque<Answer> answers = {}) : answers_(std::move(answers)) {}
    Answer Show(const MessageRequest& request) override;
    void Queue(Answer a) { answers_.push_back(a); }
    const std::vector<MessageRequest>& Shown() const { return shown_; }
    size_t AnswersLeft() const { return answers_.size(); }

private:
    std::deque<Answer> answers_;
    std::vector<MessageRequest> shown_;
};

// The seam in use; QtMessageBoxes until another is installed.
MessageBoxes& Messages();

// Installs boxes for the lifetime of this guard, then puts the previous back.
class ScopedMessageBoxes {
public:
    explicit ScopedMessageBoxes(MessageBoxes& boxes);
    ~ScopedMessageBoxes();
    ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
    ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;

private:
    MessageBoxes* previous_;
};

// An OK box captioned with the application's name.
void ShowMessage(const std::string& text);

// Runs a command; an error it raises is shown in a message box and the
// program goes on. Returns false when it failed.
template <class F>
bool ReportErrors(F&& command)
{
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        ShowMessage(e.what());
        return false;
    }
}
// A question box; returns the button pressed.
Answer Ask(const std::string& text, const std::string& caption, Buttons buttons, QWidget* owner = nullptr);

} // namespace pc
