#pragma once

#include "core/seams/Autostart.h"

// The start-with-the-desktop switch as an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/dialtally-pro.desktop (~/.config when unset).
class XdgAutostart final : public Autostart {
public:
    // configHome overrides $XDG_CONFIG_HOME (tests).
    explicit XdgAutostart(QString configHome = {});

    QString entryPath() const;
    bool exists() const override;
    QString enable(const QString& programPath) override;
    void disable() override;

private:
    QString m_configHome;
};
