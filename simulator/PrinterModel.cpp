#include "PrinterModel.h"

#include <algorithm>
#include <cstring>

namespace dzsim {

namespace {

// ---------------------------------------------------------------------------
// Fields as the printer stores them: name, width, factory value (field text).
// The font code holds the printer's own code, not a choice-list position.
// ---------------------------------------------------------------------------
struct FieldSpec {
    const char* name;
    int width;
    const char* factory;
};

const char kNoHostName[] = "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF";

const FieldSpec kFields[] = {
    // Mechanical adjustments
    {"FeedDirection", 1, "+"},
    {"FeedAdjustment", 3, "000"},
    {"CutPosDirection", 1, "+"},
    {"CutPosAdjustment", 3, "000"},
    {"BackFeedDirection", 1, "+"},
    {"BackFeedAdjustment", 2, "00"},
    {"ToneDirection_T", 1, "+"},
    {"ToneAdjustment_T", 2, "00"},
    {"ToneDirection_D", 1, "+"},
    {"ToneAdjustment_D", 2, "00"},
    {"RibbonMotorDirection_F", 1, "-"},
    {"RibbonMotorAdjustment_F", 2, "00"},
    {"RibbonMotorDirection_B", 1, "-"},
    {"RibbonMotorAdjustment_B", 2, "00"},
    {"XCoordinateDirection", 1, "+"},
    {"XCoordinateAdjustment", 3, "000"},
    {"PrintPosCorrectionDirection", 1, "+"},
    {"PrintPosCorrectionValue", 3, "000"},
    // Print parameters
    {"FontCode", 1, "0"},
    {"ZeroStyle", 1, "0"},
    {"Control", 1, "2"},
    {"ControlCode", 1, "0"},
    {"StripStatus", 1, "0"},
    {"ThresholdAdjustment_R", 2, "10"},
    {"ThresholdAdjustment_T", 2, "14"},
    {"KanjiCode", 1, "0"},
    {"Country", 1, "0"},
    {"EuroCode", 2, "B0"},
    // Sensors
    {"ThermalHeadSensor", 2, "00"},
    {"AmbientSensor", 2, "00"},
    {"ReflectiveSensor", 2, "00"},
    {"TransmissiveSensor", 2, "00"},
    // LAN interface
    {"LanSetting", 1, "0"},
    {"IpAddress1", 3, "192"},
    {"IpAddress2", 3, "168"},
    {"IpAddress3", 3, "010"},
    {"IpAddress4", 3, "020"},
    {"Gateway1", 3, "000"},
    {"Gateway2", 3, "000"},
    {"Gateway3", 3, "000"},
    {"Gateway4", 3, "000"},
    {"SubnetMask1", 3, "255"},
    {"SubnetMask2", 3, "255"},
    {"SubnetMask3", 3, "255"},
    {"SubnetMask4", 3, "000"},
    {"SocketPortSetting", 1, "1"},
    {"SocketPortNumber", 5, "08000"},
    {"DhcpSetting", 1, "0"},
    {"DhcpClientId", 32, "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"},
    {"DhcpClientHost", 16, kNoHostName},
    // Serial line and expansion parameters
    {"CommunicationSpeed", 1, "2"},
    {"DataLength", 1, "1"},
    {"StopBit", 1, "0"},
    {"Parity", 1, "1"},
    {"AutoForward", 1, "1"},
    {"AutoForwardDirection", 1, "+"},
    {"AutoForwardAdjustment", 2, "00"},
    {"ControlCode1st", 2, "1B"},
    {"ControlCode2nd", 2, "0A"},
    {"ControlCode3rd", 2, "00"},
    {"FeedKeyFunction", 1, "0"},
    {"HeadCheck", 1, "0"},
    {"AckBusyTiming", 1, "0"},
    {"WebPrinter", 1, "0"},
    {"ResetNInitSignalIsON", 1, "0"},
    {"RibbonNearEnd", 1, "0"},
    {"ExpansionIO", 1, "0"},
    {"PlugAndPlay", 1, "0"},
    {"LabelendRibbonend", 1, "0"},
    {"PreStrip", 1, "0"},
    {"BackFeedSpeed", 1, "1"},
    {"MaxiCodeSpecification", 1, "0"},
    {"StripMotorTorque", 1, "0"},
    {"KeyboardIF", 1, "0"},
};

const FieldSpec* FindField(std::string_view name)
{
    for (const FieldSpec& f : kFields)
        if (name == f.name)
            return &f;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Read records, by read kind: the fields in the order the printer sends them.
// ---------------------------------------------------------------------------
const std::vector<const char*> kReadRecords[PrinterModel::kReadKindCount] = {
    // 0: Adjustment, 23 characters
    {"FeedDirection", "FeedAdjustment", "CutPosDirection", "CutPosAdjustment",
     "BackFeedDirection", "BackFeedAdjustment", "ToneDirection_T", "ToneAdjustment_T",
     "ToneDirection_D", "ToneAdjustment_D", "RibbonMotorDirection_F",
     "RibbonMotorAdjustment_F", "RibbonMotorDirection_B", "RibbonMotorAdjustment_B"},
    // 1: Parameter, 21 characters
    {"XCoordinateDirection", "XCoordinateAdjustment", "PrintPosCorrectionDirection",
     "PrintPosCorrectionValue", "FontCode", "ZeroStyle", "Control", "ControlCode",
     "StripStatus", "ThresholdAdjustment_R", "ThresholdAdjustment_T", "KanjiCode", "Country",
     "EuroCode"},
    // 2: Sensor, 8 characters
    {"ThermalHeadSensor", "AmbientSensor", "ReflectiveSensor", "TransmissiveSensor"},
    // 3: LAN, 92 characters
    {"LanSetting", "IpAddress1", "IpAddress2", "IpAddress3", "IpAddress4", "Gateway1",
     "Gateway2", "Gateway3", "Gateway4", "SubnetMask1", "SubnetMask2", "SubnetMask3",
     "SubnetMask4", "SocketPortSetting", "SocketPortNumber", "DhcpSetting", "DhcpClientId",
     "DhcpClientHost"},
    // 4: Parameter expansion, 27 characters (the stop bit is not reported)
    {"CommunicationSpeed", "DataLength", "Parity", "AutoForward", "AutoForwardDirection",
     "AutoForwardAdjustment", "ControlCode1st", "ControlCode2nd", "ControlCode3rd",
     "FeedKeyFunction", "HeadCheck", "AckBusyTiming", "WebPrinter", "ResetNInitSignalIsON",
     "RibbonNearEnd", "ExpansionIO", "PlugAndPlay", "LabelendRibbonend", "PreStrip",
     "BackFeedSpeed", "MaxiCodeSpecification", "StripMotorTorque", "KeyboardIF"},
};

// ---------------------------------------------------------------------------
// Write records: the fields after "{Z2;1," / "{Z2;2," and before "|}".
// ---------------------------------------------------------------------------
const std::vector<const char*> kParameterWrite = {
    "FontCode", "ZeroStyle", "CommunicationSpeed", "DataLength", "StopBit", "Parity",
    "Control", "AutoForward", "AutoForwardDirection", "AutoForwardAdjustment", "ControlCode",
    "ControlCode1st", "ControlCode2nd", "ControlCode3rd", "StripStatus", "FeedKeyFunction",
    "KanjiCode", "EuroCode", "HeadCheck", "AckBusyTiming", "WebPrinter",
    "ResetNInitSignalIsON", "RibbonNearEnd", "ExpansionIO", "PlugAndPlay",
    "LabelendRibbonend", "PreStrip", "BackFeedSpeed", "MaxiCodeSpecification",
    "StripMotorTorque"}; // 35 characters

const std::vector<const char*> kAdjustmentWrite = {
    "FeedDirection", "FeedAdjustment", "CutPosDirection", "CutPosAdjustment",
    "BackFeedDirection", "BackFeedAdjustment", "XCoordinateDirection",
    "XCoordinateAdjustment", "ToneDirection_T", "ToneAdjustment_T", "ToneDirection_D",
    "ToneAdjustment_D", "RibbonMotorDirection_F", "RibbonMotorAdjustment_F",
    "RibbonMotorDirection_B", "RibbonMotorAdjustment_B", "ThresholdAdjustment_R",
    "ThresholdAdjustment_T"}; // 31 characters

// "{IP;k,aaa,bbb,ccc,ddd|}": the four fields of record k.
const char* const kAddressRecords[3][4] = {
    {"IpAddress1", "IpAddress2", "IpAddress3", "IpAddress4"},     // k = 2
    {"Gateway1", "Gateway2", "Gateway3", "Gateway4"},             // k = 3
    {"SubnetMask1", "SubnetMask2", "SubnetMask3", "SubnetMask4"}, // k = 4
};

int RecordLength(const std::vector<const char*>& fields)
{
    int total = 0;
    for (const char* name : fields)
        total += FindField(name)->width;
    return total;
}

// The Parameter write record carries the font code as its position in the
// tool's code-page list; the printer keeps its own code. The tool maps code
// 1 to position 3, 2 to 1 and 3 to 2 when it reads, so the printer takes
// position 3 as code 1, 1 as 2 and 2 as 3.
char FontCodeFromPosition(char position)
{
    switch (position) {
    case '3': return '1';
    case '1': return '2';
    case '2': return '3';
    default: return position;
    }
}

// Framing bytes of the replies. None of them is SOH, "{", XON or XOFF, which
// the tool's serial receiver treats as reply starts or flow control.
constexpr std::uint8_t kSoh = 0x01;
constexpr std::uint8_t kStatusByte1 = 'S';
const char kStatusTail[] = "ABCDEFGH\r"; // bytes 4..12
constexpr std::uint8_t kRecordTail1 = '|';
constexpr std::uint8_t kRecordTail2 = '}';
constexpr std::uint8_t kHugeFiller = '#';

// SOH and "{" start a reply on the serial and LAN links, STX on USB; XON
// and XOFF are flow control.
bool IsReplyFramingByte(std::uint8_t b)
{
    return b == 0x01 || b == 0x02 || b == 0x7B || b == 0x11 || b == 0x13;
}

bool StartsWith(const Bytes& bytes, const char* prefix)
{
    const std::size_t n = std::strlen(prefix);
    return bytes.size() >= n && std::equal(prefix, prefix + n, bytes.begin());
}

bool Equals(const Bytes& bytes, const char* text)
{
    return bytes.size() == std::strlen(text) && StartsWith(bytes, text);
}

} // namespace

// ---------------------------------------------------------------------------

const char* MisbehaviourName(Misbehaviour mode)
{
    switch (mode) {
    case Misbehaviour::Normal: return "normal";
    case Misbehaviour::Silence: return "silence";
    case Misbehaviour::Garbage: return "garbage";
    case Misbehaviour::Split: return "split";
    case Misbehaviour::Short: return "short";
    case Misbehaviour::Huge: return "huge";
    case Misbehaviour::DropConnection: return "drop";
    case Misbehaviour::Delay: return "delay";
    case Misbehaviour::NeverRead: return "never-read";
    case Misbehaviour::Dribble: return "dribble";
    }
    return "normal";
}

bool MisbehaviourFromName(const std::string& name, Misbehaviour& mode)
{
    for (int i = 0; i <= static_cast<int>(Misbehaviour::Dribble); ++i) {
        const auto m = static_cast<Misbehaviour>(i);
        if (name == MisbehaviourName(m)) {
            mode = m;
            return true;
        }
    }
    return false;
}

std::vector<ReplyChunk> PlanReply(const Bytes& reply, const Behaviour& behaviour)
{
    std::vector<ReplyChunk> chunks;
    if (reply.empty())
        return chunks;
    const std::size_t half = reply.size() / 2;
    switch (behaviour.mode) {
    case Misbehaviour::Split:
        if (half == 0) {
            chunks.push_back({reply, 0, false});
        } else {
            chunks.push_back({Bytes(reply.begin(), reply.begin() + half), 0, false});
            chunks.push_back({Bytes(reply.begin() + half, reply.end()),
                              std::max(0, behaviour.splitPauseMs), false});
        }
        break;
    case Misbehaviour::DropConnection:
        chunks.push_back({Bytes(reply.begin(), reply.begin() + half), 0, true});
        break;
    case Misbehaviour::Delay:
        chunks.push_back({reply, std::max(0, behaviour.delayMs), false});
        break;
    case Misbehaviour::Dribble:
        for (std::size_t i = 0; i < reply.size(); ++i)
            chunks.push_back({Bytes{reply[i]}, i == 0 ? 0 : std::max(0, behaviour.dribbleIntervalMs),
                              false});
        break;
    default:
        chunks.push_back({reply, 0, false});
        break;
    }
    return chunks;
}

std::string Printable(const Bytes& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (std::uint8_t b : bytes) {
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out += static_cast<char>(b);
        } else {
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        }
    }
    return out;
}

// ---------------------------------------------------------------------------

std::vector<Bytes> CommandFramer::Push(const std::uint8_t* data, std::size_t length)
{
    std::vector<Bytes> commands;
    if (!data)
        return commands;
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t b = data[i];
        if (!m_inCommand) {
            if (b == '{') {
                m_inCommand = true;
                m_partial.assign(1, b);
            }
            continue;
        }
        m_partial.push_back(b);
        const std::size_t n = m_partial.size();
        if (b == '}' && n >= 3 && m_partial[n - 2] == '|') {
            commands.push_back(std::move(m_partial));
            m_partial.clear();
            m_inCommand = false;
        } else if (n > kMaxCommandLength) {
            m_partial.clear();
            m_inCommand = false;
            ++m_discarded;
        }
    }
    return commands;
}

