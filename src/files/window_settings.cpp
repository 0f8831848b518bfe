#include "files/window_settings.h"

#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "files/file_reading.h"
#include "files/xdg_folders.h"

namespace velmio {
namespace {

constexpr const char* kScalingNames[] = {"fit", "integer", "1x"};
constexpr int kLargestSize = 65536;

bool ReadInteger(const std::string& text, int low, int high, int& value) {
  int parsed = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || parsed < low || parsed > high)
    return false;
  value = parsed;
  return true;
}

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

}  // namespace

WindowSettings ParseWindowSettings(const std::string& text) {
  WindowSettings settings;
  std::istringstream lines(text);
  std::string line;
  int width = 0, height = 0;
  while (std::getline(lines, line)) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;  // sections, comments and blank lines
    std::string key = Trimmed(line.substr(0, equals));
    std::string value = Trimmed(line.substr(equals + 1));
    if (key == "scaling") {
      for (int i = 0; i < 3; ++i)
        if (value == kScalingNames[i]) settings.scaling = static_cast<PictureScaling>(i);
    } else if (key == "width") {
      ReadInteger(value, 1, kLargestSize, width);
    } else if (key == "height") {
      ReadInteger(value, 1, kLargestSize, height);
    } else if (key == "largest_start_scale") {
      ReadInteger(value, 1, 16, settings.largestStartScale);
    }
  }
  // A size is only worth anything as a pair.
  if (width > 0 && height > 0) {
    settings.width = width;
    settings.height = height;
  }
  return settings;
}

std::string FormatWindowSettings(const WindowSettings& settings) {
  std::string text = "[window]\nscaling=";
  text += kScalingNames[static_cast<int>(settings.scaling)];
  text += "\n";
  if (settings.width > 0 && settings.height > 0)
    text += "width=" + std::to_string(settings.width) + "\nheight=" + std::to_string(settings.height) + "\n";
  text += "largest_start_scale=" + std::to_string(settings.largestStartScale) + "\n";
  return text;
}

WindowSettings LoadWindowSettings() {
  std::string folder = ConfigFolder();
  std::string text;
  if (folder.empty() || !ReadWholeFile(folder + kWindowSettingsName, text, 4096)) return WindowSettings{};
  return ParseWindowSettings(text);
}

bool SaveWindowSettings(const WindowSettings& settings) {
  std::string folder = ConfigFolder();
  if (folder.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return false;
  std::string path = folder + kWindowSettingsName;
  std::string temporary = path + ".tmp" + std::to_string(getpid());
  std::string text = FormatWindowSettings(settings);
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  written = std::fclose(file) == 0 && written;
  if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace velmio
