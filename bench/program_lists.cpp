#include "bench/program_lists.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace qtk::bench {
namespace {

std::string Format(const char* format, auto... args) {
  char line[512];
  std::snprintf(line, sizeof line, format, args...);
  return line;
}

const char* const kWords[] = {"News",   "Sport",   "Movie", "Music",  "Kids",  "Drama", "Cinema",
                              "World",  "Life",    "Arena", "Star",   "Gold",  "Plus",  "Nature",
                              "Travel", "Food",    "Style", "Comedy", "Radio", "Jazz",  "Pop",
                              "Rock",   "Classic", "Info",  "Shop",   "Home",  "Family"};
const char* const kSuffixes[] = {"", "", "", " HD", " 1", " 2", " 3", " TV", " FM", " +1"};
const char* const kAudioModes[] = {"Stereo", "L", "R", "Mono", ""};
const int kSymbolRates[] = {27500, 22000, 30000, 29900, 6111, 45000, 28800, 3333, 4340, 13333};

// A GB2312 name of two to seven characters from the first levels of the table.
std::string ChineseName(std::mt19937& rng) {
  std::string name;
  const int characters = 2 + static_cast<int>(rng() % 6);
  for (int i = 0; i < characters; ++i) {
    name += static_cast<char>(0xB0 + rng() % 24);
    name += static_cast<char>(0xA1 + rng() % 94);
  }
  return name;
}

std::string ChannelName(std::mt19937& rng, int chinese_percent) {
  if (static_cast<int>(rng() % 100) < chinese_percent)
    return ChineseName(rng);
  std::string name = kWords[rng() % std::size(kWords)];
  if (rng() % 3 == 0) {
    name += ' ';
    name += kWords[rng() % std::size(kWords)];
  }
  name += kSuffixes[rng() % std::size(kSuffixes)];
  return name;
}

// How many of `total` items each of `groups` groups gets: at least one each, the rest spread
// unevenly, as real satellites carry very different numbers of TPs.
std::vector<int> Spread(int total, int groups, std::mt19937& rng) {
  std::vector<int> counts(static_cast<size_t>(groups), 1);
  std::vector<double> weights(static_cast<size_t>(groups));
  std::exponential_distribution<double> weight(1.0);
  double sum = 0;
  for (double& w : weights) {
    w = weight(rng);
    sum += w;
  }
  int left = total - groups;
  for (int g = 0; g < groups && left > 0; ++g) {
    const int extra =
        std::min(left, static_cast<int>(weights[static_cast<size_t>(g)] / sum * (total - groups)));
    counts[static_cast<size_t>(g)] += extra;
    left -= extra;
  }
  for (int g = 0; left > 0; g = (g + 1) % groups, --left)
    ++counts[static_cast<size_t>(g)];
  return counts;
}

}  // namespace

std::string MaximalList() {
  constexpr int kSatellites = 2048;
  constexpr int kTps = 12000;
  constexpr int kPrograms = 20000;
  static const int kRates[] = {27500, 22000, 30000, 6111, 45000, 28800};
  std::string text;
  text.reserve(2 << 20);
  int program = 0;
  for (int s = 0; s < kSatellites; ++s) {
    text += Format("*Satellite %04d\t%d\t\t%d\t9750\t10600\t%d\t%d\t%d\r\n", s, s & 1, 1 + s % 3,
                   s % 128, (s >> 1) & 1, 22 + s % 200);
    const int first_tp = s * kTps / kSatellites;
    const int last_tp = (s + 1) * kTps / kSatellites;
    for (int t = first_tp; t < last_tp; ++t) {
      const int frequency = 10700 + (t * 37) % 2050;
      const int symbol_rate = kRates[t % 6];
      const char* polarity = (t & 1) ? "V" : "H";
      const int on_tp = t < kPrograms - kTps ? 2 : 1;
      for (int k = 0; k < on_tp; ++k, ++program) {
        const int video = 256 + (program % 700) * 16;
        text += Format(
            "\tProgram %05d\t\t%d\t%d\t%d\t\t%d\t%d\t%d\t%s\t%d\t%d\t%d\t%s\t%d\t%d\t\t%d%s\r\n",
            program, video, video + 1, (program % 3 == 0) ? video + 2 : 0, video, frequency,
            symbol_rate, polarity, program % 7 == 0 ? 1 : 0, 0, program % 5 == 0 ? 0 : 1,
            program % 4 == 0 ? "Stereo" : "L", 1 + program % 9, program % 11 == 0 ? program : 0,
            1 + program % 8, program % 50 == 0 ? "\t; checked" : "");
      }
    }
  }
  return text;
}

