#include "demo/demo_set.h"

#include <fstream>
#include <sstream>

#include "common/recording_dialogs.h"
#include "common/utf8_path.h"
#include "dbbuilder/database_writer.h"
#include "dbbuilder/lzma_compressor.h"
#include "dbbuilder/program_list.h"
#include "firmware/firmware_loader.h"
#include "firmware/firmware_saver.h"
#include "firmware/image/chunk_ids.h"
#include "pages/page_list.h"
#include "pages/page_set.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/mpeg2_still.h"

namespace qtk::demo {
namespace {

// The OTA file a save writes beside an image: the image's name with ".ota" appended.
std::filesystem::path OtaFileOf(std::filesystem::path image) {
  return image += ".ota";
}

// "what: why", or just "what" when no reason was given, so an error never ends in ": ".
std::string WithReason(const std::string& what, const std::string& why) {
  return why.empty() ? what : what + ": " + why;
}

bool WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

// A boot logo as a set-top box shows it at power-on: a framed box with a stripe, as one
// MPEG-2 still (sequence header first, sequence end code last). CIF size keeps it within the
// demo image's logo chunk.
std::vector<uint8_t> DemoLogo(uint32_t background, uint32_t box, uint32_t stripe) {
  constexpr int kWidth = 352;
  constexpr int kHeight = 288;
  testdata::RgbPicture picture{kWidth, kHeight, {}};
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool in_box = x >= 96 && x < 256 && y >= 80 && y < 208;
      const bool in_stripe = in_box && y >= 128 && y < 160;
      const uint32_t c = in_stripe ? stripe : in_box ? box : background;
      picture.rgb.push_back(static_cast<uint8_t>(c >> 16));
      picture.rgb.push_back(static_cast<uint8_t>(c >> 8));
      picture.rgb.push_back(static_cast<uint8_t>(c));
    }
  }
  return testdata::EncodeMpeg2Still(picture, 6);
}

// The logo the demo image carries, and the one offered to replace it.
std::vector<uint8_t> ImageLogo() {
  return DemoLogo(0x102860, 0xF0F0F0, 0xD02020);
}
std::vector<uint8_t> ReplacementLogo() {
  return DemoLogo(0x000000, 0xF0C000, 0x2060E0);
}

// The demo image carries the databases that dfv_k7720x makes of the demo channel list, so
// that the channel list can be read back out of it.
std::vector<uint8_t> DemoImage() {
  const std::string list = DemoProgramList();
  dbbuilder::ProgramTables tables;
  std::ostringstream warnings;
  dbbuilder::ParseProgramList({reinterpret_cast<const uint8_t*>(list.data()), list.size()}, tables,
                              warnings);
  dbbuilder::UserTables user;
  const std::vector<uint8_t> raw = dbbuilder::WriteDefaultDatabase(tables, {}, user);
  std::vector<testdata::ChunkSpec> chunks =
      testdata::StandardChunks({.bootloader_region = 0x40000});
  for (testdata::ChunkSpec& chunk : chunks) {
    if (chunk.id == kDefaultDatabaseChunkId)
      chunk.data = dbbuilder::CompressLzmaAlone(raw).value_or(raw);
    if (chunk.id == kUserDatabaseChunkId)
      chunk.data = dbbuilder::WriteUserDatabase(user);
    if (chunk.id == kLogoChunkId)
      chunk.data = ImageLogo();
  }
  return testdata::BuildFirmware(chunks, kDemoPassword);
}

// The generated record leaves the tuner entry at zeros, which the Tuner page shows but would
// raise to its minimums at the first edit (and `qtkcli check` names). The demo box has the
// usual LNB range and a filter bandwidth, typed in as a user would.
bool TuneDemoTuner(const PageSet& pages, std::string* refused) {
  SettingsPage* tuner = pages.Page(PageId::kTuner);
  if (tuner == nullptr)
    return true;
  const std::pair<const char*, long long> kValues[] = {
      {"Frequency low", 950}, {"Frequency high", 2150}, {"Filter BW", 27000}};
  for (const PageField& field : tuner->Fields()) {
    for (const auto& [name, value] : kValues) {
      if (field.name != name)
        continue;
      if (std::string reason = SetField(field, FieldValue{value}); !reason.empty()) {
        *refused = field.name + ": " + reason;
        return false;
      }
    }
  }
  return tuner->Validate();
}

