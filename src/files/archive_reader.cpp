#include "files/archive_reader.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>

#include "base/encoding.h"
#include "files/file_reading.h"

namespace velmio {
namespace {

// The most a member may take in the runtime folder, which often lives in memory: no picture a
// game ships comes near it, and a member growing past it is a decompression bomb.
constexpr int64_t kMaxMemberSize = int64_t{256} * 1024 * 1024;
// Left free beside an extracted member, so that filling the folder never starves the session.
constexpr int64_t kFreeSpaceReserve = int64_t{16} * 1024 * 1024;

// What one member may take in `folder`: the cap, or less when the folder has less room.
int64_t MemberCap(const std::string& destinationPath, int64_t cap) {
  size_t slash = destinationPath.rfind('/');
  std::string folder = slash == std::string::npos ? "." : destinationPath.substr(0, slash + 1);
  struct statvfs space;
  if (statvfs(folder.c_str(), &space) != 0) return cap;
  int64_t available = static_cast<int64_t>(space.f_bavail) * static_cast<int64_t>(space.f_frsize) - kFreeSpaceReserve;
  return std::max<int64_t>(0, std::min(cap, available));
}

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return descriptor_; }

 private:
  int descriptor_;
};

struct ArchiveDeleter {
  void operator()(archive* reader) const { archive_read_free(reader); }
};

// Backslashes as separators, ASCII letters in upper case, a leading ".\" dropped. With `sjis`, the
// second byte of a two-byte character is left alone (it may look like a letter or a backslash).
std::string Comparable(std::string_view name, bool sjis) {
  std::string result;
  result.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (sjis && IsLeadByte(c) && i + 1 < name.size()) {
      result.push_back(static_cast<char>(c));
      result.push_back(name[++i]);
      continue;
    }
    if (c == '/') c = '\\';
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
    result.push_back(static_cast<char>(c));
  }
  while (result.size() > 2 && result[0] == '.' && result[1] == '\\') result.erase(0, 2);
  return result;
}

// The reader turns names stored in a legacy code page into the current locale's multibyte text,
// which the program's "C" locale cannot hold. Reading runs under a UTF-8 character type, for the
// calling thread only.
class Utf8CharacterType {
 public:
  Utf8CharacterType() {
    static locale_t utf8 = [] {
      locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
      if (made == static_cast<locale_t>(0)) made = newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(0));
      return made;
    }();
    if (utf8 != static_cast<locale_t>(0)) previous_ = uselocale(utf8);
  }
  ~Utf8CharacterType() {
    if (previous_ != static_cast<locale_t>(0)) uselocale(previous_);
  }
  Utf8CharacterType(const Utf8CharacterType&) = delete;
  Utf8CharacterType& operator=(const Utf8CharacterType&) = delete;

 private:
  locale_t previous_ = static_cast<locale_t>(0);
};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string TooLarge(int64_t cap) {
  return "member larger than " + std::to_string(cap) + " bytes (the most an extracted file may take here); not extracted";
}

// Streams the member to the file block by block, and stops as soon as it grows past `cap`.
bool WriteMember(archive* reader, const std::string& destinationPath, int64_t size, int64_t cap, std::string* problem) {
  if (size > cap) {
    if (problem) *problem = TooLarge(cap);
    return false;
  }
  int file = open(destinationPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (file < 0) {
    if (problem) *problem = "cannot create " + destinationPath;
    return false;
  }
  bool ok = true;
  for (;;) {
    const void* block;
    size_t length;
    la_int64_t offset;
    int status = archive_read_data_block(reader, &block, &length, &offset);
    if (status == ARCHIVE_EOF) break;
    if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
      if (problem) *problem = archive_error_string(reader) ? archive_error_string(reader) : "read error";
      ok = false;
      break;
    }
    // Sparse members come with offsets; write each block where it belongs.
    if (offset < 0 || offset > cap || static_cast<int64_t>(length) > cap - offset) {
      if (problem) *problem = TooLarge(cap);
      ok = false;
      break;
    }
    if (lseek(file, offset, SEEK_SET) < 0) {
      ok = false;
      break;
    }
    const char* bytes = static_cast<const char*>(block);
    while (length > 0) {
      ssize_t count = write(file, bytes, length);
      if (count <= 0) {
        ok = false;
        break;
      }
      bytes += count;
      length -= static_cast<size_t>(count);
    }
    if (!ok) break;
  }
  if (close(file) != 0) ok = false;
  if (!ok) unlink(destinationPath.c_str());
  return ok;
}

}  // namespace

