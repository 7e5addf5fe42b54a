// The exporter's parsing of what it is told: where to listen, which targets
// are allowed, a probe's target and query string, the probe's time from the
// scrape's time-out; and the text format's escaping of label values.
#include <gtest/gtest.h>

#include "Exporter.h"
#include "ExporterAddresses.h"
#include "MetricsText.h"
#include "StatusConditions.h"

using namespace exporter;

TEST(ExporterAddresses, ListenTakesIpv4Ipv6AndEveryAddress) {
  QHostAddress address;
  quint16 port = 0;
  QString error;
  ASSERT_TRUE(ParseListenAddress("127.0.0.1:9878", address, port, error));
  EXPECT_EQ(address, QHostAddress("127.0.0.1"));
  EXPECT_EQ(port, 9878);
  ASSERT_TRUE(ParseListenAddress("[::1]:9100", address, port, error));
  EXPECT_EQ(address, QHostAddress("::1"));
  EXPECT_EQ(port, 9100);
  ASSERT_TRUE(ParseListenAddress(":0", address, port, error));
  EXPECT_EQ(address, QHostAddress(QHostAddress::Any));
  ASSERT_TRUE(ParseListenAddress("localhost:1", address, port, error));
  EXPECT_EQ(address, QHostAddress("127.0.0.1"));
  for (const char* bad : {"127.0.0.1", "127.0.0.1:65536", "::1:9878", "[127.0.0.1]:1", "printer:80", "1.2.3:4",
                          "127.0.0.1:-1", "127.0.0.1:+5", ""}) {
    EXPECT_FALSE(ParseListenAddress(bad, address, port, error)) << bad;
    EXPECT_TRUE(error.contains("--listen")) << bad;
  }
}

TEST(ExporterAddresses, AllowedRangesForIpv4Ipv6AndMappedAddresses) {
  std::vector<Subnet> allowed;
  EXPECT_TRUE(IsAllowed(allowed, QHostAddress("203.0.113.9")));  // no --allow: every target
  Subnet subnet;
  QString error;
  for (const char* text : {"10.1.0.0/16", "192.168.10.20", "fd00::/8"}) {
    ASSERT_TRUE(ParseSubnet(text, subnet, error)) << text;
    allowed.push_back(subnet);
  }
  EXPECT_TRUE(IsAllowed(allowed, QHostAddress("10.1.255.3")));
  EXPECT_FALSE(IsAllowed(allowed, QHostAddress("10.2.0.1")));
  EXPECT_TRUE(IsAllowed(allowed, QHostAddress("192.168.10.20")));
  EXPECT_FALSE(IsAllowed(allowed, QHostAddress("192.168.10.21")));
  EXPECT_TRUE(IsAllowed(allowed, QHostAddress("fd12::5")));
  EXPECT_FALSE(IsAllowed(allowed, QHostAddress("fe80::1")));
  EXPECT_TRUE(IsAllowed(allowed, QHostAddress("::ffff:10.1.0.7")));
  EXPECT_FALSE(IsAllowed(allowed, QHostAddress("::ffff:127.0.0.1")));
  for (const char* bad : {"10.0.0.0/33", "printer", "10.0.0.0/x", ""})
    EXPECT_FALSE(ParseSubnet(bad, subnet, error)) << bad;
}

TEST(ExporterAddresses, TargetsAreAddressesOrNamesWithAnOptionalPort) {
  struct Good {
    const char* text;
    const char* host;
    quint16 port;
    bool address;
  };
  for (const Good& good :
       {Good{"192.168.10.20", "192.168.10.20", 8000, true}, Good{"192.168.10.20:9100", "192.168.10.20", 9100, true},
        Good{"[fd00::1]:8001", "fd00::1", 8001, true}, Good{"[::1]", "::1", 8000, true},
        Good{"fd00::1", "fd00::1", 8000, true}, Good{"printer-3.example.net", "printer-3.example.net", 8000, false},
        Good{"printer:8080", "printer", 8080, false}}) {
    ProbeTarget target;
    QString error;
    ASSERT_TRUE(ParseProbeTarget(good.text, target, error)) << good.text << " " << error.toStdString();
    EXPECT_EQ(target.host, good.host);
    EXPECT_EQ(target.port, good.port);
    EXPECT_EQ(!target.address.isNull(), good.address) << good.text;
  }
  for (const char* bad : {"",
                          "http://printer",
                          "printer/status",
                          "user@printer",
                          "printer:0",
                          "printer:65536",
                          "printer:",
                          "1.2.3",
                          "999.1.1.1",
                          "[fd00::1",
                          "[fd00::1]x",
                          "[printer]:80",
                          "fe80::1%eth0",
                          "f0::1%",
                          "[f0::1%]:80",
                          "print er",
                          "-printer",
                          "a..b",
                          "printer:80:80",
                          "127.0.0.1:8000?x"}) {
    ProbeTarget target;
    QString error;
    EXPECT_FALSE(ParseProbeTarget(bad, target, error)) << bad;
    EXPECT_FALSE(error.isEmpty());
  }
}

