// The simulated printer's own state machine, byte for byte.
#include "ByteString.h"
#include "PrinterModel.h"

#include <gtest/gtest.h>

#include <string>

using dzsim::Bytes;
using dzsim::Misbehaviour;
using dzsim::PrinterModel;

namespace {

using dz::test::B;

std::string S(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The single reply the model gives for one complete command.
std::string Ask(PrinterModel& printer, const std::string& command) {
  const auto replies = printer.Feed(command);
  EXPECT_EQ(replies.size(), 1u) << command;
  return replies.empty() ? std::string() : S(replies.front());
}

std::string Fields(PrinterModel& printer, int kind) {
  const std::string reply = Ask(printer, "{Z5;" + std::to_string(kind) + "|}");
  if (reply.size() < 4) return {};
  return reply.substr(2, reply.size() - 4);
}

const std::string kNoHost(16, '\xFF');

}  // namespace

TEST(PrinterModel, StatusReplyIsThirteenBytesWithTheCodeAtTwoAndThree) {
  PrinterModel printer;
  const std::string expected = std::string(
      "\x01"
      "S00ABCDEFGH\r",
      13);
  EXPECT_EQ(Ask(printer, "{WS|}"), expected);
  EXPECT_EQ(Ask(printer, "{HD001,A|}"), expected);

  ASSERT_TRUE(printer.SetStatusCode("15"));
  const std::string reply = Ask(printer, "{WS|}");
  EXPECT_EQ(reply.substr(2, 2), "15");
  EXPECT_FALSE(printer.SetStatusCode("1"));
  EXPECT_EQ(printer.StatusCode(), "15");

  // Apart from byte 0, no byte of a reply frame may look like a reply start
  // or flow control to a serial receiver.
  for (std::size_t i = 1; i < reply.size(); ++i)
    for (char c : {'\x01', '{', '\x11', '\x13'}) EXPECT_NE(reply[i], c) << "byte " << i;
}

TEST(PrinterModel, FactoryRecordsOfEveryReadKind) {
  PrinterModel printer;
  const std::string lan =
      "0192168010020000000000000255255255000108000"
      "0" +
      std::string(32, 'F') + kNoHost;
  const std::string expected[] = {
      "+000+000+00+00+00-00-00", "+000+00000200101400B0", "00000000", lan, "2111+001B0A0000000000001000",
  };
  for (int kind = 0; kind < 5; ++kind) {
    SCOPED_TRACE(kind);
    const std::string reply = Ask(printer, "{Z5;" + std::to_string(kind) + "|}");
    EXPECT_EQ(static_cast<int>(expected[kind].size()), PrinterModel::RecordWidth(kind));
    ASSERT_EQ(reply.size(), expected[kind].size() + 4);
    EXPECT_EQ(reply[0], '{');
    EXPECT_EQ(reply[1], static_cast<char>('0' + kind));
    EXPECT_EQ(reply.substr(2, expected[kind].size()), expected[kind]);
    EXPECT_EQ(reply.substr(reply.size() - 2), "|}");
  }
  EXPECT_EQ(PrinterModel::RecordWidth(5), -1);
  EXPECT_TRUE(printer.Feed(std::string("{Z5;5|}")).empty());
}

TEST(PrinterModel, ParameterWriteIsReadBackThroughKindsOneAndFour) {
  PrinterModel printer;
  // The tool's factory record changes nothing.
  EXPECT_TRUE(printer.Feed(std::string("{Z2;1,00210121+0001B0A00000B0000000000100|}")).empty());
  EXPECT_EQ(Fields(printer, 1), "+000+00000200101400B0");
  EXPECT_EQ(Fields(printer, 4), "2111+001B0A0000000000001000");

  // Every field different from the factory value.
  printer.Feed(std::string("{Z2;1,A1502032-1511A0B0C234F4123456789213|}"));
  EXPECT_EQ(printer.RejectedWriteCount(), 0u);
  // X, print position, font, zero, control, code, strip, thresholds, kanji, country, euro
  EXPECT_EQ(Fields(printer, 1),
            "+000+000"
            "A"
            "1"
            "3"
            "1"
            "2"
            "10"
            "14"
            "4"
            "0"
            "F4");
  // speed, length, parity, forward, direction, adjustment, codes, keys and the rest
  EXPECT_EQ(Fields(printer, 4),
            "5"
            "0"
            "0"
            "2"
            "-"
            "15"
            "1A0B0C"
            "3123456789213"
            "0");
  EXPECT_EQ(printer.Field("StopBit"), "2");
}

TEST(PrinterModel, FontCodeWrittenAsListPositionIsReadAsPrinterCode) {
  const std::pair<char, char> positionToCode[] = {{'0', '0'}, {'1', '2'}, {'2', '3'},
                                                  {'3', '1'}, {'4', '4'}, {'A', 'A'}};
  for (const auto& [position, code] : positionToCode) {
    PrinterModel printer;
    std::string record = "00210121+0001B0A00000B0000000000100";
    record[0] = position;
    printer.Feed("{Z2;1," + record + "|}");
    EXPECT_EQ(Fields(printer, 1)[8], code) << "position " << position;
  }
}

TEST(PrinterModel, AdjustmentWriteSpreadsOverKindsZeroAndOne) {
  PrinterModel printer;
  printer.Feed(std::string("{Z2;2,-012+034-05+067-08+09+10+112021|}"));
  EXPECT_EQ(printer.RejectedWriteCount(), 0u);
  // Ribbon-motor directions are stored as they arrive.
  EXPECT_EQ(Fields(printer, 0), "-012+034-05-08+09+10+11");
  EXPECT_EQ(Fields(printer, 1),
            "+067+000"
            "00200"
            "20"
            "21"
            "00"
            "B0");
}

TEST(PrinterModel, LanWritesAreReadBackThroughKindThree) {
  PrinterModel printer;
  printer.Feed(
      std::string("{IP;2,010,001,002,003|}{IP;3,010,001,002,254|}"
                  "{IP;4,255,255,000,000|}{IS;0,09100|}"));
  const std::string id = "0123456789ABCDEF0123456789ABCDEF";
  printer.Feed("{IH;1," + id + ",label-07" + std::string(8, '\xFF') + "|}");
  EXPECT_EQ(printer.RejectedWriteCount(), 0u);
  EXPECT_EQ(Fields(printer, 3),
            "0"
            "010001002003"
            "010001002254"
            "255255000000"
            "0"
            "09100"
            "1" +
                id + "label-07" + std::string(8, '\xFF'));

  // A host name of a full 16 characters carries no fill.
  printer.Feed("{IH;0," + id + ",ABCDEFGHIJKLMNOP|}");
  EXPECT_EQ(printer.Field("DhcpClientHost"), "ABCDEFGHIJKLMNOP");
}

TEST(PrinterModel, MalformedWritesAreLoggedButNotApplied) {
  PrinterModel printer;
  const char* malformed[] = {
      "{Z2;1,0021|}",                                 // record too short
      "{Z2;3,00210121+0001B0A00000B0000000000100|}",  // no such record
      "{IP;5,010,001,002,003|}",                      // no such address record
      "{IP;2,10,1,2,3|}",                             // fields not three wide
      "{IS;1,123456|}",                               // port wider than its field
      "{IH;1,FFFF,host|}",                            // id and host not filled
  };
  for (const char* command : malformed) EXPECT_TRUE(printer.Feed(std::string(command)).empty()) << command;
  EXPECT_EQ(printer.RejectedWriteCount(), std::size(malformed));
  EXPECT_EQ(printer.CommandLog().size(), std::size(malformed));

  PrinterModel factory;
  for (int kind = 0; kind < 5; ++kind) EXPECT_EQ(printer.RecordFields(kind), factory.RecordFields(kind)) << kind;
}

TEST(PrinterModel, StreamIsCutIntoCommandsWhateverTheChunking) {
  // Leading noise, a DHCP command with 0xFF and "{" in its host name,
  // commands without a reply, and replies in between.
  const std::string id(32, 'F');
  const std::string stream = "\x11noise{WS|}{Z4;0|}{IH;1," + id + ",a{b" + std::string(13, '\xFF') +
                             "|}{Z5;3|}{Z1"
                             "0|}{HD001,A|}";
  const std::vector<std::string> commands = {
      "{WS|}", "{Z4;0|}", "{IH;1," + id + ",a{b" + std::string(13, '\xFF') + "|}", "{Z5;3|}", "{Z10|}", "{HD001,A|}"};

  PrinterModel whole;
  const auto expectedReplies = whole.Feed(stream);
  ASSERT_EQ(expectedReplies.size(), 3u);
  EXPECT_EQ(S(expectedReplies[1]).substr(2 + 76, 16), "a{b" + std::string(13, '\xFF'));

  for (std::size_t chunk : {1u, 2u, 3u, 7u, 64u}) {
    SCOPED_TRACE(chunk);
    PrinterModel printer;
    std::vector<Bytes> replies;
    for (std::size_t pos = 0; pos < stream.size(); pos += chunk)
      for (Bytes& r : printer.Feed(stream.substr(pos, chunk))) replies.push_back(std::move(r));
    EXPECT_EQ(replies, expectedReplies);
    ASSERT_EQ(printer.CommandLog().size(), commands.size());
    for (std::size_t i = 0; i < commands.size(); ++i) EXPECT_EQ(S(printer.CommandLog()[i]), commands[i]);
    EXPECT_EQ(printer.PendingInputSize(), 0u);
  }
}

TEST(PrinterModel, UnterminatedInputIsBoundedAndLaterCommandsStillWork) {
  PrinterModel printer;
  printer.Feed("{" + std::string(dzsim::CommandFramer::kMaxCommandLength + 10, 'x'));
  EXPECT_LT(printer.PendingInputSize(), dzsim::CommandFramer::kMaxCommandLength + 1);
  EXPECT_TRUE(printer.CommandLog().empty());
  EXPECT_EQ(Ask(printer, "{WS|}").size(), 13u);
}

TEST(PrinterModel, ContentModesReshapeTheReplyButWritesStillApply) {
  PrinterModel printer;
  printer.SetMode(Misbehaviour::Silence);
  EXPECT_TRUE(printer.Feed(std::string("{WS|}{IS;1,09000|}")).empty());
  EXPECT_EQ(printer.Field("SocketPortNumber"), "09000");

  dzsim::Behaviour behaviour;
  behaviour.mode = Misbehaviour::Short;
  behaviour.shortLength = 4;
  printer.SetBehaviour(behaviour);
  EXPECT_EQ(Ask(printer, "{Z5;0|}"), "{0+0");

  behaviour.mode = Misbehaviour::Huge;
  behaviour.hugeSize = 1 << 20;
  printer.SetBehaviour(behaviour);
  const std::string huge = Ask(printer, "{WS|}");
  ASSERT_EQ(huge.size(), 1u << 20);
  EXPECT_EQ(huge.substr(0, 13), S(printer.StatusReply()));

  behaviour.mode = Misbehaviour::Garbage;
  printer.SetBehaviour(behaviour);
  const std::string garbage = Ask(printer, "{Z5;3|}");
  ASSERT_EQ(garbage.size(), 96u);
  for (char c : garbage)
    for (char framing : {'\x01', '\x02', '{', '\x11', '\x13'}) ASSERT_NE(c, framing);

  printer.ResetToFactory();
  EXPECT_EQ(printer.Mode(), Misbehaviour::Normal);
  EXPECT_EQ(printer.Field("SocketPortNumber"), "08000");
}

TEST(PrinterModel, TimingModesPlanTheReplyInPieces) {
  const Bytes reply = B("\x01S00ABCDEFGH\r");
  dzsim::Behaviour behaviour;

  behaviour.mode = Misbehaviour::Split;
  auto chunks = dzsim::PlanReply(reply, behaviour);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(S(chunks[0].bytes) + S(chunks[1].bytes), S(reply));
  EXPECT_GT(chunks[1].pauseBeforeMs, 0);

  behaviour.mode = Misbehaviour::DropConnection;
  chunks = dzsim::PlanReply(reply, behaviour);
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(S(chunks[0].bytes), S(reply).substr(0, 6));
  EXPECT_TRUE(chunks[0].dropAfter);

  behaviour.mode = Misbehaviour::Dribble;
  chunks = dzsim::PlanReply(reply, behaviour);
  ASSERT_EQ(chunks.size(), reply.size());
  for (const auto& c : chunks) EXPECT_EQ(c.bytes.size(), 1u);

  Misbehaviour parsed;
  EXPECT_TRUE(dzsim::MisbehaviourFromName("never-read", parsed));
  EXPECT_EQ(parsed, Misbehaviour::NeverRead);
  EXPECT_FALSE(dzsim::MisbehaviourFromName("bogus", parsed));
}
