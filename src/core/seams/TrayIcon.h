#pragma once

#include <QString>

// The program's icon in the desktop's notification area. Images are named:
// "mini" while scanning, "mini1".."mini8" for the turning clock while timing.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual void TrayIconAdd(int id, const QString& image, const QString& tip) = 0;
    virtual void TrayIconSetImage(const QString& image) = 0;
    virtual void TrayIconSetTip(const QString& tip) = 0;
    virtual void TrayIconSetImageAndTip(const QString& image, const QString& tip) = 0;
    virtual void TrayIconRemove() = 0;
};
