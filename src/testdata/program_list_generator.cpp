#include "testdata/program_list_generator.h"

#include <array>
#include <random>
#include <vector>

namespace qtk::testdata {
namespace {

class ListWriter {
 public:
  ListWriter(uint64_t seed, const ProgramListShape& shape) : rng_(seed), shape_(shape) {}

  uint32_t Below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(rng_() % n); }
  bool Percent(uint32_t p) { return Below(100) < p; }

  // A numeric column: mostly a plain number below `limit`, with odd columns also the forms
  // the field value rule has to take apart.
  std::string Number(uint32_t limit) {
    if (!shape_.odd_columns || Percent(70))
      return Percent(10) ? "" : std::to_string(Below(limit));
    static const std::array<const char*, 14> kOdd{
        "",    "0",   "00", "012", "-1", "-8191", "+5",
        " 42", "7  ", "V",  "H",   "v",  "x1",    "99999999999999999999999"};
    if (Percent(30))
      return std::to_string(rng_());  // beyond the field's width
    return kOdd[Below(kOdd.size())];
  }

  std::string Name() {
    static const char kPlain[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -.+";
    const uint32_t length = Below(shape_.odd_columns ? 22 : 14);
    std::string name;
    for (uint32_t i = 0; i < length; ++i) {
      const uint32_t kind = shape_.odd_columns ? Below(20) : 0;
      if (kind == 1) {  // a GB2312 character
        name += static_cast<char>(0xB0 + Below(0x48));
        name += static_cast<char>(0xA1 + Below(0x5E));
      } else if (kind == 2) {
        name += "#* \x01\x7F\xFF"[Below(6)];
      } else if (kind == 3 && Percent(20)) {
        name += '\0';
      } else {
        name += kPlain[Below(sizeof kPlain - 1)];
      }
    }
    return name;
  }

  std::string LineEnd() {
    std::string end;
    if (shape_.odd_lines && Percent(10))
      end += "\t\t";
    if (shape_.odd_lines && Percent(8))
      end += " ; checked " + std::to_string(Below(100));
    if (!shape_.odd_lines || Percent(85))
      return end + "\r\n";
    return end + (Percent(50) ? "\n" : "\r");
  }

  std::string LineStart() { return shape_.odd_lines && Percent(10) ? "\t\t" : ""; }

  void Filler(std::string& text) {
    if (!shape_.odd_lines || !Percent(15))
      return;
    static const std::array<const char*, 4> kLines{"\r\n", "; a comment line\r\n", "\t\t\r\n",
                                                   "\t; indented comment\r\n"};
    text += kLines[Below(kLines.size())];
  }

  std::string Satellite(char mark) {
    std::string line = LineStart();
    line += mark;
    line += Name();
    const uint32_t columns = shape_.odd_columns ? Below(11) : 8;
    static const std::array<uint32_t, 9> kLimits{0, 2, 10, 16, 65536, 65536, 128, 2, 256};
    for (uint32_t c = 1; c <= columns; ++c)
      line += "\t" + Number(c < kLimits.size() ? kLimits[c] : 100);
    return line + LineEnd();
  }

  struct Tp {
    std::string frequency, symbol_rate, polarity;
  };

  Tp NewTp() {
    return {std::to_string(10700 + Below(2100)),
            std::to_string(Below(4) == 0 ? 27500 : 1000 + Below(45000)), Percent(50) ? "H" : "V"};
  }

  std::string Program(const Tp& tp) {
    std::string line = LineStart() + Name();
    std::vector<std::string> columns(18);
    columns[1] = Number(100);
    columns[2] = Number(8192);
    for (int c = 3; c <= 6; ++c)
      columns[c] = Percent(20) ? "" : Number(8192);
    columns[7] = tp.frequency;
    columns[8] = tp.symbol_rate;
    columns[9] = tp.polarity;
    if (shape_.odd_columns && Percent(5))
      columns[7 + Below(3)] = Number(1u << 18);
    columns[10] = Number(4);
    columns[11] = Number(4);
    columns[12] = Number(2);
    static const std::array<const char*, 9> kAudio{"L",    "R", "S", "", "stereo",
                                                   "Mono", "l", "r", "x"};
    columns[13] = kAudio[Below(shape_.odd_columns ? 9 : 4)];
    columns[14] = Number(8192);
    columns[15] = Number(65536);
    columns[16] = Number(2);
    columns[17] = Number(10);
    size_t count = shape_.odd_columns ? 2 + Below(17) : 18;
    for (size_t c = 1; c < count; ++c)
      line += "\t" + columns[c];
    return line + LineEnd();
  }

  std::string List() {
    std::string text;
    Filler(text);
    const uint32_t orphans = Below(static_cast<uint32_t>(shape_.max_orphan_programs) + 1);
    for (uint32_t i = 0; i < orphans; ++i)
      text += Program(NewTp());
    const uint32_t satellites = Below(static_cast<uint32_t>(shape_.max_satellites) + 1);
    for (uint32_t s = 0; s < satellites; ++s) {
      text += Satellite(Percent(static_cast<uint32_t>(shape_.marked_percent)) ? '#' : '*');
      std::vector<Tp> tps;
      const uint32_t pool = 1 + Below(static_cast<uint32_t>(shape_.tps_per_satellite));
      for (uint32_t t = 0; t < pool; ++t)
        tps.push_back(NewTp());
      const uint32_t programs = Below(static_cast<uint32_t>(shape_.max_programs_per_satellite) + 1);
      for (uint32_t p = 0; p < programs; ++p) {
        Filler(text);
        text += Program(tps[Below(pool)]);
      }
    }
    // The last line sometimes has no line end.
    if (shape_.odd_lines && Percent(30) && text.size() >= 2 && text.ends_with("\r\n"))
      text.resize(text.size() - 2);
    return text;
  }

 private:
  std::mt19937_64 rng_;
  ProgramListShape shape_;
};

}  // namespace

std::string GenerateProgramList(uint64_t seed, const ProgramListShape& shape) {
  return ListWriter(seed, shape).List();
}

std::string OverfullProgramList(uint64_t seed) {
  ProgramListShape shape;
  shape.max_satellites = 0;
  shape.max_orphan_programs = 0;
  ListWriter writer(seed, shape);
  std::string text;
  // 2050 satellites, 10 of them '#'; 6 TPs and 10 programs each, so the TP table fills up
  // at satellite 2000 and the program table at satellite 2000 too; 4 programs first.
  for (int i = 0; i < 4; ++i)
    text += writer.Program(writer.NewTp());
  for (int s = 0; s < 2050; ++s) {
    text += writer.Satellite(s % 205 == 7 ? '#' : '*');
    std::vector<ListWriter::Tp> tps;
    for (int t = 0; t < 6; ++t) {
      ListWriter::Tp tp = writer.NewTp();
      tp.frequency = std::to_string(10700 + t * 100 + writer.Below(50));
      tps.push_back(tp);
    }
    for (int p = 0; p < 10; ++p)
      text += writer.Program(tps[p < 6 ? p : writer.Below(6)]);
  }
  return text;
}

}  // namespace qtk::testdata
