#pragma once
#include <QObject>

#include <cstdint>

class QSocketNotifier;
struct xcb_connection_t;

// Only the panel takes files dropped from the desktop. With smart display off the
// MCI device shows the picture in a window of its own, made in this process but
// not by Qt, and libmpv makes it an XDND target that opens a dropped file in
// place of the medium, behind the player's back. Such windows lose their
// XdndAware property as soon as they get it, so drag sources see no target there.
// On X11 only; on other platforms it does nothing.
class TForeignDropRefusal : public QObject {
    Q_OBJECT
public:
    explicit TForeignDropRefusal(QObject* parent = nullptr);
    ~TForeignDropRefusal() override;

private:
    void ReadEvents();
    void Watch(std::uint32_t window);
    void RefuseIfForeign(std::uint32_t window);
    bool MadeByQt(std::uint32_t window) const;
    bool OfThisProcess(std::uint32_t window);
    bool HasProperty(std::uint32_t window, std::uint32_t atom);
    std::uint32_t Atom(const char* name);

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint32_t xdndAware_ = 0;
    std::uint32_t wmPid_ = 0;
    QSocketNotifier* notifier_ = nullptr;
};
