#include "link/port_map.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace portmap {

QStringList parseDeviceList(const QString& list)
{
    QStringList entries = list.split(QLatin1Char(','));
    for (QString& e : entries)
        e = e.trimmed();
    return entries;
}

QStringList orderCandidates(QList<PortCandidate> candidates)
{
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const PortCandidate& a, const PortCandidate& b) {
                         if (a.isUsb != b.isUsb)
                             return a.isUsb;
                         return a.systemLocation < b.systemLocation;
                     });
    QStringList paths;
    for (const PortCandidate& c : candidates) {
        if (paths.size() == kMaxPorts)
            break;
        paths.append(c.systemLocation);
    }
    return paths;
}

QStringList devices()
{
    if (qEnvironmentVariableIsSet(kEnvironmentVariable))
        return parseDeviceList(qEnvironmentVariable(kEnvironmentVariable));

    QList<PortCandidate> candidates;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString location = info.systemLocation();
        const bool usb = info.hasVendorIdentifier() || location.contains(QLatin1String("ttyUSB"))
                         || location.contains(QLatin1String("ttyACM"));
        candidates.append({location, usb});
    }
    return orderCandidates(std::move(candidates));
}

QString deviceForComPort(int comPort)
{
    if (comPort < 1)
        return {};
    const QStringList list = devices();
    if (comPort > list.size())
        return {};
    return list.at(comPort - 1);
}

} // namespace portmap
