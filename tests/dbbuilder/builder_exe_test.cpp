// Runs the real dfv_k7720x, copied into a temporary builder directory, from another
// directory, the way the desktop program starts it: nobody at the console, standard input
// open but never written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "firmware/image/chunk_ids.h"
#include "test_support.h"
#include "testdata/image_builder.h"

namespace qtk::dbbuilder {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TempDir;
using test::WriteText;

struct Result {
  bool finished = false;
  int exit_code = -1;
  std::string out;
};

// Starts `exe` in `cwd` with standard output to a file and standard input a pipe that stays
// open; gives up (and kills the child) after 60 seconds.
Result RunProgram(const fs::path& exe, const fs::path& cwd) {
  Result r;
  const fs::path out_file = cwd / "stdout.txt";
  int in_pipe[2];
  if (pipe(in_pipe) != 0)
    return r;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in_pipe[0], STDIN_FILENO);
    close(in_pipe[1]);
    const int out = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || chdir(cwd.c_str()) != 0)
      _exit(127);
    dup2(out, STDOUT_FILENO);
    execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in_pipe[0]);
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      close(in_pipe[1]);
      return r;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  close(in_pipe[1]);
  r.finished = true;
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadText(out_file);
  fs::remove(out_file);
  return r;
}

struct Installed {
  TempDir builder;
  TempDir current;
  fs::path exe;
  Installed() {
    exe = builder / "dfv_k7720x";
    fs::copy_file(QTK_DFV_K7720X_PATH, exe);
  }
  Result Run() { return RunProgram(exe, current.path()); }
};

testdata::ChunkSpec Chunk(uint32_t id, uint32_t region) {
  testdata::ChunkSpec c;
  c.id = id;
  c.region_size = region;
  return c;
}

const std::string kList = "*Sat\r\nProg\t\t100\t101\t\t\t102\t11000\t27500\tV\r\n";

TEST(BuilderExecutable, UsesItsOwnDirectoryAndTheCurrentOneAndEndsWithZero) {
  Installed b;
  WriteText(b.builder / "program_list.txt", kList);
  WriteText(b.current / "program_list.txt", "not this one");
  testdata::WriteFile(
      (b.builder / "fw.bin").string(),
      testdata::BuildImage({Chunk(kBootloaderChunkId, 256), Chunk(kDefaultDatabaseChunkId, 4096),
                            Chunk(kUserDatabaseChunkId, 0)}));
  WriteText(b.builder / "dfv_k7720x.ini", "[File1]\r\nFile=fw.bin\r\n");
  const Result r = b.Run();
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out,
            "Start of searching Chinese Ch...\nEnd of searching Chinese Ch...\n"
            "Start of building default value...\nEnd of building default value...\n"
            "Start of update binary code...\nEnd of update binary code...\nFinished!\n");
  for (const char* name : {"m_6615_df.bin", "unzipped_m_6615_df.bin", "user_db.bin"}) {
    EXPECT_TRUE(fs::is_regular_file(b.builder / name)) << name;
    EXPECT_FALSE(fs::exists(b.current / name)) << name;
  }
  EXPECT_TRUE(fs::is_regular_file(b.current / "OUT.bin"));
  EXPECT_TRUE(fs::is_regular_file(b.current / "chout.txt"));
  EXPECT_FALSE(fs::exists(b.builder / "OUT.bin"));
}

TEST(BuilderExecutable, ErrorEndsDoNotWaitForInput) {
  Installed b;
  WriteText(b.builder / "dfv_k7720x.ini", "[File0]\r\nFile=absent.txt\r\n");
  Result r = b.Run();
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "Can't open txt file: " + (b.builder / "absent.txt").string() + "\n");

  WriteText(b.builder / "dfv_k7720x.ini", "[File0]\r\nFile=\r\n");
  r = b.Run();
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "no txt file!\n");

  WriteText(b.builder / "dfv_k7720x.ini", "[File1]\r\nFile=fw.bin\r\n");
  WriteText(b.builder / "program_list.txt", kList);
  testdata::WriteFile((b.builder / "fw.bin").string(),
                      testdata::BuildImage({Chunk(kBootloaderChunkId, 0)}));
  r = b.Run();
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(r.out.ends_with("Start of update binary code...\nUpdate binary code failed!\n"));
}

TEST(BuilderExecutable, RunsWithoutAnIniFile) {
  Installed b;
  WriteText(b.builder / "program_list.txt", kList);
  const Result r = b.Run();
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(r.out.ends_with("End of building default value...\nno binary file!\n"));
  EXPECT_EQ(ReadText(b.builder / "unzipped_m_6615_df.bin").size(), 2u + 28 + 2 + 12 + 2 + 36);
}

}  // namespace
}  // namespace qtk::dbbuilder
