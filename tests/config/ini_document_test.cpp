// The description read once must answer every key exactly as reading the file key by key
// does: generated INI texts full of the odd things real files hold (repeated sections and
// keys, comments, quotes, a byte order mark, blanks, CR LF and LF, keys outside sections,
// numbers in every notation) are asked the same questions both ways.
#include "common/utf8_path.h"
#include "config/ini/ini_document.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "config/config_description.h"
#include "config/description_reader.h"
#include "config/ini/private_profile.h"
#include "config/ini_file.h"
#include "testdata/config_writer.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

using Rng = std::mt19937;

const std::vector<std::string> kSections = {
    "CommonConfig", "ChunkId", "Password", "TunerType", "A", "", "sec tion"};
const std::vector<std::string> kKeys = {"item0", "item1", "item2",     "Limit", "MaxLength",
                                        "x",     "",      "key space", "=",     "ConfigVersion"};
const std::vector<std::string> kValues = {
    "1",     "-1",          "0",   "007",        "0x10EF0100", "0XfF", "-0x10",   "+12",
    "15 ab", "99999999999", "abc", "\"quoted\"", "'single'",   "\"",   "\"odd'",  "  spaced  ",
    "",      "a=b",         "x;y", "\t7\t",      "-",          "0x",   "PAL , 3", "\xB0\xA1"};

template <typename T>
const T& Pick(Rng& rng, const std::vector<T>& items) {
  return items[rng() % items.size()];
}

