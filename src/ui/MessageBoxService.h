#pragma once

#include "MessageService.h"

namespace ui {

/// Shows the program's messages in modal message boxes: the kind gives the
/// icon and the English caption, the buttons are "OK" or "&Yes" and "&No".
class MessageBoxService : public msg::MessageService {
public:
    msg::Answer show(msg::Kind kind, const QString &text, msg::Buttons buttons) override;
    /// The caption of a kind ("Warning", "Error", "Information", "Confirm";
    /// the application title for plain messages and error reports).
    static QString caption(msg::Kind kind);
    /// Stored texts break lines with LF CR; on screen that is one line break.
    static QString screenText(const QString &text);
};

} // namespace ui
