// Every unit test process runs apart from the machine and the user: fonts from the tests' own
// fontconfig file, and empty XDG folders of its own, removed at exit.
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class TestEnvironment {
 public:
  TestEnvironment() {
    setenv("FONTCONFIG_FILE", VELMIO_TEST_FONTS_CONF, 1);
    std::string pattern = (std::filesystem::temp_directory_path() / "velmio-xdg-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    root_ = pattern;
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
      const std::filesystem::path folder = root_ / variable;
      std::filesystem::create_directory(folder);
      std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
      setenv(variable, folder.c_str(), 1);
    }
  }
  ~TestEnvironment() {
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
  }

 private:
  std::filesystem::path root_;
};

const TestEnvironment environment;

}  // namespace
