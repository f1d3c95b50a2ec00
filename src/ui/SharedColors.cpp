#include "ui/SharedColors.h"

namespace ui {

SharedColors &sharedColors() {
    static SharedColors colors;
    return colors;
}

} // namespace ui
