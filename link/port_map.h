#pragma once
// Which serial device stands behind "COMn". The program numbers its ports COM1,
// COM2, ... like the logger's users know them; on this system the numbers come
// from a device list.
//
// With the environment variable RQ730_SERIAL_PORTS set, COMn is entry n of its
// comma-separated device list, and an empty entry is a port that does not exist.
// Without it, the serial ports the system lists are numbered from COM1, USB adapters
// first (the logger is reached through one), at most 16.

#include <QList>
#include <QString>
#include <QStringList>

namespace portmap {

constexpr int kMaxPorts = 16;
inline constexpr const char* kEnvironmentVariable = "RQ730_SERIAL_PORTS";

// One serial port as the system describes it.
struct PortCandidate {
    QString systemLocation; // device path, e.g. /dev/ttyUSB0
    bool isUsb = false;
};

// Entries of a device list as in RQ730_SERIAL_PORTS: index 0 is COM1. Blanks around
// entries are trimmed; empty entries stay (absent ports).
QStringList parseDeviceList(const QString& list);

// Device paths of the given ports in COM order: USB adapters first, each group in
// the order of its paths, at most 16.
QStringList orderCandidates(QList<PortCandidate> candidates);

// The device list in force (from the environment or the system), index 0 = COM1.
QStringList devices();

// The device of COMn, or an empty string when that port does not exist.
QString deviceForComPort(int comPort);

} // namespace portmap
