#include "dbbuilder/decode/list_writer.h"

#include <algorithm>
#include <unordered_map>

#include "dbbuilder/decode/list_lines.h"

namespace qtk::dbbuilder {
namespace {

constexpr const char* kOrphanComment = "; TP ids taken by programs before the first satellite\r\n";

const PlannedTp* FindTp(const std::vector<PlannedTp>& tps, uint64_t id, size_t* index) {
  auto it = std::lower_bound(tps.begin(), tps.end(), id,
                             [](const PlannedTp& t, uint64_t v) { return t.id < v; });
  if (it == tps.end() || it->id != id)
    return nullptr;
  *index = static_cast<size_t>(it - tps.begin());
  return &*it;
}

}  // namespace

ListBody WriteListBody(const ListPlan& plan) {
  ListBody body;
  std::string& text = body.text;
  auto tp_only = [&body](const TpRecord& tp, bool among_programs) {
    body.text += TpOnlyLine(tp);
    body.tp_lines = true;
    body.tp_lines_among_programs = body.tp_lines_among_programs || among_programs;
  };
  if (plan.orphan_tps > 0) {
    text += kOrphanComment;
    for (uint64_t i = 0; i < plan.orphan_tps; ++i) {
      TpRecord tp;
      tp.Set(tp::kFrequency, i);
      tp_only(tp, false);
    }
  }
  // A program that names a TP of another satellite keeps that TP's columns (the builder then
  // makes a new TP of its own satellite).
  std::unordered_map<uint64_t, const TpRecord*> any_tp;
  for (const PlannedSatellite& s : plan.satellites) {
    for (const PlannedTp& t : s.tps)
      any_tp.emplace(t.id, &t.record);
  }

  for (const PlannedSatellite& s : plan.satellites) {
    const bool has_programs = !s.programs.empty();
    text += SatelliteLine(s.record, !has_programs && !s.tps.empty());
    size_t next = 0;  // the satellite's first TP not created yet
    for (const ProgramRecord& p : s.programs) {
      const uint64_t id = p.Get(prog::kTpId);
      size_t index = 0;
      if (const PlannedTp* tp = FindTp(s.tps, id, &index)) {
        // The TP keeps the column 11 of the line that creates it; a program with another
        // value (the first one left after the domestic filter) cannot create it.
        const bool keeps_col11 = p.Get(prog::kCol11Value) == tp->record.Get(tp::kCol11Value);
        for (const size_t created_here = keeps_col11 ? index : index + 1; next < created_here;
             ++next) {
          tp_only(s.tps[next].record, true);
        }
        next = std::max(next, index + 1);
        text += ProgramLine(p, tp->record);
      } else {
        auto other = any_tp.find(id);
        text += ProgramLine(p, other != any_tp.end() ? *other->second : TpRecord{});
      }
    }
    for (; next < s.tps.size(); ++next)
      tp_only(s.tps[next].record, has_programs);
  }
  return body;
}

}  // namespace qtk::dbbuilder
