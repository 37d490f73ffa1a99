#include "dbbuilder/builder.h"

#include <gtest/gtest.h>
#include <lzma.h>

#include <sstream>
#include <string>

#include "dbbuilder/builder_settings.h"
#include "dbbuilder/database_writer.h"
#include "dbbuilder/program_list.h"
#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/image_parser.h"
#include "test_support.h"
#include "testdata/image_builder.h"
#include "testdata/special_files.h"

namespace qtk::dbbuilder {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using test::ReadBytes;
using test::ReadText;
using test::TempDir;
using test::WriteText;

constexpr const char* kSearching =
    "Start of searching Chinese Ch...\nEnd of searching Chinese Ch...\n";
constexpr const char* kBuilding =
    "Start of building default value...\nEnd of building default value...\n";

const std::string kList = "*Sat\r\nProg\t\t100\t101\t\t\t102\t11000\t27500\tV\t2\t\t1\tL\r\n";

std::optional<Bytes> DecodeAlone(const Bytes& file) {
  lzma_stream strm = LZMA_STREAM_INIT;
  if (lzma_alone_decoder(&strm, UINT64_MAX) != LZMA_OK)
    return std::nullopt;
  Bytes out(1 << 20);
  strm.next_in = file.data();
  strm.avail_in = file.size();
  strm.next_out = out.data();
  strm.avail_out = out.size();
  const lzma_ret ret = lzma_code(&strm, LZMA_FINISH);
  out.resize(out.size() - strm.avail_out);
  lzma_end(&strm);
  if (ret != LZMA_STREAM_END)
    return std::nullopt;
  return out;
}

// A builder directory and a separate current directory for one run.
struct Fixture {
  TempDir builder;
  TempDir current;

  void Ini(const std::string& text) { WriteText(builder / "dfv_k7720x.ini", text); }
  void List(const std::string& text, const char* name = "program_list.txt") {
    WriteText(builder / name, text);
  }
  std::string Run(const BuilderOptions& options = {}) {
    std::ostringstream out;
    RunBuilder(builder.path(), current.path(), out, options);
    return out.str();
  }
  Bytes Built(const char* name) { return ReadBytes(builder / name); }
};

// The default database the parser and writer make of a list, as the expectation for the
// files of a whole run.
Bytes RawDatabase(const std::string& list, const WriterSettings& settings = {}) {
  ProgramTables tables;
  std::ostringstream ignored;
  ParseProgramList(test::Bytes(list), tables, ignored);
  UserTables user;
  return WriteDefaultDatabase(tables, settings, user);
}

Bytes OnlyBootloader() {
  testdata::ChunkSpec boot;
  boot.id = kBootloaderChunkId;
  return testdata::BuildImage({boot});
}

// An image whose default database chunk has `room` bytes behind its header.
Bytes ImageWithRoom(uint32_t room, bool db_last = false) {
  using testdata::ChunkSpec;
  std::vector<ChunkSpec> chunks(3);
  chunks[0].id = kBootloaderChunkId;
  chunks[0].region_size = 256;
  chunks[1].id = kDefaultDatabaseChunkId;
  chunks[1].name = "default db";
  chunks[1].region_size = 128 + room;
  chunks[2].id = kUserDatabaseChunkId;
  if (db_last)
    chunks.pop_back();
  return testdata::BuildImage(chunks);
}

TEST(Builder, WithoutAnIniFileReadsProgramListTxtAndPutsEveryProgramInTheUserDatabase) {
  Fixture f;
  const std::string list = kList + "Far\t\t1\t\t\t\t2\t3\t4\tH\t3\r\n";
  f.List(list);
  EXPECT_EQ(f.Run(), std::string(kSearching) + kBuilding + "no binary file!\n");

  const Bytes raw = RawDatabase(list);
  EXPECT_EQ(f.Built("unzipped_m_6615_df.bin"), raw);
  const Bytes packed = f.Built("m_6615_df.bin");
  ASSERT_GE(packed.size(), 13u);
  EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 5), (Bytes{0x6C, 0x00, 0x00, 0x80, 0x00}));
  EXPECT_EQ(ReadU32LittleEndian(packed, 5), raw.size());
  EXPECT_EQ(DecodeAlone(packed), raw);

  ProgramTables tables;
  std::ostringstream ignored;
  ParseProgramList(test::Bytes(list), tables, ignored);
  UserTables user;
  WriteDefaultDatabase(tables, {}, user);
  EXPECT_EQ(user.programs.size(), 2u);  // region codes 2 and 3 pass with LoadDomestic 0
  EXPECT_EQ(f.Built("user_db.bin"), WriteUserDatabase(user));
  // The character list goes to the current directory only.
  EXPECT_TRUE(fs::exists(f.current / "chout.txt"));
  EXPECT_FALSE(fs::exists(f.builder / "chout.txt"));
}

