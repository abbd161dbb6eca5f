#pragma once

#include <QObject>

class QSocketNotifier;

// The desktop asks a program to end with SIGTERM, and a closing terminal or session
// with SIGHUP (Ctrl+C: SIGINT). The handler only writes a byte to a pipe; the
// request then arrives as endRequested between reactions, like any other event.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);

signals:
    void endRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};
