#include "dbbuilder/decode/list_lines.h"

#include <array>
#include <bit>

namespace qtk::dbbuilder {
namespace {

std::string Number(uint32_t value) {
  return std::to_string(value);
}

std::string Polarity(uint32_t value) {
  return value == 0 ? "H" : value == 1 ? "V" : Number(value);
}

std::string AudioChannel(uint32_t code) {
  static constexpr std::array<const char*, 4> kLetters{"L", "R", "S", ""};
  return kLetters[code & 3];
}

// Column 17: bit v - 1 comes from the value v.
std::string Col17(uint32_t mask) {
  return mask == 0 ? "0" : Number(static_cast<uint32_t>(std::countr_zero(mask)) + 1);
}

// Satellite column 3: col3_mode 2 with value v comes from v + 1; 0 gives nothing.
std::string Col3(const SatelliteRecord& s) {
  return s.Get(sat::kCol3Mode) == 0 ? "0" : Number(s.Get(sat::kCol3Value) + 1);
}

// Column 8 is stored only when set; a stored 0 needs a set column whose low byte is 0.
std::string Col8(const SatelliteRecord& s) {
  if (s.Get(sat::kCol8Present) == 0)
    return "0";
  const uint32_t value = s.Get(sat::kCol8Value);
  return value == 0 ? "256" : Number(value);
}

// The three audio PID columns. A slot is stored when its column holds neither 0 nor 8191
// before the cut to 13 bits, so a stored 0 is written as 8192 and a stored 8191 as 16383;
// the count says how many slots holding 0 were stored (which ones makes no difference).
std::array<std::string, 3> AudioPids(const ProgramRecord& p) {
  const std::array<uint32_t, 3> slots{p.Get(prog::kAudioPid1), p.Get(prog::kAudioPid2),
                                      p.Get(prog::kAudioPid3)};
  uint32_t nonzero = 0;
  for (uint32_t v : slots)
    nonzero += v != 0 ? 1 : 0;
  const uint32_t count = p.Get(prog::kAudioPidCount);
  uint32_t stored_zeros = count > nonzero ? count - nonzero : 0;
  std::array<std::string, 3> columns;
  for (size_t i = 0; i < slots.size(); ++i) {
    if (slots[i] == prog::kNoPid) {
      columns[i] = Number(2 * prog::kNoPid + 1);
    } else if (slots[i] != 0) {
      columns[i] = Number(slots[i]);
    } else if (stored_zeros > 0) {
      columns[i] = Number(prog::kNoPid + 1);
      --stored_zeros;
    } else {
      columns[i] = "0";
    }
  }
  return columns;
}

std::string Join(std::initializer_list<std::string> columns) {
  size_t length = columns.size() + 2;
  for (const std::string& c : columns)
    length += c.size();
  std::string line;
  line.reserve(length);
  bool first = true;
  for (const std::string& c : columns) {
    if (!first)
      line += '\t';
    line += c;
    first = false;
  }
  line += "\r\n";
  return line;
}

}  // namespace

std::string NameColumn(const uint8_t* area, bool program_line) {
  size_t length = kMaxNameLength;
  while (length > 0 && area[length - 1] == 0)
    --length;
  std::string text(reinterpret_cast<const char*>(area), length);
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n' || c == ';')
      c = '?';
  }
  // Spaces at the end of a column are dropped. A name that ends in one keeps it behind one
  // more byte: past the 15 that the name area takes, any byte (cut off again); before that, a
  // zero byte (the area is zero behind the name anyway).
  if (!text.empty() && text.back() == ' ')
    text += length == kMaxNameLength ? '_' : '\0';
  if (program_line) {
    // A program line must not start a satellite, and its first column must not be empty
    // (the leading tabs of a line are removed): a lone space is dropped as a trailing one.
    if (text.empty())
      text = " ";
    else if (text.front() == '#' || text.front() == '*')
      text.insert(text.begin(), ' ');
  }
  return text;
}

std::string SatelliteLine(const SatelliteRecord& s, bool no_program_mark) {
  std::string line(1, no_program_mark ? '#' : '*');
  return line +
         Join({NameColumn(s.bytes.data() + sat::kNameOffset, false), Number(s.Get(sat::kCol1Bit)),
               "", Col3(s), Number(s.Get(sat::kCol4Value)), Number(s.Get(sat::kCol5Value)),
               Number(s.Get(sat::kCol6Value)), Number(s.Get(sat::kCol7Bit)), Col8(s)});
}

// Columns 14 to 16 are stored only when set (not empty, not starting with '0'); a 0 written
// as "0" stays 0, so they need no care.
std::string ProgramLine(const ProgramRecord& p, const TpRecord& tp) {
  const std::array<std::string, 3> audio = AudioPids(p);
  return Join({NameColumn(p.bytes.data() + prog::kNameOffset, true), "",
               Number(p.Get(prog::kVideoPid)), audio[0], audio[1], audio[2],
               Number(p.Get(prog::kPcrPid)), Number(tp.Get(tp::kFrequency)),
               Number(tp.Get(tp::kSymbolRate)), Polarity(tp.Get(tp::kPolarity)),
               Number(p.Get(prog::kRegionCode)), Number(p.Get(prog::kCol11Value)),
               Number(p.Get(prog::kCol12Flag)), AudioChannel(p.Get(prog::kAudioChannel)),
               Number(p.Get(prog::kCol14Value)), Number(p.Get(prog::kCol15Value)),
               Number(p.Get(prog::kCol16Bit)), Col17(p.Get(prog::kCol17Mask))});
}

std::string TpOnlyLine(const TpRecord& tp) {
  return Join({kTpOnlyName, "", "0", "0", "0", "0", "0", Number(tp.Get(tp::kFrequency)),
               Number(tp.Get(tp::kSymbolRate)), Polarity(tp.Get(tp::kPolarity)),
               Number(kTpOnlyRegion), Number(tp.Get(tp::kCol11Value))});
}

}  // namespace qtk::dbbuilder
