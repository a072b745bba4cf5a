#pragma once
// Helpers that give every test a clean, private home folder.
#include <QByteArray>
#include <QString>
#include <ctime>
#include <functional>

namespace testenv {

// The folder under which test homes are made (set once by the test main).
void setHomeRoot(const QString& root);

// Points HOME, XDG_CONFIG_HOME and the Documents folder at a new empty folder and
// returns its path. Call it at the start of a test that touches files.
QString resetHome();

// The folder that the program uses as the Windows folder for the current home.
QString configFolder();

// Runs `run` with the process's file-size limit lowered to `bytes`, so that a write
// fails half-way whoever runs the test (permissions do not stop the superuser). The
// program itself must keep the signal such a write raises from ending it.
void withFileSizeLimit(long bytes, const std::function<void()>& run);

// A local time from its fields (month counted from 1).
std::time_t localTime(int year, int month, int day, int hour, int minute, int second);

// Sets the process's time zone (TZ) for the lifetime of the object, so that expected
// times can be written out by hand; the zone before comes back at the end.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone = "UTC");
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool m_had = false;
    QByteArray m_old;
};

} // namespace testenv
