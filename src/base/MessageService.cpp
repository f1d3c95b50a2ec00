#include "base/MessageService.h"

#include <cstdio>

namespace base::msg {
namespace {

class StderrService : public MessageService {
  public:
    Answer show(Kind, const QString &text, Buttons buttons) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
};

MessageService *installed = nullptr;

} // namespace

MessageService &service() {
    static StderrService fallback;
    return installed ? *installed : fallback;
}

void setService(MessageService *s) {
    installed = s;
}

Answer Recorder::show(Kind kind, const QString &text, Buttons buttons) {
    messages.push_back({kind, text, buttons});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (answers.empty())
        return Answer::Yes;
    const Answer a = answers.front();
    answers.erase(answers.begin());
    return a;
}

} // namespace base::msg
