#include "X11ClipboardReader.h"

#include <QSocketNotifier>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr int AnswerLimitMs = 2000;

struct FreeDeleter
{
    void operator()(void* p) const { std::free(p); }
};

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

X11ClipboardReader::X11ClipboardReader()
{
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    m_clipboardAtom = internAtom(m_connection, "CLIPBOARD");
    m_utf8Atom = internAtom(m_connection, "UTF8_STRING");
    m_propertyAtom = internAtom(m_connection, "QORVANE_CLIPBOARD");
    m_incrAtom = internAtom(m_connection, "INCR");
    createRequestor();
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { readEvents(); });
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(AnswerLimitMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        // An answer that comes after this must not be taken for the next request's.
        createRequestor();
        finish(QString());
    });
}

X11ClipboardReader::~X11ClipboardReader()
{
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
}

void X11ClipboardReader::createRequestor()
{
    if (m_requestor != 0)
        xcb_destroy_window(m_connection, m_requestor);
    m_requestor = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_requestor, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_flush(m_connection);
}

void X11ClipboardReader::read(qsizetype maxLength, std::function<void(const QString&)> done)
{
    if (m_done)
        finish(QString());
    m_maxLength = maxLength;
    m_done = std::move(done);
    xcb_delete_property(m_connection, m_requestor, m_propertyAtom);
    xcb_convert_selection(m_connection, m_requestor, m_clipboardAtom, m_utf8Atom, m_propertyAtom, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    m_timeout.start();
}

void X11ClipboardReader::readEvents()
{
    if (xcb_connection_has_error(m_connection)) {
        m_notifier->setEnabled(false); // a closed socket would wake us for ever; reads now time out
        return;
    }
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        std::unique_ptr<xcb_generic_event_t, FreeDeleter> owned(event);
        if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
            continue;
        const auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
        if (!m_done || notify->requestor != m_requestor)
            continue;
        if (notify->property == XCB_ATOM_NONE)
            finish(QString()); // no text to be had
        else
            takeProperty();
    }
}

void X11ClipboardReader::takeProperty()
{
    // At most 3 bytes of UTF-8 per UTF-16 unit: asking for one unit more tells a longer text by what is left over.
    const uint32_t words = uint32_t((m_maxLength * 3) / 4 + 1);
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 1, m_requestor, m_propertyAtom, XCB_GET_PROPERTY_TYPE_ANY, 0, words), nullptr));
    // A text sent in pieces (INCR) is larger than one request, far beyond any address.
    if (!reply || reply->type == m_incrAtom || reply->bytes_after > 0 || reply->format != 8) {
        finish(QString());
        return;
    }
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
    const QString text = QString::fromUtf8(bytes, xcb_get_property_value_length(reply.get()));
    finish(text.size() > m_maxLength ? QString() : text);
}

void X11ClipboardReader::finish(const QString& text)
{
    m_timeout.stop();
    auto done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(text);
}
