// The Program set page model: the two tables as rows, the dialogs' checks and messages, the
// add and delete rules with their limits, and Store's encoding.
#include "pages/program_set_page.h"

#include <gtest/gtest.h>

#include <random>

#include "page_env.h"
#include "pages/page_fields.h"
#include "settings/record_layout.h"

namespace qtk {
namespace {

using testing::PageEnv;
using Rows = std::vector<std::vector<std::string>>;

void PutWords(CustomerSettings& s, size_t at, std::initializer_list<uint16_t> words) {
  for (uint16_t w : words) {
    s.SetU16(at, w);
    at += 2;
  }
}
size_t Tp(size_t i) {
  return record::kAutoscanTps + 4 * i;
}
size_t Forbidden(size_t i) {
  return record::kForbiddenEntries + 8 * i;
}
std::vector<uint16_t> Words(const CustomerSettings& s, size_t at, size_t count) {
  std::vector<uint16_t> words;
  for (size_t i = 0; i < count; ++i)
    words.push_back(s.U16(at + 2 * i));
  return words;
}

Rows CellsOf(ProgramSetPage& page, int field) {
  return std::get<FieldRows>(page.Fields()[static_cast<size_t>(field)].get());
}

class ProgramSet : public ::testing::Test {
 protected:
  ProgramSetPage& Loaded() {
    page.Load();
    return page;
  }
  std::vector<std::string> Messages() { return env.dialogs.Texts(); }
  PageEnv env;
  ProgramSetPage page{env.context};
};

TEST_F(ProgramSet, LoadShowsFilledSlotsAsRowsAndStoreCompactsAndNormalisesThem) {
  CustomerSettings& s = env.settings();
  PutWords(s, Tp(0), {1, 27500});              // frequency 0, polarity V: empty
  PutWords(s, Tp(1), {12380 * 2 + 1, 27500});  // V 12380
  PutWords(s, Tp(9), {3000 * 2, 1000});        // H 3000, in the last slot
  PutWords(s, Forbidden(0), {11000 * 2, 30000, 0x0100, 0x0101});
  // H/V shown from word 2 bit 15 even with bit 0 set; whole TP hides stored PIDs.
  PutWords(s, Forbidden(3), {11500 * 2 + 1, 22000, 0xC123, 0xC456});
  PutWords(s, Forbidden(14), {0x7FFF * 2 + 1, 0xFFFF, 0x3FFF, 0xFFFF});
  s.SetU8(record::kAutoscanTpCount, 77);  // counts are not read
  Loaded();
  EXPECT_EQ(CellsOf(page, 0), (Rows{{"V", "12380", "27500"}, {"H", "03000", "01000"}}));
  EXPECT_EQ(CellsOf(page, 1), (Rows{{"H", "11000", "30000", "0256", "0257"},
                                    {"H/V", "11500", "22000", "****", "****"},
                                    {"V", "32767", "65535", "16383", "16383"}}));
  EXPECT_TRUE(page.CanAddTp());
  EXPECT_FALSE(page.CanDeleteTp());
  EXPECT_FALSE(page.CanDeleteForbidden());

  ASSERT_TRUE(page.Store());
  EXPECT_EQ(s.U8(record::kAutoscanTpCount), 2);
  EXPECT_EQ(s.U8(record::kForbiddenCount), 3);
  std::vector<uint16_t> tps = Words(s, record::kAutoscanTps, 20);
  EXPECT_EQ(tps,
            (std::vector<uint16_t>{
                12380 * 2 + 1, 27500, 6000, 1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  std::vector<uint16_t> entries = Words(s, record::kForbiddenEntries, 60);
  const std::vector<uint16_t> expected_head = {22000,  30000, 0x0100, 0x0101, 23000,  22000,
                                               0xC000, 0,     0xFFFF, 0xFFFF, 0x3FFF, 0x3FFF};
  EXPECT_EQ(std::vector<uint16_t>(entries.begin(), entries.begin() + 12), expected_head);
  EXPECT_EQ(std::count(entries.begin() + 12, entries.end(), 0), 48);
}

TEST_F(ProgramSet, TpRangesAreCheckedWithTheirMessagesAtBothEnds) {
  Loaded();
  struct Case {
    int frequency, symbol_rate;
    AddRefusal refusal;
    const char* message;
  };
  const char* frequency = "The range of TP frequency must be 3000 - 13450!";
  const char* symbol_rate = "The range of TP symbol rate must be 1000 - 45000!";
  for (const Case& c : {Case{2999, 27500, AddRefusal::kFrequency, frequency},
                        Case{13451, 27500, AddRefusal::kFrequency, frequency},
                        Case{0, 0, AddRefusal::kFrequency, frequency},
                        Case{3000, 999, AddRefusal::kSymbolRate, symbol_rate},
                        Case{13450, 45001, AddRefusal::kSymbolRate, symbol_rate},
                        Case{3000, 1000, AddRefusal::kNone, nullptr},
                        Case{13450, 45000, AddRefusal::kNone, nullptr}}) {
    env.dialogs.messages.clear();
    EXPECT_EQ(page.AcceptTp({kPolarityH, c.frequency, c.symbol_rate}), c.refusal) << c.frequency;
    EXPECT_EQ(Messages(),
              c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  }
  EXPECT_EQ(CellsOf(page, 0), (Rows{{"H", "03000", "01000"}, {"H", "13450", "45000"}}));
}

TEST_F(ProgramSet, ADuplicateTpIsRefusedAndTheOtherPolarityIsNot) {
  Loaded();
  ASSERT_EQ(page.AcceptTp({kPolarityH, 11000, 27500}), AddRefusal::kNone);
  EXPECT_EQ(page.AcceptTp({kPolarityH, 11000, 27500}), AddRefusal::kDuplicate);
  EXPECT_EQ(Messages(), std::vector<std::string>{"The TP is already exists!"});
  EXPECT_EQ(page.AcceptTp({kPolarityV, 11000, 27500}), AddRefusal::kNone);
  EXPECT_EQ(page.AcceptTp({kPolarityH, 11000, 27501}), AddRefusal::kNone);
  EXPECT_EQ(page.autoscan_tps().size(), 3u);
}

TEST_F(ProgramSet, DialogsRememberTheirLastAcceptedValuesOnlyAcrossLoads) {
  Loaded();
  EXPECT_EQ(page.tp_dialog_values(), AddTpValues{});
  EXPECT_EQ(page.forbidden_dialog_values(), AddForbiddenValues{});
  ASSERT_EQ(page.AcceptTp({kPolarityV, 4000, 2000}), AddRefusal::kNone);
  ASSERT_EQ(page.AcceptTp({kPolarityH, 5000, 100}), AddRefusal::kSymbolRate);  // not remembered
  const AddForbiddenValues whole{kPolarityBoth, 4000, 2000, 5, 9000, true};
  ASSERT_EQ(page.AcceptForbidden(whole), AddRefusal::kNone);
  env.Reopen();  // another image in the same run
  page.Load();
  EXPECT_EQ(page.tp_dialog_values(), (AddTpValues{kPolarityV, 4000, 2000}));
  EXPECT_EQ(page.forbidden_dialog_values(), whole);  // the unused PIDs come back too
}

TEST_F(ProgramSet, ForbiddenPidRangesApplyOnlyToAProgram) {
  Loaded();
  const char* video = "The range of program video PID must be 32 - 8191!";
  const char* audio = "The range of program audio PID must be 32 - 8191!";
  struct Case {
    int video, audio;
    AddRefusal refusal;
    const char* message;
  };
  int frequency = 3000;
  for (const Case& c :
       {Case{31, 100, AddRefusal::kVideoPid, video}, Case{8192, 100, AddRefusal::kVideoPid, video},
        Case{100, 31, AddRefusal::kAudioPid, audio}, Case{100, 8192, AddRefusal::kAudioPid, audio},
        Case{32, 8191, AddRefusal::kNone, nullptr}, Case{8191, 32, AddRefusal::kNone, nullptr}}) {
    env.dialogs.messages.clear();
    EXPECT_EQ(page.AcceptForbidden({kPolarityH, frequency++, 27500, c.video, c.audio, false}),
              c.refusal);
    EXPECT_EQ(Messages(),
              c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  }
  env.dialogs.messages.clear();
  EXPECT_EQ(page.AcceptForbidden({kPolarityH, 3000, 27500, 0, 99999, true}), AddRefusal::kNone);
  // Frequency and symbol rate come first, with the TP dialog's messages.
  EXPECT_EQ(page.AcceptForbidden({kPolarityH, 2999, 999, 0, 0, false}), AddRefusal::kFrequency);
  EXPECT_EQ(page.AcceptForbidden({kPolarityH, 3000, 999, 0, 0, false}), AddRefusal::kSymbolRate);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"The range of TP frequency must be 3000 - 13450!",
                                      "The range of TP symbol rate must be 1000 - 45000!"}));
}

TEST_F(ProgramSet, ForbiddenDuplicatesCompareAsStoredWithoutPidsForAWholeTp) {
  Loaded();
  ASSERT_EQ(page.AcceptForbidden({kPolarityBoth, 11000, 27500, 100, 200, true}), AddRefusal::kNone);
  EXPECT_EQ(page.AcceptForbidden({kPolarityBoth, 11000, 27500, 300, 400, true}),
            AddRefusal::kDuplicate);
  EXPECT_EQ(Messages(), std::vector<std::string>{"The forbidden program/TP is already exists!"});
  // A program on that TP, or the TP with another polarity word, is another entry.
  EXPECT_EQ(page.AcceptForbidden({kPolarityBoth, 11000, 27500, 100, 200, false}),
            AddRefusal::kNone);
  EXPECT_EQ(page.AcceptForbidden({kPolarityH, 11000, 27500, 100, 200, true}), AddRefusal::kNone);
  EXPECT_EQ(page.AcceptForbidden({kPolarityBoth, 11000, 27500, 100, 200, false}),
            AddRefusal::kDuplicate);
  EXPECT_EQ(page.AcceptForbidden({kPolarityBoth, 11000, 27500, 100, 201, false}),
            AddRefusal::kNone);
  // The H/V whole TP is stored with word 2 = 0xC000 and word 3 = 0.
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(Words(env.settings(), Forbidden(0), 4),
            (std::vector<uint16_t>{22000, 27500, 0xC000, 0}));
  EXPECT_EQ(Words(env.settings(), Forbidden(1), 4),
            (std::vector<uint16_t>{22000, 27500, 0x8064, 200}));
  EXPECT_EQ(CellsOf(page, 1)[0],
            (std::vector<std::string>{"H/V", "11000", "27500", "****", "****"}));
}

TEST_F(ProgramSet, AddAndDeleteFollowTheLimitsAndTheSelection) {
  Loaded();
  for (int i = 0; i < 10; ++i)
    ASSERT_EQ(page.AcceptTp({kPolarityH, 3000 + i, 27500}), AddRefusal::kNone);
  EXPECT_FALSE(page.CanAddTp());
  EXPECT_EQ(page.AcceptTp({kPolarityH, 5000, 27500}), AddRefusal::kListFull);
  EXPECT_TRUE(Messages().empty());
  page.SelectTp(10);  // no such row
  EXPECT_FALSE(page.CanDeleteTp());
  page.SelectTp(3);
  EXPECT_TRUE(page.CanDeleteTp());
  page.DeleteTp();
  EXPECT_FALSE(page.CanDeleteTp());
  EXPECT_TRUE(page.CanAddTp());
  EXPECT_EQ(page.autoscan_tps()[3].frequency, 3004);

  for (int i = 0; i < 15; ++i)
    ASSERT_EQ(page.AcceptForbidden({kPolarityV, 4000 + i, 27500, 0, 0, true}), AddRefusal::kNone);
  EXPECT_FALSE(page.CanAddForbidden());
  page.SelectForbidden(14);
  page.DeleteForbidden();
  EXPECT_TRUE(page.CanAddForbidden());
  EXPECT_FALSE(page.CanDeleteForbidden());
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(env.settings().U8(record::kAutoscanTpCount), 9);
  EXPECT_EQ(env.settings().U8(record::kForbiddenCount), 14);
}

// Generated lists stored and loaded again give back every row, byte for byte the same words.
TEST_F(ProgramSet, StoredListsLoadBackAsTheyWereOverGeneratedEntries) {
  std::mt19937 random(1313);
  auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int round = 0; round < 40; ++round) {
    page.Load();
    for (int i = 0, n = pick(0, 10); i < n; ++i)
      page.AcceptTp({pick(0, 1), pick(3000, 13450), pick(1000, 45000)});
    for (int i = 0, n = pick(0, 15); i < n; ++i) {
      page.AcceptForbidden({pick(0, 2), pick(3000, 13450), pick(1000, 45000), pick(32, 8191),
                            pick(32, 8191), pick(0, 1) == 1});
    }
    const Rows tps = CellsOf(page, 0);
    const Rows entries = CellsOf(page, 1);
    ASSERT_TRUE(page.Store());
    const CustomerSettings::Bytes stored = env.settings().bytes();
    ProgramSetPage again(env.context);
    again.Load();
    EXPECT_EQ(CellsOf(again, 0), tps);
    EXPECT_EQ(CellsOf(again, 1), entries);
    ASSERT_TRUE(again.Store());
    EXPECT_EQ(env.settings().bytes(), stored);
  }
}

TEST_F(ProgramSet, ListFieldsKeepListedRowsAndAddNewOnesThroughTheDialogRules) {
  PutWords(env.settings(), Tp(0), {6000, 27500});
  PutWords(env.settings(), Tp(1), {8001, 22000});
  Loaded();
  std::vector<PageField> fields = page.Fields();
  // The second row stays, the first goes, two are added.
  EXPECT_EQ(
      SetField(fields[0],
               Rows{{"V", "04000", "22000"}, {"H", "12000", "30000"}, {"V", "03000", "01000"}}),
      "");
  EXPECT_EQ(CellsOf(page, 0),
            (Rows{{"V", "04000", "22000"}, {"H", "12000", "30000"}, {"V", "03000", "01000"}}));
  // A row the dialog refuses, with its message; a duplicate.
  EXPECT_EQ(SetField(fields[0], Rows{{"H", "2000", "30000"}}),
            "row 1 is refused by the \"Add TP\" dialog");
  EXPECT_EQ(env.dialogs.LastText(), "The range of TP frequency must be 3000 - 13450!");
  EXPECT_EQ(SetField(fields[0], Rows{{"H", "12000", "30000"}, {"H", "12000", "30000"}}),
            "row 2 is refused by the \"Add TP\" dialog");
  EXPECT_EQ(env.dialogs.LastText(), "The TP is already exists!");
  // Cells that are no row of this list.
  EXPECT_EQ(SetField(fields[0], Rows{{"X", "12000", "30000"}}),
            "row 1: \"Polarity\" is \"H\" or \"V\", not \"X\"");
  EXPECT_EQ(SetField(fields[0], Rows{{"H", "123456", "30000"}}),
            "row 1: \"Frequency\" takes 1 to 5 digits, not \"123456\"");
  EXPECT_EQ(SetField(fields[0], Rows{{"H", "12000"}}), "row 1: a row has 3 cells, not 2");
  Rows eleven;
  for (int i = 0; i < 11; ++i)
    eleven.push_back({"H", std::to_string(3000 + i), "27500"});
  EXPECT_EQ(SetField(fields[0], eleven), "the list takes at most 10 rows");

  EXPECT_EQ(SetField(fields[1], Rows{{"H/V", "11000", "27500", "****", "****"},
                                     {"V", "11000", "27500", "0100", "0200"}}),
            "");
  EXPECT_EQ(CellsOf(page, 1), (Rows{{"H/V", "11000", "27500", "****", "****"},
                                    {"V", "11000", "27500", "0100", "0200"}}));
  EXPECT_EQ(SetField(fields[1], Rows{{"H", "11000", "27500", "****", "0100"}}),
            "row 1: a whole TP shows \"****\" in both PID cells");
  EXPECT_EQ(SetField(fields[1], Rows{{"H", "11000", "27500", "31", "100"}}),
            "row 1 is refused by the \"Add forbidden program\" dialog");
  EXPECT_EQ(env.dialogs.LastText(), "The range of program video PID must be 32 - 8191!");
  EXPECT_EQ(SetField(fields[1], Rows{{"HV", "11000", "27500", "31", "100"}}),
            "row 1: \"Polarity\" is \"H\", \"V\" or \"H/V\", not \"HV\"");
  // A row the page takes but shows otherwise is named as such.
  EXPECT_EQ(SetField(fields[1], Rows{{"h", "11000", "27500", "0100", "0200"}}),
            "the page makes [\"h\", \"11000\", \"27500\", \"0100\", \"0200\"] into "
            "[\"H\", \"11000\", \"27500\", \"0100\", \"0200\"]");
}

}  // namespace
}  // namespace qtk
