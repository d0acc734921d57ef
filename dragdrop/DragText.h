#pragma once

#include <QString>

#include <memory>

class QMimeData;

// The data of one drag-out: `text` in the forms programs ask for. The
// form that names its character set comes first: GTK programs read a bare
// "text/plain" as Latin-1 and would garble every non-ASCII character.
// Under X11 Qt offers "text/plain" as UTF8_STRING, STRING and TEXT too.
std::unique_ptr<QMimeData> MakeDragText(const QString& text);
