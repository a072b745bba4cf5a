#pragma once
// The real-time frames in the bytes of the line. A frame is taken only from its
// 3F 3F start; bytes before a start are dropped, and a frame that is cut short (the
// next frame begins inside its 2365 bytes) is dropped, so that the stream finds its
// frames again after any damage. Pure: no port, fed with the bytes of each read.
#include <QByteArray>

#include "link/wire_protocol.h"

class RealTimeStream {
public:
    // Adds the bytes of one read; returns the last whole frame they complete, or an
    // empty array when none.
    QByteArray feed(const QByteArray& bytes);
    // Bytes still needed before the next whole frame can be taken (at least 1).
    int missing() const { return m_missing; }
    void clear();

private:
    QByteArray m_pending; // the frame begun, from its start
    int m_missing = static_cast<int>(wire::kRealTimeFrameSize);
};
