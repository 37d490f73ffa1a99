#pragma once

#include <string>

#include "dbbuilder/decode/list_plan.h"

namespace qtk::dbbuilder {

struct ListBody {
  std::string text;  // CR LF line ends
  // TP-only lines stand under a satellite that also has program lines: they become programs
  // too, unless the domestic filter or a full user program table keeps them out.
  bool tp_lines_among_programs = false;
  bool tp_lines = false;  // any TP-only line at all
};

// The lines of the plan: the TP-only lines for the ids before the first satellite, then each
// satellite ('#' when it has TPs but no programs) with its program lines in order. A TP is
// created by the first line that names it, so TP-only lines go in wherever a program names
// a later TP of its satellite than the next one due, before a program whose column 11
// differs from that of the TP it creates, and after the last program for the TPs that no
// program names.
ListBody WriteListBody(const ListPlan& plan);

}  // namespace qtk::dbbuilder
