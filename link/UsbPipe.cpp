#include "UsbPipe.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLibrary>
#include <QThread>
#include <algorithm>

#include "Diruvov.h"
#include "Replies.h"

namespace dz {

namespace {
constexpr unsigned long kPollMs = 20;
constexpr uint8_t kUsbRecordStart = 0x02;

// The one thread on which every blocking library call is made.
QThread* UsbThread() {
  static QThread* thread = [] {
    auto* t = new QThread;
    t->setObjectName(QStringLiteral("usb"));
    t->start();
    // Ends with the application; the thread object lives as long as the process.
    if (QCoreApplication* app = QCoreApplication::instance())
      QObject::connect(app, &QCoreApplication::aboutToQuit, t, [t] {
        t->quit();
        t->wait();
      });
    return t;
  }();
  return thread;
}
}  // namespace

// The library bound by name, on the thread that makes its calls.
class UsbLibrary {
 public:
  explicit UsbLibrary(const QString& p_sPath) : m_sPath(p_sPath) {}

  bool Bind(QString& p_sFailure) {
    if (open) return true;
    QStringList candidates;
    if (!m_sPath.isEmpty())
      candidates << m_sPath;
    else
      candidates << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Diruvov"))
                 << QStringLiteral("Diruvov");
    QString lastError;
    for (const QString& name : candidates) {
      m_objLibrary.setFileName(name);
      if (m_objLibrary.load()) break;
      lastError = m_objLibrary.errorString();
    }
    if (!m_objLibrary.isLoaded()) {
      p_sFailure = QStringLiteral("The USB transfer library \"Diruvov\" could not be loaded (%1).").arg(lastError);
      return false;
    }
    auto openFn = reinterpret_cast<Dll_openUSB_fn>(m_objLibrary.resolve("Dll_openUSB"));
    send = reinterpret_cast<Dll_sendUSB_fn>(m_objLibrary.resolve("Dll_sendUSB"));
    rcv = reinterpret_cast<Dll_rcvUSB_fn>(m_objLibrary.resolve("Dll_rcvUSB"));
    close = reinterpret_cast<Dll_closeUSB_fn>(m_objLibrary.resolve("Dll_closeUSB"));
    if (!openFn || !send || !rcv || !close) {
      p_sFailure = QStringLiteral("The USB transfer library \"Diruvov\" lacks an entry point (%1).")
                       .arg(m_objLibrary.fileName());
      m_objLibrary.unload();
      return false;
    }
    open = openFn;
    return true;
  }

  // Set once bound; open stays null until every entry point is there.
  Dll_openUSB_fn open = nullptr;
  Dll_sendUSB_fn send = nullptr;
  Dll_rcvUSB_fn rcv = nullptr;
  Dll_closeUSB_fn close = nullptr;

 private:
  QString m_sPath;
  QLibrary m_objLibrary;
};

// Lives on the USB thread; every slot blocks for as long as the library takes.
class UsbWorker : public QObject {
  Q_OBJECT
 public:
  explicit UsbWorker(const QString& p_sLibraryPath) : m_objLibrary(p_sLibraryPath) {}

  void Identify() {
    QString failure;
    if (!Bind(failure)) {
      emit openDone(false, failure);
      return;
    }
    const int32_t result = m_fnOpen();
    if (result < 0) m_fnClose();
    emit openDone(result >= 0 || UsbPipe::IdentityFailureText(result).isEmpty(),
                  result >= 0 ? QString() : UsbPipe::IdentityFailureText(result));
  }

