#pragma once
// Keeps a pty's number taken after its line is hung up. Pulling the adapter out makes
// its device node vanish; without this, a pty made meanwhile by a test running in
// parallel can get the same number, and the "vanished" port would open again.
#include <QString>
#include <fcntl.h>
#include <unistd.h>

namespace linktest {

class HeldDeviceNumber {
public:
    explicit HeldDeviceNumber(const QString& path)
        : m_fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
    }
    ~HeldDeviceNumber()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    HeldDeviceNumber(const HeldDeviceNumber&) = delete;
    HeldDeviceNumber& operator=(const HeldDeviceNumber&) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd;
};

} // namespace linktest
