#include "PtyPrinter.h"

#include "ReplyPacer.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace dzsim {

namespace {
// How long reading pauses after the line went away (EIO) or while the printer
// is told never to read.
constexpr int kResumeAfterMs = 100;
}  // namespace

PtyPrinter::PtyPrinter(PrinterModel& model, QObject* parent) : QObject(parent), m_model(model) {
  m_resume.setSingleShot(true);
  connect(&m_resume, &QTimer::timeout, this, [this] {
    if (m_readNotifier) m_readNotifier->setEnabled(true);
  });
}

PtyPrinter::~PtyPrinter() { Close(); }

bool PtyPrinter::Open() {
  Close();
  char name[256] = {};
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
    m_error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    return false;
  }
  termios tio{};
  if (::tcgetattr(slave, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);
  }
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave, F_SETFD, FD_CLOEXEC);

  // The simulator keeps its own slave descriptor open (and never reads it),
  // so that the line does not hang up each time the tool closes its port:
  // the master then never sees EIO between two sessions of the tool.
  m_master = master;
  m_slave = slave;
  m_slavePath = QString::fromLocal8Bit(name);
  m_error.clear();
  m_framer.Clear();
  m_out.clear();

  m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
  connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyPrinter::OnReadable);
  m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
  m_writeNotifier->setEnabled(false);
  connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyPrinter::OnWritable);
  m_pacer = new ReplyPacer([this](const QByteArray& bytes) { Write(bytes); },
                           nullptr,  // a serial line cannot be dropped: the rest never comes
                           this);
  return true;
}

bool PtyPrinter::Publish(const QString& folder) {
  if (m_master < 0) {
    m_error = QStringLiteral("publish: the pseudo-terminal is not open");
    return false;
  }
  const QByteArray dir = QFile::encodeName(folder);
  if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST) {
    m_error = QStringLiteral("publish: cannot create %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
  }
  // The tool trusts the links only in a folder that no one else may write.
  struct stat st {};
  if (::lstat(dir.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
      ::chmod(dir.constData(), 0700) != 0) {
    m_error = QStringLiteral("publish: %1 is not a folder of this user").arg(folder);
    return false;
  }
  if (!m_published.isEmpty()) {
    ::unlink(QFile::encodeName(m_published).constData());
    m_published.clear();
  }
  const QByteArray target = QFile::encodeName(m_slavePath);
  for (int n = 0; n < 100; ++n) {
    const QString link = folder + QStringLiteral("/ttyDZSIM%1").arg(n);
    const QByteArray linkName = QFile::encodeName(link);
    if (::symlink(target.constData(), linkName.constData()) == 0) {
      m_published = link;
      return true;
    }
    if (errno != EEXIST) break;
    // A link whose pseudo-terminal is gone was left by a simulator that
    // did not stop cleanly: take its place.
    struct stat linked {};
    if (::stat(linkName.constData(), &linked) != 0 && ::unlink(linkName.constData()) == 0 &&
        ::symlink(target.constData(), linkName.constData()) == 0) {
      m_published = link;
      return true;
    }
  }
  m_error =
      QStringLiteral("publish: cannot make a link in %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
  return false;
}

void PtyPrinter::Close() {
  if (!m_published.isEmpty()) {
    ::unlink(QFile::encodeName(m_published).constData());
    m_published.clear();
  }
  m_resume.stop();
  delete m_pacer;
  m_pacer = nullptr;
  delete m_readNotifier;
  m_readNotifier = nullptr;
  delete m_writeNotifier;
  m_writeNotifier = nullptr;
  if (m_slave >= 0) ::close(m_slave);
  if (m_master >= 0) ::close(m_master);
  m_slave = -1;
  m_master = -1;
  m_slavePath.clear();
  m_out.clear();
}

void PtyPrinter::PauseReading() {
  m_readNotifier->setEnabled(false);
  m_resume.start(kResumeAfterMs);
}

void PtyPrinter::OnReadable() {
  if (m_master < 0) return;
  if (m_model.Mode() == Misbehaviour::NeverRead) {
    PauseReading();
    return;
  }
  std::uint8_t buffer[4096];
  const ssize_t n = ::read(m_master, buffer, sizeof buffer);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (n <= 0) {
    // EIO: no slave side is open. Look again after a pause instead of
    // spinning on a descriptor that stays readable.
    PauseReading();
    return;
  }
  for (const Bytes& command : m_framer.Push(buffer, static_cast<std::size_t>(n))) {
    const std::vector<Bytes> replies = m_model.Execute(command);
    emit commandReceived(
        QByteArray(reinterpret_cast<const char*>(command.data()), static_cast<qsizetype>(command.size())));
    if (!m_pacer) return;  // closed by a receiver of the signal
    for (const Bytes& reply : replies) {
      emit replyQueued(QByteArray(reinterpret_cast<const char*>(reply.data()), static_cast<qsizetype>(reply.size())));
      if (!m_pacer) return;
      m_pacer->Queue(PlanReply(reply, m_model.GetBehaviour()));
    }
  }
}

void PtyPrinter::Write(const QByteArray& bytes) {
  m_out.append(bytes);
  Flush();
}

void PtyPrinter::OnWritable() { Flush(); }

void PtyPrinter::Flush() {
  if (m_master < 0) return;
  while (!m_out.isEmpty()) {
    const ssize_t n = ::write(m_master, m_out.constData(), static_cast<size_t>(m_out.size()));
    if (n > 0) {
      m_out.remove(0, n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      // The slave's input queue is full: go on when there is room.
      m_writeNotifier->setEnabled(true);
      return;
    }
    // The line is gone: what was not sent is lost, as on a real cable.
    m_out.clear();
    break;
  }
  m_writeNotifier->setEnabled(false);
}

}  // namespace dzsim
