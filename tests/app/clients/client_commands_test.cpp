#include "app/clients/client_commands.h"

#include <gtest/gtest.h>

#include "app/clients/client_editor_rules.h"
#include "app/clients/storable_text.h"
#include "app/files/client_entry.h"
#include "app/session/units.h"

namespace tidemet {
namespace {

ClientList threeClients() {
  return ClientList({MakeClientEntry("Ann Avery", "AA01", "170", "70", "Dr. Lee"),
                     MakeClientEntry("Bob Brown", "BB02", "122", "23", ""),
                     MakeClientEntry("Cy Chen", "CC03", "229", "136", "Dr. Moss")});
}

size_t lineCount(const std::string& text) {
  size_t lines = 0;
  for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  return lines + (text.size() >= 2 && text.ends_with("\r\n") ? 0 : 1);
}

TEST(ClientCommands, CopyClientGivesTheHeaderAndOneEntry) {
  ClientList list = threeClients();
  list.select(0);
  const std::string text = CopyClientText(list);
  EXPECT_EQ(lineCount(text), 2u);
  EXPECT_EQ(text, "Name                    ID          Height       Weight       Clinician\r\n" +
                      list.entry(0));

  const std::string all = CopyAllClientsText(list);
  EXPECT_EQ(lineCount(all), 4u);
  EXPECT_TRUE(all.ends_with(list.entry(2) + "\r\n"));
}

TEST(ClientCommands, DeleteRefusesTheLastClient) {
  ClientList list = threeClients();
  RecordingAlerts alerts;
  EXPECT_FALSE(DeleteClient(list, alerts, "Tidemet"));  // nothing selected
  list.select(1);
  EXPECT_TRUE(DeleteClient(list, alerts, "Tidemet"));
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(EntryName(list.entry(1)), "Cy Chen");
  EXPECT_EQ(list.selected(), -1);

  list.select(0);
  ASSERT_TRUE(DeleteClient(list, alerts, "Tidemet"));
  list.select(0);
  EXPECT_FALSE(DeleteClient(list, alerts, "Tidemet"));
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(EntryName(list.entry(0)), "Cy Chen");
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].title, "Tidemet");
  EXPECT_EQ(alerts.shown[0].text,
            "The last client cannot be deleted.\r\nAdd another client and then delete this one.");
  EXPECT_EQ(alerts.shown[0].icon, AlertIcon::Exclamation);
}

TEST(ClientCommands, UnitSwitchConvertsEveryEntryAndBack) {
  Session s;
  s.UnitsFlag = 0;
  ApplyUnitLabels(s.labels, false);
  ClientList list({MakeClientEntry("Ann", "AA", "48", "50", "Dr. Lee"),
                   MakeClientEntry("Bob", "BB", "90", "300", "Dr. Extraordinarily")});
  SwitchClientUnits(s, list, true);
  EXPECT_EQ(s.UnitsFlag, 1);
  EXPECT_EQ(s.labels.units.Height, "Height   (cm)");
  EXPECT_EQ(list.entry(0), MakeClientEntry("Ann", "AA", "122", "23", "Dr. Lee"));
  EXPECT_EQ(EntryWeight(list.entry(0)), "23 ");
  EXPECT_EQ(list.entry(1), MakeClientEntry("Bob", "BB", "229", "136", "Dr. Extraordinar"));

  // Choosing the units in force again converts nothing.
  const std::vector<std::string> metric = list.entries();
  SwitchClientUnits(s, list, true);
  EXPECT_EQ(list.entries(), metric);

  SwitchClientUnits(s, list, false);
  EXPECT_EQ(s.labels.units.Weight, "Weight   (lbs)");
  EXPECT_EQ(EntryHeight(list.entry(0)), "48 ");
  EXPECT_EQ(EntryWeight(list.entry(0)), "51 ");  // 23 kg is 50.6 lbs
  EXPECT_EQ(EntryHeight(list.entry(1)), "90 ");
  EXPECT_EQ(EntryWeight(list.entry(1)), "299");
}

TEST(ClientCommands, PrintedListPlacesTheHeadingsAtTheirColumns) {
  ClientList list = threeClients();
  auto lines = ClientListPrintLines(list, false, "Tidemet");
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(PrintLineText(lines[0]), std::string(30, ' ') + "Tidemet Client List");
  EXPECT_EQ(PrintLineText(lines[3]),
            "Name                  ID          (in)   (lbs)     Clinician");
  EXPECT_EQ(PrintLineText(lines[6]), list.entry(2));
  EXPECT_EQ(PrintLineText(ClientListPrintLines(list, true, "Tidemet")[3]).substr(34, 12),
            "(cm)   (kg) ");
}