// ---------------------------------------------------------------------------

PrinterModel::PrinterModel()
{
    ResetToFactory();
}

void PrinterModel::ResetToFactory()
{
    m_fields.clear();
    for (const FieldSpec& f : kFields)
        m_fields[f.name] = std::string(f.factory, static_cast<std::size_t>(f.width));
    m_statusCode = "00";
    m_log.clear();
    m_rejectedWrites = 0;
    SetBehaviour(Behaviour{});
    m_framer.Clear();
}

void PrinterModel::SetBehaviour(const Behaviour& behaviour)
{
    m_behaviour = behaviour;
    m_garbageState = behaviour.garbageSeed ? behaviour.garbageSeed : 1u;
}

std::vector<std::string> PrinterModel::FieldNames()
{
    std::vector<std::string> names;
    for (const FieldSpec& f : kFields)
        names.emplace_back(f.name);
    return names;
}

int PrinterModel::FieldWidth(const std::string& name)
{
    const FieldSpec* f = FindField(name);
    return f ? f->width : -1;
}

std::string PrinterModel::Field(const std::string& name) const
{
    const auto it = m_fields.find(name);
    return it == m_fields.end() ? std::string() : it->second;
}

bool PrinterModel::SetField(const std::string& name, const std::string& value)
{
    const FieldSpec* f = FindField(name);
    if (!f || value.size() != static_cast<std::size_t>(f->width))
        return false;
    m_fields[f->name] = value;
    return true;
}

