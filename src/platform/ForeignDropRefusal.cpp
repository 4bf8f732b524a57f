#include "platform/ForeignDropRefusal.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

} // namespace

// A connection of its own: the windows it watches are not Qt's business, and an
// error about a window that is gone arrives as an event here, never as Qt's.
TForeignDropRefusal::TForeignDropRefusal(QObject* parent) : QObject(parent)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_)) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    root_ = screens.data->root;
    xdndAware_ = Atom("XdndAware");
    wmPid_ = Atom("_NET_WM_PID");

    const std::uint32_t created = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &created);
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr));
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
            Watch(children[i]);
    }
    xcb_flush(connection_);

    notifier_ = new QSocketNotifier(xcb_get_file_descriptor(connection_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadEvents(); });
}

TForeignDropRefusal::~TForeignDropRefusal()
{
    delete notifier_;
    if (connection_)
        xcb_disconnect(connection_);
}

std::uint32_t TForeignDropRefusal::Atom(const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : 0;
}

void TForeignDropRefusal::ReadEvents()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        const std::unique_ptr<xcb_generic_event_t, FreeReply> owned(event);
        switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (created->parent == root_)
                Watch(created->window);
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            // The two properties may come in either order.
            const auto* changed = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (changed->state == XCB_PROPERTY_NEW_VALUE && (changed->atom == xdndAware_ || changed->atom == wmPid_))
                RefuseIfForeign(changed->window);
            break;
        }
        default:
            break; // errors about windows already gone among them
        }
    }
    xcb_flush(connection_);
}

void TForeignDropRefusal::Watch(std::uint32_t window)
{
    const std::uint32_t changes = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &changes);
    RefuseIfForeign(window);
}

void TForeignDropRefusal::RefuseIfForeign(std::uint32_t window)
{
    if (MadeByQt(window) || !HasProperty(window, xdndAware_) || !OfThisProcess(window))
        return;
    xcb_delete_property(connection_, window, xdndAware_);
    xcb_flush(connection_);
}

bool TForeignDropRefusal::MadeByQt(std::uint32_t window) const
{
    const QWindowList windows = QGuiApplication::allWindows();
    for (const QWindow* w : windows)
        if (w->handle() && w->winId() == window)
            return true;
    return false;
}

bool TForeignDropRefusal::OfThisProcess(std::uint32_t window)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, wmPid_, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return false;
    const auto pid = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return pid == std::uint32_t(getpid());
}

bool TForeignDropRefusal::HasProperty(std::uint32_t window, std::uint32_t atom)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 0), nullptr));
    return reply && reply->type != XCB_NONE;
}
