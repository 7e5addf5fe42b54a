#pragma once
// A link to one printer as a pipe of bytes: open, close, write; signals for
// the bytes received, the bytes the link took, and errors with the
// operating system's reason. A transport shows nothing and decides nothing
// about replies; the channel above it (or the window) does.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>

#include "Commands.h"
#include "ReplyFramer.h"

namespace dz {

enum class TransportError {
  OpenFailed,   // refused, unreachable, no such device, device busy, no library
  WriteFailed,  // the link did not take the bytes
  Lost,         // an open link failed (reset, unplugged)
};

class ByteTransport : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  // How replies are cut from the bytes this link delivers.
  virtual FramingRule Rule() const = 0;
  // Who is at the other end, for messages: "127.0.0.1:8000", "/dev/ttyUSB0", "USB".
  virtual QString PeerName() const = 0;

  // Starts opening; ends in opened() or errorOccurred(OpenFailed). Opening
  // an open link does nothing.
  virtual void Open() = 0;
  // Closes at once; emits closed() when it was open.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Hands the bytes to the link; bytesWritten() follows when it took them.
  // p_iReplySize is the reply the command expects (2 x record width + 8 for
  // a read, 13 for a status reply, 0 for none): USB reads that much after
  // the write and ends with transferEnded(); the other links ignore it.
  // False when the link is not open or refused the bytes (no signal then).
  virtual bool Write(const Bytes& p_byData, int32_t p_iReplySize) = 0;

 signals:
  void opened();
  void closed();
  void bytesReceived(const QByteArray& p_byData);
  void bytesWritten(qint64 p_iCount);
  void errorOccurred(dz::TransportError p_eError, const QString& p_sReason);
  // USB only: the read passes after a write are over (a reply or not).
  void transferEnded();
};

}  // namespace dz
