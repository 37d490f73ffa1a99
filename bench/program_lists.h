#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qtk::bench {

// Program list texts of several shapes for the builder benches. Each is generated from a
// fixed seed, so every run of a bench compresses the same databases.

// The tables filled to their limits with a regular, synthetic pattern: 2048 satellites,
// 12000 TPs, 20000 programs, ascending PIDs, names numbered in order.
std::string MaximalList();

// A list shaped like one an operator edits: satellite names from their orbital positions,
// TPs with scattered frequencies and the usual symbol rates, a varying number of programs
// per TP, TV and radio programs whose PIDs, service ids and PMT PIDs follow one numbering
// scheme per TP, channel names from a vocabulary (some in GB2312), comments now and then.
struct RealisticShape {
  int satellites = 500;
  int tps = 10000;
  int programs = 20000;
  int chinese_percent = 10;  // programs whose name is written in GB2312
  uint32_t seed = 1;
  // Every program draws its PIDs, PMT PID, audio mode and name anew: the hardest list to
  // compress that still looks like a channel list.
  bool scattered_fields = false;
};
std::string RealisticList(const RealisticShape& shape);

// The shapes the builder's encoder settings were chosen on, with a short name each.
struct NamedList {
  std::string name;
  std::string text;
};
std::vector<NamedList> BenchLists();

}  // namespace qtk::bench
