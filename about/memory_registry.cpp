#include "about/memory_registry.h"

#include <algorithm>
#include <cctype>

#include "ui/text.h"

namespace about {
namespace {

constexpr long kInvalidHandle = 6;
// Rights beyond reading: set value, create subkey, create link, and the
// generic and standard write rights.
constexpr std::uint32_t kWriteRights =
    0x0002 | 0x0004 | 0x0020 | 0x40000 | 0x80000 | 0x40000000 | 0x10000000 | 0x00010000;

}  // namespace

std::string MemoryRegistry::lower(std::string_view text) {
  std::string folded(text);
  std::transform(folded.begin(), folded.end(), folded.begin(), [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  });
  return folded;
}

std::string MemoryRegistry::fold(RegistryKey root, std::string_view path) {
  return ui::decimal(static_cast<long long>(root)) + ":" + lower(path);
}

void MemoryRegistry::plantKey(RegistryKey root, std::string_view key, bool writeProtected) {
  keys_[fold(root, key)].writeProtected = writeProtected;
}

void MemoryRegistry::plant(RegistryKey root, std::string_view key, std::string_view name,
                           Value value) {
  keys_[fold(root, key)].values[lower(name)] = std::move(value);
}

void MemoryRegistry::plantString(RegistryKey root, std::string_view key, std::string_view name,
                                 std::string_view text) {
  Value value{.type = kString, .bytes = {text.begin(), text.end()}};
  value.bytes.push_back(0);
  plant(root, key, name, std::move(value));
}

void MemoryRegistry::plantNumber(RegistryKey root, std::string_view key, std::string_view name,
                                 std::uint32_t number) {
  Value value{.type = kNumber, .bytes = {}};
  for (int byte = 0; byte < 4; ++byte) {
    value.bytes.push_back(static_cast<std::uint8_t>(number >> (8 * byte)));
  }
  plant(root, key, name, std::move(value));
}

long MemoryRegistry::openKey(RegistryKey root, const std::string& subKey, std::uint32_t /*options*/,
                             std::uint32_t access, RegistryKey& key) {
  asked_.push_back(subKey);
  access_.push_back(access);
  const auto found = keys_.find(fold(root, subKey));
  if (found == keys_.end()) {
    return kFileNotFound;
  }
  if (found->second.writeProtected && (access & kWriteRights) != 0) {
    return kAccessDenied;
  }
  key = nextHandle_++;
  handles_.emplace(key, &found->second);
  return kSuccess;
}

long MemoryRegistry::queryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                                std::span<std::uint8_t> data, std::uint32_t& size) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) {
    return kInvalidHandle;
  }
  const auto found = handle->second->values.find(lower(valueName));
  if (found == handle->second->values.end()) {
    return kFileNotFound;
  }
  const Value& value = found->second;
  const auto stored = static_cast<std::uint32_t>(value.bytes.size());
  const std::uint32_t room = std::min<std::uint32_t>(size, static_cast<std::uint32_t>(data.size()));
  type = value.type;
  if (stored > room) {
    size = stored;
    return kMoreData;
  }
  std::copy(value.bytes.begin(), value.bytes.end(), data.begin());
  if (value.type == kString && (stored == 0 || value.bytes.back() != 0) && stored < room) {
    data[stored] = 0;
  }
  size = value.reportedSize.value_or(stored);
  return kSuccess;
}

long MemoryRegistry::closeKey(RegistryKey key) {
  return handles_.erase(key) == 1 ? kSuccess : kInvalidHandle;
}

}  // namespace about