std::string RealisticList(const RealisticShape& shape) {
  std::mt19937 rng(shape.seed);
  // Operators reuse channel names across satellites and TPs (feeds, regional variants), so
  // names come from a vocabulary unless every field is scattered.
  std::vector<std::string> latin_names;
  std::vector<std::string> chinese_names;
  for (int i = 0; i < 400; ++i)
    latin_names.push_back(ChannelName(rng, 0));
  for (int i = 0; i < 120; ++i)
    chinese_names.push_back(ChineseName(rng));
  auto next_name = [&] {
    if (shape.scattered_fields)
      return ChannelName(rng, shape.chinese_percent);
    if (static_cast<int>(rng() % 100) < shape.chinese_percent)
      return chinese_names[rng() % chinese_names.size()];
    return latin_names[rng() % latin_names.size()];
  };

  std::string text;
  text.reserve(static_cast<size_t>(shape.programs) * 96 +
               static_cast<size_t>(shape.satellites) * 64);
  text += "; channel list\r\n";
  const std::vector<int> tps_per_satellite = Spread(shape.tps, shape.satellites, rng);
  const std::vector<int> programs_per_tp = Spread(shape.programs, shape.tps, rng);
  int tp = 0;
  int service_id = 1;
  for (int s = 0; s < shape.satellites; ++s) {
    // Orbital positions from 180W to 180E, as the receiver's satellite menu names them.
    const int tenths = static_cast<int>(rng() % 3600);
    const char side = tenths < 1800 ? 'E' : 'W';
    const int position = tenths < 1800 ? tenths : tenths - 1800;
    const bool c_band = rng() % 5 == 0;
    const char* const word = kWords[rng() % 10];
    const int col1 = static_cast<int>(rng() % 2);
    const int col3 = 1 + static_cast<int>(rng() % 4);
    const int col6 = static_cast<int>(rng() % 128);
    const int col7 = static_cast<int>(rng() % 2);
    const int col8 = rng() % 4 == 0 ? 0 : static_cast<int>(1 + rng() % 250);
    text +=
        Format("*%s %d.%d%c\t%d\t\t%d\t%d\t%d\t%d\t%d\t%d\r\n", word, position / 10, position % 10,
               side, col1, col3, c_band ? 5150 : 9750, c_band ? 5150 : 10600, col6, col7, col8);
    // Distinct frequencies in the satellite's band, in ascending order as lists keep them.
    const int tp_count = tps_per_satellite[static_cast<size_t>(s)];
    std::vector<int> frequencies;
    int frequency =
        c_band ? 3400 + static_cast<int>(rng() % 40) : 10700 + static_cast<int>(rng() % 60);
    for (int i = 0; i < tp_count; ++i) {
      frequencies.push_back(frequency);
      frequency += 1 + static_cast<int>(rng() % (c_band ? 20 : 40));
    }
    for (int i = 0; i < tp_count; ++i, ++tp) {
      const int symbol_rate = kSymbolRates[rng() % std::size(kSymbolRates)];
      const char* polarity = rng() % 2 ? "V" : "H";
      const int modulation = rng() % 4 == 0 ? 1 : 0;
      // Each TP numbers its services with one scheme: a PID base and step, consecutive
      // service ids and PMT PIDs.
      static const int kPidBases[] = {256, 512, 33, 1024, 160, 2001};
      static const int kPidSteps[] = {16, 32, 1, 16, 10, 100};
      const size_t scheme = rng() % std::size(kPidBases);
      int pid = kPidBases[scheme];
      int pmt = 32 + static_cast<int>(rng() % 8) * 256;
      if (!shape.scattered_fields)
        service_id = 1 + static_cast<int>(rng() % 20000);
      const char* const tp_audio_mode = kAudioModes[rng() % 2];
      for (int k = 0; k < programs_per_tp[static_cast<size_t>(tp)]; ++k) {
        // Every draw in its own statement, so the list is the same whatever order a compiler
        // evaluates arguments in.
        const bool radio = rng() % 4 == 0;
        const std::string name = next_name();
        if (shape.scattered_fields) {
          pid = 256 + 32 * static_cast<int>(rng() % 220);
          pmt = 32 + static_cast<int>(rng() % 64) * 16;
        }
        const std::string video = radio ? "" : std::to_string(pid);
        const int audio1 = shape.scattered_fields ? pid + 1 + static_cast<int>(rng() % 3) : pid + 1;
        const std::string audio2 = rng() % 3 == 0 ? std::to_string(audio1 + 1) : "";
        const int pcr = radio ? audio1 : pid;
        const int region = rng() % 8 == 0 ? 1 : 0;
        const char* const audio_mode =
            shape.scattered_fields ? kAudioModes[rng() % std::size(kAudioModes)] : tp_audio_mode;
        const int col16 = rng() % 10 == 0 ? 1 : 0;
        const std::string favourites = rng() % 3 == 0 ? std::to_string(1 + rng() % 8) : "";
        const char* const comment = rng() % 40 == 0 ? "\t; checked" : "";
        text += Format("\t%s\t\t%s\t%d\t%s\t\t%d\t%d\t%d\t%s\t%d\t%d\t%d\t%s\t%d\t%d\t%d\t%s%s\r\n",
                       name.c_str(), video.c_str(), audio1, audio2.c_str(), pcr,
                       frequencies[static_cast<size_t>(i)], symbol_rate, polarity, region,
                       modulation, radio ? 0 : 1, audio_mode, pmt, service_id++, col16,
                       favourites.c_str(), comment);
        pid += kPidSteps[scheme];
        pmt += 1;
      }
    }
  }
  return text;
}

std::vector<NamedList> BenchLists() {
  std::vector<NamedList> lists;
  lists.push_back({"maximal 2048/12000/20000", MaximalList()});
  lists.push_back({"realistic 500/10000/20000", RealisticList({})});
  lists.push_back({"scattered 500/10000/20000", RealisticList({500, 10000, 20000, 10, 5, true})});
  lists.push_back({"realistic 64/1500/5000", RealisticList({64, 1500, 5000, 10, 2})});
  lists.push_back({"GB2312 120/2400/6000", RealisticList({120, 2400, 6000, 60, 3})});
  lists.push_back({"small 8/100/400", RealisticList({8, 100, 400, 10, 4})});
  return lists;
}

}  // namespace qtk::bench
