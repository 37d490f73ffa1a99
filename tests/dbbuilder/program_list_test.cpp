#include "dbbuilder/program_list.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "test_support.h"

namespace qtk::dbbuilder {
namespace {

using test::BytesOf;
using test::Line;
using test::Pack;
using test::ProgFields;
using test::SatFields;
using test::TpFields;

struct Parsed {
  ProgramTables tables;
  std::string warnings;
};

Parsed Parse(const std::string& text) {
  Parsed p;
  std::ostringstream out;
  ParseProgramList(test::Bytes(text), p.tables, out);
  p.warnings = out.str();
  return p;
}

// A program line under "*S" with only the given columns (index -> text) filled.
std::string ProgramUnderS(std::initializer_list<std::pair<int, std::string_view>> cols) {
  std::string c[18];
  c[0] = "P";
  c[6] = "100";  // a PCR PID, so that no warning is printed
  for (auto [i, v] : cols)
    c[i] = v;
  std::string line = c[0];
  for (int i = 1; i < 18; ++i)
    line += "\t" + c[i];
  return "*S\r\n" + line + "\r\n";
}

ProgramRecord OneProgram(std::initializer_list<std::pair<int, std::string_view>> cols) {
  Parsed p = Parse(ProgramUnderS(cols));
  EXPECT_EQ(p.tables.programs.size(), 1u);
  return p.tables.programs.at(0);
}

TEST(FieldValue, VAndHThenSignedDecimal) {
  EXPECT_EQ(FieldValue("V"), 1);
  EXPECT_EQ(FieldValue("H"), 0);
  EXPECT_EQ(FieldValue("v"), 0);
  EXPECT_EQ(FieldValue("VV"), 0);
  EXPECT_EQ(FieldValue("12ab"), 12);
  EXPECT_EQ(FieldValue("  -7"), -7);
  EXPECT_EQ(FieldValue("+8"), 8);
  EXPECT_EQ(FieldValue("- 8"), 0);
  EXPECT_EQ(FieldValue(""), 0);
  EXPECT_EQ(FieldValue("0123"), 123);
  // Beyond 64 bits the low bits of the number written are kept: 2^64 + 5.
  EXPECT_EQ(FieldValue("18446744073709551621"), 5);
}

TEST(SplitColumns, TabsSeparateTrailingSpacesGoColumnsStopAt63) {
  Columns c = SplitColumns("a  \t b \t\tlast");
  EXPECT_EQ(c[0], "a");
  EXPECT_EQ(c[1], " b");
  EXPECT_EQ(c[2], "");
  EXPECT_EQ(c[3], "last");
  EXPECT_EQ(c[4], "");
  EXPECT_EQ(c[17], "");
  std::string long_col(70, '7');
  EXPECT_EQ(SplitColumns(long_col + "\tx")[0], std::string(63, '7'));
  EXPECT_EQ(SplitColumns(long_col + "\tx")[1], "x");
}

TEST(SatelliteLine, NameMarkAndEveryColumn) {
  Parsed p =
      Parse("*SatA\t1\r\n#SatA\t1\r\n*TwentyCharacterName\r\n" +
            Line({"*Full ", "3", "ignored", "3", "65541", "70000", "200", "5", "300", "99"}) +
            Line({"*Cuts", "2", "", "17", "-1", "0", "-1", "2", "012"}) +
            Line({"*NoCol3", "", "", "16", "", "", "", "", "0"}));
  ASSERT_EQ(p.tables.satellites.size(), 6u);
  EXPECT_EQ(BytesOf(p.tables.satellites[0]), Pack(SatFields{.name = "SatA", .col1 = 1}));
  EXPECT_EQ(BytesOf(p.tables.satellites[1]), BytesOf(p.tables.satellites[0]));
  EXPECT_EQ(p.tables.no_program_mark, (std::vector<uint8_t>{0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(BytesOf(p.tables.satellites[2]), Pack(SatFields{.name = "TwentyCharacter"}));
  // Column 3 = 3 gives value 2 with mode 2; 4/5 cut to 16 bits, 6 to 7, 7 to 1, 8 to 8.
  EXPECT_EQ(BytesOf(p.tables.satellites[3]), Pack(SatFields{.name = "Full",
                                                            .col1 = 1,
                                                            .col3_mode = 2,
                                                            .col3_value = 2,
                                                            .col7 = 1,
                                                            .col6 = 200 & 127,
                                                            .col5 = 70000 & 0xFFFF,
                                                            .col4 = 5,
                                                            .col8 = 300 & 255,
                                                            .col8_present = 1}));
  // 17 & 15 = 1 gives value 0 with mode 2; -1 fills the fields; "012" is not set.
  EXPECT_EQ(BytesOf(p.tables.satellites[4]), Pack(SatFields{.name = "Cuts",
                                                            .col1 = 0,
                                                            .col3_mode = 2,
                                                            .col3_value = 0,
                                                            .col6 = 127,
                                                            .col4 = 0xFFFF}));
  // 16 & 15 = 0: no value, no mode; "0" is not set.
  EXPECT_EQ(BytesOf(p.tables.satellites[5]), Pack(SatFields{.name = "NoCol3"}));
}

TEST(ProgramLine, EveryColumnIntoItsField) {
  Parsed p = Parse("*S\r\n#T\r\n" +
                   Line({"Program name long", "ignored", "512", "513", "514", "515", "516", "11900",
                         "27500", "V", "2", "1", "1", "right", "77", "123", "1", "4"}));
  ASSERT_EQ(p.tables.programs.size(), 1u);
  ASSERT_EQ(p.tables.tps.size(), 1u);
  EXPECT_EQ(p.warnings, "");
  EXPECT_EQ(BytesOf(p.tables.programs[0]), Pack(ProgFields{.name = "Program name lo",
                                                           .tp_id = 0,
                                                           .video_pid = 512,
                                                           .col12 = 1,
                                                           .region = 2,
                                                           .col15 = 123,
                                                           .col14 = 77,
                                                           .col16 = 1,
                                                           .col17_mask = 0x08,
                                                           .pcr_pid = 516,
                                                           .audio_channel = 1,
                                                           .sat_index = 1,
                                                           .apid1 = 513,
                                                           .apid2 = 514,
                                                           .apid3 = 515,
                                                           .col11 = 1,
                                                           .apid_count = 3}));
  EXPECT_EQ(BytesOf(p.tables.tps[0]), Pack(TpFields{.tp_id = 0,
                                                    .frequency = 11900,
                                                    .polarity = 1,
                                                    .sat_index = 1,
                                                    .symbol_rate = 27500,
                                                    .col11 = 1}));
  EXPECT_EQ(p.tables.tp_used, (std::vector<uint8_t>{1}));
}

TEST(ProgramLine, EmptyColumnsTakeTheirDefaults) {
  Parsed p = Parse("*S\r\nBare\r\n");
  ASSERT_EQ(p.tables.programs.size(), 1u);
  EXPECT_EQ(BytesOf(p.tables.programs[0]), Pack(ProgFields{.name = "Bare"}));
  EXPECT_EQ(BytesOf(p.tables.tps[0]), Pack(TpFields{}));
  EXPECT_EQ(p.warnings, "Warning: PCR PID can't be 8191!\n> Bare\n");
}

TEST(ProgramLine, SetAndNotSetColumns) {
  ProgramRecord r = OneProgram({{14, "0"}, {15, "0123"}, {16, "01"}});
  EXPECT_EQ(r.Get(prog::kCol14Value), 0u);
  EXPECT_EQ(r.Get(prog::kCol15Value), 0u);
  EXPECT_EQ(r.Get(prog::kCol16Bit), 0u);
  r = OneProgram({{14, "8193"}, {15, "123"}, {16, "3"}});
  EXPECT_EQ(r.Get(prog::kCol14Value), 1u);  // cut to 13 bits
  EXPECT_EQ(r.Get(prog::kCol15Value), 123u);
  EXPECT_EQ(r.Get(prog::kCol16Bit), 1u);
  // A leading space makes a column set; the value rule skips it.
  r = OneProgram({{15, " 0123"}, {14, "-1"}});
  EXPECT_EQ(r.Get(prog::kCol15Value), 123u);
  EXPECT_EQ(r.Get(prog::kCol14Value), 8191u);
}

TEST(ProgramLine, PolarityAndSignsAndCuts) {
  auto tp_of = [](std::initializer_list<std::pair<int, std::string_view>> cols) {
    Parsed p = Parse(ProgramUnderS(cols));
    return p.tables.tps.at(0);
  };
  EXPECT_EQ(tp_of({{9, "V"}}).Get(tp::kPolarity), 1u);
  EXPECT_EQ(tp_of({{9, "H"}}).Get(tp::kPolarity), 0u);
  EXPECT_EQ(tp_of({{9, "v"}}).Get(tp::kPolarity), 0u);
  EXPECT_EQ(tp_of({{9, "V "}}).Get(tp::kPolarity), 1u);  // trailing space removed
  EXPECT_EQ(tp_of({{9, " V"}}).Get(tp::kPolarity), 0u);
  EXPECT_EQ(tp_of({{9, "-1"}}).Get(tp::kPolarity), 3u);
  EXPECT_EQ(tp_of({{9, "6"}}).Get(tp::kPolarity), 2u);
  // Frequency 17 bits, symbol rate 18 bits; negative values keep their low bits.
  TpRecord t = tp_of({{7, "142072"}, {8, "289644"}});
  EXPECT_EQ(t.Get(tp::kFrequency), 142072u - 131072u);
  EXPECT_EQ(t.Get(tp::kSymbolRate), 289644u - 262144u);
  t = tp_of({{7, "-2"}, {8, "-3"}, {11, "-1"}});
  EXPECT_EQ(t.Get(tp::kFrequency), 131070u);
  EXPECT_EQ(t.Get(tp::kSymbolRate), 262141u);
  EXPECT_EQ(t.Get(tp::kCol11Value), 3u);
  ProgramRecord r = OneProgram({{2, "8197"}, {10, "-1"}, {12, "-2"}});
  EXPECT_EQ(r.Get(prog::kVideoPid), 5u);
  EXPECT_EQ(r.Get(prog::kRegionCode), 3u);
  EXPECT_EQ(r.Get(prog::kCol12Flag), 0u);
  EXPECT_EQ(OneProgram({{2, "V"}}).Get(prog::kVideoPid), 1u);
  EXPECT_EQ(OneProgram({{2, "-1"}}).Get(prog::kVideoPid), 8191u);
}

TEST(ProgramLine, AudioPidsKeepTheirSlots) {
  ProgramRecord r = OneProgram({{3, ""}, {4, "2001"}, {5, "0"}});
  EXPECT_EQ(r.Get(prog::kAudioPid1), 0u);
  EXPECT_EQ(r.Get(prog::kAudioPid2), 2001u);
  EXPECT_EQ(r.Get(prog::kAudioPid3), 0u);
  EXPECT_EQ(r.Get(prog::kAudioPidCount), 1u);
  r = OneProgram({{3, "8191"}, {4, "00"}, {5, "40"}});
  EXPECT_EQ(r.Get(prog::kAudioPid3), 40u);
  EXPECT_EQ(r.Get(prog::kAudioPidCount), 1u);
  // The value is compared before the cut: 16383 is stored as 8191 and counted.
  r = OneProgram({{3, "16383"}, {4, "8192"}, {5, "x"}});
  EXPECT_EQ(r.Get(prog::kAudioPid1), 8191u);
  EXPECT_EQ(r.Get(prog::kAudioPid2), 0u);
  EXPECT_EQ(r.Get(prog::kAudioPidCount), 2u);
}

TEST(ProgramLine, AudioChannelCodes) {
  auto code = [](std::string_view c) { return OneProgram({{13, c}}).Get(prog::kAudioChannel); };
  EXPECT_EQ(code("L"), 0u);
  EXPECT_EQ(code("left"), 0u);
  EXPECT_EQ(code("R"), 1u);
  EXPECT_EQ(code("stereo"), 2u);
  EXPECT_EQ(code("Mono"), 3u);
  EXPECT_EQ(code(""), 3u);
  EXPECT_EQ(code(" L"), 3u);
}

TEST(ProgramLine, Column17Mask) {
  auto mask = [](std::string_view c) { return OneProgram({{17, c}}).Get(prog::kCol17Mask); };
  EXPECT_EQ(mask("1"), 0x01u);
  EXPECT_EQ(mask("8"), 0x80u);
  EXPECT_EQ(mask("9"), 0u);
  EXPECT_EQ(mask("0"), 0u);
  EXPECT_EQ(mask("-1"), 0u);
  EXPECT_EQ(mask("257"), 0u);
}

TEST(ProgramLine, PcrWarningForEmptyOr8191AfterTheCut) {
  Parsed p = Parse(
      "*S\r\n" + Line({"A", "", "1", "", "", "", ""}) + Line({"B", "", "1", "", "", "", "8191"}) +
      Line({"C", "", "1", "", "", "", "16383"}) + Line({"D", "", "1", "", "", "", "8190"}));
  ASSERT_EQ(p.tables.programs.size(), 4u);
  EXPECT_EQ(p.warnings,
            "Warning: PCR PID can't be 8191!\n> A\t\t1\n"
            "Warning: PCR PID can't be 8191!\n> B\t\t1\t\t\t\t8191\n"
            "Warning: PCR PID can't be 8191!\n> C\t\t1\t\t\t\t16383\n");
  EXPECT_EQ(p.tables.programs[2].Get(prog::kPcrPid), 8191u);
  EXPECT_EQ(p.tables.programs[3].Get(prog::kPcrPid), 8190u);
}

TEST(ProgramLine, LeadingTabsTrailingTabsAndCommentsDoNotMatter) {
  const std::string plain = Line({"Name", "", "10", "11", "", "", "12", "11000", "27500", "H"});
  Parsed a = Parse("*S\r\n" + plain);
  Parsed b = Parse("*S\r\n\t\t" + plain.substr(0, plain.size() - 2) + "\t\t;remark\r\n");
  ASSERT_EQ(a.tables.programs.size(), 1u);
  ASSERT_EQ(b.tables.programs.size(), 1u);
  EXPECT_EQ(BytesOf(a.tables.programs[0]), BytesOf(b.tables.programs[0]));
  EXPECT_EQ(BytesOf(a.tables.tps[0]), BytesOf(b.tables.tps[0]));
}

TEST(TpSharing, SameKeyUnderOneSatelliteSharesColumn11IsNotCompared) {
  Parsed p =
      Parse("*S1\r\n" + Line({"A", "", "", "", "", "", "1", "11000", "27500", "V", "", "1"}) +
            Line({"B", "", "", "", "", "", "1", "11000", "27500", "V", "", "2"}) +
            Line({"C", "", "", "", "", "", "1", "11000", "27500", "H"}) +
            Line({"D", "", "", "", "", "", "1", "11000", "30000", "V"}) + "*S2\r\n" +
            Line({"E", "", "", "", "", "", "1", "11000", "27500", "V"}) + "*S1 again\r\n" +
            Line({"F", "", "", "", "", "", "1", "11000", "27500", "V"}));
  ASSERT_EQ(p.tables.tps.size(), 5u);
  std::vector<uint32_t> ids;
  for (const auto& prog_rec : p.tables.programs)
    ids.push_back(prog_rec.Get(prog::kTpId));
  EXPECT_EQ(ids, (std::vector<uint32_t>{0, 0, 1, 2, 3, 4}));
  EXPECT_EQ(p.tables.tps[0].Get(tp::kCol11Value), 1u);  // the TP keeps its first column 11
  EXPECT_EQ(p.tables.programs[1].Get(prog::kCol11Value), 2u);
  EXPECT_EQ(p.tables.tps[3].Get(tp::kSatIndex), 1u);
  EXPECT_EQ(p.tables.tps[4].Get(tp::kSatIndex), 2u);
  for (size_t t = 0; t < 5; ++t)
    EXPECT_EQ(p.tables.tps[t].Get(tp::kTpId), t);
  EXPECT_EQ(p.tables.tp_used, (std::vector<uint8_t>{1, 1, 1, 1, 1}));
}

TEST(TpSharing, KeysCompareAfterTheCuts) {
  // 11000 and 11000 + 2^17 are the same 17-bit frequency, so the same TP.
  Parsed p = Parse("*S\r\n" + Line({"A", "", "", "", "", "", "1", "11000", "5", "1"}) +
                   Line({"B", "", "", "", "", "", "1", "142072", "5", "V"}));
  EXPECT_EQ(p.tables.tps.size(), 1u);
}

TEST(ProgramsBeforeTheFirstSatellite, HoldAllOnesAndBelongToNoSatellite) {
  Parsed p = Parse(Line({"Early", "", "", "", "", "", "1", "11000", "27500", "V"}) + "*S\r\n" +
                   Line({"Late", "", "", "", "", "", "1", "11000", "27500", "V"}));
  ASSERT_EQ(p.tables.programs.size(), 2u);
  ASSERT_EQ(p.tables.tps.size(), 2u);
  EXPECT_EQ(p.tables.programs[0].Get(prog::kSatIndex), 4095u);
  EXPECT_EQ(p.tables.tps[0].Get(tp::kSatIndex), 2047u);
  EXPECT_EQ(p.tables.program_owner, (std::vector<int16_t>{-1, 0}));
  EXPECT_EQ(p.tables.tp_owner, (std::vector<int16_t>{-1, 0}));
  EXPECT_EQ(p.tables.programs[1].Get(prog::kTpId), 1u);
}

TEST(TableLimits, ExtraSatellitesAndTheirProgramsAreDroppedWithAWarning) {
  std::string text;
  for (int s = 0; s < 2048; ++s)
    text += "*S" + std::to_string(s) + "\r\n";
  text += "*Extra\r\nOrphan\t\t\t\t\t\t1\r\n#Extra2\r\n";
  Parsed p = Parse(text);
  EXPECT_EQ(p.tables.satellites.size(), 2048u);
  EXPECT_EQ(p.tables.programs.size(), 0u);
  EXPECT_EQ(p.warnings,
            "Warning: satellite table full (2048), line dropped: *Extra\n"
            "Warning: satellite table full (2048), line dropped: Orphan\t\t\t\t\t\t1\n"
            "Warning: satellite table full (2048), line dropped: #Extra2\n");
}

TEST(TableLimits, TpsBeyondTheLastTpIdAreDroppedWithTheirPrograms) {
  // A TP record's id field has 13 bits: TP 8193 would share its id with TP 1.
  std::string text = "*S\r\n";
  for (int i = 0; i < 8192; ++i) {
    text += "P\t\t\t\t\t\t1\t" + std::to_string(i) + "\t1\r\n";
  }
  text += "NewTp\t\t\t\t\t\t1\t8192\t1\r\n";   // would be TP 8193
  text += "OldTp\t\t\t\t\t\t1\t8191\t1\r\n";   // the last TP: still shared
  text += "NewTp2\t\t\t\t\t\t1\t9000\t1\r\n";  // dropped as well
  Parsed p = Parse(text);
  ASSERT_EQ(p.tables.tps.size(), kMaxTpIds);
  EXPECT_EQ(kMaxTpIds, 8192u);
  EXPECT_EQ(p.tables.programs.size(), 8193u);
  EXPECT_EQ(p.warnings,
            "Warning: TP table full (8192), line dropped: NewTp\t\t\t\t\t\t1\t8192\t1\n"
            "Warning: TP table full (8192), line dropped: NewTp2\t\t\t\t\t\t1\t9000\t1\n");
  // Every TP id a program names is the id its TP carries.
  EXPECT_EQ(p.tables.tps[8191].Get(tp::kTpId), 8191u);
  EXPECT_EQ(p.tables.programs[8192].Get(prog::kTpId), 8191u);
  for (const auto& program : p.tables.programs) {
    const uint32_t id = program.Get(prog::kTpId);
    ASSERT_LT(id, p.tables.tps.size());
    ASSERT_EQ(p.tables.tps[id].Get(tp::kTpId), id);
  }
}

TEST(TableLimits, ExtraProgramsAreDroppedWithAWarning) {
  std::string text = "*S\r\n";
  for (int i = 0; i < 20000; ++i)
    text += "Q\t\t\t\t\t\t1\t" + std::to_string(i % 100) + "\t1\r\n";
  text += "Late\t\t\t\t\t\t1\t5\t1\r\n";  // program 20001
  Parsed p = Parse(text);
  EXPECT_EQ(p.tables.tps.size(), 100u);
  EXPECT_EQ(p.tables.programs.size(), kMaxPrograms);
  EXPECT_EQ(p.warnings,
            "Warning: program table full (20000), line dropped: Late\t\t\t\t\t\t1\t5\t1\n");
}

// The fuzz targets parse with lowered table sizes; they must cut the tables at those sizes
// exactly where the format's sizes would, and survive a parse into the same tables again.
TEST(TableLimits, LoweredSizesCutTheTablesTheSameWay) {
  Parsed p;
  p.tables.limits = {.satellites = 2, .tp_ids = 3, .programs = 4};
  const std::string text =
      "*A\r\nP1\t\t\t\t\t\t1\t10\t1\r\nP2\t\t\t\t\t\t1\t11\t1\r\n"
      "*B\r\nP3\t\t\t\t\t\t1\t10\t1\r\nP4\t\t\t\t\t\t1\t12\t1\r\n"
      "P5\t\t\t\t\t\t1\t10\t1\r\nP7\t\t\t\t\t\t1\t10\t1\r\n*C\r\nP6\r\n";
  for (int pass = 0; pass < 2; ++pass) {
    std::ostringstream out;
    ParseProgramList(test::Bytes(text), p.tables, out);
    EXPECT_EQ(p.tables.satellites.size(), 2u);
    EXPECT_EQ(p.tables.tps.size(), 3u);
    EXPECT_EQ(p.tables.programs.size(), 4u);
    EXPECT_EQ(p.tables.limits.programs, 4u);  // kept from one parse to the next
    EXPECT_EQ(out.str(),
              "Warning: TP table full (8192), line dropped: P4\t\t\t\t\t\t1\t12\t1\n"
              "Warning: program table full (20000), line dropped: P7\t\t\t\t\t\t1\t10\t1\n"
              "Warning: satellite table full (2048), line dropped: *C\n"
              "Warning: satellite table full (2048), line dropped: P6\n");
  }
}

}  // namespace
}  // namespace qtk::dbbuilder
