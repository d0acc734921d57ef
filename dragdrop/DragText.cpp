#include "dragdrop/DragText.h"

#include <QMimeData>

std::unique_ptr<QMimeData> MakeDragText(const QString& text) {
    auto mime = std::make_unique<QMimeData>();
    mime->setData(QStringLiteral("text/plain;charset=utf-8"), text.toUtf8());
    mime->setText(text);
    return mime;
}
