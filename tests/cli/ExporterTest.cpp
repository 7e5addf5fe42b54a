// dazavu exporter, the real executable against simulated printers: the
// metrics of every status code and of printers that do not answer properly,
// probes side by side with a silent printer, refused requests, drift.
#include <QUrl>

#include "CItemManager.h"
#include "ExporterFixture.h"
#include "SettingsFile.h"

namespace {

struct Code {
  const char* code;
  const char* text;  // nullptr: no text
  const char* condition;
};
// The status table, and two codes it does not hold.
const Code kCodes[] = {{"00", "ON LINE", "on_line"},
                       {"01", "Head Open (ON LINE)", "head_open_on_line"},
                       {"02", "On Running", "on_running"},
                       {"04", "PAUSE", "pause"},
                       {"05", "Peel off waiting", "peel_off_waiting"},
                       {"06", "Command Error", "command_error"},
                       {"07", "Rs232c Error", "rs232c_error"},
                       {"11", "Paper JAM", "paper_jam"},
                       {"12", "Cutter Error", "cutter_error"},
                       {"13", "Paper Error", "paper_error"},
                       {"14", "NO RIBBON", "no_ribbon"},
                       {"15", "Head Open Error", "head_open_error"},
                       {"17", "Thermal head Error", "thermal_head_error"},
                       {"18", "Thermal head Temp Error", "thermal_head_temp_error"},
                       {"21", "Ribbon Error", "ribbon_error"},
                       {"22", "Thermistor Connector omission", "thermistor_connector_omission"},
                       {"30", "The stacked form is full.", "stacked_form_full"},
                       {"31", "Stacker Power OFF", "stacker_power_off"},
                       {"40", "", "no_message"},
                       {"41", "ON LINE", "on_line"},
                       {"50", "Flash Memory Write Error", "flash_memory_write_error"},
                       {"51", "Flash Memory Format Error", "flash_memory_format_error"},
                       {"54", "Flash Memory Empty", "flash_memory_empty"},
                       {"55", "  Save Mode", "save_mode"},
                       {"03", "", nullptr},
                       {"AB", "", nullptr}};
constexpr int kTableCodes = 24;

}  // namespace

TEST_F(ExporterTest, EveryStatusCodeGivesItsConditionTextAndNumber) {
  QStringList codes;
  for (const Code& c : kCodes) codes << QString::fromLatin1(c.code);
  ASSERT_TRUE(StartFleet(static_cast<int>(codes.size()), {"--status", codes.join(',')}));
  ASSERT_TRUE(StartExporter());
  for (int i = 0; i < static_cast<int>(codes.size()); ++i) {
    const Code& c = kCodes[i];
    SCOPED_TRACE(c.code);
    const auto reply = Probe(Lan(i));
    ASSERT_EQ(reply->Status(), 200);
    const std::vector<Sample> samples = Parse(reply->Body());
    EXPECT_EQ(Value(samples, "dazavu_up"), 1.0);
    const bool digits = QByteArray(c.code).toInt() > 0 || QByteArray(c.code) == "00";
    EXPECT_EQ(Value(samples, "dazavu_status_code"), digits ? QByteArray(c.code).toDouble() : -1.0);
    EXPECT_EQ(Value(samples, "dazavu_status_info", {{"code", c.code}, {"text", c.text}}), 1.0);
    EXPECT_EQ(Count(samples, "dazavu_status_info"), 1);
    // Every condition of the table, once; the printer's own at 1.
    EXPECT_EQ(Count(samples, "dazavu_printer_condition"), kTableCodes);
    double raised = 0;
    for (const Sample& s : samples)
      if (s.name == "dazavu_printer_condition") raised += s.value;
    EXPECT_EQ(raised, c.condition ? 1.0 : 0.0);
    if (c.condition) {
      EXPECT_EQ(Value(samples, "dazavu_printer_condition", {{"code", c.code}, {"condition", c.condition}}), 1.0);
    }
    EXPECT_GT(Value(samples, "dazavu_probe_duration_seconds").value_or(-1), 0.0);
    EXPECT_EQ(Count(samples, "dazavu_settings_differences"), 0);
    if (i == 9) ExpectPromtoolAccepts(reply->Body());
  }
}

