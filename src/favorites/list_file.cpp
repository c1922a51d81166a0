#include "favorites/list_file.h"

#include <algorithm>

#include "common/text.h"

namespace orv {

namespace {

bool list_file_loaded = false;

void PutU16(std::string& out, size_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutI32(std::string& out, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((u >> shift) & 0xFF));
}

void PutText(std::string& out, const std::string& text) {
  PutU16(out, text.size());
  out += text;
}

// Every read checks what is left, so a count in a hostile file can never
// make us read past its end or reserve more than it could hold.
class Reader {
 public:
  Reader(std::string_view bytes, size_t pos) : bytes_(bytes), pos_(pos) {}
  size_t Left() const { return bytes_.size() - pos_; }

  bool U16(uint16_t& value) {
    if (Left() < 2) return false;
    value = static_cast<uint16_t>(Byte(0) | (Byte(1) << 8));
    pos_ += 2;
    return true;
  }
  bool I32(int32_t& value) {
    if (Left() < 4) return false;
    const uint32_t u = Byte(0) | (Byte(1) << 8) | (Byte(2) << 16) | (static_cast<uint32_t>(Byte(3)) << 24);
    value = static_cast<int32_t>(u);
    pos_ += 4;
    return true;
  }
  bool Text(std::string& text) {
    uint16_t length = 0;
    if (!U16(length) || Left() < length) return false;
    std::string_view raw = bytes_.substr(pos_, length);
    pos_ += length;
    // The whole length is consumed; only the part before a NUL is kept.
    raw = raw.substr(0, raw.find('\0'));
    text = IsValidUtf8(raw) ? std::string(raw) : Cp1252ToUtf8(raw);
    // Decoding may make a text longer than a list file can hold; such a text
    // is cut at a character, so that a list read can always be written back.
    if (text.size() > kMaxListTextBytes) {
      size_t end = kMaxListTextBytes;
      while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
      text.resize(end);
    }
    return true;
  }

 private:
  uint32_t Byte(size_t i) const { return static_cast<unsigned char>(bytes_[pos_ + i]); }
  std::string_view bytes_;
  size_t pos_;
};

// The smallest record: sub-item count, image index and caption length.
constexpr size_t kMinRecordBytes = 2 + 4 + 2;
constexpr size_t kMinTextBytes = 2;

// The start of a caption for a message, not cut inside a UTF-8 sequence.
std::string Excerpt(const std::string& text, size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  size_t end = max_bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end) + "...";
}

}  // namespace

std::string SerializeListFile(const ListEntries& list) {
  if (list.size() > kMaxListEntries) {
    throw ListFileLimitError("The list holds " + std::to_string(list.size()) +
                             " entries; a list file holds at most 65535.");
  }
  size_t total = 5;
  for (size_t i = 0; i < list.size(); ++i) {
    const ListEntry& e = list[i];
    const std::string which = "Entry " + std::to_string(i + 1) + " (\"" + Excerpt(e.caption, 40) + "\")";
    if (e.sub_items.size() > kMaxListSubItems) {
      throw ListFileLimitError(which + " has more than 65535 columns; a list file cannot hold it.");
    }
    total += kMinRecordBytes + e.caption.size();
    bool too_long = e.caption.size() > kMaxListTextBytes;
    for (const std::string& s : e.sub_items) {
      too_long = too_long || s.size() > kMaxListTextBytes;
      total += kMinTextBytes + s.size();
    }
    if (too_long) {
      throw ListFileLimitError(which +
                               " has a text longer than 65535 bytes; a list file cannot hold it.");
    }
  }
  if (total > kMaxListFileBytes) {
    throw ListFileLimitError("The list is larger than a list file may be (256 MiB).");
  }
  std::string out;
  out.reserve(total);
  out += "LVF";
  PutU16(out, list.size());
  for (const ListEntry& e : list) {
    PutU16(out, e.sub_items.size());
    PutI32(out, e.image_index);
    PutText(out, e.caption);
    for (const std::string& s : e.sub_items) PutText(out, s);
  }
  return out;
}

ListFileRead ParseListFile(std::string_view bytes) {
  ListFileRead result;
  if (bytes.size() < 3 || bytes.substr(0, 3) != "LVF" || bytes.size() > kMaxListFileBytes) {
    result.status = ListFileStatus::kNotListFile;
    return result;
  }
  Reader in(bytes, 3);
  uint16_t count = 0;
  if (!in.U16(count)) {
    result.status = ListFileStatus::kTruncated;
    return result;
  }
  result.entries.reserve(std::min<size_t>(count, in.Left() / kMinRecordBytes));
  for (uint16_t i = 0; i < count; ++i) {
    ListEntry entry;
    uint16_t sub_count = 0;
    bool complete = in.U16(sub_count) && in.I32(entry.image_index) && in.Text(entry.caption);
    if (complete) {
      entry.sub_items.reserve(std::min<size_t>(sub_count, in.Left() / kMinTextBytes));
      for (uint16_t s = 0; complete && s < sub_count; ++s) {
        std::string text;
        complete = in.Text(text);
        if (complete) entry.sub_items.push_back(std::move(text));
      }
    }
    if (!complete) {
      // A half-read entry would show made-up values; the complete ones stay.
      result.status = ListFileStatus::kTruncated;
      return result;
    }
    result.entries.push_back(std::move(entry));
  }
  return result;
}

std::string ListFileMessage(ListFileStatus status, const std::string& file_name) {
  switch (status) {
    case ListFileStatus::kLoaded:
      return "";
    case ListFileStatus::kMissing:
      return "File \"" + file_name + "\" does not exist!";
    case ListFileStatus::kNotListFile:
    case ListFileStatus::kTruncated:
      return "\"" + file_name + "\" is not a ListView file!";
    case ListFileStatus::kUnreadable:
      return "File \"" + file_name + "\" cannot be read!";
  }
  return "";
}

bool ListFileLoaded() { return list_file_loaded; }
void SetListFileLoaded() { list_file_loaded = true; }

}  // namespace orv
