// A native picture and archive plug-in for the tests, exporting the same C functions as the
// plug-ins games ship.
//  - GetPicture: a 2 x 1 24-bit picture whose two pixels have the colour given by the file's first
//    three bytes (red, green, blue).
//  - GetFileInfo / GetFile: the "archive" is a text file of lines "name=contents".
//  - expand: a sound press plug-in whose "conversion" copies the file as it is.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "files/plugin_interface.h"

namespace {

// The line of the archive named `name`, or else the `position`th (from 1); 0 when there is none.
long FindLine(const char* archivePath, const char* name, long position, std::string& memberName,
              std::string& contents) {
  std::ifstream archive(archivePath);
  std::string line;
  for (long index = 1; std::getline(archive, line); ++index) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    memberName = line.substr(0, equals);
    contents = line.substr(equals + 1);
    if (name != nullptr ? memberName == name : index == position) return index;
  }
  return 0;
}

}  // namespace

extern "C" {

int GetPicture(const char* path, long, unsigned int, void** info, void** pixels, void*, long) {
  std::ifstream file(path, std::ios::binary);
  unsigned char colour[3] = {};
  if (!file.read(reinterpret_cast<char*>(colour), 3)) return 1;
  auto* header = static_cast<uint8_t*>(std::calloc(1, 40));
  auto* rows = static_cast<uint8_t*>(std::calloc(1, 8));
  uint32_t fields[] = {40, 2, 1};
  std::memcpy(header, fields, sizeof fields);
  header[12] = 1;   // planes
  header[14] = 24;  // bits per pixel
  for (int x = 0; x < 2; ++x) {
    for (int channel = 0; channel < 3; ++channel) rows[3 * x + channel] = colour[2 - channel];
  }
  *info = header;
  *pixels = rows;
  return 0;
}

int GetFileInfo(const char* archivePath, long, const char* name, unsigned int, PluginFileInfo* record) {
  std::string memberName, contents;
  long position = FindLine(archivePath, name, 0, memberName, contents);
  if (position == 0) return 1;
  std::memset(record, 0, sizeof *record);
  std::memcpy(record->method, "-test-", 6);
  record->position = static_cast<uint32_t>(position);
  return 0;
}

int GetFile(const char* archivePath, long position, char* destination, unsigned int, void*, long) {
  std::string memberName, contents;
  if (FindLine(archivePath, nullptr, position, memberName, contents) == 0) return 1;
  std::ofstream out(std::string(destination) + memberName.substr(memberName.find_last_of("\\/") + 1), std::ios::binary);
  out << contents;
  return out ? 0 : 1;
}

int expand(const char* source, const char* destination) {
  std::ifstream in(source, std::ios::binary);
  std::ofstream out(destination, std::ios::binary);
  out << in.rdbuf();
  return out ? 0 : 1;
}

}  // extern "C"
