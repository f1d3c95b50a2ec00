#pragma once

#include <QString>

#include <vector>

namespace base::msg {

/// The kinds of message box: icon and caption follow from the kind.
enum class Kind {
    Plain, ///< no icon, caption the application title
    Warning,
    Error,
    Information,
    Confirm,
    ErrorReport ///< the standard error report: error icon, caption the application title
};
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

/// Shows the program's messages. The program installs one that opens
/// message boxes; tests install a recorder that answers from a script.
class MessageService {
  public:
    virtual ~MessageService() = default;
    virtual Answer show(Kind kind, const QString &text, Buttons buttons) = 0;
};

/// The installed service; the default one writes to standard error and
/// answers OK or No.
MessageService &service();
/// Installs `service` (not owned; nullptr restores the default).
void setService(MessageService *service);

inline Answer show(Kind kind, const QString &text, Buttons buttons = Buttons::Ok) {
    return service().show(kind, text, buttons);
}

/// A service that records every message and answers from a script (tests).
class Recorder : public MessageService {
  public:
    struct Message {
        Kind kind;
        QString text;
        Buttons buttons;
    };
    Recorder() { setService(this); }
    ~Recorder() override { setService(nullptr); }
    Answer show(Kind kind, const QString &text, Buttons buttons) override;

    std::vector<Message> messages;
    /// Answers given in order to Yes/No questions; Yes when the script is empty.
    std::vector<Answer> answers;
};

} // namespace base::msg
