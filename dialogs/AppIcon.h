#pragma once

#include <QIcon>

// The program's own icon, in every size it was drawn for.
QIcon BlurtleIcon();
