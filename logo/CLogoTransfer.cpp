#include "logo/CLogoTransfer.h"

#include "logo/CLogoSender.h"

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

void CLogoTransfer::OnChunkAck() {
    if (!m_sender.TransferActive())
        return;
    // A late answer to a chunk already sent again moves nothing.
    if (!m_sender.OnChunkAck())
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