TEST_F(ExporterTest, UnreachableSilentAndGarbagePrintersAreDownAndCountedByOutcome) {
  const quint16 silent = StartPrinters({"--mode", "silence"});
  const quint16 garbage = StartPrinters({"--mode", "garbage"});
  ASSERT_NE(silent, 0);
  ASSERT_NE(garbage, 0);
  ASSERT_TRUE(StartFleet(1));  // the block's other ports stay unused
  ASSERT_TRUE(StartExporter({"--timeout", "3"}));
  const QString unreachable = Lan(7);
  struct Case {
    QString target;
    QByteArray headers;
  };
  // The silent printer's probe ends with the scrape's time-out less the
  // margin: 1.2 s - 0.5 s.
  const std::vector<Case> cases = {
      {unreachable, {}},
      {QStringLiteral("127.0.0.1:%1").arg(silent), "X-Prometheus-Scrape-Timeout-Seconds: 1.2\r\n"},
      {QStringLiteral("127.0.0.1:%1").arg(garbage), {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target.toStdString());
    const auto reply = Fetch(Get("/probe?target=" + c.target.toUtf8(), c.headers));
    ASSERT_EQ(reply->Status(), 200);
    const std::vector<Sample> samples = Parse(reply->Body());
    EXPECT_EQ(Value(samples, "dazavu_up"), 0.0);
    EXPECT_EQ(Value(samples, "dazavu_status_code"), -1.0);
    EXPECT_EQ(Count(samples, "dazavu_status_info"), 0);
    EXPECT_EQ(Count(samples, "dazavu_printer_condition"), kTableCodes);
    for (const Sample& s : samples)
      if (s.name == "dazavu_printer_condition") {
        EXPECT_EQ(s.value, 0.0);
      }
    const double seconds = Value(samples, "dazavu_probe_duration_seconds").value_or(-1);
    if (!c.headers.isEmpty()) {
      // Not --timeout's 3 s (the link's timers may end up to 5 % early).
      EXPECT_GE(seconds, 0.6);
      EXPECT_LT(seconds, 2.0);
    }
  }
  const auto own = Fetch(Get("/metrics"));
  ASSERT_EQ(own->Status(), 200);
  ExpectPromtoolAccepts(own->Body());
  const std::vector<Sample> samples = Parse(own->Body());
  EXPECT_EQ(Value(samples, "dazavu_exporter_probes_total", {{"outcome", "unreachable"}}), 1.0);
  EXPECT_EQ(Value(samples, "dazavu_exporter_probes_total", {{"outcome", "timeout"}}), 1.0);
  EXPECT_EQ(Value(samples, "dazavu_exporter_probes_total", {{"outcome", "bad_reply"}}), 1.0);
  EXPECT_EQ(Value(samples, "dazavu_exporter_probes_total", {{"outcome", "success"}}), 0.0);
  EXPECT_EQ(Value(samples, "dazavu_exporter_probe_duration_seconds_count"), 3.0);
  EXPECT_EQ(Value(samples, "dazavu_exporter_probe_duration_seconds_bucket", {{"le", "+Inf"}}), 3.0);
  // Only the refused connection ends at once; noise is passed over until the
  // probe's time is up, as silence is.
  EXPECT_EQ(Value(samples, "dazavu_exporter_probe_duration_seconds_bucket", {{"le", "0.5"}}), 1.0);
  EXPECT_EQ(Value(samples, "dazavu_exporter_probe_duration_seconds_bucket", {{"le", "5"}}), 3.0);
  EXPECT_EQ(Value(samples, "dazavu_exporter_build_info", {{"version", DZ_VERSION}}), 1.0);
  EXPECT_EQ(Value(samples, "dazavu_exporter_http_requests_total", {{"path", "/probe"}, {"code", "200"}}), 3.0);
}

TEST_F(ExporterTest, ASilentPrinterDelaysNoOtherProbe) {
  constexpr int kPrinters = 20;
  const quint16 silent = StartPrinters({"--mode", "silence"});
  ASSERT_NE(silent, 0);
  ASSERT_TRUE(StartFleet(kPrinters));
  ASSERT_TRUE(StartExporter({"--timeout", "8"}));
  const auto stuck = Send(Get("/probe?target=127.0.0.1:" + QByteArray::number(silent)));
  std::vector<std::unique_ptr<HttpExchange>> others;
  for (int i = 0; i < kPrinters; ++i) others.push_back(Send(Get("/probe?target=" + Lan(i).toUtf8())));
  // Every other probe is answered while the silent printer's is still open.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return std::all_of(others.begin(), others.end(), [](const auto& e) { return e->done; }); }, 6000));
  EXPECT_FALSE(stuck->done);
  for (const auto& e : others) EXPECT_EQ(Value(Parse(e->Body()), "dazavu_up"), 1.0);
  // A further scrape, and /metrics, are not held up either.
  EXPECT_EQ(Fetch(Get("/metrics"), 6000)->Status(), 200);
  EXPECT_FALSE(stuck->done);
  ASSERT_TRUE(QTest::qWaitFor([&] { return stuck->done; }, 15000));
  EXPECT_EQ(Value(Parse(stuck->Body()), "dazavu_up"), 0.0);
}

TEST_F(ExporterTest, RefusedTargetsAndBadRequestsAreAnsweredWithoutHarm) {
  ASSERT_TRUE(StartFleet(1));
  ASSERT_TRUE(StartExporter({"--allow", "127.0.0.1/32", "--allow", "10.1.0.0/16"}));
  const QByteArray port = QByteArray::number(m_iBasePort);
  // A client that starts a request and never ends it holds nothing up.
  const auto slow = Send("GET /probe?target=127.0.0.1:" + port + " HTTP/1.1\r\nHost: x\r\n");
  const std::vector<std::pair<QByteArray, int>> requests = {
      {Get("/probe?target=127.0.0.2:" + port), 400},         // outside --allow
      {Get("/probe?target=%5B::1%5D:" + port), 400},         // IPv6, outside --allow
      {Get("/probe?target=http://127.0.0.1:" + port), 400},  // a scheme
      {Get("/probe?target=127.0.0.1:" + port + "/x"), 400},  // a path
      {Get("/probe?target=user@127.0.0.1"), 400},
      {Get("/probe?target=127.0.0.1:0"), 400},
      {Get("/probe?target=127.0.0.1:65536"), 400},
      {Get("/probe?target=127.0.0.1%zz"), 400},  // a bad escape
      {Get("/probe?target=127.0.0.1&target=127.0.0.1"), 400},
      {Get("/probe?target"), 400},
      {Get("/probe"), 400},
      {Get("/probe?target=127.0.0.1&module=x"), 400},
      {Get("/probe?target=127.0.0.1&profile=none"), 400},
      {Get("/nothing"), 404},
      {"POST /probe?target=127.0.0.1 HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 405},
      {"GET /metrics HTTP/2.0\r\n\r\n", 505},
      {"GET\r\n\r\n", 400},
      {"GET /metrics HTTP/1.1\r\nNo colon here\r\n\r\n", 400},
      {Get("/metrics", "X-Filler: " + QByteArray(9000, 'x') + "\r\n"), 431},
      {Get("/metrics"), 200},
      {Get("/"), 200},
  };
  for (const auto& [request, status] : requests) {
    SCOPED_TRACE(request.left(80).constData());
    EXPECT_EQ(Fetch(request)->Status(), status);
  }
  const auto page = Fetch(Get("/"));
  EXPECT_TRUE(page->Body().contains("href=\"metrics\""));
  EXPECT_TRUE(page->Body().contains("__param_target"));
  // The printer is still probed, by address and by name.
  EXPECT_EQ(Value(Parse(Probe("127.0.0.1:" + port)->Body()), "dazavu_up"), 1.0);
  EXPECT_EQ(Value(Parse(Probe("localhost:" + port)->Body()), "dazavu_up"), 1.0);
  EXPECT_FALSE(slow->done);
  // Nothing of the refused requests reached the printer.
  EXPECT_EQ(Log(Lan(0)).count("{WS|}"), 2);
}

TEST_F(ExporterTest, AProfileCountsAndNamesTheSettingsThatDrifted) {
  ASSERT_TRUE(StartFleet(1));
  CItemManager factory;
  WriteAll(Path("factory.dt1"), QByteArray::fromStdString(JoinFileLines(BuildParameterFileLines(factory))));
  CItemManager site;
  site.m_objFeedDirection.SetValue(std::string("-"));
  site.m_objFeedAdjustment.SetValue(int32_t{-15});
  WriteAll(Path("site.dt1"), QByteArray::fromStdString(JoinFileLines(BuildParameterFileLines(site))));
  WriteAll(Path("lan.dt2"), QByteArray::fromStdString(JoinFileLines(BuildLanFileLines(factory))));
  ASSERT_TRUE(StartExporter({"--profile", "factory=" + Path("factory.dt1"), "--profile", "site=" + Path("site.dt1"),
                             "--profile", "lan=" + Path("lan.dt2")}));

  std::vector<Sample> samples = Parse(Probe(Lan(0), "&profile=site")->Body());
  EXPECT_EQ(Value(samples, "dazavu_up"), 1.0);
  EXPECT_EQ(Value(samples, "dazavu_settings_differences"), 1.0);
  EXPECT_EQ(Value(samples, "dazavu_settings_difference", {{"caption", "FEED ADJ."}}), 1.0);
  EXPECT_EQ(Count(samples, "dazavu_settings_difference"), 1);
  for (const char* same : {"factory", "lan"}) {
    samples = Parse(Probe(Lan(0), QByteArray("&profile=") + same)->Body());
    EXPECT_EQ(Value(samples, "dazavu_settings_differences"), 0.0) << same;
    EXPECT_EQ(Count(samples, "dazavu_settings_difference"), 0) << same;
  }
  const QByteArray sent = "lan << ";  // a fleet of one printer logs without its address
  EXPECT_TRUE(Log(Lan(0)).endsWith(sent + "{WS|}\n" + sent + "{Z5;3|}\n")) << Log(Lan(0)).constData();
  EXPECT_TRUE(Log(Lan(0)).startsWith(sent + "{WS|}\n" + sent + "{Z5;0|}\n" + sent + "{Z5;1|}\n" + sent + "{Z5;4|}\n"));
  // Without a profile there is no read and no drift metric.
  samples = Parse(Probe(Lan(0))->Body());
  EXPECT_EQ(Count(samples, "dazavu_settings_differences"), 0);
}

TEST_F(ExporterTest, AProfileAsApplyReadsItComparesTheSettingsItNames) {
  ASSERT_TRUE(StartFleet(1));
  CItemManager site;
  site.m_objFeedDirection.SetValue(std::string("-"));
  site.m_objFeedAdjustment.SetValue(int32_t{-15});
  WriteAll(Path("site.dt1"), QByteArray::fromStdString(JoinFileLines(BuildParameterFileLines(site))));
  // What show --json prints of a file, the settings one unit holds too.
  const CliRun shown = Dazavu({"show", "--json", Path("site.dt1")});
  ASSERT_EQ(shown.exit, 0) << shown.err.constData();
  WriteAll(Path("site.json"), shown.out);
  WriteAll(Path("dhcp.profile"), "# LAN only\nDHCP: OFF\n");
  ASSERT_TRUE(StartExporter({"--profile", "site=" + Path("site.json"), "--profile", "dhcp=" + Path("dhcp.profile")}));

  std::vector<Sample> samples = Parse(Probe(Lan(0), "&profile=site")->Body());
  EXPECT_EQ(Value(samples, "dazavu_settings_differences"), 1.0);
  EXPECT_EQ(Value(samples, "dazavu_settings_difference", {{"caption", "FEED ADJ."}}), 1.0);
  const QByteArray sent = "lan << ";
  EXPECT_FALSE(Log(Lan(0)).contains("{Z5;3|}")) << Log(Lan(0)).constData();
  samples = Parse(Probe(Lan(0), "&profile=dhcp")->Body());
  EXPECT_EQ(Value(samples, "dazavu_settings_differences"), 0.0);
  EXPECT_EQ(Count(samples, "dazavu_settings_difference"), 0);
  // Only the LAN record holds what the LAN profile names.
  EXPECT_TRUE(Log(Lan(0)).endsWith(sent + "{WS|}\n" + sent + "{Z5;3|}\n")) << Log(Lan(0)).constData();
  // A file that cannot be loaded stops the exporter before it listens.
  WriteAll(Path("bad.dt1"), "not a settings file\r\n");
  WriteAll(Path("bad.txt"), "SPEED: 12bps\n");
  for (const char* name : {"bad.dt1", "bad.txt"}) {
    const CliRun bad = Dazavu({"exporter", "--listen", "127.0.0.1:0", "--profile", "x=" + Path(name)});
    EXPECT_EQ(bad.exit, 1) << name;
    EXPECT_TRUE(bad.err.contains(name)) << bad.err.constData();
  }
}
