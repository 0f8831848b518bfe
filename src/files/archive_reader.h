#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace velmio {

// The built-in archive reader that stands in for archive plug-ins which are not native shared
// objects: zip, lzh/lha, 7z, rar, cab, tar (plain or compressed) and whatever else it recognises.

enum class ArchiveResult : uint8_t {
  Extracted,   // the member was written to the destination
  NotFound,    // the archive is readable but has no such member
  Unreadable,  // missing, corrupt or of an unknown format; or the member could not be written
};

// Member names that could escape the folder they are extracted into: any ".." component, an
// absolute path or a drive letter ("C:"). Either separator counts.
bool UnsafeMemberName(std::string_view name);

// Looks for the member `wantedName` (Shift JIS, folders separated by backslashes; ASCII letter
// case ignored, as the archives' home platform does) and writes its contents to
// `destinationPath`. Members with unsafe names are never matched.
ArchiveResult ExtractArchiveMember(const std::string& archivePath, std::string_view wantedName,
                                   const std::string& destinationPath, std::string* problem = nullptr);
// True when the archive holds the member, matched as above; nothing is extracted or written.
bool ArchiveHoldsMember(const std::string& archivePath, std::string_view wantedName);
// The same with the largest member to extract (never more than the destination's free space).
ArchiveResult ExtractArchiveMember(const std::string& archivePath, std::string_view wantedName,
                                   const std::string& destinationPath, int64_t memberCap, std::string* problem);

}  // namespace velmio
