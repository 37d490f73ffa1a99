#include "dbbuilder/decode/list_plan.h"

#include <algorithm>
#include <span>
#include <unordered_map>
#include <unordered_set>

#include "dbbuilder/program_list.h"

namespace qtk::dbbuilder {
namespace {

constexpr uint64_t kTpIdSpan = uint64_t{1} << tp::kTpId.bits;  // ids the TP record tells apart

struct TpRef {
  size_t owner;
  const TpRecord* record;
};

struct ProgramRef {
  size_t owner;
  uint32_t tp_id;
  uint32_t col11;
};

uint64_t OwnerKey(size_t owner, uint64_t low_id) {
  return (static_cast<uint64_t>(owner) << tp::kTpId.bits) | low_id;
}

// Full TP ids for TP records in file order. The builder writes TPs in id order, each id one
// above the one before (only the TPs of lines before the first satellite are missing, all
// at the start), so each id is the next one above its predecessor with the record's 13 bits.
// How often the ids passed 8191 before the first TP shows where a program names a TP with
// all 16 bits.
std::vector<uint64_t> ResolveTpIds(std::span<const TpRef> tps,
                                   std::span<const ProgramRef> programs) {
  std::vector<uint64_t> ids(tps.size());
  std::unordered_map<uint64_t, size_t> first_of;  // (owner, 13-bit id) -> first TP
  for (size_t i = 0; i < tps.size(); ++i) {
    const uint64_t low = tps[i].record->Get(tp::kTpId);
    if (i == 0) {
      ids[i] = low;
    } else {
      const uint64_t next = ids[i - 1] + 1;
      ids[i] = next + ((low - next) & (kTpIdSpan - 1));
    }
    first_of.emplace(OwnerKey(tps[i].owner, low), i);
  }
  for (const ProgramRef& p : programs) {
    auto it = first_of.find(OwnerKey(p.owner, p.tp_id & (kTpIdSpan - 1)));
    if (it == first_of.end())
      continue;
    const uint64_t id = ids[it->second];
    if (p.tp_id > id && (p.tp_id - id) % kTpIdSpan == 0) {
      for (uint64_t& v : ids)
        v += p.tp_id - id;
    }
    break;
  }
  return ids;
}

// Sorts each satellite's TPs by id and takes the ids below the lowest as those of lines
// before the first satellite (never more than the TP table holds).
void SortTps(ListPlan& plan) {
  plan.orphan_tps = 0;
  uint64_t lowest = kMaxTps;
  for (PlannedSatellite& s : plan.satellites) {
    std::stable_sort(s.tps.begin(), s.tps.end(),
                     [](const PlannedTp& a, const PlannedTp& b) { return a.id < b.id; });
    if (!s.tps.empty()) {
      lowest = std::min(lowest, s.tps.front().id);
      plan.orphan_tps = lowest;
    }
  }
}

uint64_t TpKey(const TpRecord& r) {
  return uint64_t{r.Get(tp::kFrequency)} | (uint64_t{r.Get(tp::kSymbolRate)} << 17) |
         (uint64_t{r.Get(tp::kPolarity)} << 35);
}

// TPs that the user database does not hold: each gets a frequency that no other TP of its
// satellite has (symbol rate 0, polarity H), so that the builder makes a TP of its own.
class TpInventor {
 public:
  explicit TpInventor(const ListPlan& plan) {
    for (size_t s = 0; s < plan.satellites.size(); ++s) {
      for (const PlannedTp& t : plan.satellites[s].tps)
        used_[s].insert(TpKey(t.record));
    }
  }
  PlannedTp Make(size_t owner, uint64_t id) {
    std::unordered_set<uint64_t>& used = used_[owner];
    uint32_t& frequency = next_frequency_[owner];
    // With symbol rate 0 and polarity 0 the key is the frequency itself.
    while (used.count(frequency) != 0)
      ++frequency;
    used.insert(frequency);
    PlannedTp t;
    t.id = id;
    t.record.Set(tp::kTpId, id);
    t.record.Set(tp::kFrequency, frequency);
    t.record.Set(tp::kSatIndex, owner);
    return t;
  }