TEST(ExporterAddresses, QueryStringsAreDecodedStrictly) {
  std::map<QString, QString> params;
  QString error;
  ASSERT_TRUE(ParseQuery("target=%5Bfd00%3A%3A1%5D%3A8000&profile=site+a", params, error));
  EXPECT_EQ(params["target"], "[fd00::1]:8000");
  EXPECT_EQ(params["profile"], "site a");
  ASSERT_TRUE(ParseQuery("", params, error));
  EXPECT_TRUE(params.empty());
  for (const char* bad :
       {"target=%zz", "target=%4", "target=%", "target", "=x", "target=a&target=b", "a=%FF", "target=1&&x=2"})
    EXPECT_FALSE(ParseQuery(bad, params, error)) << bad;
}

TEST(ExporterAddresses, TheProbesTimeFollowsTheScrapeTimeoutWithinTimeout) {
  EXPECT_DOUBLE_EQ(Exporter::ProbeSeconds("", 5, 0.5), 5);
  EXPECT_DOUBLE_EQ(Exporter::ProbeSeconds("10", 5, 0.5), 5);
  EXPECT_DOUBLE_EQ(Exporter::ProbeSeconds("3", 5, 0.5), 2.5);
  EXPECT_DOUBLE_EQ(Exporter::ProbeSeconds("0.6", 5, 0.5), 0.3);  // at least half the scrape's time
  EXPECT_DOUBLE_EQ(Exporter::ProbeSeconds("nonsense", 5, 0.5), 5);
  EXPECT_DOUBLE_EQ(Exporter::ProbeSeconds("-1", 5, 0.5), 5);
  EXPECT_DOUBLE_EQ(Exporter::ProbeSeconds("nan", 5, 0.5), 5);
}

TEST(MetricsText, LabelValuesAreEscapedAndLatin1BecomesUtf8) {
  EXPECT_EQ(EscapeLabelValue("a\\b\"c\nd"), "a\\\\b\\\"c\\nd");
  EXPECT_EQ(EscapeLabelValue("  Save Mode"), "  Save Mode");
  EXPECT_EQ(EscapeLabelValue("\xB0"), "\xC2\xB0");      // Latin-1 degree sign
  EXPECT_EQ(EscapeLabelValue("\xC2\xB0"), "\xC2\xB0");  // already UTF-8
  EXPECT_EQ(EscapeLabelValue("\xFF\xFF"), "\xC3\xBF\xC3\xBF");
  EXPECT_EQ(FormatValue(13), "13");
  EXPECT_EQ(FormatValue(-1), "-1");
  EXPECT_EQ(FormatValue(0.0125), "0.0125");
  EXPECT_EQ(FormatValue(1.0 / 0.0), "+Inf");
  MetricsText text;
  text.Family("dazavu_x", "gauge", "Help.");
  text.Sample("dazavu_x", {{"a", "1"}, {"b", "\""}}, 2);
  EXPECT_EQ(text.Text(), "# HELP dazavu_x Help.\n# TYPE dazavu_x gauge\ndazavu_x{a=\"1\",b=\"\\\"\"} 2\n");
}

TEST(StatusConditions, CodesArePrintedAsTheyAreOrInHexadecimal) {
  EXPECT_EQ(dz::PrintableCode("13"), "13");
  EXPECT_EQ(dz::PrintableCode(std::string("\0\x01", 2)), "\\x00\\x01");
  EXPECT_EQ(dz::PrintableCode(" \\"), "\\x20\\x5C");
}
