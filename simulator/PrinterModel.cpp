#include "PrinterModel.h"

#include "PrinterFields.h"

#include <algorithm>
#include <cstring>

namespace dzsim {

namespace {

// Framing bytes of the replies. None of them is SOH, "{", XON or XOFF, which
// the tool's serial receiver treats as reply starts or flow control.
constexpr std::uint8_t kSoh = 0x01;
constexpr std::uint8_t kStatusByte1 = 'S';
const char kStatusTail[] = "ABCDEFGH\r";  // bytes 4..12
constexpr std::uint8_t kRecordTail1 = '|';
constexpr std::uint8_t kRecordTail2 = '}';
constexpr std::uint8_t kHugeFiller = '#';

// SOH and "{" start a reply on the serial and LAN links, STX on USB; XON
// and XOFF are flow control.
bool IsReplyFramingByte(std::uint8_t b) { return b == 0x01 || b == 0x02 || b == 0x7B || b == 0x11 || b == 0x13; }

bool StartsWith(const Bytes& bytes, const char* prefix) {
  const std::size_t n = std::strlen(prefix);
  return bytes.size() >= n && std::equal(prefix, prefix + n, bytes.begin());
}

bool Equals(const Bytes& bytes, const char* text) {
  return bytes.size() == std::strlen(text) && StartsWith(bytes, text);
}

}  // namespace

static_assert(kReadRecordCount == PrinterModel::kReadKindCount, "one read record per read kind");

PrinterModel::PrinterModel() { ResetToFactory(); }

void PrinterModel::ResetToFactory() {
  m_fields.clear();
  for (const FieldSpec& f : kFields) m_fields[f.name] = std::string(f.factory, static_cast<std::size_t>(f.width));
  m_statusCode = "00";
  m_log.clear();
  m_rejectedWrites = 0;
  SetBehaviour(Behaviour{});
  m_framer.Clear();
}

void PrinterModel::SetBehaviour(const Behaviour& behaviour) {
  m_behaviour = behaviour;
  m_garbageState = behaviour.garbageSeed ? behaviour.garbageSeed : 1u;
}

std::vector<std::string> PrinterModel::FieldNames() {
  std::vector<std::string> names;
  for (const FieldSpec& f : kFields) names.emplace_back(f.name);
  return names;
}

int PrinterModel::FieldWidth(const std::string& name) {
  const FieldSpec* f = FindField(name);
  return f ? f->width : -1;
}

std::string PrinterModel::Field(const std::string& name) const {
  const auto it = m_fields.find(name);
  return it == m_fields.end() ? std::string() : it->second;
}

bool PrinterModel::SetField(const std::string& name, const std::string& value) {
  const FieldSpec* f = FindField(name);
  if (!f || value.size() != static_cast<std::size_t>(f->width)) return false;
  m_fields[f->name] = value;
  return true;
}

bool PrinterModel::SetStatusCode(const std::string& code) {
  if (code.size() != 2) return false;
  m_statusCode = code;
  return true;
}

int PrinterModel::RecordWidth(int kind) {
  if (kind < 0 || kind >= kReadKindCount) return -1;
  return RecordLength(kReadRecords[kind]);
}

std::string PrinterModel::RecordFields(int kind) const {
  std::string text;
  if (kind < 0 || kind >= kReadKindCount) return text;
  for (const char* name : kReadRecords[kind]) text += m_fields.find(name)->second;
  return text;
}

Bytes PrinterModel::StatusReply() const {
  Bytes reply;
  reply.reserve(kStatusReplyLength);
  reply.push_back(kSoh);
  reply.push_back(kStatusByte1);
  reply.push_back(static_cast<std::uint8_t>(m_statusCode[0]));
  reply.push_back(static_cast<std::uint8_t>(m_statusCode[1]));
  for (const char* p = kStatusTail; *p; ++p) reply.push_back(static_cast<std::uint8_t>(*p));
  return reply;
}

Bytes PrinterModel::RecordReply(int kind) const {
  Bytes reply;
  if (kind < 0 || kind >= kReadKindCount) return reply;
  const std::string fields = RecordFields(kind);
  reply.reserve(fields.size() + 4);
  reply.push_back('{');
  reply.push_back(static_cast<std::uint8_t>('0' + kind));
  reply.insert(reply.end(), fields.begin(), fields.end());
  reply.push_back(kRecordTail1);
  reply.push_back(kRecordTail2);
  return reply;
}

std::vector<Bytes> PrinterModel::Feed(const std::string& data) {
  return Feed(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

std::vector<Bytes> PrinterModel::Feed(const std::uint8_t* data, std::size_t length) {
  std::vector<Bytes> replies;
  for (const Bytes& command : m_framer.Push(data, length))
    for (Bytes& reply : Execute(command)) replies.push_back(std::move(reply));
  return replies;
}

std::vector<Bytes> PrinterModel::Execute(const Bytes& command) {
  std::vector<Bytes> replies;
  Bytes reply = Process(command);
  if (!reply.empty()) {
    reply = Misshape(std::move(reply));
    if (!reply.empty()) replies.push_back(std::move(reply));
  }
  return replies;
}

Bytes PrinterModel::Process(const Bytes& command) {
  m_log.push_back(command);

  Bytes reply;
  if (Equals(command, "{WS|}") || Equals(command, "{HD001,A|}")) {
    reply = StatusReply();
  } else if (command.size() == 7 && StartsWith(command, "{Z5;") && command[4] >= '0' &&
             command[4] < '0' + kReadKindCount && command[5] == '|' && command[6] == '}') {
    reply = RecordReply(command[4] - '0');
  } else if (StartsWith(command, "{Z2;") || StartsWith(command, "{IP;") || StartsWith(command, "{IS;") ||
             StartsWith(command, "{IH;")) {
    if (!ApplyWrite(command)) ++m_rejectedWrites;
  }
  // Everything else (diagnostic and test print, RAM clear, sensor
  // adjustment, threshold calibration, unknown commands) is only logged.
  return reply;
}

bool PrinterModel::ApplyWrite(const Bytes& command) {
  if (command.size() < 6 || command[command.size() - 2] != '|' || command.back() != '}') return false;
  // Between the four-character prefix and the closing "|}".
  const std::string body(command.begin() + 4, command.end() - 2);

  if (StartsWith(command, "{Z2;")) {
    if (body.size() < 2 || body[1] != ',') return false;
    if (body[0] == '1') return ApplyFixedRecord(kParameterWrite, body.substr(2), true);
    if (body[0] == '2') return ApplyFixedRecord(kAdjustmentWrite, body.substr(2), false);
    return false;
  }

  if (StartsWith(command, "{IP;")) {
    // k,aaa,bbb,ccc,ddd
    if (body.size() != 17 || body[0] < '2' || body[0] > '4') return false;
    for (int i = 0; i < 4; ++i)
      if (body[1 + 4 * i] != ',') return false;
    const auto& names = kAddressRecords[body[0] - '2'];
    for (int i = 0; i < 4; ++i) m_fields[names[i]] = body.substr(2 + 4 * i, 3);
    return true;
  }

  if (StartsWith(command, "{IS;")) {
    // s,ppppp
    if (body.size() != 7 || body[1] != ',') return false;
    m_fields["SocketPortSetting"] = body.substr(0, 1);
    m_fields["SocketPortNumber"] = body.substr(2, 5);
    return true;
  }

  if (StartsWith(command, "{IH;")) {
    // s,<client id, 32>,<host name filled with 0xFF to 16>
    if (body.size() != 1 + 1 + 32 + 1 + 16 || body[1] != ',' || body[34] != ',') return false;
    m_fields["DhcpSetting"] = body.substr(0, 1);
    m_fields["DhcpClientId"] = body.substr(2, 32);
    m_fields["DhcpClientHost"] = body.substr(35, 16);
    return true;
  }
  return false;
}

bool PrinterModel::ApplyFixedRecord(const std::vector<const char*>& fields, const std::string& body,
                                    bool fontCodeFromPosition) {
  if (body.size() != static_cast<std::size_t>(RecordLength(fields))) return false;
  std::size_t pos = 0;
  for (const char* name : fields) {
    const auto width = static_cast<std::size_t>(FindField(name)->width);
    std::string value = body.substr(pos, width);
    if (fontCodeFromPosition && std::strcmp(name, "FontCode") == 0) value[0] = FontCodeFromPosition(value[0]);
    m_fields[name] = value;
    pos += width;
  }
  return true;
}

std::uint8_t PrinterModel::NextGarbageByte() {
  for (;;) {
    // xorshift32: repeatable for a given seed
    std::uint32_t x = m_garbageState;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    m_garbageState = x;
    const auto b = static_cast<std::uint8_t>(x >> 24);
    if (!IsReplyFramingByte(b)) return b;
  }
}

Bytes PrinterModel::Misshape(Bytes reply) {
  switch (m_behaviour.mode) {
    case Misbehaviour::Silence:
      return {};
    case Misbehaviour::Garbage:
      for (std::uint8_t& b : reply) b = NextGarbageByte();
      return reply;
    case Misbehaviour::Short:
      if (reply.size() > m_behaviour.shortLength) reply.resize(m_behaviour.shortLength);
      return reply;
    case Misbehaviour::Huge:
      if (reply.size() < m_behaviour.hugeSize) reply.resize(m_behaviour.hugeSize, kHugeFiller);
      return reply;
    default:
      return reply;
  }
}

}  // namespace dzsim