TEST(Builder, ASecondRunReplacesEveryOutputOfTheFirst) {
  Fixture f;
  const std::string longer = kList + "Far\t\t1\t\t\t\t2\t3\t4\tH\t3\r\n";
  f.List(longer);
  f.Run();
  // A shorter list leaves shorter files: nothing of the first run may survive in them.
  f.List(kList);
  EXPECT_EQ(f.Run(), std::string(kSearching) + kBuilding + "no binary file!\n");
  const Bytes raw = RawDatabase(kList);
  ASSERT_LT(raw.size(), RawDatabase(longer).size());
  EXPECT_EQ(f.Built("unzipped_m_6615_df.bin"), raw);
  EXPECT_EQ(DecodeAlone(f.Built("m_6615_df.bin")), raw);
}

TEST(Builder, SettingsReachTheDatabases) {
  Fixture f;
  const std::string list = kList + "Domestic\t\t1\t\t\t\t2\t3\t4\tH\t0\t\t1\tL\r\n";
  f.List(list, "my list.txt");
  f.Ini("[config]\r\nLoadDomestic=1\r\nTVRadioAudioChannel=3\r\n[File0]\r\nFile=my list.txt\r\n");
  EXPECT_EQ(f.Run(), std::string(kSearching) + kBuilding + "no binary file!\n");
  ProgramTables tables;
  std::ostringstream ignored;
  ParseProgramList(test::Bytes(list), tables, ignored);
  UserTables user;
  WriteDefaultDatabase(tables, {.load_domestic = 1, .tv_radio_audio_channel = 3}, user);
  ASSERT_EQ(user.programs.size(), 1u);
  EXPECT_EQ(user.programs[0].Get(prog::kAudioChannel), 2u);
  EXPECT_EQ(f.Built("user_db.bin"), WriteUserDatabase(user));

  f.Ini("[config]\r\nRemoveProgram=1\r\n[File0]\r\nFile=my list.txt\r\n");
  f.Run();
  EXPECT_EQ(f.Built("unzipped_m_6615_df.bin"), RawDatabase(list, {.remove_program = true}));
}

TEST(Builder, FixedOrderAndLoadDefault4In1ChangeNothing) {
  Fixture f;
  f.List(kList + "#Other\r\nX\t\t1\t2\t3\t4\t5\t6\t7\tV\r\n");
  f.Run();
  const Bytes db = f.Built("m_6615_df.bin");
  const Bytes user = f.Built("user_db.bin");
  for (const char* ini : {"[config]\nFixedOrder=1\nLoadDefault4IN1=1\n",
                          "[config]\nFixedOrder=0\nLoadDefault4IN1=77\n"}) {
    f.Ini(ini);
    f.Run();
    EXPECT_EQ(f.Built("m_6615_df.bin"), db) << ini;
    EXPECT_EQ(f.Built("user_db.bin"), user) << ini;
  }
}

