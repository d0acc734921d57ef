#include "dialogs/DialogUnits.h"

#include "dialogs/AppIcon.h"

#include <QDialog>
#include <QFontMetricsF>
#include <QLabel>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kClassicBaseX = 6.0;
constexpr double kClassicBaseY = 13.0;

int Scaled(int value, double factor) {
    return static_cast<int>(std::lround(value * factor));
}

} // namespace

double BaseUnitX(const QWidget* form) {
    const QFontMetricsF metrics(form->font());
    return metrics.horizontalAdvance(
               QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
           52.0;
}

double BaseUnitY(const QWidget* form) {
    return QFontMetricsF(form->font()).height();
}

void FitFormToFont(QWidget* form) {
    const double sx = std::max(1.0, BaseUnitX(form) / kClassicBaseX);
    const double sy = std::max(1.0, BaseUnitY(form) / kClassicBaseY);
    if (sx > 1.0 || sy > 1.0) {
        form->resize(Scaled(form->width(), sx), Scaled(form->height(), sy));
        for (QWidget* child : form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            const QRect r = child->geometry();
            child->setGeometry(Scaled(r.x(), sx), Scaled(r.y(), sy), Scaled(r.width(), sx),
                               Scaled(r.height(), sy));
        }
    }
    for (QLabel* label : form->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->pixmap().isNull()) {
            const QSize wanted = label->sizeHint();
            label->resize(std::max(label->width(), wanted.width()),
                          std::max(label->height(), wanted.height()));
        }
    }
}

void MakeFixedFrame(QDialog* dialog) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    dialog->setWindowIcon(BlurtleIcon());
    FitFormToFont(dialog);
    dialog->setFixedSize(dialog->size());
}
