#include "link/cmscomm.h"

#include "link/port_map.h"

#include <QMetaObject>
#include <QStringList>

std::optional<LineSettings> LineSettings::parse(const QString& text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;

    LineSettings s;
    bool ok = false;
    s.baudRate = fields[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0)
        return std::nullopt;

    const QString parity = fields[1].trimmed().toLower();
    if (parity == QLatin1String("n"))
        s.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("e"))
        s.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("o"))
        s.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("m"))
        s.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("s"))
        s.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;

    const int data = fields[2].trimmed().toInt(&ok);
    if (!ok || data < 5 || data > 8)
        return std::nullopt;
    s.dataBits = static_cast<QSerialPort::DataBits>(data);

    const QString stop = fields[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        s.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return s;
}

QByteArray ReceiveBuffer::take(int maxBytes)
{
    if (maxBytes <= 0 || maxBytes >= m_data.size()) {
        QByteArray all;
        all.swap(m_data);
        return all;
    }
    QByteArray head = m_data.left(maxBytes);
    m_data.remove(0, maxBytes);
    return head;
}

CMSComm::CMSComm(QObject* parent) : QObject(parent), m_port(this)
{
    m_clock.start();
    m_port.setReadBufferSize(0);
    connect(&m_port, &QSerialPort::readyRead, this, &CMSComm::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &CMSComm::onErrorOccurred);
}

CMSComm::~CMSComm() = default;

void CMSComm::fail(const QString& what) const
{
    throw CommDispatchError(what.toStdString());
}

void CMSComm::SetCommPort(short comPort)
{
    if (comPort < 1)
        fail(QStringLiteral("Invalid port number %1").arg(comPort));
    if (GetPortOpen() && comPort != m_commPort)
        fail(QStringLiteral("Port already open"));
    m_commPort = comPort;
}

void CMSComm::SetSettings(const QString& settings)
{
    const std::optional<LineSettings> parsed = LineSettings::parse(settings);
    if (!parsed)
        fail(QStringLiteral("Invalid line settings \"%1\"").arg(settings));
    m_settings = *parsed;
    if (deviceOpen()) {
        const bool applied =
            m_port.setBaudRate(m_settings.baudRate) && m_port.setParity(m_settings.parity)
            && m_port.setDataBits(m_settings.dataBits) && m_port.setStopBits(m_settings.stopBits);
        if (!applied)
            fail(QStringLiteral("Cannot apply line settings: %1").arg(m_port.errorString()));
    }
}

void CMSComm::SetRThreshold(short bytes)
{
    if (bytes < 0)
        fail(QStringLiteral("Invalid receive threshold %1").arg(bytes));
    m_buffer.setThreshold(bytes);
    // A reply may already be waiting when the threshold is lowered to its length.
    scheduleReceiveEvent();
}

void CMSComm::SetInputMode(long mode)
{
    if (mode != 0 && mode != 1)
        fail(QStringLiteral("Invalid input mode %1").arg(mode));
    m_inputMode = mode;
}

void CMSComm::SetInputLen(short bytes)
{
    if (bytes < 0)
        fail(QStringLiteral("Invalid input length %1").arg(bytes));
    m_inputLen = bytes;
}

void CMSComm::SetInBufferCount(short count)
{
    if (count != 0)
        fail(QStringLiteral("The receive buffer can only be emptied"));
    m_buffer.clear();
    if (deviceOpen())
        m_port.clear(QSerialPort::Input);
}

void CMSComm::SetOutBufferCount(short count)
{
    if (count != 0)
        fail(QStringLiteral("The transmit buffer can only be emptied"));
    if (deviceOpen())
        m_port.clear(QSerialPort::Output);
}

void CMSComm::SetPortOpen(bool open)
{
    if (!open) {
        closePort();
        return;
    }
    if (GetPortOpen())
        return;
    // A vanished port whose close is still queued is closed now, before reopening.
    closePort();
    if (m_standIn) {
        m_standInOpen = true;
        return;
    }

    const QString device = portmap::deviceForComPort(m_commPort);
    if (device.isEmpty())
        fail(QStringLiteral("COM%1 does not exist").arg(m_commPort));

    m_port.setPortName(device);
    m_port.setBaudRate(m_settings.baudRate);
    m_port.setParity(m_settings.parity);
    m_port.setDataBits(m_settings.dataBits);
    m_port.setStopBits(m_settings.stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QString reason = m_port.errorString();
        m_port.clearError();
        fail(QStringLiteral("Cannot open COM%1 (%2): %3").arg(m_commPort).arg(device, reason));
    }
    // Whatever the line carried while nobody listened is not a reply to us.
    m_port.clear(QSerialPort::AllDirections);
    m_buffer.clear();
}

bool CMSComm::GetPortOpen() const
{
    return m_standInOpen || deviceOpen();
}

bool CMSComm::deviceOpen() const
{
    return m_port.isOpen() && !m_failed;
}

void CMSComm::SetOutput(const QByteArray& bytes)
{
    if (!GetPortOpen())
        fail(QStringLiteral("Port is not open"));
    if (m_standInOpen)
        return;
    if (m_port.write(bytes) != bytes.size())
        fail(QStringLiteral("Cannot send: %1").arg(m_port.errorString()));
    m_port.flush();
}

int CMSComm::GetInBufferCount() const
{
    return static_cast<int>(m_buffer.size());
}

QByteArray CMSComm::GetInput()
{
    return m_buffer.take(m_inputLen);
}

void CMSComm::onReadyRead()
{
    if (m_failed)
        return;
    m_buffer.append(m_port.readAll());
    scheduleReceiveEvent();
}

void CMSComm::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // A pulled adapter (or a hung-up line) shows as a resource error, or as a read or
    // write error when the device fails an I/O call; either way the port is gone.
    // Going on would only repeat the error at every notification, so the port is
    // marked failed at once and closed once control has left QSerialPort's own
    // notification handler.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError
        && error != QSerialPort::WriteError)
        return;
    if (m_failed || !m_port.isOpen())
        return;
    m_failed = true;
    m_buffer.clear();
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Skip when the caller closed (and perhaps reopened) the port meanwhile.
            if (m_failed)
                closePort();
        },
        Qt::QueuedConnection);
}

void CMSComm::setStandInLine(bool on)
{
    closePort();
    m_standIn = on;
}

void CMSComm::feedLine(const QByteArray& bytes)
{
    // Bytes that reach a closed port are lost, as on a real line.
    if (!m_standInOpen)
        return;
    m_buffer.append(bytes);
    scheduleReceiveEvent();
}

void CMSComm::closePort()
{
    m_standInOpen = false;
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
    m_failed = false;
    m_buffer.clear();
}

void CMSComm::scheduleReceiveEvent()
{
    if (m_eventPending || !m_buffer.thresholdReached())
        return;
    m_eventPending = true;
    QMetaObject::invokeMethod(this, &CMSComm::deliverReceiveEvent, Qt::QueuedConnection);
}

void CMSComm::deliverReceiveEvent()
{
    m_eventPending = false;
    // The buffer may have been emptied or the port closed since the event was posted.
    if (!GetPortOpen() || !m_buffer.thresholdReached())
        return;
    m_commEvent = kEventReceive;
    emit OnComm();
}