 private:
  std::unordered_map<size_t, std::unordered_set<uint64_t>> used_;
  std::unordered_map<size_t, uint32_t> next_frequency_;
};

}  // namespace

ListPlan PlanDefaultDatabase(const DefaultDatabase& db) {
  std::vector<TpRef> tps;
  std::vector<ProgramRef> programs;
  for (size_t s = 0; s < db.satellites.size(); ++s) {
    for (const TpRecord& t : db.satellites[s].tps)
      tps.push_back({s, &t});
    for (const ProgramRecord& p : db.satellites[s].programs)
      programs.push_back({s, p.Get(prog::kTpId), p.Get(prog::kCol11Value)});
  }
  const std::vector<uint64_t> ids = ResolveTpIds(tps, programs);

  ListPlan plan;
  plan.satellites.resize(db.satellites.size());
  for (size_t s = 0; s < db.satellites.size(); ++s) {
    plan.satellites[s].record = db.satellites[s].record;
    plan.satellites[s].programs = db.satellites[s].programs;
  }
  for (size_t i = 0; i < tps.size(); ++i)
    plan.satellites[tps[i].owner].tps.push_back({ids[i], *tps[i].record});
  SortTps(plan);
  return plan;
}

ListPlan PlanUserDatabase(const UserDatabase& db) {
  // Satellites beyond the user satellite table that TPs or programs belong to. A program's
  // 12-bit satellite index may lie beyond any satellite table; such programs cannot be
  // written under a satellite.
  size_t named = 0;
  for (const TpRecord& t : db.tps)
    named = std::max<size_t>(named, t.Get(tp::kSatIndex) + 1u);
  for (const ProgramRecord& p : db.programs)
    named = std::max<size_t>(named, p.Get(prog::kSatIndex) + 1u);
  ListPlan plan;
  plan.satellites.resize(std::max(db.satellites.size(), std::min(named, kMaxSatellites)));
  for (size_t s = 0; s < db.satellites.size(); ++s)
    plan.satellites[s].record = db.satellites[s];
  const size_t satellites = plan.satellites.size();

  std::vector<TpRef> tps;
  std::vector<ProgramRef> programs;
  for (const TpRecord& t : db.tps)
    tps.push_back({t.Get(tp::kSatIndex), &t});
  for (const ProgramRecord& p : db.programs) {
    const size_t owner = p.Get(prog::kSatIndex);
    if (owner < satellites) {
      programs.push_back({owner, p.Get(prog::kTpId), p.Get(prog::kCol11Value)});
      plan.satellites[owner].programs.push_back(p);
    }
  }
  const std::vector<uint64_t> ids = ResolveTpIds(tps, programs);
  std::unordered_map<uint64_t, size_t> owner_of;  // every TP id the list creates
  for (size_t i = 0; i < tps.size(); ++i) {
    plan.satellites[tps[i].owner].tps.push_back({ids[i], *tps[i].record});
    owner_of.emplace(ids[i], tps[i].owner);
  }

  // A TP beyond the user TP table takes column 11 from the first program that names it, so
  // that program can create it.
  TpInventor inventor(plan);
  for (const ProgramRef& p : programs) {
    if (owner_of.emplace(p.tp_id, p.owner).second) {
      PlannedTp t = inventor.Make(p.owner, p.tp_id);
      t.record.Set(tp::kCol11Value, p.col11);
      plan.satellites[p.owner].tps.push_back(t);
    }
  }
  // Ids between the TPs the list creates belong to TPs that the user database left out. Any
  // satellite from the one of the TP before the gap to the one after it keeps the ids in
  // order; one without programs is taken where there is one, since there the TP-only lines
  // write no program.
  std::vector<size_t> without_programs(satellites + 1, satellites);  // first at or after s
  for (size_t s = satellites; s-- > 0;)
    without_programs[s] = plan.satellites[s].programs.empty() ? s : without_programs[s + 1];
  std::vector<std::pair<uint64_t, size_t>> created(owner_of.begin(), owner_of.end());
  std::sort(created.begin(), created.end());
  size_t budget = kMaxTps > created.size() ? kMaxTps - created.size() : 0;
  for (size_t i = 1; i < created.size(); ++i) {
    const size_t before = created[i - 1].second;
    const size_t after = std::max(before, created[i].second);
    const size_t owner = without_programs[before] <= after ? without_programs[before] : before;
    for (uint64_t id = created[i - 1].first + 1;
         id < created[i].first && id < kMaxTps && budget > 0; ++id, --budget) {
      plan.satellites[owner].tps.push_back(inventor.Make(owner, id));
    }
  }
  SortTps(plan);
  return plan;
}

}  // namespace qtk::dbbuilder
