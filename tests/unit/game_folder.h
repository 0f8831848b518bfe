#pragma once
// A throw-away game folder for tests that read files: the test runs inside it (the game folder
// is the working folder) with its own runtime, data and configuration folders ("runtime", "data"
// and "config" beside it), and all are removed afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace velmio::testing {

class GameFolder {
 public:
  GameFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmio-test-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    std::filesystem::create_directory(root_ / "game");
    std::filesystem::create_directory(root_ / "runtime");
    std::filesystem::permissions(root_ / "runtime", std::filesystem::perms::owner_all);
    for (const auto& [variable, folder] : kFolders) {
      const char* value = std::getenv(variable);
      saved_.push_back(value != nullptr ? std::optional<std::string>(value) : std::nullopt);
      setenv(variable, (root_ / folder).c_str(), 1);
    }
    savedFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(root_ / "game");
  }
  ~GameFolder() {
    std::filesystem::current_path(savedFolder_);
    for (size_t i = 0; i < std::size(kFolders); ++i) {
      if (saved_[i]) {
        setenv(kFolders[i].first, saved_[i]->c_str(), 1);
      } else {
        unsetenv(kFolders[i].first);
      }
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  GameFolder(const GameFolder&) = delete;
  GameFolder& operator=(const GameFolder&) = delete;

  static void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  static void Write(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
  }
  // The files left in the runtime folder's velmio folder (extracted copies that were not deleted).
  std::vector<std::string> RuntimeFiles() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root_ / "runtime" / "velmio", error))
      names.push_back(entry.path().filename().string());
    return names;
  }

 private:
  static constexpr std::pair<const char*, const char*> kFolders[] = {
      {"XDG_RUNTIME_DIR", "runtime"}, {"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", "config"}};
  std::filesystem::path root_;
  std::filesystem::path savedFolder_;
  std::vector<std::optional<std::string>> saved_;
};

}  // namespace velmio::testing
