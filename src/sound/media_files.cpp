#include "sound/media_files.h"

#include <filesystem>

#include "base/errors.h"
#include "files/game_file_lookup.h"
#include "files/xdg_folders.h"
#include "graphics/archive_lookup.h"
#include "sound/sound_context.h"

namespace velmio {
namespace {

// A sound press plug-in's export: writes a standard MIDI or WAVE file to `destination`.
using ExpandFunction = int (*)(const char* source, const char* destination);

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace

[[noreturn]] void CannotOpenMedia(std::string_view name) { RaiseError("ロードエラー", "ファイル%sを開けません。", name); }

ResolvedMedia ResolveMediaFile(SoundContext& engine, std::string_view name) {
  std::string path = LocateGameFile(name);
  if (!path.empty()) return ResolvedMedia{path, false};
  path = FindInArchives(engine, name);
  if (path.empty()) CannotOpenMedia(name);
  return ResolvedMedia{path, true};
}

bool ConvertForPlaying(SoundContext& engine, ResolvedMedia& media, std::string_view scriptName, PressTarget target) {
  size_t dot = scriptName.find('.');
  std::string_view extension = dot == std::string_view::npos ? std::string_view{} : scriptName.substr(dot + 1);
  if (extension == (target == PressTarget::Midi ? "mid" : "wav")) return true;
  const std::string* entry = nullptr;
  for (const std::string& candidate : engine.sound.pressPlugins) {
    size_t bar = candidate.find('|');
    if (bar != std::string::npos && std::string_view(candidate).substr(bar + 1) == extension) {
      entry = &candidate;
      break;
    }
  }
  if (entry == nullptr) {
    if (media.temporary) RemoveFile(media.path);
    CannotOpenMedia(scriptName);
  }
  LoadedLibrary* library = engine.graphics.pictureSources.libraries.FindOrLoad(entry->substr(0, entry->find('|')));
  // A Windows plug-in (or a missing one): our own decoders read the file as it is.
  if (library == nullptr || !library->native) return true;
  auto expand = reinterpret_cast<ExpandFunction>(library->native->Symbol("expand"));
  std::string folder = RuntimeFolder();
  if (expand == nullptr || folder.empty()) {
    if (media.temporary) RemoveFile(media.path);
    return false;
  }
  std::string destination = folder + (target == PressTarget::Midi ? "Velmtmp.mid" : "Velmtmp.wav");
  expand(media.path.c_str(), destination.c_str());
  if (media.temporary) RemoveFile(media.path);
  media = ResolvedMedia{destination, true};
  return true;
}

void DeleteTemporary(TemporaryMark& mark) {
  if (mark.marked) RemoveFile(mark.path);
  mark.marked = false;
  mark.path.clear();
}

void Mark(TemporaryMark& mark, const ResolvedMedia& media) {
  mark.marked = media.temporary;
  mark.path = media.temporary ? media.path : std::string();
}

}  // namespace velmio
