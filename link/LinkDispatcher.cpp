#include "LinkDispatcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "CInterface.h"
#include "CItemManager.h"
#include "ILinkHost.h"
#include "LanTransport.h"
#include "Replies.h"
#include "SerialTransport.h"
#include "UsbTransport.h"

namespace {
constexpr int kCritical = 16;
const QString kTitle = QStringLiteral("Dazavu Setting Tool");
}  // namespace

LinkDispatcher::LinkDispatcher(CItemManager& p_objItems, CInterface& p_objInterface, ILinkHost& p_objHost,
                               QObject* p_objParent)
    : QObject(p_objParent), m_objItems(p_objItems), m_objInterface(p_objInterface), m_objHost(p_objHost) {
  m_objSerial = std::make_unique<SerialTransport>(*this);
  m_objLan = std::make_unique<LanTransport>(*this);
  m_objUsb = std::make_unique<UsbTransport>(*this);
}

LinkDispatcher::~LinkDispatcher() = default;

bool LinkDispatcher::SendCommand(CInterface& p_objInterface, const Bytes& p_byCommand, Bytes& p_byReply,
                                 QString& p_sErrorText, int32_t& p_iReceivedCount, int32_t p_iReplySize,
                                 bool& p_bReplyExpected) {
  m_bReplyExpected = p_bReplyExpected;
  if (m_bShuttingDown) return false;  // nothing goes out while the window closes
  switch (p_objInterface.GetActiveInterface()) {
    case 0:
      if (!m_objSerial->SendSerial(p_byCommand)) return false;
      break;
    case 1:
      if (!m_objLan->SendLan(p_byCommand, p_byReply, p_sErrorText, p_iReplySize)) return false;
      break;
    case 2:
      if (!m_objUsb->SendUsb(p_byCommand, p_byReply, p_sErrorText, p_iReceivedCount, p_iReplySize)) return false;
      break;
    default:
      return true;  // no such link: nothing is sent
  }
  if (p_objInterface.GetActiveInterface() != 2) return true;  // replies come through the receivers

  if (p_byReply.empty() || p_iReceivedCount <= 0) return true;
  if (p_byReply[0] == kSoh) {
    ShowStatusReply(p_byReply);
    return true;
  }
  if (p_byReply[0] == 2) {
    // A record reply: the record frame follows the first two bytes. Only the
    // bytes the library delivered are taken, never the zero-filled rest.
    const size_t wanted = static_cast<size_t>(std::max<int32_t>(p_iReplySize, 0)) / 2 + 1;
    const size_t delivered = p_iReceivedCount > 2 ? static_cast<size_t>(p_iReceivedCount) - 2 : 0;
    const size_t length = std::min({wanted, delivered, p_byReply.size() - std::min<size_t>(2, p_byReply.size())});
    m_byReceiveBuffer.assign(p_byReply.begin() + 2, p_byReply.begin() + 2 + static_cast<std::ptrdiff_t>(length));
    // A record that ended before its last field is dropped like a reply that
    // never came: the operation goes on, as it does on the other links.
    if (!HoldsAllFields(m_byReceiveBuffer)) return true;
    return StoreRecord(m_byReceiveBuffer);
  }
  return true;
}

bool LinkDispatcher::SendCommand(const Bytes& p_byCommand, QString& p_sErrorText, int32_t p_iReplySize,
                                 bool p_bReplyExpected) {
  Bytes reply;
  int32_t received = 0;
  return SendCommand(m_objInterface, p_byCommand, reply, p_sErrorText, received, p_iReplySize, p_bReplyExpected);
}

void LinkDispatcher::ShowStatusReply(const Bytes& p_byReply) {
  std::string message;
  m_sLastStatusCode = StatusCodeOf(p_byReply);
  GetStatusMessage(m_sLastStatusCode, message, m_bReplyReceived);
  const QString text = QString::fromLatin1(message.data(), static_cast<int>(message.size()));
  if (m_bHeadCheckMode) {
    m_objHost.ShowHeadCheckText(text);
    m_bHeadCheckMode = false;
  } else {
    m_objHost.ShowStatusText(text);
  }
  NotifyStateChanged();
}

