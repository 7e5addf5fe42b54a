#pragma once
// What the serial and LAN harnesses share: one core application, a link
// built fresh for every input, and the check that record replies update
// the items only from a complete record.
#include <QCoreApplication>
#include <QSet>
#include <QString>

#include "CInterface.h"
#include "FuzzCheck.h"
#include "WindowLanLink.h"
#include "LinkDispatcher.h"
#include "RecordingHost.h"
#include "Replies.h"

namespace fuzz {

inline void EnsureCoreApplication() {
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  (void)app;
}

// Every text a status reply can put in a label: the known status messages
// and the empty text (unknown codes leave the message empty).
inline const QSet<QString>& StatusTexts() {
  static const QSet<QString> texts = [] {
    QSet<QString> set;
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) {
        std::string message;
        int received = 0;
        GetStatusMessage(std::string{static_cast<char>(a), static_cast<char>(b)}, message, received);
        set.insert(QString::fromLatin1(message.data(), static_cast<int>(message.size())));
      }
    return set;
  }();
  return texts;
}

// One link for the whole run (building the transports' sockets for every
// input would cost more than the input itself); Reset brings it back to the
// state of a new window before each input.
struct LinkUnderTest {
  CItemManager items;
  CInterface settings;
  RecordingHost host;
  LinkDispatcher link{items, settings, host};
  std::vector<bool> inGroup;
  std::vector<std::string> fields;  // item texts before the current step
  int kind = 0;
  bool notified = true;  // the link reported a change since the last check

  static LinkUnderTest& Instance(int p_iKind) {
    EnsureCoreApplication();
    static LinkUnderTest* t = new LinkUnderTest;
    t->Reset(p_iKind);
    return *t;
  }

  void Reset(int p_iKind) {
    static CItemManager defaults;
    const std::vector<CItem*> mine = items.AllItems(), fresh = defaults.AllItems();
    for (size_t i = 0; i < mine.size(); ++i) *mine[i] = *fresh[i];
    link.Lan().Close();
    link.State().m_byReceiveBuffer.clear();
    link.State().m_bReplyExpected = false;
    link.State().m_bHeadCheckMode = false;
    link.State().m_bReadInProgress = false;
    link.State().m_bReplyReceived = 0;
    link.State().m_bStatusReplyActive = 0;
    link.State().m_bParameterReplyActive = 0;
    host = RecordingHost();
    kind = p_iKind;
    link.State().m_iReplyRecord = static_cast<int16_t>(kind);
    inGroup = Membership(items, ReadGroup(items, kind));
    fields = ItemSnapshot(items);
    notified = true;
  }

 private:
  LinkUnderTest() {
    QObject::connect(&link, &LinkDispatcher::stateChanged, [this] { notified = true; });
  }

 public:
  // After each delivery: items outside the kind's group never change; when
  // the group changed, it holds exactly what the complete record in the
  // receive buffer gives. The items are compared only after the link
  // reported a change (decoding a record always reports one) and at the end.
  void CheckStep(const char* what, bool last = false) {
    if (!notified && !last) return;
    notified = false;
    const std::vector<std::string> now = ItemSnapshot(items);
    CheckOnlyChanged(fields, now, inGroup, what);
    if (now != fields) {
      const int width = GetRecordWidth(kind);
      const Bytes& frame = link.State().m_byReceiveBuffer;
      FUZZ_CHECK(width > 0 && frame.size() >= static_cast<size_t>(width) + 2,
                 "%s: items changed from a %zu-byte frame of kind %d", what, frame.size(), kind);
      CItemManager expected;
      bool flag = true;
      StoreRecordReply(expected, kind, Bytes(frame.begin(), frame.end()), flag);
      FUZZ_CHECK(ItemSnapshot(expected) == now, "%s: items differ from the record in the buffer", what);
    }
    fields = now;
    for (const QStringList* shown : {&host.statusHistory, &host.headCheckHistory}) {
      for (const QString& text : *shown)
        FUZZ_CHECK(StatusTexts().contains(text), "%s: shown \"%s\" is no status text", what,
                   text.toLatin1().constData());
    }
    host.statusHistory.clear();
    host.headCheckHistory.clear();
    CheckItemsFormat(items);
  }
};

}  // namespace fuzz