TEST(BuilderSettings, DefaultsLowBytesAndNameLimit) {
  TempDir d;
  BuilderSettings s = ReadBuilderSettings(d / "missing.ini");
  EXPECT_EQ(s.list_file_name, "program_list.txt");
  EXPECT_EQ(s.binary_file_name, "");
  EXPECT_EQ(s.load_domestic, 0);
  EXPECT_EQ(s.remove_program, 0);
  WriteText(d / "a.ini",
            "[config]\nLoadDomestic=257\nRadioAudioChannel=-1\nTVRadioAudioChannel=0x102\n"
            "[File1]\nFile=" +
                std::string(300, 'n') + "\n");
  s = ReadBuilderSettings(d / "a.ini");
  EXPECT_EQ(s.load_domestic, 1);
  EXPECT_EQ(s.radio_audio_channel, 255);
  EXPECT_EQ(s.tv_radio_audio_channel, 2);
  EXPECT_EQ(s.binary_file_name, std::string(255, 'n'));
}

TEST(Builder, ErrorEndsBeforeTheScan) {
  {
    Fixture f;
    f.Ini("[File0]\nFile=\n");
    EXPECT_EQ(f.Run(), "no txt file!\n");
  }
  {
    Fixture f;
    f.Ini("[File0]\nFile=absent.txt\n");
    EXPECT_EQ(f.Run(), "Can't open txt file: " + (f.builder / "absent.txt").string() + "\n");
    EXPECT_FALSE(fs::exists(f.current / "chout.txt"));
  }
  {
    Fixture f;
    f.List(kList);
    fs::create_directory(f.current / "chout.txt");
    EXPECT_EQ(f.Run(), "Can't create chout.txt\n");
    EXPECT_FALSE(fs::exists(f.builder / "m_6615_df.bin"));
  }
  {
    Fixture f;
    f.List(kList);
    fs::create_directory(f.builder / "m_6615_df.bin");
    EXPECT_EQ(f.Run(), "Can't create m_6615_df.bin\n");
  }
}

TEST(Builder, EmptyListEndsWithoutAMessageLeavingEmptyFiles) {
  Fixture f;
  f.List("");
  EXPECT_EQ(f.Run(), "");
  EXPECT_EQ(ReadText(f.current / "chout.txt"), "");
  EXPECT_EQ(ReadText(f.builder / "m_6615_df.bin"), "");
  EXPECT_FALSE(fs::exists(f.builder / "user_db.bin"));
}

TEST(Builder, CharacterListAndWarningsInTheirPlaces) {
  Fixture f;
  f.List("*\xD6\xD0\xCE\xC4\r\nNoPcr\t\t1\r\n\xB2\xE2\t\t1\t\t\t\t5\r\n");
  EXPECT_EQ(f.Run(), std::string(kSearching) +
                         "Start of building default value...\n"
                         "Warning: PCR PID can't be 8191!\n> NoPcr\t\t1\n"
                         "End of building default value...\nno binary file!\n");
  EXPECT_EQ(ReadText(f.current / "chout.txt"), "\xB2\xE2\xCE\xC4\xD6\xD0");
}

TEST(Builder, UserDatabaseThatCannotBeWrittenStopsTheRunBeforeAnyOutput) {
  // The two databases belong together: a default database without its user database would
  // leave the firmware with an old user database beside a new default one.
  Fixture f;
  f.List(kList);
  fs::create_directory(f.builder / "user_db.bin");
  testdata::WriteFile((f.builder / "fw.bin").string(), ImageWithRoom(4096));
  f.Ini("[File1]\nFile=fw.bin\n");
  EXPECT_EQ(f.Run(), "open user database file fail\n");
  EXPECT_FALSE(fs::exists(f.builder / "m_6615_df.bin"));
  EXPECT_FALSE(fs::exists(f.current / "chout.txt"));
  EXPECT_FALSE(fs::exists(f.current / "OUT.bin"));
}

