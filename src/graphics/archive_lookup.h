#pragma once
#include <string>
#include <string_view>

namespace velmio {

class GraphicsContext;

// Asks the registered archives, in registration order, for the file `name` (Shift JIS). The
// first archive that holds it extracts it into the runtime folder; the result is the path of
// that temporary copy, which the caller deletes when done, or "" when no archive supplies it.
std::string FindInArchives(GraphicsContext& engine, std::string_view name);

// Deletes a temporary copy made by FindInArchives when it goes out of scope.
class TemporaryCopy {
 public:
  TemporaryCopy() = default;
  explicit TemporaryCopy(std::string path) : path_(std::move(path)) {}
  ~TemporaryCopy();
  TemporaryCopy(const TemporaryCopy&) = delete;
  TemporaryCopy& operator=(const TemporaryCopy&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace velmio