bool LinkDispatcher::StoreRecord(const Bytes& p_byFrame) {
  // A frame that ends before its last field is dropped whole: the items are
  // updated from a complete record or not at all.
  if (!HoldsAllFields(p_byFrame)) return false;
  const bool stored = StoreRecordReply(m_objItems, m_iReplyRecord, p_byFrame, m_bReplyExpected);
  NotifyStateChanged();
  return stored;
}

bool LinkDispatcher::HoldsAllFields(const Bytes& p_byFrame) const {
  const int width = GetRecordWidth(m_iReplyRecord);
  return width <= 0 || p_byFrame.size() >= static_cast<size_t>(width) + 2;
}

bool LinkDispatcher::WaitUntil(const std::function<bool()>& p_fnCondition, QDeadlineTimer p_objDeadline) {
  // Sleep in a nested event loop that wakes on any window event's work being
  // done, on a link flag change, or at the deadline: no spinning.
  while (!p_fnCondition() && !p_objDeadline.hasExpired() && !m_bShuttingDown) {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &LinkDispatcher::stateChanged, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(std::max<qint64>(0, p_objDeadline.remainingTime())));
    loop.exec();
  }
  return p_fnCondition();
}

void LinkDispatcher::WaitSeconds(double p_dSeconds) {
  QDeadlineTimer deadline(static_cast<qint64>(p_dSeconds * 1000));
  WaitUntil([] { return false; }, deadline);
}

bool LinkDispatcher::WaitLanSendComplete(double p_dSeconds) {
  ProcessEvents();
  QDeadlineTimer deadline(static_cast<qint64>(p_dSeconds * 1000));
  if (WaitUntil([this] { return m_bLanSendComplete == 1; }, deadline)) return true;
  if (m_bShuttingDown) return false;
  m_objHost.Beep();
  m_objHost.ShowMessageBox(QStringLiteral("Device Time Out !!"), kCritical, QStringLiteral("Failure"));
  return false;
}

void LinkDispatcher::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

bool LinkDispatcher::OpenInterface(int p_iIndex) {
  switch (p_iIndex) {
    case 0:
      m_objSerial->OpenSerialPort();
      if (m_objSerial->IsSerialPortOpen()) {
        ProcessEvents();
        return true;
      }
      return false;
    case 1: {
      m_bLanConnected = 0;
      m_bLanSendComplete = 0;
      m_bReplyReceived = 0;
      m_bLanError = false;
      m_objLan->Connect();
      BeginBusy();
      // Ends through the socket's connect or error notification.
      WaitUntil([this] { return m_bLanConnected == 1 || m_bLanError; }, QDeadlineTimer(QDeadlineTimer::Forever));
      if (m_bLanConnected == 1) {
        EndBusy();
        ProcessEvents();
        return true;
      }
      if (!m_bShuttingDown) m_objHost.ShowMessageBox(QStringLiteral("'LAN' Open Error !!"), kCritical, kTitle);
      EndBusy();
      return false;
    }
    case 2:
      return m_objUsb->OpenDevice();
    default:
      return false;
  }
}

bool LinkDispatcher::CloseInterface(int p_iIndex) {
  switch (p_iIndex) {
    case 0:
      m_objSerial->CloseSerialPort();
      break;
    case 1:
      m_objLan->Close();
      break;
    case 2:
      m_objUsb->CloseDevice();
      break;
    default:
      return false;
  }
  ProcessEvents();
  return true;
}

void LinkDispatcher::Shutdown() {
  m_bShuttingDown = true;
  m_objSerial->CloseSerialPort();
  m_objLan->Close();
  NotifyStateChanged();
}

void LinkDispatcher::BeginBusy() { m_objHost.SetCommandButtonsEnabled(false); }

void LinkDispatcher::EndBusy() { m_objHost.SetCommandButtonsEnabled(true); }
