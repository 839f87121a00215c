#include "app/clients/client_editor_rules.h"

#include <gtest/gtest.h>

#include "app/files/client_entry.h"

namespace tidemet {
namespace {

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
