#pragma once

#include <QString>

#include <functional>
#include <optional>

// The machine's network links as the kernel reports them, each change on the
// user-interface thread.
class NetworkLinks {
public:
    struct Link {
        int index = 0; // the kernel's number for the link; stays when it is renamed
        QString name;  // empty when the report did not say
        bool up = false;
        bool running = false;
        std::optional<bool> carrier; // when the report said
    };
    // FirstLook: the link was there when watching began. Changed: it was added
    // or changed since. Gone: it was removed (only its index is given).
    enum class Change { FirstLook, Changed, Gone };
    using Callback = std::function<void(const Link& link, Change change)>;

    virtual ~NetworkLinks() = default;
    // Starts watching: every link there is comes first, then the changes.
    // False when the links cannot be watched; failure() says why.
    virtual bool open(Callback callback) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Why changes of the links cannot be seen now; empty while they can.
    virtual QString failure() const = 0;
};
