// The one reply framer under the rules of the three links.
#include <gtest/gtest.h>

#include <random>

#include "ByteString.h"
#include "Replies.h"
#include "ReplyFramer.h"

namespace {
using dz::test::B;

const std::string kStatus = std::string("\x01") + "0" + "55" + "000000000";  // 13 bytes, code "55"

// A record frame of a read kind: "{", one byte, the fields, "|}".
std::string RecordFrame(int kind, char fill = '7') {
  return "{0" + std::string(static_cast<size_t>(GetRecordWidth(kind)), fill) + "|}";
}

std::vector<ReplyFrame> FeedAll(ReplyFramer& framer, const std::string& bytes) {
  std::vector<ReplyFrame> out;
  framer.Feed(B(bytes), out);
  return out;
}

// Feeds the bytes in pieces cut at the given points.
std::vector<ReplyFrame> FeedSplit(ReplyFramer& framer, const std::string& bytes, std::vector<size_t> cuts) {
  std::vector<ReplyFrame> out;
  cuts.push_back(bytes.size());
  size_t from = 0;
  for (size_t cut : cuts) {
    framer.Feed(B(bytes.substr(from, cut - from)), out);
    from = cut;
  }
  return out;
}
}  // namespace

TEST(ReplyFramerSerialTest, CountsStatusAndRecordRepliesFromTheirStartByte) {
  ReplyFramer framer(FramingRule::Serial);
  // Bytes before a start byte are dropped; XON and XOFF inside are not stored;
  // the 14th character after a status reply is dropped.
  auto frames = FeedAll(framer, "zz" + kStatus.substr(0, 5) + "\x11\x13" + kStatus.substr(5) + "9");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].type, FrameType::Status);
  EXPECT_EQ(frames[0].bytes, B(kStatus));
  EXPECT_FALSE(framer.Assembling());

  // Kind 1 is complete after 25 bytes counted from its "{"; the rest waits
  // for a start byte.
  framer.SetReadKind(1);
  frames = FeedAll(framer, RecordFrame(1) + "xyz");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].type, FrameType::Record);
  EXPECT_EQ(frames[0].bytes.size(), 25u);

  // With a status request pending (kind -1, length 7) a "{" reply is handed
  // on at 4 characters.
  framer.SetReadKind(-1);
  frames = FeedAll(framer, "{abcdef");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, B("{abc"));
}

TEST(ReplyFramerSerialTest, StartBytesRestartAndAShortReplyStaysPending) {
  ReplyFramer framer(FramingRule::Serial);
  framer.SetReadKind(0);
  // A second SOH inside a status reply restarts it; a "{" inside a record too.
  auto frames = FeedAll(framer, std::string("\x01") + "0" + "1" + kStatus);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, B(kStatus));
  EXPECT_TRUE(FeedAll(framer, "{0123").empty());
  frames = FeedAll(framer, RecordFrame(0));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, B(RecordFrame(0)));

  // A reply cut short stays pending across a settle (no time-out on the line).
  EXPECT_TRUE(FeedAll(framer, kStatus.substr(0, 6)).empty());
  EXPECT_FALSE(framer.Settle().has_value());
  EXPECT_TRUE(framer.Assembling());
  // A new command drops a partial record, not a partial status reply.
  framer.DropPartialRecord();
  frames = FeedAll(framer, kStatus.substr(6));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, B(kStatus));
  FeedAll(framer, "{01");
  framer.DropPartialRecord();
  EXPECT_TRUE(FeedAll(framer, std::string(40, '5')).empty());
}

TEST(ReplyFramerLanTest, JoinsPiecesDropsWhatFollowsAndNamesOtherReplies) {
  ReplyFramer framer(FramingRule::Lan);
  framer.SetReadKind(3);
  const std::string record = RecordFrame(3, '\xFF');
  // Pieces are joined up to the length; bytes beyond it in the same arrival
  // are not part of it and the next arrival starts afresh.
  auto frames = FeedSplit(framer, record + "tail", {1, 50});
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, B(record));
  frames = FeedAll(framer, kStatus + kStatus);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].type, FrameType::Status);

  // An arrival whose first byte is neither SOH nor "{" is one other reply.
  frames = FeedAll(framer, "garbage{");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].type, FrameType::Other);
  EXPECT_EQ(frames[0].bytes, B("g"));
  // SOH and "{" inside a record are data on LAN.
  framer.SetReadKind(0);
  const std::string odd = "{0" + std::string(10, '\x01') + std::string(13, '{') + "|}";
  frames = FeedAll(framer, odd);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, B(odd));
}