bool PrinterModel::SetStatusCode(const std::string& code)
{
    if (code.size() != 2)
        return false;
    m_statusCode = code;
    return true;
}

int PrinterModel::RecordWidth(int kind)
{
    if (kind < 0 || kind >= kReadKindCount)
        return -1;
    return RecordLength(kReadRecords[kind]);
}

std::string PrinterModel::RecordFields(int kind) const
{
    std::string text;
    if (kind < 0 || kind >= kReadKindCount)
        return text;
    for (const char* name : kReadRecords[kind])
        text += m_fields.find(name)->second;
    return text;
}

Bytes PrinterModel::StatusReply() const
{
    Bytes reply;
    reply.reserve(kStatusReplyLength);
    reply.push_back(kSoh);
    reply.push_back(kStatusByte1);
    reply.push_back(static_cast<std::uint8_t>(m_statusCode[0]));
    reply.push_back(static_cast<std::uint8_t>(m_statusCode[1]));
    for (const char* p = kStatusTail; *p; ++p)
        reply.push_back(static_cast<std::uint8_t>(*p));
    return reply;
}

Bytes PrinterModel::RecordReply(int kind) const
{
    Bytes reply;
    if (kind < 0 || kind >= kReadKindCount)
        return reply;
    const std::string fields = RecordFields(kind);
    reply.reserve(fields.size() + 4);
    reply.push_back('{');
    reply.push_back(static_cast<std::uint8_t>('0' + kind));
    reply.insert(reply.end(), fields.begin(), fields.end());
    reply.push_back(kRecordTail1);
    reply.push_back(kRecordTail2);
    return reply;
}

