#pragma once

#include <cstdint>
#include <vector>

#include "dbbuilder/decode/database_reader.h"
#include "dbbuilder/record_layout.h"

namespace qtk::dbbuilder {

// What a program list must hold so that the builder makes the given records again.
//
// A TP's id is its place in the builder's TP table, in the order in which program lines
// first name TPs; the programs refer to it with 16 bits, the TP record keeps only 13. The
// plan gives every TP its full id, so the list can name the TPs in id order: first lines
// before any satellite for the ids that programs before the first satellite line took
// (such TPs are never written), then each satellite's TPs while its lines are read.
struct PlannedTp {
  uint64_t id = 0;
  TpRecord record;
};

struct PlannedSatellite {
  SatelliteRecord record;
  std::vector<PlannedTp> tps;  // ascending id
  std::vector<ProgramRecord> programs;
};

struct ListPlan {
  uint64_t orphan_tps = 0;  // TP ids taken before the first satellite
  std::vector<PlannedSatellite> satellites;
};

// The plan for a default database: its satellites with their TPs and programs as written.
ListPlan PlanDefaultDatabase(const DefaultDatabase& db);

// The plan for a user database. Its tables are the first 512 satellites, 3000 TPs and 5000
// programs of a default database (programs after the domestic filter), so TPs and
// programs may belong to satellites beyond its satellite table and programs may name TPs
// beyond its TP table: the plan adds such satellites (zero records) and TPs (frequencies no
// other TP of the satellite has), and fills gaps in the TP ids, all of which fall behind the
// user tables' ends and stay out of the rebuilt user database.
ListPlan PlanUserDatabase(const UserDatabase& db);

}  // namespace qtk::dbbuilder