  // One write and its read passes; p_iId tells the pipe which write they belong to.
  void Transfer(quint64 p_iId, const Bytes& p_byCommand, int32_t p_iReplySize, int p_iWaitMs) {
    QString failure;
    if (!Bind(failure)) {
      emit writeFailed(p_iId, failure);
      return;
    }
    if (m_fnOpen() < 0) {
      m_fnClose();
      emit writeFailed(p_iId, QStringLiteral("'USB' Open Error !!"));
      return;
    }
    const int32_t sent = m_fnSend(p_byCommand.data(), static_cast<int32_t>(p_byCommand.size()));
    m_fnClose();
    if (sent < 0) {
      emit writeFailed(p_iId, QStringLiteral("Device Time Out !!"));
      return;
    }
    emit written(p_iId, static_cast<qint64>(p_byCommand.size()));
    const size_t room = static_cast<size_t>(std::max<int32_t>(p_iReplySize, 0));
    if (room == 0) {
      emit ended(p_iId);
      return;
    }
    Bytes buffer(room, 0);
    size_t received = 0;
    uint8_t first = 0;
    QDeadlineTimer deadline(p_iWaitMs);
    for (;;) {
      if (m_fnOpen() >= 0) {
        const int32_t asked = static_cast<int32_t>(room - received);
        int32_t n = m_fnRcv(buffer.data(), asked);
        m_fnClose();
        if (n > asked) n = asked;
        if (n > 0) {
          if (received == 0) first = buffer[0];
          received += static_cast<size_t>(n);
          emit received_(p_iId, QByteArray(reinterpret_cast<const char*>(buffer.data()), n));
        }
      } else {
        m_fnClose();
      }
      // A status reply is 13 bytes; a record comes behind two bytes as a
      // frame of half the announced length; anything else is taken as it came.
      const size_t full = first == kSoh              ? static_cast<size_t>(kStatusReplyLength)
                          : first == kUsbRecordStart ? room / 2 + 2
                                                     : 1;
      if ((received > 0 && received >= full) || received >= room || deadline.hasExpired()) break;
      QThread::msleep(kPollMs);
    }
    emit ended(p_iId);
  }

 signals:
  void openDone(bool p_bOk, const QString& p_sFailure);
  void written(quint64 p_iId, qint64 p_iCount);
  void writeFailed(quint64 p_iId, const QString& p_sReason);
  void received_(quint64 p_iId, const QByteArray& p_byData);
  void ended(quint64 p_iId);

 private:
  bool Bind(QString& p_sFailure) {
    if (!m_objLibrary.Bind(p_sFailure)) return false;
    m_fnOpen = m_objLibrary.open;
    m_fnSend = m_objLibrary.send;
    m_fnRcv = m_objLibrary.rcv;
    m_fnClose = m_objLibrary.close;
    return true;
  }