TEST(ClientCommands, EditingTheCurrentClientMovesTheCurrentClientAlong) {
  Session s;
  ClientList list = threeClients();
  TakeClientFromEntry(s, list.entry(1));
  ReplaceClient(s, list, 1, MakeClientEntry("Bob Browne", "BB02", "180", "80", ""));
  EXPECT_EQ(s.ClientName, "Bob Browne");
  EXPECT_EQ(s.DataClientName, "Bob Browne");
  EXPECT_EQ(s.ClientHeight, "180");
  EXPECT_EQ(EntryName(list.entry(1)), "Bob Browne");

  // Another entry changes only the list.
  ReplaceClient(s, list, 0, MakeClientEntry("Ann Avery", "AA01", "171", "70", ""));
  EXPECT_EQ(s.ClientName, "Bob Browne");
  EXPECT_EQ(EntryHeight(list.entry(0)), "171");
}

TEST(StorableText, RefusesWhatTheListFileCannotHold) {
  struct Case {
    const char* text;
    const char* refused;  // nullptr when storable
  } cases[] = {
      {"Zoë Ångström", nullptr}, {"Price €5 – ok", nullptr},
      {"Li 山田", "山"},         {"A \"B\"", "\""},
      {"Tab\there", "\t"},       {"Emoji 🙂", "🙂"},
      {"\xff broken", "\xff"},   {"?", nullptr},
      {"Del\x7f", "\x7f"},       {"C1 \xc2\x85", "\xc2\x85"},
  };
  for (const Case& c : cases) {
    auto refused = FirstUnstorableCharacter(c.text);
    if (c.refused == nullptr) {
      EXPECT_FALSE(refused) << c.text;
    } else {
      EXPECT_EQ(refused.value_or("none"), c.refused) << c.text;
    }
  }
  RecordingAlerts alerts;
  EXPECT_FALSE(InstitutionLinesStorable({"Pool", "Main St", "Kyōto"}, alerts));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text.substr(0, alerts.shown[0].text.find('\r')),
            "Institution line 3 cannot contain the character \"ō\".");
  EXPECT_TRUE(InstitutionLinesStorable({"Pool", "Main St", "Köln"}, alerts));
}

TEST(ClientEditorRules, FocusLossCorrectsMeasuresIntoTheirRange) {
  struct Case {
    const char* typed;
    bool height;
    bool metric;
    const char* shown;
  } cases[] = {
      {"10", false, true, "23"},    {"500", false, true, "136"}, {"10", false, false, "50"},
      {"500", false, false, "300"}, {"095", true, true, "122"},  {"095", true, false, "90"},
      {"075", true, false, "75"},   {"48", true, false, "48"},   {"", true, true, "122"},
      {"abc", false, false, "50"},  {"229", true, true, "229"},  {"230", true, true, "229"},
  };
  for (const Case& c : cases) {
    MeasureRange range = c.height ? HeightRange(c.metric) : WeightRange(c.metric);
    EXPECT_EQ(MeasureAfterFocusLoss(c.typed, range), c.shown)
        << c.typed << (c.height ? " height" : " weight") << (c.metric ? " metric" : " US");
  }
}

TEST(ClientEditorRules, ChangesCutToTheLimitAndStripBlanks) {
  struct Case {
    ClientField field;
    const char* typed;
    const char* shown;
  } cases[] = {
      {ClientField::Name, "  Abcdefghijklmnopqrstuvw", "Abcdefghijklmnopqr"},
      {ClientField::Name, "  Ann", "Ann"},
      {ClientField::Id, "1234567890ABCDEF", "1234567890AB"},
      {ClientField::Clinician, "Dr. Jane Q. Longname", "Dr. Jane Q. Long"},
      {ClientField::Height, " 1 2345 ", "1 2"},
      {ClientField::Weight, "  70  ", "70"},
      {ClientField::Name, "Zoë Ångström-Bäckmanns", "Zoë Ångström-Bäckman"},
  };
  for (const Case& c : cases) EXPECT_EQ(FieldAfterChange(c.field, c.typed), c.shown) << c.typed;
}

TEST(ClientEditorRules, ContinueBuildsTheFixedColumnsAndEditReadsThemBack) {
  ClientEditorText typed{"Abcdefghijklmnopqrst", "ID1234567890", "48", "095", "Dr. Who"};
  const std::string entry = EntryFromEditor(typed, false);
  EXPECT_EQ(entry, "Abcdefghijklmnopqrst  ID1234567890   48     95     Dr. Who");
  EXPECT_EQ(entry.find("ID12"), 22u);  // column 23
  EXPECT_EQ(entry.find("48"), 37u);    // column 38
  EXPECT_EQ(EntryHeight(entry), "48 ");

  ClientEditorText back = EditorTextFromEntry(entry);
  EXPECT_EQ(back,
            (ClientEditorText{"Abcdefghijklmnopqrst", "ID1234567890", "48", "95", "Dr. Who"}));
  EXPECT_EQ(EntryFromEditor(back, false), entry);
  // Add starts from the smallest measures of the units in force.
  EXPECT_EQ(AddClientPresets(true), (ClientEditorText{"", "", "122", "23", ""}));
  EXPECT_EQ(AddClientPresets(false), (ClientEditorText{"", "", "48", "50", ""}));
}

}  // namespace
}  // namespace tidemet
