#include "dragdrop/PaletteHost.h"

#include <QWidget>

CPaletteHost* CPaletteHost::Of(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (auto* host = dynamic_cast<CPaletteHost*>(w)) {
            return host;
        }
    }
    return nullptr;
}
