// A settings file or a profile as a drift profile: which settings are
// compared, which records are read, and the differences from a printer's
// records.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "CItemManager.h"
#include "DriftProfile.h"
#include "SettingsFile.h"

namespace {

QString Write(const QTemporaryDir& p_objDir, const char* p_sName, const std::vector<std::string>& p_objLines) {
  const QString path = QDir(p_objDir.path()).filePath(QString::fromLatin1(p_sName));
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray::fromStdString(JoinFileLines(p_objLines)));
  return path;
}

std::vector<std::string> Captions(const DriftProfile& p_objProfile) {
  std::vector<std::string> captions;
  for (const dz::ShownSetting* row : p_objProfile.Rows()) captions.push_back(row->caption);
  return captions;
}

bool Has(const std::vector<std::string>& p_objCaptions, const char* p_sCaption) {
  return std::find(p_objCaptions.begin(), p_objCaptions.end(), p_sCaption) != p_objCaptions.end();
}

}  // namespace

TEST(DriftProfile, ComparesOnlyWhatTheFileCarriesAndThePrinterReports) {
  QTemporaryDir dir;
  CItemManager items;
  QString error;
  const auto parameters = DriftProfile::Load(Write(dir, "p.dt1", BuildParameterFileLines(items)), error);
  ASSERT_TRUE(parameters) << error.toStdString();
  EXPECT_EQ(parameters->ReadKinds(), (std::vector<int>{0, 1, 4}));
  const std::vector<std::string> shown = Captions(*parameters);
  EXPECT_TRUE(Has(shown, "FEED ADJ."));
  EXPECT_FALSE(Has(shown, "KB I/F"));    // read, but no file carries it
  EXPECT_FALSE(Has(shown, "STOP BIT"));  // written, but no record reports it
  EXPECT_EQ(shown.size() + 2, dz::ParameterSettings().size());

  const auto lan = DriftProfile::Load(Write(dir, "l.dt2", BuildLanFileLines(items)), error);
  ASSERT_TRUE(lan) << error.toStdString();
  EXPECT_EQ(lan->ReadKinds(), (std::vector<int>{3}));
  EXPECT_EQ(lan->Rows().size(), dz::LanSettings().size());

  EXPECT_FALSE(DriftProfile::Load(QDir(dir.path()).filePath("none.dt1"), error));
  EXPECT_TRUE(error.contains("none.dt1"));
}

TEST(DriftProfile, DifferencesFromThePrintersRecords) {
  QTemporaryDir dir;
  CItemManager wanted;
  wanted.m_objFeedDirection.SetValue(std::string("-"));
  wanted.m_objFeedAdjustment.SetValue(int32_t{-15});
  wanted.m_objKeyboardIF.SetValue(int32_t{2});  // not in the file: makes no difference
  QString error;
  const auto profile = DriftProfile::Load(Write(dir, "p.dt1", BuildParameterFileLines(wanted)), error);
  ASSERT_TRUE(profile);

  // The printer's records as a factory printer sends them.
  CItemManager printer;
  std::map<int, Bytes> records;
  std::vector<CItem*> group;
  for (int kind : {0, 1, 4}) {
    printer.GetItem_ReadKind(kind, group);
    Bytes frame = {'{', static_cast<uint8_t>('0' + kind)};
    for (CItem* item : group) {
      std::string field = item->GetValueString();
      if (kind == 1 && item == &printer.m_objFontCode) field = "0";
      frame.insert(frame.end(), field.begin(), field.end());
    }
    frame.push_back('|');
    frame.push_back('}');
    records[kind] = frame;
  }
  std::vector<Difference> differences;
  ASSERT_TRUE(profile->CompareRecords(records, differences));
  ASSERT_EQ(differences.size(), 1u);
  EXPECT_STREQ(differences[0].row->caption, "FEED ADJ.");
  EXPECT_EQ(differences[0].a, "0.0");
  EXPECT_EQ(differences[0].b, "-1.5");

  records.erase(4);  // a record missing: nothing is compared
  EXPECT_FALSE(profile->CompareRecords(records, differences));
  records[4] = {'{', '4'};  // a record cut short
  EXPECT_FALSE(profile->CompareRecords(records, differences));
}

TEST(DriftProfile, AProfileComparesTheSettingsItNamesInShowsOrder) {
  QTemporaryDir dir;
  QString error;
  const QString mixed = QDir(dir.path()).filePath("site.profile");
  QFile file(mixed);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  // LAN before parameter, a comment, and STOP BIT, which no printer reports.
  file.write("# site\nDHCP: ON\nSTOP BIT: 1bit\nSPEED: 19200bps\nFEED ADJ.: -1.5\n");
  file.close();
  const auto profile = DriftProfile::Load(mixed, error);
  ASSERT_TRUE(profile) << error.toStdString();
  EXPECT_EQ(Captions(*profile), (std::vector<std::string>{"SPEED", "FEED ADJ.", "DHCP"}));
  EXPECT_EQ(profile->ReadKinds(), (std::vector<int>{0, 1, 4, 3}));

  // A printer as it leaves the factory differs in all three.
  CItemManager printer;
  std::vector<std::string> differ;
  for (const Difference& difference : profile->Compare(printer)) differ.push_back(difference.row->caption);
  EXPECT_EQ(differ, Captions(*profile));

  // Whatever is called .dt1 is a settings file, whatever else a profile.
  const QString named = QDir(dir.path()).filePath("site.DT1");
  QFile::copy(mixed, named);
  EXPECT_FALSE(DriftProfile::Load(named, error));
  EXPECT_TRUE(IsSettingsFilePath(named));
}
