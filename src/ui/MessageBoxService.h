#pragma once

#include "base/MessageService.h"

namespace ui {

/// Shows the program's messages in modal message boxes: the kind gives the
/// icon and the English caption, the buttons are "OK" or "&Yes" and "&No".
class MessageBoxService : public base::msg::MessageService {
  public:
    base::msg::Answer show(base::msg::Kind kind, const QString &text,
                           base::msg::Buttons buttons) override;
    /// The caption of a kind ("Warning", "Error", "Information", "Confirm";
    /// the application title for plain messages and error reports).
    static QString caption(base::msg::Kind kind);
    /// Stored texts break lines with LF CR; on screen that is one line break.
    static QString screenText(const QString &text);
};

} // namespace ui
