// The named fields of the pages: their names and kinds as the batch front end sees them, and
// SetField's checks, each refusal with its reason.
#include "pages/page_fields.h"

#include <gtest/gtest.h>

#include "page_env.h"
#include "pages/page_list.h"

namespace qtk {
namespace {

using testing::PageEnv;

const PageField& Named(const std::vector<PageField>& fields, const std::string& name) {
  for (const PageField& f : fields) {
    if (f.name == name)
      return f;
  }
  static const PageField kNone;
  ADD_FAILURE() << "no field " << name;
  return kNone;
}

std::vector<std::string> Names(const std::vector<PageField>& fields) {
  std::vector<std::string> names;
  for (const PageField& f : fields)
    names.push_back(f.name + " (" + std::string(KindName(f.kind)) + ")");
  return names;
}

TEST(PageFieldTables, NamesKindsAndOrderOfEveryBuiltPage) {
  PageEnv env;
  GeneralPage general(env.context);
  CommonPage common(env.context);
  TunerPage tuner(env.context);
  SerialFlashPage flash(env.context);
  OtaPage ota(env.context);
  general.Load();
  common.Load();
  tuner.Load();
  flash.Load();
  ota.Load();
  EXPECT_EQ(Names(general.Fields()), std::vector<std::string>{"Chunk list (list)"});
  EXPECT_EQ(Names(flash.Fields()), std::vector<std::string>{"Serial Flash Device (list)"});
  EXPECT_EQ(Named(flash.Fields(), "Serial Flash Device").headers,
            (std::vector<std::string>{"ID", "Command", "Byte Address", "Description"}));
  EXPECT_EQ(Names(ota.Fields()),
            (std::vector<std::string>{
                "OTA Freq (number)", "OTA sym (number)", "OTA PID (hexadecimal)",
                "LNB Freq(H) (number)", "LNB Freq(V) (number)", "Sys OUI (hexadecimal)",
                "HW Modal (hexadecimal)", "HW Ver (hexadecimal)", "SW Modal (hexadecimal)",
                "SW Ver (hexadecimal)", "Polarity (choice)", "22K (choice)", "DiSEqc (choice)",
                "OTA Enable (choice)", "LNB Type (choice)"}));
  EXPECT_FALSE(Named(ota.Fields(), "LNB Type").IsShown());
  EXPECT_EQ(Named(ota.Fields(), "Sys OUI").max_length, 6u);
  EXPECT_EQ(Names(common.Fields()),
            (std::vector<std::string>{
                "Version (text)", "Power on string (text)", "Standby string (text)",
                "Palette count (number)", "OSD Palette (choice)", "Transparence (choice)",
                "Volume (number)", "Auto scan mode (choice)", "TP scan mode (choice)",
                "Continue key (choice)", "System mode (choice)", "New TV Prog audio (choice)",
                "New Radio Prog audio (choice)", "Logo show delay (choice)"}));
  EXPECT_EQ(Names(tuner.Fields()),
            (std::vector<std::string>{
                "Tuner list (list)", "Tuner type (choice)", "Polarity (choice)",
                "Single crystal (choice)", "User crystal (number)", "Signal quality zoom (number)",
                "Signal intensity zoom (number)", "I/Q enable (choice)", "Q+/Q- (choice)",
                "I/Q (choice)", "I+/I- (choice)", "Diff/Single (choice)",
                "Base address (hexadecimal)", "Frequency low (number)", "Frequency high (number)",
                "Filter BW (number)", "AGC Threshold 1 (hexadecimal)",
                "AGC Threshold 2 (hexadecimal)", "QPSK config (hexadecimal)"}));
  AvSetPage av_set(env.context);
  av_set.Load();
  EXPECT_EQ(
      Names(av_set.Fields()),
      (std::vector<std::string>{"TV mode (choice)", "Program mode (choice)", "RF mode (choice)",
                                "RF channel (number)", "Video output list (list)"}));
  ProgramSetPage program_set(env.context);
  program_set.Load();
  EXPECT_EQ(Names(program_set.Fields()),
            (std::vector<std::string>{"Autoscan more TPs (list)", "Forbidden programs/TP (list)"}));
  EXPECT_EQ(
      Named(program_set.Fields(), "Forbidden programs/TP").headers,
      (std::vector<std::string>{"Polarity", "Frequency", "Symbol rate", "Video PID", "Audio PID"}));
  LanguagePage language(env.context);
  language.Load();
  EXPECT_EQ(Names(language.Fields()),
            (std::vector<std::string>{"Language list (list)", "Current Languages (choice)"}));
  EXPECT_EQ(Named(language.Fields(), "Language list").headers,
            (std::vector<std::string>{"Language", "Enable"}));
  SystemSetPage system_set(env.context);
  system_set.Load();
  EXPECT_EQ(Names(system_set.Fields()),
            (std::vector<std::string>{
                "Advanced: WARNING! Modify following configurations is dangerous! (choice)",
                "CPU clock (choice)", "Memory clock (choice)", "Data Pad Driver (choice)",
                "Command Pad Driver (choice)", "Clock tree delay (number)",
                "Clock delay chain (number)", "Sys password 1 (text)", "Sys password 2 (text)"}));
  KeyMapPage key_map(env.context);
  PanelPage panel(env.context);
  GpioUsagePage gpio(env.context);
  key_map.Load();
  panel.Load();
  gpio.Load();
  EXPECT_EQ(Names(key_map.Fields()),
            (std::vector<std::string>{"Pause window (choice)", "Preview window (choice)",
                                      "DView window (choice)", "IR user code 1 (hexadecimal)",
                                      "IR user code 2 (hexadecimal)", "Panel Key Usage (list)",
                                      "IR Key Usage (list)"}));
  EXPECT_EQ(Names(panel.Fields()),
            (std::vector<std::string>{
                "Scan type (choice)", "LED number (choice)", "LED Dot Enable (choice)",
                "Dot COM port (choice)", "LED Dot position (choice)", "Dot polariry (choice)",
                "LED polarity (choice)", "Signal quality LED enable (choice)", "COM port (choice)",
                "Polarity (choice)", "Signal list (list)", "Segment list (list)",
                "IRP type (choice)", "Key repeat first (number)", "Key repeat normal (number)"}));
  EXPECT_EQ(Names(gpio.Fields()), (std::vector<std::string>{"Bus type (choice)", "Usage (list)"}));
  EXPECT_EQ(Named(key_map.Fields(), "IR Key Usage").headers,
            (std::vector<std::string>{"IR Key Usage", "Key1(in Hex)", "Key2(in Hex)"}));
  EXPECT_EQ(Named(panel.Fields(), "Signal list").headers,
            (std::vector<std::string>{"LED segment", "Scope", "Bit"}));
  EXPECT_EQ(Named(gpio.Fields(), "Usage").headers,
            (std::vector<std::string>{"Usage", "GPIO No.", "Polar"}));
  EXPECT_EQ(Named(general.Fields(), "Chunk list").headers,
            (std::vector<std::string>{"Chunk name", "ID", "Offset", "CRC", "File"}));
  EXPECT_EQ(Named(tuner.Fields(), "Tuner list").headers,
            (std::vector<std::string>{"Tuner", "Enable"}));
}

TEST(PageFieldTables, EveryBuiltPageHasARowAndAModel) {
  PageEnv env;
  int rows = 0;
  ForEachPageRow([&](auto row) {
    using Model = typename decltype(row)::ModelType;
    std::unique_ptr<SettingsPage> page = CreatePageModel(Model::kId, env.context);
    ASSERT_TRUE(page);
    EXPECT_NE(dynamic_cast<Model*>(page.get()), nullptr);
    page->Load();
    EXPECT_FALSE(page->Fields().empty()) << page->GetName();
    ++rows;
  });
  EXPECT_EQ(rows, 12);  // every page of the program is built
}

class CommonFields : public ::testing::Test {
 protected:
  void SetUp() override {
    page.Load();
    fields = page.Fields();
  }
  std::string Set(const std::string& name, FieldValue value) {
    return SetField(Named(fields, name), value);
  }
  PageEnv env;
  CommonPage page{env.context};
  std::vector<PageField> fields;
};

TEST_F(CommonFields, ValuesAsTheControlsShowThem) {
  EXPECT_EQ(Named(fields, "Version").get(), FieldValue(std::string("DEMO 1.0.0")));
  EXPECT_EQ(Named(fields, "Volume").get(), FieldValue(20LL));
  EXPECT_EQ(Named(fields, "OSD Palette").get(), FieldValue(std::string("style 2")));
  EXPECT_EQ(Named(fields, "OSD Palette").choices(),
            (std::vector<std::string>{"style 1", "style 2", "style 3", "style 4"}));
  EXPECT_EQ(Named(fields, "Power on string").max_length, 4u);
}

TEST_F(CommonFields, AcceptedValuesGoThroughTheModel) {
  EXPECT_EQ(Set("Version", std::string("V2.1")), "");
  EXPECT_EQ(Set("Palette count", 2LL), "");
  EXPECT_EQ(Set("OSD Palette", std::string("style 1")), "");
  EXPECT_EQ(Set("Volume", 100LL), "");
  EXPECT_EQ(Set("Logo show delay", std::string("Off.")), "");
  EXPECT_EQ(page.version_text, "V2.1");
  EXPECT_EQ(page.palette_count(), 2);
  EXPECT_EQ(page.osd_palette.items.size(), 2u);
  EXPECT_EQ(page.osd_palette.selection, 0);
  EXPECT_EQ(page.volume(), 100);
  EXPECT_EQ(page.logo_show_delay.selection, 0);
}

TEST_F(CommonFields, EveryRefusalSaysWhy) {
  EXPECT_EQ(Set("Version", 5LL), "the field takes a text");
  EXPECT_EQ(Set("Volume", std::string("25")), "the field takes a whole number");
  EXPECT_EQ(Set("OSD Palette", 1LL), "the field takes the text of one of its choices");
  EXPECT_EQ(Set("Version", FieldRows{}), "the field takes a text");
  EXPECT_EQ(Set("Version", std::string(24, 'v')), "the field takes at most 23 characters");
  EXPECT_EQ(Set("Version", std::string("v\x81")),
            "the field does not take the character \"\xC2\x81\"");
  EXPECT_EQ(Set("Power on string", std::string("kk")),
            "the field does not take the character \"k\"");
  EXPECT_EQ(Set("Power on string", std::string("12345")), "the field takes at most 4 characters");
  EXPECT_EQ(Set("Volume", -1LL), "the field takes no negative number");
  EXPECT_EQ(Set("Volume", 1000LL), "the field takes at most 3 digits");
  EXPECT_EQ(Set("Volume", 150LL), "the page makes 150 into 0");
  EXPECT_EQ(Set("OSD Palette", std::string("style 9")),
            "\"style 9\" is not one of its choices: \"style 1\", \"style 2\", \"style 3\", "
            "\"style 4\"");
  EXPECT_EQ(Set("Palette count", 5LL), "the page makes 5 into 1");
}

TEST(PageFieldStates, HiddenAndDisabledControlsTakeOnlyTheirOwnValue) {
  testdata::DescriptionSpec d = testdata::RealisticDescription();
  d.Set("CommonConfig", "CustomerConfigEnable", 0);
  PageEnv env({.config_version = 1}, d);
  CommonPage common(env.context);
  TunerPage tuner(env.context);
  common.Load();
  tuner.Load();
  const std::vector<PageField> common_fields = common.Fields();
  const std::vector<PageField> tuner_fields = tuner.Fields();
  const PageField& count = Named(common_fields, "Palette count");
  EXPECT_FALSE(count.IsShown());
  EXPECT_EQ(SetField(count, 4LL), "");  // its own value: no change
  EXPECT_EQ(SetField(count, 3LL), "the field is not shown for this firmware");
  EXPECT_EQ(SetField(Named(tuner_fields, "Base address"), std::string("10")),
            "the field is not shown for this firmware");
  EXPECT_FALSE(Named(tuner_fields, "Tuner list").IsShown());

  ASSERT_EQ(SetField(Named(tuner_fields, "I/Q enable"), std::string("Disable")), "");
  const PageField& q = Named(tuner_fields, "Q+/Q-");
  EXPECT_EQ(SetField(q, std::string("Q+/Q- swapped")), "the field is disabled");
  ASSERT_EQ(SetField(Named(tuner_fields, "I/Q enable"), std::string("Enable")), "");
  EXPECT_EQ(SetField(q, std::string("Q+/Q- swapped")), "");
  EXPECT_EQ(tuner.q_set.selection, 1);
}

TEST(PageFieldRules, AFieldIsLeftAfterItIsSetSoItsRuleAndMessageRun) {
  PageEnv env;
  TunerPage tuner(env.context);
  tuner.Load();
  const std::vector<PageField> fields = tuner.Fields();
  EXPECT_EQ(SetField(Named(fields, "Signal quality zoom"), 45LL), "the page makes 45 into 100");
  EXPECT_EQ(env.dialogs.Texts(),
            std::vector<std::string>{"Signal quality zoom should be in 50 - 300!\n"});
  EXPECT_EQ(SetField(Named(fields, "Signal quality zoom"), 155LL), "the page makes 155 into 150");
  EXPECT_EQ(SetField(Named(fields, "Frequency low"), 950LL), "");
  EXPECT_EQ(SetField(Named(fields, "User crystal"), 70000LL), "the page makes 70000 into 65535");
  EXPECT_EQ(SetField(Named(fields, "QPSK config"), std::string("BEEF")), "");
  EXPECT_EQ(SetField(Named(fields, "QPSK config"), std::string("BEEFF")),
            "the field takes at most 4 characters");
  EXPECT_EQ(SetField(Named(fields, "AGC Threshold 1"), std::string("0x")),
            "the field does not take the character \"x\"");
  // The type change takes the typed values into the old entry and shows the new one.
  EXPECT_EQ(SetField(Named(fields, "Tuner type"), std::string("Zarlink 10039")), "");
  EXPECT_EQ(tuner.current_entry(), 1);
  EXPECT_EQ(env.settings().U16(record::kTunerParameters + record::tuner_entry::kFrequencyLow), 950);
}

TEST(PageFieldLists, TunerRowsKeepTheirNamesAndOfferTheirChoices) {
  PageEnv env({.config_version = 1});
  TunerPage tuner(env.context);
  tuner.Load();
  const PageField list = Named(tuner.Fields(), "Tuner list");
  const FieldRows rows = std::get<FieldRows>(list.get());
  ASSERT_EQ(rows.size(), 6u);
  FieldRows changed = rows;
  changed[3][1] = "On";
  EXPECT_EQ(SetField(list, changed), "");
  EXPECT_EQ(tuner.tuner_type.items, std::vector<std::string>{"Zarlink 10039"});

  FieldRows short_list(rows.begin(), rows.begin() + 2);
  EXPECT_EQ(SetField(list, short_list), "the list has 6 rows, not 2");
  FieldRows renamed = std::get<FieldRows>(list.get());
  renamed[1][0] = "Other";
  renamed[1][1] = "On";
  EXPECT_EQ(SetField(list, renamed), "row 2 is \"Sharp 0184\", not \"Other\"");
  FieldRows first_off = std::get<FieldRows>(list.get());
  first_off[0][1] = "Maybe";
  EXPECT_EQ(SetField(list, first_off), "row 1 \"Enable\" takes one of: \"On\"");
  FieldRows one_cell = std::get<FieldRows>(list.get());
  one_cell[2] = {"Philips 1216"};
  EXPECT_EQ(SetField(list, one_cell), "row 3 needs two cells, \"Tuner\" and \"Enable\"");
}

TEST(PageFieldLists, TheChunkListIsReadOnly) {
  PageEnv env;
  GeneralPage general(env.context);
  general.Load();
  const PageField list = Named(general.Fields(), "Chunk list");
  FieldRows rows = std::get<FieldRows>(list.get());
  EXPECT_EQ(rows[2], (std::vector<std::string>{"logo", "0x02fd0100", "0x00001000",
                                               general.rows()[2].crc, ""}));
  EXPECT_EQ(SetField(list, rows), "");
  rows[2][4] = "/tmp/x.m2v";
  EXPECT_EQ(SetField(list, rows), "the chunk list changes only by replacing a chunk with a file");
}

}  // namespace
}  // namespace qtk