bool UnsafeMemberName(std::string_view name) {
  if (name.empty()) return true;
  if (IsSeparator(name[0])) return true;
  if (name.size() >= 2 && name[1] == ':' && ((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z')) return true;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    if (name.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

ArchiveResult ExtractArchiveMember(const std::string& archivePath, std::string_view wantedName,
                                   const std::string& destinationPath, std::string* problem) {
  return ExtractArchiveMember(archivePath, wantedName, destinationPath, kMaxMemberSize, problem);
}

bool ArchiveHoldsMember(const std::string& archivePath, std::string_view wantedName) {
  return ExtractArchiveMember(archivePath, wantedName, std::string(), 0, nullptr) == ArchiveResult::Extracted;
}

ArchiveResult ExtractArchiveMember(const std::string& archivePath, std::string_view wantedName,
                                   const std::string& destinationPath, int64_t memberCap, std::string* problem) {
  // A named pipe or a device must not block the program or feed it without end.
  Descriptor archiveFile(OpenRegularFile(archivePath));
  if (archiveFile.get() < 0) {
    if (problem) *problem = "not a readable regular file";
    return ArchiveResult::Unreadable;
  }
  Utf8CharacterType characterType;
  std::unique_ptr<archive, ArchiveDeleter> reader(archive_read_new());
  if (!reader) return ArchiveResult::Unreadable;
  archive_read_support_filter_all(reader.get());
  archive_read_support_format_all(reader.get());
  // LZH headers carry no code page; the archives games ship were made with Shift JIS names.
  archive_read_set_format_option(reader.get(), "lha", "hdrcharset", "CP932");
  if (archive_read_open_fd(reader.get(), archiveFile.get(), 64 * 1024) != ARCHIVE_OK) {
    if (problem) *problem = archive_error_string(reader.get()) ? archive_error_string(reader.get()) : "cannot open";
    return ArchiveResult::Unreadable;
  }
  const std::string wantedSjis = Comparable(wantedName, true);
  const std::string wantedUtf8 = Comparable(ShiftJisToUtf8(wantedName), false);
  for (;;) {
    archive_entry* entry;
    int status = archive_read_next_header(reader.get(), &entry);
    if (status == ARCHIVE_EOF) return ArchiveResult::NotFound;
    if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
      if (problem) *problem = archive_error_string(reader.get()) ? archive_error_string(reader.get()) : "corrupt";
      return ArchiveResult::Unreadable;
    }
    if (archive_entry_filetype(entry) != AE_IFREG) continue;
    // The stored name as it is (Shift JIS or UTF-8 bytes) and as UTF-8 when the archive says
    // which code page it uses.
    const char* raw = archive_entry_pathname(entry);
    const char* utf8 = archive_entry_pathname_utf8(entry);
    bool matches = false;
    bool unsafe = false;
    if (raw != nullptr) {
      unsafe = unsafe || UnsafeMemberName(raw);
      matches = matches || Comparable(raw, true) == wantedSjis || Comparable(raw, false) == wantedUtf8;
    }
    if (utf8 != nullptr) {
      unsafe = unsafe || UnsafeMemberName(utf8);
      matches = matches || Comparable(utf8, false) == wantedUtf8;
    }
    if (!matches || unsafe) continue;
    if (destinationPath.empty()) return ArchiveResult::Extracted;  // only asked whether it is there
    int64_t size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
    return WriteMember(reader.get(), destinationPath, size, MemberCap(destinationPath, memberCap), problem) ? ArchiveResult::Extracted
                                                                     : ArchiveResult::Unreadable;
  }
}

}  // namespace velmio
