// Ending the program in order when the user logs out or the machine shuts down: the session
// manager's end of session and the termination signals close the frame as Exit does, so that every
// window closes and the tables are closed, instead of the process being killed.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

namespace tunarium {

class SessionEndWatcher : public QObject {
    Q_OBJECT
public:
    // Watches for the end of the session on behalf of `frame`. One watcher per process.
    explicit SessionEndWatcher(QWidget* frame, QObject* parent = nullptr);
    ~SessionEndWatcher() override;

    void setFrame(QWidget* frame) { m_frame = frame; }

private:
    void closeFrame();
    void signalArrived();

    QPointer<QWidget> m_frame;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tunarium
