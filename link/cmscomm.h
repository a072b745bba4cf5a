#pragma once
// CMSComm: the program's one serial-port control. It offers the property operations
// the link uses (select port, open/close, line settings, flush receive and transmit
// buffers, receive threshold, binary read of all waiting bytes, write of a byte array)
// and one receive notification, OnComm, on the thread that owns it.
//
// Bytes arrive from the port in arbitrary fragments. CMSComm collects them in its own
// receive buffer and raises OnComm (CommEvent 2) once at least RThreshold bytes wait,
// so one read of Input yields one whole reply. The event is posted, never raised from
// inside a setter or a read.
//
// Failures raise CommDispatchError: a port number with no device behind it, a port
// that will not open, sending on a closed port, an invalid property value. A port that
// vanishes while open (adapter pulled out) is closed and reads as not open; it is
// never reported as received data.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <optional>
#include <stdexcept>

class CommDispatchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Line settings as in "115200,n,8,1": baud, parity (n, e, o, m, s), data bits (5..8),
// stop bits (1, 1.5, 2). Case and blanks around the fields do not matter.
struct LineSettings {
    qint32 baudRate = 115200;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    static std::optional<LineSettings> parse(const QString& text);
};

// The receive buffer with its threshold, without any port: what arrived, how much a
// read takes, and whether the threshold is reached.
class ReceiveBuffer {
public:
    void setThreshold(int bytes) { m_threshold = bytes; }
    int threshold() const { return m_threshold; }
    void append(const QByteArray& fragment) { m_data.append(fragment); }
    // At least `threshold` bytes wait; a threshold of 0 never raises an event.
    bool thresholdReached() const { return m_threshold > 0 && m_data.size() >= m_threshold; }
    // Takes the first maxBytes bytes (all of them for 0) out of the buffer.
    QByteArray take(int maxBytes);
    void clear() { m_data.clear(); }
    qsizetype size() const { return m_data.size(); }

private:
    QByteArray m_data;
    int m_threshold = 0;
};

class CMSComm : public QObject {
    Q_OBJECT

public:
    static constexpr short kEventReceive = 2;

    explicit CMSComm(QObject* parent = nullptr);
    ~CMSComm() override;

    // COMn used by the next open (through the port map). Changing it while a port is
    // open is refused; selecting the open port again is accepted.
    void SetCommPort(short comPort);
    // "baud,parity,data,stop"; applied at once when the port is open.
    void SetSettings(const QString& settings);
    // Bytes that raise one receive event; 0 switches the event off.
    void SetRThreshold(short bytes);
    // 0 text, 1 binary; Input always delivers the bytes as they came.
    void SetInputMode(long mode);
    // Bytes one read of Input takes; 0 takes every waiting byte.
    void SetInputLen(short bytes);
    // Writing 0 discards every received byte not yet read.
    void SetInBufferCount(short count);
    // Received bytes not yet read. (Bytes the system still holds for the port are
    // not counted: they come with the next notification.)
    int GetInBufferCount() const;
    // Milliseconds on the line's clock: real time, or the stand-in line's own clock.
    qint64 Clock() const { return m_standIn ? m_standInClock : m_clock.elapsed(); }
    // Writing 0 discards every byte not yet transmitted.
    void SetOutBufferCount(short count);
    void SetPortOpen(bool open);
    bool GetPortOpen() const;
    // Transmits the bytes; the port must be open.
    void SetOutput(const QByteArray& bytes);
    // The waiting bytes (up to InputLen), removed from the buffer.
    QByteArray GetInput();
    // The event being reported: 2 = data received.
    short GetCommEvent() const { return m_commEvent; }

    // A stand-in line, for driving the link without a device (the fuzz targets): while
    // it is on, opening the port needs no device, what is sent goes nowhere, and
    // feedLine() hands in what a device would deliver, raising OnComm by the threshold
    // as received bytes do. Its clock is the caller's (passLineTime), so that a run
    // repeats exactly.
    void setStandInLine(bool on);
    void feedLine(const QByteArray& bytes);
    void passLineTime(qint64 ms) { m_standInClock += ms; }

signals:
    void OnComm();

private:
    void onReadyRead();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void scheduleReceiveEvent();
    void deliverReceiveEvent();
    void closePort();
    bool deviceOpen() const;
    [[noreturn]] void fail(const QString& what) const;

    QSerialPort m_port;
    ReceiveBuffer m_buffer;
    QElapsedTimer m_clock;
    LineSettings m_settings;
    short m_commPort = 0;
    short m_inputLen = 0;
    long m_inputMode = 0;
    short m_commEvent = 0;
    bool m_eventPending = false;
    bool m_failed = false;       // the open port vanished; closing it is queued
    bool m_standIn = false;      // the stand-in line replaces the device
    bool m_standInOpen = false;  // the stand-in line is open
    qint64 m_standInClock = 0;   // its clock
};
