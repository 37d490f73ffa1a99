#include "firmware/password_words.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/latin1_text.h"
#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"

namespace qtk {

std::optional<std::string> PasswordFromUtf8(std::string_view text) {
  std::optional<std::string> bytes = Utf8ToLatin1(text);
  if (!bytes || bytes->size() > kMaxPasswordLength)
    return std::nullopt;
  return bytes;
}

uint32_t PasswordKey(const ChunkTable& chunks) {
  if (auto index = chunks.FindAny(kMainCodeChunkId))
    return chunks.entries[*index].crc;
  return 0;
}

std::string DecodePassword(const FirmwareProject& project) {
  const uint32_t key = PasswordKey(project.chunks) ^ kPasswordScramble;
  std::array<uint8_t, 9> text{};
  PutU32LittleEndian(text.data(), project.settings.U32(record::kPasswordWord0) ^ key);
  PutU32LittleEndian(text.data() + 4, project.settings.U32(record::kPasswordWord1) ^ key);
  auto end = std::find(text.begin(), text.end(), uint8_t{0});
  return std::string(text.begin(), end);
}

bool VerifyPassword(const FirmwareProject& project, const std::string& text) {
  return DecodePassword(project) == text;
}

void EncodePassword(FirmwareProject& project, const std::string& text) {
  if (text.empty() || !project.password_refresh)
    return;
  std::array<uint8_t, 32> buffer{};
  std::memcpy(buffer.data(), text.data(), std::min(text.size(), buffer.size()));
  const uint32_t key = PasswordKey(project.chunks) ^ kPasswordScramble;
  project.settings.SetU32(record::kPasswordWord0, *ReadU32LittleEndian(buffer, 0) ^ key);
  project.settings.SetU32(record::kPasswordWord1, *ReadU32LittleEndian(buffer, 4) ^ key);
}

void RekeyPasswordWords(FirmwareProject& project, uint32_t old_key, uint32_t new_key) {
  const uint32_t change = old_key ^ new_key;
  project.settings.SetU32(record::kPasswordWord0,
                          project.settings.U32(record::kPasswordWord0) ^ change);
  project.settings.SetU32(record::kPasswordWord1,
                          project.settings.U32(record::kPasswordWord1) ^ change);
}

}  // namespace qtk
