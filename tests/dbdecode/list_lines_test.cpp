#include "dbbuilder/decode/list_lines.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "dbbuilder/program_list.h"
#include "decode_test_support.h"

namespace qtk::dbbuilder {
namespace {

// The records the builder's parser makes of a satellite line and a program line under it.
struct Parsed {
  SatelliteRecord satellite;
  TpRecord tp;
  ProgramRecord program;
};

Parsed ParseLines(const std::string& satellite_line, const std::string& program_line) {
  ProgramTables tables;
  std::ostringstream warnings;
  const std::string text = satellite_line + program_line;
  ParseProgramList(test::Bytes(text), tables, warnings);
  Parsed p;
  EXPECT_EQ(tables.satellites.size(), 1u);
  EXPECT_EQ(tables.programs.size(), 1u);
  if (tables.satellites.size() == 1 && tables.programs.size() == 1) {
    p = {tables.satellites[0], tables.tps[0], tables.programs[0]};
  }
  return p;
}

SatelliteRecord Satellite(std::string_view name) {
  SatelliteRecord s;
  SetName(s, sat::kNameOffset, name);
  s.Set(sat::kCol1Bit, 1);
  s.Set(sat::kCol3Mode, 2);
  s.Set(sat::kCol3Value, 4);
  s.Set(sat::kCol4Value, 9750);
  s.Set(sat::kCol5Value, 10600);
  s.Set(sat::kCol6Value, 64);
  s.Set(sat::kCol7Bit, 1);
  s.Set(sat::kCol8Value, 22);
  s.Set(sat::kCol8Present, 1);
  return s;
}

TpRecord Tp(uint32_t frequency, uint32_t symbol_rate, uint32_t polarity, uint32_t col11) {
  TpRecord t;
  t.Set(tp::kFrequency, frequency);
  t.Set(tp::kSymbolRate, symbol_rate);
  t.Set(tp::kPolarity, polarity);
  t.Set(tp::kCol11Value, col11);
  return t;
}

ProgramRecord Program(std::string_view name) {
  ProgramRecord p;
  SetName(p, prog::kNameOffset, name);
  p.Set(prog::kVideoPid, 101);
  p.Set(prog::kCol12Flag, 1);
  p.Set(prog::kRegionCode, 2);
  p.Set(prog::kCol15Value, 65535);
  p.Set(prog::kCol14Value, 8000);
  p.Set(prog::kCol16Bit, 1);
  p.Set(prog::kCol17Mask, 0x80);
  p.Set(prog::kPcrPid, 8191);
  p.Set(prog::kAudioChannel, 1);
  p.Set(prog::kAudioPid1, 102);
  p.Set(prog::kAudioPid3, 104);
  p.Set(prog::kAudioPidCount, 2);
  p.Set(prog::kCol11Value, 3);
  return p;
}

TEST(ListLines, SatelliteLineWithEveryColumn) {
  const SatelliteRecord s = Satellite("Astra 19.2E");
  EXPECT_EQ(SatelliteLine(s, false), "*Astra 19.2E\t1\t\t5\t9750\t10600\t64\t1\t22\r\n");
  EXPECT_EQ(SatelliteLine(s, true), "#Astra 19.2E\t1\t\t5\t9750\t10600\t64\t1\t22\r\n");

  SatelliteRecord zero = s;
  zero.Set(sat::kCol3Mode, 0);
  zero.Set(sat::kCol3Value, 0);
  zero.Set(sat::kCol8Value, 0);  // stored 0: the column must be set and give 0
  EXPECT_EQ(SatelliteLine(zero, false), "*Astra 19.2E\t1\t\t0\t9750\t10600\t64\t1\t256\r\n");
  zero.Set(sat::kCol8Present, 0);
  EXPECT_EQ(SatelliteLine(zero, false), "*Astra 19.2E\t1\t\t0\t9750\t10600\t64\t1\t0\r\n");
  EXPECT_EQ(SatelliteLine(SatelliteRecord{}, false), "*\t0\t\t0\t0\t0\t0\t0\t0\r\n");
}

TEST(ListLines, ProgramLineWithEveryColumn) {
  EXPECT_EQ(
      ProgramLine(Program("Das Erste"), Tp(11836, 27500, 0, 3)),
      "Das Erste\t\t101\t102\t0\t104\t8191\t11836\t27500\tH\t2\t3\t1\tR\t8000\t65535\t1\t8\r\n");
  ProgramRecord p = Program("X");
  p.Set(prog::kAudioChannel, 3);
  p.Set(prog::kCol17Mask, 0);
  EXPECT_EQ(ProgramLine(p, Tp(1, 2, 1, 0)),
            "X\t\t101\t102\t0\t104\t8191\t1\t2\tV\t2\t3\t1\t\t8000\t65535\t1\t0\r\n");
  EXPECT_EQ(ProgramLine(p, Tp(1, 2, 2, 0)),
            "X\t\t101\t102\t0\t104\t8191\t1\t2\t2\t2\t3\t1\t\t8000\t65535\t1\t0\r\n");
  EXPECT_EQ(TpOnlyLine(Tp(11836, 27500, 1, 2)), "TP\t\t0\t0\t0\t0\t0\t11836\t27500\tV\t1\t2\r\n");
}

TEST(ListLines, AudioPidSlotsThatHold0Or8191) {
  ProgramRecord p = Program("A");
  p.Set(prog::kAudioPid1, 0);
  p.Set(prog::kAudioPid2, 8191);
  p.Set(prog::kAudioPid3, 0);
  p.Set(prog::kAudioPidCount, 2);  // slot 2 and one slot holding 0 were given
  const std::string line = ProgramLine(p, Tp(1, 1, 0, 3));
  EXPECT_EQ(line.substr(0, 24), "A\t\t101\t8192\t16383\t0\t8191");
  const Parsed back = ParseLines("*S\r\n", line);
  EXPECT_EQ(back.program, p);
}

TEST(ListLines, NamesKeepEveryByteTheNameAreaHolds) {
  auto column = [](std::string_view name, bool program) {
    SatelliteRecord s;
    SetName(s, sat::kNameOffset, name);
    return NameColumn(s.bytes.data() + sat::kNameOffset, program);
  };
  EXPECT_EQ(column("BBC World News ", false), "BBC World News _");  // cut at 15 after a space
  EXPECT_EQ(column("ab ", false), std::string("ab \0", 4));
  EXPECT_EQ(column(std::string("a\0b", 3), false), std::string("a\0b", 3));
  EXPECT_EQ(column("", false), "");
  EXPECT_EQ(column("", true), " ");
  EXPECT_EQ(column("#1 news", false), "#1 news");
  EXPECT_EQ(column("a\tb;c\rd\ne", false), "a?b?c?d?e");  // cannot stand in a line
  EXPECT_EQ(column("\xB0\xA1\xD6\xD0", true), "\xB0\xA1\xD6\xD0");

  // Each gives the name back through the builder's parser.
  for (std::string_view name :
       {std::string_view("BBC World News "), std::string_view("ab "), std::string_view("a\0b", 3),
        std::string_view(""), std::string_view("   "), std::string_view(" lead")}) {
    SatelliteRecord s = Satellite(name);
    ProgramRecord p = Program(name);
    const Parsed back = ParseLines(SatelliteLine(s, false), ProgramLine(p, Tp(11836, 27500, 0, 3)));
    EXPECT_EQ(GetName(back.satellite, sat::kNameOffset), GetName(s, sat::kNameOffset));
    EXPECT_EQ(back.satellite.bytes, s.bytes) << name;
    EXPECT_EQ(back.program.bytes, p.bytes) << name;
  }
}

}  // namespace
}  // namespace qtk::dbbuilder
