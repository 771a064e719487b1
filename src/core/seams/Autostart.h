#pragma once

#include <QString>

// The start-with-the-desktop switch.
class Autostart {
public:
    virtual ~Autostart() = default;
    virtual bool exists() const = 0;
    // Returns the message to show on failure, empty on success.
    virtual QString enable(const QString& programPath) = 0;
    // A failed removal is ignored.
    virtual void disable() = 0;
};