TEST(ReplyFramerLanTest, SettleKeepsOnlyRepliesThatHoldWhatTheReaderNeeds) {
  ReplyFramer framer(FramingRule::Lan);
  const int width = GetRecordWidth(3);
  framer.SetReadKind(3);
  // Both framing bytes missing: every field is there.
  const std::string record = RecordFrame(3);
  EXPECT_TRUE(FeedAll(framer, record.substr(0, static_cast<size_t>(width) + 2)).empty());
  auto settled = framer.Settle();
  ASSERT_TRUE(settled.has_value());
  EXPECT_EQ(settled->type, FrameType::Record);
  EXPECT_FALSE(framer.Assembling());
  // One field byte missing: dropped whole.
  FeedAll(framer, record.substr(0, static_cast<size_t>(width) + 1));
  EXPECT_FALSE(framer.Settle().has_value());
  // A status reply is settled once its code has arrived.
  FeedAll(framer, kStatus.substr(0, 3));
  EXPECT_FALSE(framer.Settle().has_value());
  FeedAll(framer, kStatus.substr(0, 4));
  settled = framer.Settle();
  ASSERT_TRUE(settled.has_value());
  EXPECT_EQ(StatusCodeOf(settled->bytes), "55");
}

TEST(ReplyFramerUsbTest, StatusRecordBehindItsTwoBytesAndOtherReplies) {
  ReplyFramer framer(FramingRule::Usb);
  auto frames = FeedSplit(framer, kStatus, {5});
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, B(kStatus));

  // The record frame follows the bytes 2 and 0; it may carry one byte more.
  framer.SetReadKind(1);
  const std::string record = RecordFrame(1);
  frames = FeedSplit(framer, std::string("\x02\x00", 2) + record + "X", {10});
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].type, FrameType::Record);
  EXPECT_EQ(frames[0].bytes, B(record + "X"));
  // Without the extra byte the record is whole as well.
  frames = FeedAll(framer, std::string("\x02\x00", 2) + record);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, B(record));

  // A transfer that starts with anything else is taken as it came.
  frames = FeedAll(framer, "\x07zz");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].type, FrameType::Other);
  EXPECT_EQ(frames[0].bytes, B("\x07zz"));

  // A record that stopped inside its fields is dropped at the end of the transfer.
  FeedAll(framer, std::string("\x02\x00", 2) + record.substr(0, 10));
  EXPECT_FALSE(framer.Settle().has_value());
}

TEST(ReplyFramerTest, HowTheBytesAreSplitDoesNotChangeTheFrames) {
  // Serial: a stream of replies gives the same frames in any pieces.
  const std::string stream = kStatus + "\x11" + RecordFrame(4) + "noise" + kStatus;
  std::mt19937 random(7);
  for (FramingRule rule : {FramingRule::Serial, FramingRule::Lan, FramingRule::Usb}) {
    const std::string input = rule == FramingRule::Serial ? stream
                              : rule == FramingRule::Lan  ? RecordFrame(4)
                                                          : std::string("\x02\x00", 2) + RecordFrame(4);
    ReplyFramer whole(rule);
    whole.SetReadKind(4);
    const auto expected = FeedAll(whole, input);
    ASSERT_FALSE(expected.empty());
    for (int run = 0; run < 200; ++run) {
      std::vector<size_t> cuts;
      for (size_t i = 1; i < input.size(); ++i)
        if (random() % 4 == 0) cuts.push_back(i);
      ReplyFramer framer(rule);
      framer.SetReadKind(4);
      EXPECT_EQ(FeedSplit(framer, input, cuts), expected) << static_cast<int>(rule) << " run " << run;
    }
  }
}