  UsbLibrary m_objLibrary;
  Dll_openUSB_fn m_fnOpen = nullptr;
  Dll_sendUSB_fn m_fnSend = nullptr;
  Dll_rcvUSB_fn m_fnRcv = nullptr;
  Dll_closeUSB_fn m_fnClose = nullptr;
};

QString UsbPipe::IdentityFailureText(int32_t p_iResult) {
  switch (p_iResult) {
    case DIRUVOV_WRONG_DEVICE:
      return QStringLiteral("USB DeviceID mismatch error");
    case DIRUVOV_NO_DEVICE_ID:
      return QStringLiteral("USB DeviceID receive error");
    case DIRUVOV_NOT_READY:
      return QStringLiteral("USB Device not ready !!");
    default:
      return p_iResult < 0 ? QStringLiteral("'USB' Open Error !!") : QString();
  }
}

UsbPipe::UsbPipe(const QString& p_sLibraryPath, QObject* p_objParent, UsbDrive p_eDrive)
    : ByteTransport(p_objParent), m_eDrive(p_eDrive), m_sLibraryPath(p_sLibraryPath) {
  if (p_eDrive == UsbDrive::Caller) {
    m_objLibrary = std::make_unique<UsbLibrary>(p_sLibraryPath);
    return;
  }
  auto* worker = new UsbWorker(p_sLibraryPath);
  worker->moveToThread(UsbThread());
  m_objWorker = worker;
  connect(worker, &UsbWorker::openDone, this, [this](bool p_bOk, const QString& p_sFailure) {
    if (p_bOk) {
      m_bOpen = true;
      emit opened();
    } else {
      emit errorOccurred(TransportError::OpenFailed, p_sFailure);
    }
  });
  // Only the latest write's results count: a transfer whose reply was
  // given up may still be ending on the worker.
  connect(worker, &UsbWorker::written, this, [this](quint64 p_iId, qint64 p_iCount) {
    if (p_iId == m_iLatest) emit bytesWritten(p_iCount);
  });
  connect(worker, &UsbWorker::writeFailed, this, [this](quint64 p_iId, const QString& p_sReason) {
    if (p_iId == m_iLatest) emit errorOccurred(TransportError::WriteFailed, p_sReason);
  });
  connect(worker, &UsbWorker::received_, this, [this](quint64 p_iId, const QByteArray& p_byData) {
    if (p_iId == m_iLatest) emit bytesReceived(p_byData);
  });
  connect(worker, &UsbWorker::ended, this, [this](quint64 p_iId) {
    if (p_iId == m_iLatest) emit transferEnded();
  });
}

UsbPipe::~UsbPipe() {
  if (m_objWorker) {
    m_objWorker->disconnect(this);
    m_objWorker->deleteLater();  // after the transfer it may be making
  }
}

void UsbPipe::Open() {
  if (m_bOpen) return;
  if (m_eDrive == UsbDrive::Caller) {
    QString failure;
    if (!BindLibrary(failure)) {
      emit errorOccurred(TransportError::OpenFailed, failure);
      return;
    }
    const int32_t result = IdentifyDevice();
    if (result < 0) {
      CloseDevice();
      emit errorOccurred(TransportError::OpenFailed, IdentityFailureText(result));
      return;
    }
    m_bOpen = true;
    emit opened();
    return;
  }
  if (!m_objWorker) return;
  QMetaObject::invokeMethod(m_objWorker, &UsbWorker::Identify, Qt::QueuedConnection);
}

void UsbPipe::Close() {
  if (!m_bOpen) return;
  m_bOpen = false;
  emit closed();
}

bool UsbPipe::Write(const Bytes& p_byData, int32_t p_iReplySize) {
  if (!m_bOpen) return false;
  if (m_eDrive == UsbDrive::Caller) return WriteOnce(p_byData);
  if (!m_objWorker) return false;
  UsbWorker* worker = m_objWorker;
  const int wait = m_iReplyWaitMs;
  const quint64 id = ++m_iLatest;
  QMetaObject::invokeMethod(
      worker, [worker, id, p_byData, p_iReplySize, wait] { worker->Transfer(id, p_byData, p_iReplySize, wait); },
      Qt::QueuedConnection);
  return true;
}

bool UsbPipe::BindLibrary(QString& p_sFailure) {
  if (!m_objLibrary) m_objLibrary = std::make_unique<UsbLibrary>(m_sLibraryPath);
  return m_objLibrary->Bind(p_sFailure);
}

int32_t UsbPipe::IdentifyDevice() { return m_objLibrary->open(); }

bool UsbPipe::WriteOnce(const Bytes& p_byData) {
  QString failure;
  if (!BindLibrary(failure)) {
    emit errorOccurred(TransportError::OpenFailed, failure);
    return false;
  }
  const UsbLibrary& lib = *m_objLibrary;
  if (lib.open() < 0) {
    emit errorOccurred(TransportError::OpenFailed, QStringLiteral("'USB' Open Error !!"));
    lib.close();
    return false;
  }
  Between();
  if (lib.send(p_byData.data(), static_cast<int32_t>(p_byData.size())) < 0) {
    emit errorOccurred(TransportError::WriteFailed, QStringLiteral("Device Time Out !!"));
    lib.close();
    return false;
  }
  lib.close();
  Between();
  emit bytesWritten(static_cast<qint64>(p_byData.size()));
  return true;
}

int32_t UsbPipe::ReadPass(Bytes& p_byBuffer, int32_t p_iLength) {
  QString failure;
  if (!BindLibrary(failure)) {
    emit errorOccurred(TransportError::OpenFailed, failure);
    return 0;
  }
  const UsbLibrary& lib = *m_objLibrary;
  if (lib.open() < 0) {
    emit errorOccurred(TransportError::OpenFailed, QStringLiteral("'USB' Open Error !!"));
    lib.close();
    return 0;
  }
  Between();
  // Never let the library write past the buffer, whatever length is asked.
  const int32_t room =
      static_cast<int32_t>(std::min<size_t>(p_byBuffer.size(), static_cast<size_t>(std::max(p_iLength, 0))));
  // A pass that asks for nothing is still made, with a length of 0.
  int32_t received = p_byBuffer.empty() ? 0 : lib.rcv(p_byBuffer.data(), room);
  if (received > room) received = room;
  lib.close();
  Between();
  if (received > 0) emit bytesReceived(QByteArray(reinterpret_cast<const char*>(p_byBuffer.data()), received));
  return received;
}

void UsbPipe::CloseDevice() {
  // Nothing to close before the library has been bound.
  if (m_objLibrary && m_objLibrary->open) m_objLibrary->close();
}

}  // namespace dz

#include "UsbPipe.moc"
