#include "platform/x11clipboardreader.h"

#include "core/clipboardhistory.h"

#include <QMetaObject>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

#include <poll.h>
#include <xcb/xcb.h>

namespace {

// How long an owner may take for each step of its answer.
constexpr int stepTimeoutMs = 3000;

xcb_atom_t atom(xcb_connection_t *c, const char *name) {
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

} // namespace

struct X11ClipboardReader::Worker {
    xcb_connection_t *c = nullptr;
    xcb_window_t window = 0;
    xcb_atom_t clipboard = 0, targets = 0, utf8 = 0, incr = 0, hint = 0, property = 0;
    qint64 maxBytes = 0;
    quint32 ownBase = 0, ownMask = 0;
    std::thread thread;
    std::mutex mutex;
    std::condition_variable wake;
    bool wanted = false;
    // Also read by a read under way, which gives up at once when the program ends.
    std::atomic<bool> ending = false;
    std::function<void(QByteArray, bool, bool)> deliver;

    ~Worker() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ending = true;
        }
        wake.notify_one();
        if (thread.joinable())
            thread.join();
        if (c)
            xcb_disconnect(c);
    }

    // The next event of `type` (without the send bit) for which `accept` holds, within the
    // step's time; null when none came. Other events are dropped: this connection hears only of
    // its own window.
    template <typename Accept> xcb_generic_event_t *waitFor(uint8_t type, Accept accept) {
        const int fd = xcb_get_file_descriptor(c);
        for (int waited = 0; waited < stepTimeoutMs && !ending;) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
                if ((event->response_type & 0x7f) == type && accept(event))
                    return event;
                std::free(event);
            }
            if (xcb_connection_has_error(c))
                return nullptr;
            pollfd p{fd, POLLIN, 0};
            const int step = 50;
            if (::poll(&p, 1, step) == 0)
                waited += step;
        }
        return nullptr;
    }

    // Asks the owner for the clipboard as `target`; the property it answered in, or none.
    bool convert(xcb_atom_t target) {
        xcb_delete_property(c, window, property);
        xcb_convert_selection(c, window, clipboard, target, property, XCB_CURRENT_TIME);
        xcb_flush(c);
        xcb_generic_event_t *event = waitFor(XCB_SELECTION_NOTIFY, [&](xcb_generic_event_t *e) {
            return reinterpret_cast<xcb_selection_notify_event_t *>(e)->target == target;
        });
        const bool answered =
            event && reinterpret_cast<xcb_selection_notify_event_t *>(event)->property != XCB_NONE;
        std::free(event);
        return answered;
    }

    // The property's value, deleted as read (which asks an INCR owner for the next part).
    bool take(QByteArray *value, xcb_atom_t *type) {
        value->clear();
        for (uint32_t offset = 0;;) {
            xcb_get_property_reply_t *reply =
                xcb_get_property_reply(c,
                                       xcb_get_property(c, 0, window, property,
                                                        XCB_GET_PROPERTY_TYPE_ANY, offset, 1 << 20),
                                       nullptr);
            if (!reply)
                return false;
            *type = reply->type;
            const int length = xcb_get_property_value_length(reply);
            value->append(static_cast<const char *>(xcb_get_property_value(reply)), length);
            const uint32_t after = reply->bytes_after;
            std::free(reply);
            offset += uint32_t(length) / 4;
            if (after == 0)
                break;
        }
        xcb_delete_property(c, window, property);
        xcb_flush(c);
        return true;
    }

    void readOnce() {
        // This program's own copy is no copy made elsewhere, whenever it was made.
        xcb_get_selection_owner_reply_t *owner =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
        const xcb_window_t window = owner ? owner->owner : xcb_window_t(XCB_NONE);
        std::free(owner);
        if (window == XCB_NONE || (ownMask && (window & ~ownMask) == ownBase)) {
            deliver({}, false, false);
            return;
        }
        QByteArray value;
        xcb_atom_t type = XCB_NONE;
        bool secret = false;
        if (convert(targets) && take(&value, &type)) {
            const auto *atoms = reinterpret_cast<const xcb_atom_t *>(value.constData());
            for (qsizetype i = 0; i < value.size() / qsizetype(sizeof(xcb_atom_t)); ++i)
                secret = secret || atoms[i] == hint;
        }
        if (secret) {
            deliver({}, true, true);
            return;
        }
        if (!convert(utf8) || !take(&value, &type)) {
            deliver({}, false, false);
            return;
        }
        if (type != incr) {
            deliver(value, false, true);
            return;
        }
        // In parts: each new value of the property is the next, an empty one the end.
        QByteArray text;
        for (;;) {
            xcb_generic_event_t *event = waitFor(XCB_PROPERTY_NOTIFY, [&](xcb_generic_event_t *e) {
                auto *p = reinterpret_cast<xcb_property_notify_event_t *>(e);
                return p->atom == property && p->state == XCB_PROPERTY_NEW_VALUE;
            });
            if (!event) {
                deliver({}, false, false);
                return;
            }
            std::free(event);
            if (!take(&value, &type)) {
                deliver({}, false, false);
                return;
            }
            if (value.isEmpty())
                break;
            // Past the limit the text is not kept: one byte over says so, the rest is let go.
            if (text.size() <= maxBytes)
                text.append(value.left(maxBytes + 1 - text.size()));
        }
        deliver(text, false, true);
    }

    void run() {
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [this] { return wanted || ending; });
                if (ending)
                    return;
                wanted = false;
            }
            readOnce();
        }
    }
};

std::unique_ptr<X11ClipboardReader> X11ClipboardReader::open(qint64 maxBytes, quint32 ownBase,
                                                             quint32 ownMask, QObject *parent) {
    auto worker = std::make_unique<Worker>();
    worker->c = xcb_connect(nullptr, nullptr);
    if (!worker->c || xcb_connection_has_error(worker->c))
        return nullptr;
    xcb_connection_t *c = worker->c;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    worker->window = xcb_generate_id(c);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, worker->window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    worker->clipboard = atom(c, "CLIPBOARD");
    worker->targets = atom(c, "TARGETS");
    worker->utf8 = atom(c, "UTF8_STRING");
    worker->incr = atom(c, "INCR");
    worker->hint = atom(c, "x-kde-passwordManagerHint");
    worker->property = atom(c, "SNAPVALE_CLIPBOARD");
    worker->maxBytes = maxBytes;
    worker->ownBase = ownBase;
    worker->ownMask = ownMask;
    xcb_flush(c);
    return std::unique_ptr<X11ClipboardReader>(new X11ClipboardReader(std::move(worker), parent));
}

X11ClipboardReader::X11ClipboardReader(std::unique_ptr<Worker> worker, QObject *parent)
    : QObject(parent)
    , m_worker(std::move(worker)) {
    // Posted to this object, whose thread runs it; Qt drops it if the object is gone by then,
    // and the worker has ended before the object goes.
    m_worker->deliver = [this](QByteArray utf8, bool secret, bool ok) {
        const QString digest = utf8.isEmpty() ? QString() : ClipboardHistory::digestOf(utf8);
        QMetaObject::invokeMethod(
            this,
            [this, utf8 = std::move(utf8), digest, secret, ok] {
                emit read(utf8, digest, secret, ok);
            },
            Qt::QueuedConnection);
    };
    m_worker->thread = std::thread([w = m_worker.get()] { w->run(); });
}

X11ClipboardReader::~X11ClipboardReader() = default;

void X11ClipboardReader::request() {
    {
        std::lock_guard<std::mutex> lock(m_worker->mutex);
        m_worker->wanted = true;
    }
    m_worker->wake.notify_one();
}
