#include "common/utf8_path.h"
#include "common/fault_guard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <vector>

#include "common/file_io.h"
#include "common/pending_file.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

struct Reported {
  std::vector<std::string> texts;
  std::function<void(const std::string&)> Sink() {
    return [this](const std::string& text) { texts.push_back(text); };
  }
};

TEST(FaultGuard, EveryKindOfExceptionEndsWithStatusOneAndOneMessage) {
  Reported r;
  EXPECT_EQ(RunGuarded([]() -> int { throw std::bad_alloc(); }, r.Sink()), 1);
  EXPECT_EQ(RunGuarded([]() -> int { throw std::runtime_error("disk gone"); }, r.Sink()), 1);
  EXPECT_EQ(RunGuarded([]() -> int { throw 42; }, r.Sink()), 1);
  EXPECT_EQ(r.texts,
            (std::vector<std::string>{
                "Not enough memory to go on; the program ends without writing anything more.",
                "Unexpected error: disk gone; the program ends without writing anything more.",
                "Unexpected error; the program ends without writing anything more."}));
}

TEST(FaultGuard, AnOrdinaryEndKeepsItsStatusAndReportsNothing) {
  Reported r;
  EXPECT_EQ(RunGuarded([] { return 0; }, r.Sink()), 0);
  EXPECT_EQ(RunGuarded([] { return 2; }, r.Sink()), 2);
  EXPECT_TRUE(r.texts.empty());
}

TEST(FaultGuard, PendingOutputIsGoneBeforeTheFaultIsReported) {
  testdata::TempDir dir("qtk_fault");
  bool folder_empty_when_reported = false;
  const int status = RunGuarded(
      [&]() -> int {
        PendingFile file(PathFromUtf8(dir.File("out.bin")));
        file.Write(std::vector<uint8_t>(100, 1));
        throw std::bad_alloc();
      },
      [&](const std::string&) {
        folder_empty_when_reported = std::filesystem::is_empty(dir.path());
      });
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(folder_empty_when_reported);
}

}  // namespace
}  // namespace qtk
