#include "firmware/program_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "testdata/image_builder.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

#ifndef _WIN32
TEST(ProgramRunner, StartsAProgramInADirectoryWithBlanksAndWaitsForIt) {
  testdata::TempDir temp;
  const auto dir = temp.path() / "app dir with blanks";
  std::filesystem::create_directories(dir);
  const auto script = dir / "writer";
  {
    std::ofstream out(script);
    out << "#!/bin/sh\nsleep 0.2\nprintf '%s' \"$1\" > \"$2\"\n";
  }
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  SystemProgramRunner runner(dir);
  const auto output = dir / "out file.txt";
  ASSERT_TRUE(runner.RunProgramAndWait("writer", {"two words", output.string()}));
  auto text = testdata::ReadFile(output.string());
  EXPECT_EQ(std::string(text.begin(), text.end()), "two words");
}
#endif

TEST(ProgramRunner, MissingProgramGivesFalseAtOnce) {
  testdata::TempDir temp;
  SystemProgramRunner runner(temp.path());
  EXPECT_FALSE(runner.RunProgramAndWait("no_such_program", {}));
}

}  // namespace
}  // namespace qtk
