#pragma once
// Builds small archives for the tests: zip, tar and 7z through libarchive's writer, and LZH by
// hand (libarchive reads LZH but cannot write it).
#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velmio::testing {

using ArchiveMembers = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

enum class ArchiveKind { Zip, Tar, SevenZip };

// Writes an archive into memory: `fill(writer)` adds the members through AddMember.
template <typename Fill>
std::vector<uint8_t> WriteArchive(ArchiveKind kind, size_t capacity, Fill fill) {
  std::vector<uint8_t> buffer(capacity);
  size_t used = 0;
  archive* writer = archive_write_new();
  switch (kind) {
    case ArchiveKind::Zip: archive_write_set_format_zip(writer); break;
    case ArchiveKind::Tar: archive_write_set_format_pax_restricted(writer); break;
    case ArchiveKind::SevenZip: archive_write_set_format_7zip(writer); break;
  }
  archive_write_open_memory(writer, buffer.data(), buffer.size(), &used);
  fill(writer);
  archive_write_close(writer);
  archive_write_free(writer);
  buffer.resize(used);
  return buffer;
}

// A member whose header states its size, or (`size` negative) one whose size follows its data.
template <typename WriteData>
void AddMember(archive* writer, const std::string& name, int64_t size, WriteData writeData) {
  archive_entry* entry = archive_entry_new();
  archive_entry_set_pathname(entry, name.c_str());
  if (size >= 0) archive_entry_set_size(entry, size);
  archive_entry_set_filetype(entry, AE_IFREG);
  archive_entry_set_perm(entry, 0644);
  archive_write_header(writer, entry);
  writeData();
  archive_entry_free(entry);
}

inline std::vector<uint8_t> BuildArchive(ArchiveKind kind, const ArchiveMembers& members) {
  return WriteArchive(kind, 1 << 20, [&](archive* writer) {
    for (const auto& [name, bytes] : members)
      AddMember(writer, name, static_cast<int64_t>(bytes.size()),
                [&] { archive_write_data(writer, bytes.data(), bytes.size()); });
  });
}

inline uint16_t Crc16(const std::vector<uint8_t>& bytes) {
  uint16_t crc = 0;
  for (uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc;
}

// Level-0 headers, stored ("-lh0-") members; names are kept byte for byte (Shift JIS, backslashes).
inline std::vector<uint8_t> BuildLzh(const ArchiveMembers& members) {
  std::vector<uint8_t> out;
  auto put32 = [](std::vector<uint8_t>& v, uint32_t value) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  for (const auto& [name, bytes] : members) {
    std::vector<uint8_t> header;
    for (char c : std::string("-lh0-")) header.push_back(static_cast<uint8_t>(c));
    put32(header, static_cast<uint32_t>(bytes.size()));
    put32(header, static_cast<uint32_t>(bytes.size()));
    put32(header, 0x00210000);  // 1980-01-01 as a DOS time stamp
    header.push_back(0x20);     // attribute
    header.push_back(0);        // header level
    header.push_back(static_cast<uint8_t>(name.size()));
    header.insert(header.end(), name.begin(), name.end());
    uint16_t crc = Crc16(bytes);
    header.push_back(static_cast<uint8_t>(crc));
    header.push_back(static_cast<uint8_t>(crc >> 8));
    uint8_t sum = 0;
    for (uint8_t byte : header) sum = static_cast<uint8_t>(sum + byte);
    out.push_back(static_cast<uint8_t>(header.size()));
    out.push_back(sum);
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  out.push_back(0);
  return out;
}

}  // namespace velmio::testing
