#include "logo/CLogoTransfer.h"

#include <QTimer>

CLogoTransfer::CLogoTransfer(CLogoSender &sender, QObject *parent) : QObject(parent), m_sender(sender) {
    m_ackTimer = new QTimer(this);
    m_ackTimer->setSingleShot(true);
    m_ackTimer->setInterval(kAckTimeoutMs);
    connect(m_ackTimer, &QTimer::timeout, this, &CLogoTransfer::OnAckTimeout);
}

void CLogoTransfer::Start(uint32_t serial) {
    m_sender.StartTransfer(serial);
    m_resends = 0;
    m_ackTimer->start();
    m_ackCounter = 0;
}

CLogoSender::Reply CLogoTransfer::Receive(const uint8_t *data, size_t length) {
    const CLogoSender::Reply reply = m_sender.ParseReply(data, length);
    if (reply == CLogoSender::Reply::ChunkAck)
        OnChunkAck(m_sender.AckSerial());
    else if (reply == CLogoSender::Reply::DeviceReply)
        m_sender.OnDeviceReply(m_sender.ReplySerial());
    return reply;
}

void CLogoTransfer::OnChunkAck(uint32_t serial) {
    if (!m_sender.OnChunkAck(serial))
        return;
    ++m_ackCounter;
    m_resends = 0;
    if (m_sender.TransferActive())
        m_ackTimer->start();
    else
        m_ackTimer->stop();
    emit ChunkAcknowledged(m_ackCounter);
    if (m_ackCounter == CLogoSender::kChunkCount)
        emit Finished();
}

void CLogoTransfer::Abandon() {
    m_sender.AbandonTransfer();
    m_ackTimer->stop();
}

void CLogoTransfer::SetAckTimeout(int ms) {
    m_ackTimer->setInterval(ms);
}

bool CLogoTransfer::IsRunning() const {
    return m_sender.TransferActive();
}

void CLogoTransfer::OnAckTimeout() {
    if (!m_sender.TransferActive())
        return;
    if (m_resends >= kMaxResends) {
        emit GaveUp();
        return;
    }
    ++m_resends;
    m_sender.ResendChunk();
    m_ackTimer->start();
}
