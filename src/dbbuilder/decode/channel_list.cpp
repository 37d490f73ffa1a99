#include "dbbuilder/decode/channel_list.h"

#include <algorithm>
#include <cstdio>

#include "dbbuilder/decode/decode_messages.h"
#include "dbbuilder/decode/list_plan.h"
#include "dbbuilder/decode/list_writer.h"
#include "dbbuilder/decode/rebuild_check.h"

namespace qtk::dbbuilder {
namespace {

const char* DatabaseName(DatabaseKind kind) {
  return kind == DatabaseKind::kDefault ? "default database" : "user database";
}

// Comment lines (the line reader drops everything from ';' on) that say where the list came
// from and what its columns mean.
std::string Header(const ChannelList& list, bool tp_lines) {
  char counts[160];
  std::snprintf(counts, sizeof counts,
                "; Channel list decoded from a %s (satellites: %zu, TPs: %zu, programs: %zu).\r\n",
                DatabaseName(list.kind), list.satellites, list.tps, list.programs);
  std::string text = counts;
  text +=
      "; Satellite: * (or #: its programs are not kept), name, col 1, -, col 3, col 4, col 5, "
      "col 6, col 7, col 8\r\n"
      "; Program: name, -, video PID, audio PIDs 1-3, PCR PID, frequency, symbol rate, "
      "polarity, region, col 11, col 12, audio channel, col 14, col 15, col 16, col 17\r\n";
  if (tp_lines)
    text += "; Lines named TP only create a TP.\r\n";
  if (list.load_domestic != 0) {
    text +=
        "; Build it with LoadDomestic=1: that keeps the TP lines (region 1) out of the user "
        "database.\r\n";
  }
  if (!list.difference.empty()) {
    text += "; dfv_k7720x does not give back the same " + std::string(DatabaseName(list.kind)) +
            " from this list: " + list.difference + " differs.\r\n";
  }
  return text;
}

}  // namespace

std::vector<std::string> ChannelList::Notices() const {
  std::vector<std::string> notices;
  if (!difference.empty()) {
    std::string message(
        std::char_traits<char>::length(decode_msg::kNotGivenBack) + 64 + difference.size(), '\0');
    const int n = std::snprintf(message.data(), message.size(), decode_msg::kNotGivenBack,
                                DatabaseName(kind), difference.c_str());
    message.resize(static_cast<size_t>(std::max(n, 0)));
    notices.push_back(message);
  }
  if (load_domestic != 0)
    notices.push_back(decode_msg::kBuildWithLoadDomestic);
  return notices;
}

ChannelList ChannelListOfDefaultDatabase(const DefaultDatabase& db) {
  ChannelList list;
  list.kind = DatabaseKind::kDefault;
  list.satellites = db.satellites.size();
  list.tps = db.TpCount();
  list.programs = db.ProgramCount();
  const ListBody body = WriteListBody(PlanDefaultDatabase(db));
  list.difference = DefaultDatabaseDifference(db, BuildDatabases(body.text, 0).raw_default);
  list.text = Header(list, body.tp_lines) + body.text;
  return list;
}

ChannelList ChannelListOfUserDatabase(const UserDatabase& db, std::span<const uint8_t> bytes) {
  ChannelList list;
  list.kind = DatabaseKind::kUser;
  list.satellites = db.satellites.size();
  list.tps = db.tps.size();
  list.programs = db.programs.size();
  const ListBody body = WriteListBody(PlanUserDatabase(db));
  // TP-only lines among programs that are all domestic stay out of the user database when
  // the domestic filter is on; with foreign programs among them it cannot be on.
  const bool all_domestic =
      std::all_of(db.programs.begin(), db.programs.end(),
                  [](const ProgramRecord& p) { return p.Get(prog::kRegionCode) == 0; });
  if (body.tp_lines_among_programs && all_domestic)
    list.load_domestic = 1;
  list.difference = UserDatabaseDifference(db, bytes.first(std::min(db.size, bytes.size())),
                                           BuildDatabases(body.text, list.load_domestic).user);
  list.text = Header(list, body.tp_lines) + body.text;
  return list;
}

}  // namespace qtk::dbbuilder