TEST(Builder, UpdateWritesOutBinToTheCurrentDirectory) {
  Fixture f;
  f.List(kList);
  const Bytes image = ImageWithRoom(4096);
  testdata::WriteFile((f.builder / "fw.bin").string(), image);
  f.Ini("[File1]\nFile=fw.bin\n");
  EXPECT_EQ(f.Run(), std::string(kSearching) + kBuilding +
                         "Start of update binary code...\n"
                         "End of update binary code...\nFinished!\n");
  const Bytes out = ReadBytes(f.current / "OUT.bin");
  EXPECT_FALSE(fs::exists(f.builder / "OUT.bin"));
  EXPECT_EQ(ReadBytes(f.builder / "fw.bin"), image);  // the input image is left alone
  const Bytes value = f.Built("m_6615_df.bin");
  ASSERT_EQ(out.size(), image.size());
  EXPECT_TRUE(std::equal(value.begin(), value.end(), out.begin() + 256 + 128));
  EXPECT_EQ(ReadU32BigEndian(out, 256 + 4), value.size() + 116);
  ChunkTable table;
  EXPECT_EQ(ParseImage(out, table), 3);
}

TEST(Builder, UpdateAtExactlyWPlus4AndOneByteLess) {
  Fixture probe;
  probe.List(kList);
  probe.Run();
  const uint32_t w = static_cast<uint32_t>(probe.Built("m_6615_df.bin").size());

  Fixture fits;
  fits.List(kList);
  testdata::WriteFile((fits.builder / "fw.bin").string(), ImageWithRoom(w + 4));
  fits.Ini("[File1]\nFile=fw.bin\n");
  EXPECT_EQ(fits.Run(), std::string(kSearching) + kBuilding +
                            "Start of update binary code...\n"
                            "End of update binary code...\nFinished!\n");
  const Bytes out = ReadBytes(fits.current / "OUT.bin");
  EXPECT_EQ(Bytes(out.begin() + 256 + 128 + w, out.begin() + 256 + 128 + w + 4), Bytes(4, 0xFF));
  EXPECT_EQ(ReadU32BigEndian(out, 256 + 128 + w + 4), kUserDatabaseChunkId);  // next header

  Fixture tight;
  tight.List(kList);
  testdata::WriteFile((tight.builder / "fw.bin").string(), ImageWithRoom(w + 3));
  tight.Ini("[File1]\nFile=fw.bin\n");
  EXPECT_EQ(tight.Run(), std::string(kSearching) + kBuilding +
                             "Start of update binary code...\n"
                             "new default value is too long!\n");
  EXPECT_FALSE(fs::exists(tight.current / "OUT.bin"));
}

TEST(Builder, UpdateFailures) {
  const std::string start =
      std::string(kSearching) + kBuilding + "Start of update binary code...\n";
  struct Case {
    const char* what;
    Bytes image;
    bool out_is_directory;
    uint64_t max_image_size;
    const char* message;
  };
  const Case cases[] = {
      {"no default database chunk", OnlyBootloader(), false, UINT64_MAX,
       "Update binary code failed!\n"},
      {"default database chunk last", ImageWithRoom(4096, true), false, UINT64_MAX,
       "Update binary code failed!\n"},
      {"OUT.bin cannot be created", ImageWithRoom(4096), true, UINT64_MAX,
       "Can't write OUT.bin: it can not replace the old file\nUpdate binary code failed!\n"},
      {"image too large for memory", ImageWithRoom(4096), false, 1000, "No enough memory!\n"},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.List(kList);
    testdata::WriteFile((f.builder / "fw.bin").string(), c.image);
    f.Ini("[File1]\nFile=fw.bin\n");
    if (c.out_is_directory)
      fs::create_directory(f.current / "OUT.bin");
    BuilderOptions options;
    options.max_image_size = c.max_image_size;
    EXPECT_EQ(f.Run(options), start + c.message) << c.what;
    EXPECT_FALSE(fs::is_regular_file(f.current / "OUT.bin")) << c.what;
  }
}

