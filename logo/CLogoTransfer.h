#pragma once

#include "logo/CLogoSender.h"

#include <QObject>
#include <cstddef>
#include <cstdint>

class QTimer;

// One logo upload under way: the chunks, their acknowledgements and the resends after a time-out.
class CLogoTransfer : public QObject {
    Q_OBJECT

public:
    // A chunk whose acknowledgement does not come within the time-out is sent again, a few times
    // in a row: a MIDI link can lose a message, and the transfer would otherwise wait for ever.
    static constexpr int kAckTimeoutMs = 2000;
    static constexpr int kMaxResends = 5;

    explicit CLogoTransfer(CLogoSender &sender, QObject *parent = nullptr);

    // Sends the logo block the sender holds to the device of that serial number, from chunk 0.
    void Start(uint32_t serial);
    // One received message, as the port hands it over; says what it was. Only an acknowledgement
    // of the target that shows it has received the current chunk (see CLogoSender::OnChunkAck)
    // moves the transfer: none outside a running transfer, so one that comes late or after
    // Abandon can neither move the progress nor end a later transfer early.
    CLogoSender::Reply Receive(const uint8_t *data, size_t length);
    // Forgets the transfer under way; used when the ports are closed.
    void Abandon();
    void SetAckTimeout(int ms);

    bool IsRunning() const;
    int AckCounter() const { return m_ackCounter; }

signals:
    // count acknowledgements so far, 1 to 64.
    void ChunkAcknowledged(int count);
    // The 64th chunk was acknowledged: the device has the whole block.
    void Finished();
    // The current chunk was sent again as often as it may be and still has no acknowledgement;
    // the transfer stays where it is.
    void GaveUp();

private:
    void OnChunkAck(uint32_t serial);
    void OnAckTimeout();

    CLogoSender &m_sender;
    QTimer *m_ackTimer = nullptr;
    int m_ackCounter = 0;
    int m_resends = 0;
};
