#include "files/archive_reader.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <unistd.h>

#include <memory>

#include "base/encoding.h"

namespace velmio {
namespace {

// A member bigger than this is refused rather than written into the runtime folder, which often
// lives in memory.
constexpr int64_t kMaxMemberSize = int64_t{2} * 1024 * 1024 * 1024;

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

bool WriteMember(archive* reader, const std::string& destinationPath, int64_t size, std::string* problem) {
  if (size > kMaxMemberSize) {
    if (problem) *problem = "member too large";
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
    if (offset + static_cast<int64_t>(length) > kMaxMemberSize || lseek(file, offset, SEEK_SET) < 0) {
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
  Utf8CharacterType characterType;
  std::unique_ptr<archive, ArchiveDeleter> reader(archive_read_new());
  if (!reader) return ArchiveResult::Unreadable;
  archive_read_support_filter_all(reader.get());
  archive_read_support_format_all(reader.get());
  // LZH headers carry no code page; the archives games ship were made with Shift JIS names.
  archive_read_set_format_option(reader.get(), "lha", "hdrcharset", "CP932");
  if (archive_read_open_filename(reader.get(), archivePath.c_str(), 64 * 1024) != ARCHIVE_OK) {
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
    int64_t size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
    return WriteMember(reader.get(), destinationPath, size, problem) ? ArchiveResult::Extracted
                                                                     : ArchiveResult::Unreadable;
  }
}

}  // namespace velmio
