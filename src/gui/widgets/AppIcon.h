#pragma once

#include <QIcon>

// The program's own icon, drawn once in data/dialtally-pro.svg: the windows,
// the tray and the installed desktop entry all show the same picture.
namespace AppIcon {
QIcon icon();
QPixmap pixmap(int size);
} // namespace AppIcon