TEST(Builder, MissingBinaryFileShowsOnlyAtTheEnd) {
  Fixture f;
  f.List(kList);
  f.Ini("[File1]\nFile=absent.bin\n");
  EXPECT_EQ(f.Run(), std::string(kSearching) + kBuilding + "no binary file!\n");
  EXPECT_TRUE(fs::exists(f.builder / "user_db.bin"));
}

TEST(Builder, AnInputNamedLikeAnOutputIsRefusedBeforeAnythingIsWritten) {
  struct Case {
    const char* what;
    bool list;  // the list (else the binary file) takes the output's name
    fs::path (*where)(const Fixture&);
  };
  const Case cases[] = {
      {"list as m_6615_df.bin", true, [](const Fixture& f) { return f.builder / "m_6615_df.bin"; }},
      {"list as unzipped copy", true,
       [](const Fixture& f) { return f.builder / "unzipped_m_6615_df.bin"; }},
      {"list as user_db.bin", true, [](const Fixture& f) { return f.builder / "user_db.bin"; }},
      {"list as chout.txt", true, [](const Fixture& f) { return f.current / "chout.txt"; }},
      {"binary as user_db.bin", false, [](const Fixture& f) { return f.builder / "user_db.bin"; }},
      {"binary as OUT.bin", false, [](const Fixture& f) { return f.current / "OUT.bin"; }},
  };
  for (const Case& c : cases) {
    Fixture f;
    const fs::path input = c.where(f);
    const std::string contents = c.list ? kList : std::string(300, 'b');
    WriteText(input, contents);
    if (c.list) {
      f.Ini("[File0]\nFile=" + input.string() + "\n");
    } else {
      f.List(kList);
      f.Ini("[File1]\nFile=" + input.string() + "\n");
    }
    const std::string expected =
        std::string(c.list ? "Can't use txt file, dfv_k7720x writes it: "
                           : "Can't use binary file, dfv_k7720x writes it: ") +
        input.string() + "\n";
    EXPECT_EQ(f.Run(), expected) << c.what;
    EXPECT_EQ(ReadText(input), contents) << c.what;
    // No output was created: only the run's own inputs are there.
    for (const fs::path& folder : {f.builder.path(), f.current.path()}) {
      for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(entry.path() == input || name == "dfv_k7720x.ini" || name == "program_list.txt")
            << c.what << ": " << name;
      }
    }
  }
}

TEST(Builder, SpecialFilesAreNeverOpened) {
  {
    // A FIFO as the list would keep the builder waiting for a writer that never comes.
    Fixture f;
    const fs::path pipe = f.builder / "program_list.txt";
    if (!testdata::MakeFifo(pipe.string()))
      GTEST_SKIP() << "no FIFOs here";
    EXPECT_EQ(f.Run(), "Can't open txt file: " + pipe.string() + "\n");
    EXPECT_FALSE(fs::exists(f.current / "chout.txt"));
  }
  {
    Fixture f;
    f.List(kList);
    testdata::MakeFifo((f.builder / "fw.bin").string());
    f.Ini("[File1]\nFile=fw.bin\n");
    EXPECT_EQ(f.Run(), std::string(kSearching) + kBuilding + "no binary file!\n");
  }
  {
    // A FIFO as the settings file reads as a missing one: the defaults.
    Fixture f;
    f.List(kList);
    testdata::MakeFifo((f.builder / "dfv_k7720x.ini").string());
    EXPECT_EQ(f.Run(), std::string(kSearching) + kBuilding + "no binary file!\n");
  }
  const std::string device = testdata::EndlessDevice();
  if (!device.empty()) {
    Fixture f;
    f.Ini("[File0]\nFile=" + device + "\n");
    EXPECT_EQ(f.Run(), "Can't open txt file: " + device + "\n");
  }
}

}  // namespace
}  // namespace qtk::dbbuilder
