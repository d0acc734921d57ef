#include "dialogs/AppIcon.h"

QIcon BlurtleIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/blurtle/icons/blurtle-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
