#pragma once
// Window timers by id: each window owns a table; arming an id that runs restarts
// it with the new period; every expiry calls the window's handler with the id
// (periodic until killed, like the classic window timers).
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

class TimerTable : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int id)>;
    explicit TimerTable(Handler handler, QObject* parent = nullptr);

    void SetTimer(int id, int milliseconds);
    void KillTimer(int id);
    bool IsActive(int id) const;
    // The period an active timer runs with, or -1.
    int Interval(int id) const;

private:
    Handler m_handler;
    std::map<int, std::unique_ptr<QTimer>> m_timers;
};
