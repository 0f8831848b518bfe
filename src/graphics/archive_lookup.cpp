#include "graphics/archive_lookup.h"

#include <cstdio>
#include <vector>

#include "base/encoding.h"
#include "base/warning.h"
#include "files/archive_reader.h"
#include "files/game_file_lookup.h"
#include "files/plugin_interface.h"
#include "files/xdg_folders.h"
#include "graphics/file_names.h"
#include "graphics/graphics_context.h"

namespace velmio {
namespace {

// Archive plug-ins look names up with backslashes between folders.
std::string WithBackslashes(std::string_view name) {
  std::string result(name);
  for (char& c : result)
    if (c == '/') c = '\\';  // never the second byte of a two-byte character
  return result;
}

// True when a native plug-in supplied the member, which it wrote into `folder`.
bool ExtractThroughPlugin(const SharedLibrary& library, const std::string& archivePath, const std::string& wanted,
                          const std::string& folder) {
  auto getFileInfo = reinterpret_cast<GetFileInfoFunction>(library.Symbol("GetFileInfo"));
  auto getFile = reinterpret_cast<GetFileFunction>(library.Symbol("GetFile"));
  if (getFileInfo == nullptr || getFile == nullptr) return false;
  // Plug-ins differ in how much of the record they fill; give them room beyond it.
  std::vector<unsigned char> record(4096, 0);
  auto* info = reinterpret_cast<PluginFileInfo*>(record.data());
  if (getFileInfo(archivePath.c_str(), 0, wanted.c_str(), 128, info) != 0) return false;
  if (info->position == 0) return false;
  std::vector<char> destination(folder.begin(), folder.end());
  destination.push_back('\0');
  return getFile(archivePath.c_str(), static_cast<long>(info->position), destination.data(), 0, nullptr, 0) == 0;
}

}  // namespace

TemporaryCopy::~TemporaryCopy() {
  if (!path_.empty()) std::remove(path_.c_str());
}

std::string FindInArchives(GraphicsContext& engine, std::string_view name) {
  PictureSources& sources = engine.graphics.pictureSources;
  if (sources.archives.empty()) return {};
  const std::string wanted = WithBackslashes(name);
  const std::string base(BaseName(wanted));
  // The copy lands in the runtime folder under the wanted base name; a name that would not stay
  // inside it is never extracted.
  if (base.empty() || base == "." || base == "..") return {};
  const std::string folder = RuntimeFolder();
  if (folder.empty()) return {};
  const std::string destination = folder + base;
  for (const std::string& entry : sources.archives) {
    size_t bar = entry.find('|');
    if (bar == std::string::npos) continue;
    LoadedLibrary* library = sources.libraries.FindOrLoad(std::string_view(entry).substr(bar + 1));
    if (library == nullptr) continue;
    std::string archivePath = LocateGameFile(std::string_view(entry).substr(0, bar));
    if (archivePath.empty()) continue;
    if (library->native) {
      if (ExtractThroughPlugin(*library->native, archivePath, wanted, folder)) return destination;
      continue;
    }
    std::string problem;
    ArchiveResult result = ExtractArchiveMember(archivePath, wanted, destination, &problem);
    if (result == ArchiveResult::Extracted) return destination;
    // A damaged archive is not an error of its own (another archive may hold the file), but the
    // author should learn why a file they packed was not found.
    if (result == ArchiveResult::Unreadable)
      Warn("archive " + ShiftJisToUtf8(archivePath) + ": " + problem);
  }
  return {};
}

}  // namespace velmio
