#include "DeviceId.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

using namespace diruvov;

namespace {

std::optional<std::string> Extract(const std::vector<uint8_t>& bytes) {
  return ExtractDeviceIdText(bytes.data(), bytes.size());
}

std::vector<uint8_t> WithLength(uint8_t first, uint8_t second, const std::string& text) {
  std::vector<uint8_t> bytes{first, second};
  bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

}  // namespace

TEST(DeviceIdText, TakesEitherByteOrderOfTheLength) {
  const std::string text = "MFG:Dazavu;MDL:L1;";              // 18 bytes, 20 with the length
  EXPECT_EQ(Extract(WithLength(0, 20, text)), text);          // big-endian, as the class defines
  EXPECT_EQ(Extract(WithLength(20, 0, text)), text);          // little-endian
  EXPECT_EQ(Extract(WithLength(0, 12, text)), "MFG:Dazavu");  // a shorter length is honoured
}

TEST(DeviceIdText, ALengthPastWhatArrivedIsCutToWhatArrived) {
  EXPECT_EQ(Extract(WithLength(0xFF, 0xFF, "MFG:A;")), "MFG:A;");
  EXPECT_EQ(Extract(WithLength(0x08, 0x01, "MFG:A;")), "MFG:A;");
  // Only `received` bytes are looked at, whatever lies behind them.
  const std::vector<uint8_t> bytes = WithLength(0, 200, "MFG:Dazavu;MDL:L1;");
  EXPECT_EQ(ExtractDeviceIdText(bytes.data(), 7), "MFG:D");
}

TEST(DeviceIdText, EndsAtANulByte) {
  std::vector<uint8_t> bytes = WithLength(0, 12, "MFG:A;");
  bytes.resize(12, 0);
  EXPECT_EQ(Extract(bytes), "MFG:A;");
}

TEST(DeviceIdText, NothingToReadGivesNoText) {
  EXPECT_EQ(Extract({}), std::nullopt);
  EXPECT_EQ(Extract({0, 2}), std::nullopt);
  EXPECT_EQ(Extract({0, 4, 0, 0}), std::nullopt);
  EXPECT_EQ(ExtractDeviceIdText(nullptr, 100), std::nullopt);
}

TEST(DeviceIdFieldsTest, SplitsTrimsAndFoldsLongKeys) {
  const DeviceIdFields f =
      ParseDeviceId(" manufacturer : Dazavu ;MODEL:L1 Label;COMMAND SET:DZ;CLS:PRINTER;junk;:x;MFG:Other");
  EXPECT_EQ(f.at("MFG"), "Dazavu");  // the first of two wins
  EXPECT_EQ(f.at("MDL"), "L1 Label");
  EXPECT_EQ(f.at("CMD"), "DZ");
  EXPECT_EQ(f.at("CLS"), "PRINTER");
  EXPECT_EQ(f.size(), 4u);
}

TEST(Identification, BuiltInRuleWantsDazavuWithAModel) {
  EXPECT_TRUE(IsSupportedPrinter(ParseDeviceId("MFG:Dazavu;MDL:L1;CMD:DZ;")));
  EXPECT_TRUE(IsSupportedPrinter(ParseDeviceId("MANUFACTURER:DAZAVU;MODEL:Any;")));
  EXPECT_FALSE(IsSupportedPrinter(ParseDeviceId("MFG:Other;MDL:L1;")));
  EXPECT_FALSE(IsSupportedPrinter(ParseDeviceId("MFG:Dazavu;")));
  EXPECT_FALSE(IsSupportedPrinter(ParseDeviceId("MFG:Dazavu;MDL:;")));
  EXPECT_FALSE(IsSupportedPrinter(ParseDeviceId("MFG:Dazavus;MDL:L1;")));
  EXPECT_FALSE(IsSupportedPrinter(ParseDeviceId("")));
}

TEST(Identification, ModelPrefixNarrowsARow) {
  const SupportedPrinter table[] = {{"Dazavu", "LX-"}, {"Acme", ""}};
  const auto ok = [&](const char* id) { return IsSupportedPrinter(ParseDeviceId(id), table, std::size(table)); };
  EXPECT_TRUE(ok("MFG:Dazavu;MDL:lx-200;"));
  EXPECT_FALSE(ok("MFG:Dazavu;MDL:L1;"));
  EXPECT_FALSE(ok("MFG:Dazavu;MDL:LX;"));
  EXPECT_TRUE(ok("MFG:acme;MDL:Q;"));
}