std::vector<Bytes> PrinterModel::Feed(const std::string& data)
{
    return Feed(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

std::vector<Bytes> PrinterModel::Feed(const std::uint8_t* data, std::size_t length)
{
    std::vector<Bytes> replies;
    for (const Bytes& command : m_framer.Push(data, length))
        for (Bytes& reply : Execute(command))
            replies.push_back(std::move(reply));
    return replies;
}

std::vector<Bytes> PrinterModel::Execute(const Bytes& command)
{
    std::vector<Bytes> replies;
    Bytes reply = Process(command);
    if (!reply.empty()) {
        reply = Misshape(std::move(reply));
        if (!reply.empty())
            replies.push_back(std::move(reply));
    }
    return replies;
}

Bytes PrinterModel::Process(const Bytes& command)
{
    m_log.push_back(command);

    Bytes reply;
    if (Equals(command, "{WS|}") || Equals(command, "{HD001,A|}")) {
        reply = StatusReply();
    } else if (command.size() == 7 && StartsWith(command, "{Z5;") && command[4] >= '0' &&
               command[4] < '0' + kReadKindCount && command[5] == '|' && command[6] == '}') {
        reply = RecordReply(command[4] - '0');
    } else if (StartsWith(command, "{Z2;") || StartsWith(command, "{IP;") ||
               StartsWith(command, "{IS;") || StartsWith(command, "{IH;")) {
        if (!ApplyWrite(command))
            ++m_rejectedWrites;
    }
    // Everything else (diagnostic and test print, RAM clear, sensor
    // adjustment, threshold calibration, unknown commands) is only logged.
    return reply;
}

bool PrinterModel::ApplyWrite(const Bytes& command)
{
    if (command.size() < 6 || command[command.size() - 2] != '|' || command.back() != '}')
        return false;
    // Between the four-character prefix and the closing "|}".
    const std::string body(command.begin() + 4, command.end() - 2);

    if (StartsWith(command, "{Z2;")) {
        if (body.size() < 2 || body[1] != ',')
            return false;
        if (body[0] == '1')
            return ApplyFixedRecord(kParameterWrite, body.substr(2), true);
        if (body[0] == '2')
            return ApplyFixedRecord(kAdjustmentWrite, body.substr(2), false);
        return false;
    }

    if (StartsWith(command, "{IP;")) {
        // k,aaa,bbb,ccc,ddd
        if (body.size() != 17 || body[0] < '2' || body[0] > '4')
            return false;
        for (int i = 0; i < 4; ++i)
            if (body[1 + 4 * i] != ',')
                return false;
        const auto& names = kAddressRecords[body[0] - '2'];
        for (int i = 0; i < 4; ++i)
            m_fields[names[i]] = body.substr(2 + 4 * i, 3);
        return true;
    }

    if (StartsWith(command, "{IS;")) {
        // s,ppppp
        if (body.size() != 7 || body[1] != ',')
            return false;
        m_fields["SocketPortSetting"] = body.substr(0, 1);
        m_fields["SocketPortNumber"] = body.substr(2, 5);
        return true;
    }

    if (StartsWith(command, "{IH;")) {
        // s,<client id, 32>,<host name filled with 0xFF to 16>
        if (body.size() != 1 + 1 + 32 + 1 + 16 || body[1] != ',' || body[34] != ',')
            return false;
        m_fields["DhcpSetting"] = body.substr(0, 1);
        m_fields["DhcpClientId"] = body.substr(2, 32);
        m_fields["DhcpClientHost"] = body.substr(35, 16);
        return true;
    }
    return false;
}

bool PrinterModel::ApplyFixedRecord(const std::vector<const char*>& fields,
                                    const std::string& body, bool fontCodeFromPosition)
{
    if (body.size() != static_cast<std::size_t>(RecordLength(fields)))
        return false;
    std::size_t pos = 0;
    for (const char* name : fields) {
        const auto width = static_cast<std::size_t>(FindField(name)->width);
        std::string value = body.substr(pos, width);
        if (fontCodeFromPosition && std::strcmp(name, "FontCode") == 0)
            value[0] = FontCodeFromPosition(value[0]);
        m_fields[name] = value;
        pos += width;
    }
    return true;
}

std::uint8_t PrinterModel::NextGarbageByte()
{
    for (;;) {
        // xorshift32: repeatable for a given seed
        std::uint32_t x = m_garbageState;
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        m_garbageState = x;
        const auto b = static_cast<std::uint8_t>(x >> 24);
        if (!IsReplyFramingByte(b))
            return b;
    }
}

Bytes PrinterModel::Misshape(Bytes reply)
{
    switch (m_behaviour.mode) {
    case Misbehaviour::Silence:
        return {};
    case Misbehaviour::Garbage:
        for (std::uint8_t& b : reply)
            b = NextGarbageByte();
        return reply;
    case Misbehaviour::Short:
        if (reply.size() > m_behaviour.shortLength)
            reply.resize(m_behaviour.shortLength);
        return reply;
    case Misbehaviour::Huge:
        if (reply.size() < m_behaviour.hugeSize)
            reply.resize(m_behaviour.hugeSize, kHugeFiller);
        return reply;
    default:
        return reply;
    }
}

} // namespace dzsim
