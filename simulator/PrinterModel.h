// The printer's side of the command protocol, without any transport.
//
// PrinterModel keeps the settings a printer holds (every record field by name,
// as the printer stores it), answers status requests and record reads, applies
// write commands, and logs every command it received. It is written from the
// printer's point of view and shares no code with the tool's own item and
// protocol layers, so that tests can compare the two.
//
// Plain C++17; the Qt transports (TcpPrinter, PtyPrinter) and the USB
// simulator library wrap it. The field tables are in PrinterFields, the
// misbehaviour modes and reply pieces in ReplyPlan, the stream splitter in
// CommandFramer; this header brings in all that its users need.
#pragma once

#include "Bytes.h"
#include "CommandFramer.h"
#include "ReplyPlan.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace dzsim {

class PrinterModel {
 public:
  static constexpr std::size_t kStatusReplyLength = 13;
  static constexpr int kReadKindCount = 5;

  PrinterModel();

  // Factory settings, status "00", empty log, normal behaviour.
  void ResetToFactory();

  // Stream input: returns the replies for the commands completed by these
  // bytes, in order (commands without a reply contribute nothing).
  std::vector<Bytes> Feed(const std::uint8_t* data, std::size_t length);
  std::vector<Bytes> Feed(const Bytes& data) { return Feed(data.data(), data.size()); }
  std::vector<Bytes> Feed(const std::string& data);

  // One complete command (as cut by a CommandFramer): logged, applied,
  // answered. Returns zero or one reply, after the content modes.
  std::vector<Bytes> Execute(const Bytes& command);

  // The two halves of Execute: Process logs and applies the command and
  // returns the printer's proper reply (empty when the command has none);
  // Misshape applies the content mode (Silence, Garbage, Short, Huge) to a
  // reply. Garbage bytes are never SOH, STX, "{", XON or XOFF.
  Bytes Process(const Bytes& command);
  Bytes Misshape(Bytes reply);

  // The replies as the printer builds them, before any misbehaviour.
  Bytes StatusReply() const;
  Bytes RecordReply(int kind) const;         // empty for a kind outside 0..4
  std::string RecordFields(int kind) const;  // the field characters only
  static int RecordWidth(int kind);          // -1 for a kind outside 0..4

  // Fields by name ("FeedDirection", "IpAddress1", "DhcpClientHost", ...).
  // SetField accepts only a value of exactly the field's width.
  static std::vector<std::string> FieldNames();
  static int FieldWidth(const std::string& name);    // -1 when unknown
  std::string Field(const std::string& name) const;  // empty when unknown
  bool SetField(const std::string& name, const std::string& value);

  std::string StatusCode() const { return m_statusCode; }
  bool SetStatusCode(const std::string& code);  // exactly two characters

  const std::vector<Bytes>& CommandLog() const { return m_log; }
  void ClearCommandLog() { m_log.clear(); }
  // Write commands that were recognised but malformed (wrong length or
  // record number) and therefore not applied.
  std::size_t RejectedWriteCount() const { return m_rejectedWrites; }

  const Behaviour& GetBehaviour() const { return m_behaviour; }
  void SetBehaviour(const Behaviour& behaviour);
  void SetMode(Misbehaviour mode) { m_behaviour.mode = mode; }
  Misbehaviour Mode() const { return m_behaviour.mode; }

  std::size_t PendingInputSize() const { return m_framer.PendingSize(); }

 private:
  bool ApplyWrite(const Bytes& command);
  bool ApplyFixedRecord(const std::vector<const char*>& fields, const std::string& body, bool fontCodeFromPosition);
  std::uint8_t NextGarbageByte();

  std::map<std::string, std::string, std::less<>> m_fields;
  std::string m_statusCode;
  std::vector<Bytes> m_log;
  std::size_t m_rejectedWrites = 0;
  Behaviour m_behaviour;
  std::uint32_t m_garbageState = 0;
  CommandFramer m_framer;
};

}  // namespace dzsim