// The name with the case of each ASCII letter chosen at random.
std::string RandomCase(Rng& rng, std::string name) {
  for (char& c : name) {
    if (rng() % 2)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    else
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return name;
}

std::string Blanks(Rng& rng) {
  static const std::vector<std::string> kBlanks = {"", "", "", " ", "\t", "  \t"};
  return Pick(rng, kBlanks);
}

// One INI text of random lines: headers, keys, comments, blanks and debris, with either
// line end (and now and then a lone CR), sometimes behind a byte order mark.
std::string OddIniText(Rng& rng) {
  std::string text = rng() % 4 == 0 ? "\xEF\xBB\xBF" : "";
  const std::string eol = rng() % 2 ? "\r\n" : "\n";
  const int lines = 1 + static_cast<int>(rng() % 40);
  for (int i = 0; i < lines; ++i) {
    switch (rng() % 12) {
      case 0:
      case 1:
        text += Blanks(rng) + "[" + Blanks(rng) + RandomCase(rng, Pick(rng, kSections)) +
                Blanks(rng) + "]" + (rng() % 4 == 0 ? " ; note" : "") + Blanks(rng);
        break;
      case 2:
        text += Blanks(rng) + ";" + RandomCase(rng, Pick(rng, kKeys)) + "=" + Pick(rng, kValues);
        break;
      case 3:
        text += Blanks(rng);
        break;
      case 4:
        text += rng() % 2 ? "no equals sign" : "[unclosed";
        break;
      case 5:
        text += "[]";
        break;
      default:
        text += Blanks(rng) + RandomCase(rng, Pick(rng, kKeys)) + Blanks(rng) + "=" + Blanks(rng) +
                Pick(rng, kValues) + Blanks(rng);
        break;
    }
    text += (rng() % 30 == 0) ? "\r" : "";
    if (i + 1 < lines || rng() % 2)
      text += eol;
  }
  return text;
}

TEST(IniDocument, AnswersEveryKeyAsTheKeyByKeyReadingOnGeneratedFiles) {
  testdata::TempDir dir("qtk_ini_document");
  const std::string path = dir.File("odd.ini");
  Rng rng(20240);
  for (int round = 0; round < 150; ++round) {
    const std::string text = OddIniText(rng);
    std::ofstream(PathFromUtf8(path), std::ios::binary | std::ios::trunc) << text;
    const std::optional<ini::IniDocument> read = ini::IniDocument::Read(PathFromUtf8(path));
    ASSERT_TRUE(read);
    const ini::IniDocument parsed = ini::IniDocument::Parse(text);
    for (const std::string& section : kSections) {
      for (const std::string& key : kKeys) {
        for (bool upper : {false, true}) {
          const std::string s = upper ? RandomCase(rng, section) : section;
          const std::string k = upper ? RandomCase(rng, key) : key;
          const std::string expected = ini::GetPrivateProfileString(s, k, "<none>", PathFromUtf8(path));
          const int32_t expected_int = ini::GetPrivateProfileInt(s, k, -77, PathFromUtf8(path));
          ASSERT_EQ(read->GetString(s, k, "<none>"), expected) << "[" << s << "] " << k << " in:\n"
                                                               << text;
          ASSERT_EQ(parsed.GetString(s, k, "<none>"), expected);
          ASSERT_EQ(read->GetInt(s, k, -77), expected_int) << "[" << s << "] " << k;
          // Present exactly when the key-by-key reading ignores its default.
          const bool present = expected == ini::GetPrivateProfileString(s, k, "<other>", PathFromUtf8(path));
          ASSERT_EQ(read->Find(s, k) != nullptr, present) << "[" << s << "] " << k;
        }
      }
    }
  }
}

TEST(IniDocument, FirstKeyWinsAcrossRepeatedSectionsAndCaseAndMissingKeysGiveTheDefault) {
  const ini::IniDocument doc = ini::IniDocument::Parse(
      "item0=outside\r\n"
      "[TunerType]\r\n"
      ";item0=commented\r\n"
      "item1 = \"Sharp 0184,2\" \r\n"
      "[other]\r\n"
      "item0=other section\r\n"
      "[tunertype]\r\n"
      "ITEM0=Sharp 7306,1\r\n"
      "item1=second\r\n");
  EXPECT_EQ(doc.GetString("TUNERTYPE", "Item0", ""), "Sharp 7306,1");
  EXPECT_EQ(doc.GetString("TunerType", "item1", ""), "Sharp 0184,2");
  EXPECT_EQ(doc.GetString("TunerType", "item2", "dflt"), "dflt");
  EXPECT_EQ(doc.GetInt("TunerType", "item2", 42), 42);
  EXPECT_EQ(doc.GetInt("TunerType", "item0", 42), 0);  // present, not a number
  EXPECT_EQ(doc.GetString("Missing", "item0", "dflt"), "dflt");
  EXPECT_EQ(doc.Find("other", "item0") != nullptr, true);
}

TEST(IniDocument, UnreadableFileGivesNothing) {
  testdata::TempDir dir("qtk_ini_document");
  EXPECT_FALSE(ini::IniDocument::Read(PathFromUtf8(dir.File("missing.ini"))));
  const ini::IniDocument empty = ini::IniDocument::Parse("");
  EXPECT_EQ(empty.GetInt("A", "b", 5), 5);
}

TEST(IniFile, AnswersFromTheDocumentUntilTheNextPlainPath) {
  testdata::TempDir dir("qtk_ini_document");
  const std::string file = dir.File("d.ini");
  std::ofstream(PathFromUtf8(file)) << "[Password]\nLimit=from the file\n";
  IniFile ini;
  using namespace std::string_view_literals;
  ASSERT_TRUE(ini.SetPath(file, ini::IniDocument::Parse("[Password]\nLimit=0123\0x\n"sv)));
  char buffer[16];
  EXPECT_EQ(ini.GetString("password", "limit", buffer, sizeof buffer), 4u);
  EXPECT_STREQ(buffer, "0123");
  char small[3];
  EXPECT_EQ(ini.GetString("Password", "Limit", small, sizeof small), 2u);
  EXPECT_STREQ(small, "01");
  EXPECT_EQ(ini.GetInt("Password", "Limit"), 123);
  EXPECT_TRUE(ini.GetBool("Password", "Limit"));

  // A plain path reads the file again.
  ASSERT_TRUE(ini.SetPath(file));
  EXPECT_EQ(ini.GetString("Password", "Limit", buffer, sizeof buffer), 13u);
  EXPECT_STREQ(buffer, "from the file");

  // A refused path drops the document too: every key reads as missing.
  EXPECT_FALSE(ini.SetPath(std::string("a\0b", 3), ini::IniDocument::Parse("[A]\nb=1\n")));
  EXPECT_EQ(ini.GetInt("A", "b"), 0);
  EXPECT_EQ(ini.path(), "");
}

// The realistic description written the way hand-edited files look: names in any case,
// blanks around '=' and the brackets, quoted values, comments (one of them a commented-out
// key), blank lines, a byte order mark, lines of debris, keys before the first section,
// every section split in two under differently spelled headers, and a wrong duplicate of
// each key after it. First-key-wins makes every duplicate harmless.
std::string OddRendering(const testdata::DescriptionSpec& spec, Rng& rng) {
  const std::string eol = rng() % 2 ? "\r\n" : "\n";
  std::string text = rng() % 2 ? "\xEF\xBB\xBF" : "";
  text += "; hand-edited" + eol + "item0=before any section" + eol + "Support=0" + eol;
  for (const testdata::IniSection& section : spec.sections) {
    const size_t half = section.keys.size() / 2;
    for (int part = 0; part < 2; ++part) {
      text += Blanks(rng) + "[" + Blanks(rng) + RandomCase(rng, section.name) + Blanks(rng) + "]" +
              (rng() % 3 == 0 ? " ; part" : "") + eol;
      const size_t begin = part == 0 ? 0 : half;
      const size_t end = part == 0 ? half : section.keys.size();
      for (size_t i = begin; i < end; ++i) {
        const testdata::IniKey& key = section.keys[i];
        if (rng() % 4 == 0)
          text += Blanks(rng) + ";" + key.key + "=commented out" + eol;
        if (rng() % 5 == 0)
          text += eol;
        if (rng() % 7 == 0)
          text += "debris without an equals sign" + eol;
        const bool quote = rng() % 3 == 0 && key.value.find('"') == std::string::npos;
        const std::string value = quote ? "\"" + key.value + "\"" : key.value;
        text += Blanks(rng) + RandomCase(rng, key.key) + Blanks(rng) + "=" + Blanks(rng) + value +
                Blanks(rng) + eol;
      }
    }
    // Wrong duplicates of every key, after the real ones.
    text += "[" + RandomCase(rng, section.name) + "]" + eol;
    for (const testdata::IniKey& key : section.keys)
      text += key.key + "=-1 duplicate" + eol;
  }
  return text;
}

// Everything a load leaves that the pages read.
void ExpectSameDescription(const ConfigDescription& a, const ConfigDescription& b) {
  EXPECT_EQ(a.switches, b.switches);
  EXPECT_EQ(a.limits, b.limits);
  EXPECT_EQ(a.password_limit, b.password_limit);
  EXPECT_EQ(a.GetChunkIds(), b.GetChunkIds());
  for (OptionList list : AllOptionLists())
    EXPECT_EQ(a.List(list), b.List(list)) << SectionName(list);
  ASSERT_EQ(a.GPIOBusTypeCount(), b.GPIOBusTypeCount());
  for (size_t j = 0; j < a.GPIOBusTypeCount(); ++j)
    EXPECT_EQ(a.GetGPIOUsage(static_cast<int>(j)), b.GetGPIOUsage(static_cast<int>(j)));
  EXPECT_EQ(a.GetFlashDevices().names, b.GetFlashDevices().names);
  EXPECT_EQ(a.GetFlashDevices().data, b.GetFlashDevices().data);
  EXPECT_EQ(a.GetSectorStructs().names, b.GetSectorStructs().names);
  EXPECT_EQ(a.GetDeviceValues().names, b.GetDeviceValues().names);
}

TEST(DescriptionReadOnce, HandEditedRenderingsLoadLikeThePlainDescription) {
  testdata::TempDir dir("qtk_ini_document");
  const testdata::DescriptionSpec spec = testdata::RealisticDescription();
  const std::string plain_path = dir.File("plain.ini");
  ASSERT_TRUE(spec.Write(PathFromUtf8(plain_path)));
  ConfigDescription plain;
  plain.SetDescriptionPath(plain_path);
  ASSERT_TRUE(plain.Load());

  Rng rng(7720);
  const std::string odd_path = dir.File("odd.ini");
  for (int round = 0; round < 12; ++round) {
    const std::string text = OddRendering(spec, rng);
    std::ofstream(PathFromUtf8(odd_path), std::ios::binary | std::ios::trunc) << text;
    ConfigDescription odd;
    odd.SetDescriptionPath(odd_path);
    ASSERT_TRUE(odd.Load()) << odd.GetLoadError().message << "\n" << text;
    ExpectSameDescription(odd, plain);

    // Section by section, the reader over the document and the reader going to the file
    // for every key agree on the lists, including where a list ends.
    DescriptionReader once;
    DescriptionReader each_key;
    ASSERT_TRUE(once.ini().SetPath(odd_path, *ini::IniDocument::Read(PathFromUtf8(odd_path))));
    ASSERT_TRUE(each_key.ini().SetPath(odd_path));
    for (const testdata::IniSection& section : spec.sections) {
      ItemList a, b;
      EXPECT_EQ(once.ReadItemList(section.name, a), each_key.ReadItemList(section.name, b));
      EXPECT_EQ(a, b) << section.name;
      std::vector<int32_t> ia, ib;
      EXPECT_EQ(once.ReadIntList(section.name, ia), each_key.ReadIntList(section.name, ib));
      EXPECT_EQ(ia, ib) << section.name;
      for (const testdata::IniKey& key : section.keys) {
        EXPECT_EQ(once.ReadInt(section.name, key.key), each_key.ReadInt(section.name, key.key));
        EXPECT_EQ(once.ReadString(section.name, key.key),
                  each_key.ReadString(section.name, key.key));
      }
    }
  }
}

TEST(DescriptionReadOnce, FailuresKeepTheirMessagesWithADocument) {
  // A broken section in a hand-edited file still names that section; a refused (too long)
  // path still reads as no file at all.
  testdata::TempDir dir("qtk_ini_document");
  testdata::DescriptionSpec spec = testdata::RealisticDescription();
  spec.SetItem("TunerType", 2, "Philips 1216,256");
  Rng rng(3);
  const std::string path = dir.File("odd.ini");
  std::ofstream(PathFromUtf8(path), std::ios::binary) << OddRendering(spec, rng);
  ConfigDescription config;
  config.SetDescriptionPath(path);
  EXPECT_FALSE(config.Load());
  EXPECT_EQ(config.GetLoadError().message,
            "Error: " + path + ":\r\n[TunerType] data is error.\r\n");
  EXPECT_EQ(config.GetTunerType().names, (std::vector<std::string>{"Sharp 7306", "Sharp 0184"}));
}

}  // namespace
}  // namespace qtk
