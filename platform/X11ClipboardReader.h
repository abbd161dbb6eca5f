#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

struct xcb_connection_t;
class QSocketNotifier;

// Reads the X clipboard's text over a connection of its own, without waiting: an
// owner that is slow or never answers cannot hold up the window, and a text longer
// than asked for is refused from its size, without fetching it.
class X11ClipboardReader : public QObject
{
    Q_OBJECT

public:
    X11ClipboardReader();
    ~X11ClipboardReader() override;
    bool isConnected() const { return m_connection != nullptr; }
    // done gets the text, or an empty one when there is none, it is too long, or the
    // owner has not answered within the time limit. A new read gives up the one before.
    void read(qsizetype maxLength, std::function<void(const QString&)> done);

private:
    void createRequestor();
    void readEvents();
    void takeProperty();
    void finish(const QString& text);

    xcb_connection_t* m_connection = nullptr;
    quint32 m_root = 0;
    quint32 m_requestor = 0;
    quint32 m_clipboardAtom = 0, m_utf8Atom = 0, m_propertyAtom = 0, m_incrAtom = 0;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_timeout;
    qsizetype m_maxLength = 0;
    std::function<void(const QString&)> m_done;
};
