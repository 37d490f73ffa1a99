#include "logo/logo_source.h"

#include <fstream>

#include "common/utf8_path.h"
#include "common/file_io.h"
#include "firmware/image/chunk_ids.h"

namespace qtk {

std::optional<std::vector<uint8_t>> ReadChunkData(const std::string& firmware_path,
                                                  const ChunkEntry& chunk) {
  constexpr uint32_t kLengthBeyondData = kChunkHeaderSize - kChunkHeaderFixedSize;
  if (chunk.length < kLengthBeyondData || !IsRegularFile(PathFromUtf8(firmware_path)))
    return std::nullopt;
  const uint64_t first = uint64_t{chunk.file_offset} + kChunkHeaderSize;
  const uint64_t size = chunk.length - kLengthBeyondData;
  if (size > kMaxLogoBytes)
    return std::nullopt;
  std::ifstream in(PathFromUtf8(firmware_path), std::ios::binary);
  in.seekg(0, std::ios::end);
  const std::streamoff file_size = in.tellg();
  if (!in || file_size < 0 || static_cast<uint64_t>(file_size) < first + size)
    return std::nullopt;
  std::vector<uint8_t> data(static_cast<size_t>(size));
  in.seekg(static_cast<std::streamoff>(first));
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size));
  if (!in)
    return std::nullopt;
  return data;
}

LogoDecoding DecodeLogoChunk(const std::string& firmware_path, const ChunkEntry& chunk) {
  const std::optional<std::vector<uint8_t>> data = ReadChunkData(firmware_path, chunk);
  if (!data)
    return LogoDecoding{std::nullopt, logo_notes::kCannotRead};
  return DecodeLogo(*data);
}

LogoDecoding DecodeLogoFile(const std::string& path) {
  const FileContents file = ReadRegularFile(PathFromUtf8(path), kMaxLogoBytes);
  if (file.status == FileReadStatus::kTooBig)
    return LogoDecoding{std::nullopt, logo_notes::kTooLarge};
  if (file.status != FileReadStatus::kRead)
    return LogoDecoding{std::nullopt, logo_notes::kCannotRead};
  return DecodeLogo(file.bytes);
}

}  // namespace qtk