// The demo image goes out as the desktop program saves it once, with only the demo tuning
// typed in: the pages write what they take from the description (the character table, the key
// maps, derived bytes, the tuner driver and dynamic panel chunks). So the demo holds a record as a
// stored firmware has it, and a diff of an edit shows only that edit.
bool StoreEveryPage(const std::filesystem::path& dir, std::string* error) {
  const std::filesystem::path image = dir / kDemoImageName;
  const std::filesystem::path stored = dir / "demo_k7720x.stored.bin";
  RecordingDialogs dialogs;
  auto fail = [&](const std::string& what) {
    *error = WithReason(what, dialogs.LastText());
    std::error_code ignored;
    std::filesystem::remove(stored, ignored);
    std::filesystem::remove(OtaFileOf(stored), ignored);
    return false;
  };
  {
    LoadSession session;
    std::unique_ptr<FirmwareProject> project =
        OpenFirmware(Utf8FromPath(image), Utf8FromPath(dir / testdata::kDefaultDescriptionName),
                     kDemoPassword, session, dialogs);
    if (!project)
      return fail("the demo image does not load");
    SharedPageState shared;
    PageSet pages({project.get(), &session, &dialogs, dir, nullptr, &shared}, CreatePageModel);
    pages.LoadAll();
    if (std::string refused; !TuneDemoTuner(pages, &refused))
      return fail(WithReason("the Tuner page refuses the demo tuning", refused));
    if (pages.StoreAll() != nullptr)
      return fail("a page of the demo image refuses to store");
    if (SaveFirmware(*project, session, Utf8FromPath(stored), dialogs) != SaveResult::kSaved)
      return fail("the demo image does not save");
  }
  // The OTA file of the stored copy is no part of the demo set.
  std::error_code ec;
  std::filesystem::remove(OtaFileOf(stored), ec);
  std::filesystem::rename(stored, image, ec);
  if (ec) {
    *error = "can not replace " + Utf8FromPath(image) + ": " + ec.message();
    std::filesystem::remove(stored, ec);
    return false;
  }
  return true;
}

}  // namespace

std::string DemoProgramList() {
  // Satellite: *name, then columns 1-8. Program: name, col 1, video PID, audio PIDs 1-3,
  // PCR PID, frequency, symbol rate, polarity, region, col 11, col 12, audio channel.
  struct Program {
    const char* name;
    int video, audio, pcr, frequency, symbol_rate;
    const char* polarity;
  };
  struct Satellite {
    const char* line;
    std::vector<Program> programs;
  };
  const std::vector<Satellite> satellites = {
      {"*Astra 19.2E\t1\t\t1\t10700\t11700\t192\t1\t9750",
       {{"Das Erste", 101, 102, 101, 11836, 27500, "H"},
        {"ZDF", 110, 120, 110, 11953, 27500, "H"},
        {"Arte", 401, 402, 401, 10744, 22000, "H"},
        {"3sat", 210, 220, 210, 11953, 27500, "H"}}},
      {"*Hotbird 13E\t1\t\t1\t10700\t11700\t130\t1\t9750",
       {{"Rai 1", 512, 650, 512, 10992, 27500, "V"},
        {"Rai 2", 513, 651, 513, 10992, 27500, "V"},
        {"TV5 Monde", 160, 80, 160, 11137, 27500, "H"}}},
      {"#Eutelsat 16E\t1\t\t1\t10700\t11700\t160\t1\t9750", {}},
  };
  std::string text = "; demo channel list\r\n";
  for (const Satellite& sat : satellites) {
    text += std::string(sat.line) + "\r\n";
    for (const Program& p : sat.programs) {
      text += std::string(p.name) + "\t1\t" + std::to_string(p.video) + "\t" +
              std::to_string(p.audio) + "\t\t\t" + std::to_string(p.pcr) + "\t" +
              std::to_string(p.frequency) + "\t" + std::to_string(p.symbol_rate) + "\t" +
              p.polarity + "\t0\t0\t1\tS\r\n";
    }
  }
  return text;
}

bool WriteDemoSet(const std::filesystem::path& dir, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    *error = "can not create " + Utf8FromPath(dir) + ": " + ec.message();
    return false;
  }
  auto fail = [&](const std::filesystem::path& path) {
    *error = "can not write " + Utf8FromPath(path);
    return false;
  };

  const std::vector<uint8_t> image = DemoImage();
  if (!testdata::WriteFile(Utf8FromPath(dir / kDemoImageName), image)) {
    return fail(dir / kDemoImageName);
  }
  const testdata::DescriptionSpec description = testdata::RealisticDescription();
  if (!description.Write(dir / testdata::kDefaultDescriptionName)) {
    return fail(dir / testdata::kDefaultDescriptionName);
  }
  if (!WriteText(dir / kDemoProgramList, DemoProgramList()))
    return fail(dir / kDemoProgramList);
  // An encoder that is missing gives no logo: the demo is not written without one.
  if (const std::vector<uint8_t> logo = ReplacementLogo();
      logo.empty() || !testdata::WriteFile(Utf8FromPath(dir / kDemoLogo), logo))
    return fail(dir / kDemoLogo);

  // Files the Tuner page ([ExtTunerDriver]) and the GPIO usage page ([GPIOBusType]) put into
  // the tuner-driver and dynamic panel chunks.
  const uint8_t panel_seed = static_cast<uint8_t>(50 + description.Items("ExtTunerDriver").size());
  if (!description.WriteItemFiles("ExtTunerDriver", dir, 2048, 50) ||
      !description.WriteItemFiles("GPIOBusType", dir, 512, panel_seed)) {
    *error = "can not write the tuner driver and panel files into " + Utf8FromPath(dir);
    return false;
  }
  return StoreEveryPage(dir, error);
}

}  // namespace qtk::demo
