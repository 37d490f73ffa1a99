#include "decode_test_support.h"

#include <sstream>

#include "dbbuilder/program_list.h"

namespace qtk::dbbuilder::test {

Built Build(std::string_view text, const WriterSettings& settings) {
  Built b;
  ProgramTables tables;
  std::ostringstream out;
  ParseProgramList(Bytes(text), tables, out);
  UserTables user;
  b.raw_default = WriteDefaultDatabase(tables, settings, user);
  b.user = WriteUserDatabase(user);
  b.warnings = out.str();
  return b;
}

}  // namespace qtk::dbbuilder::test
