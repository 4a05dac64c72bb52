#include "platform/settings_store.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/file_write.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

// Percent-encoding of the characters that carry structure in the file.
std::string Escape(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '%' || c == '=' || c == '[' || c == ']' || c < 0x20) {
      out += StrFormat("%%%02X", c);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string Hex(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) out += StrFormat("%02x", c);
  return out;
}

std::string Unhex(std::string_view hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return out;
}

std::string ParentOf(const std::string& key) {
  const size_t slash = key.rfind('\\');
  return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path file) : file_(std::move(file)) {
  Reload();
}

std::string SettingsStore::Normalize(std::string_view key) {
  std::string out;
  for (char c : key) {
    if (c == '/') c = '\\';
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out.push_back(c);
  }
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

void SettingsStore::Reload() const {
  if (pending_) return;  // the batch's changes are not thrown away
  std::error_code ec;
  const auto size = std::filesystem::file_size(file_, ec);
  if (ec) {
    if (loadedSize_ != static_cast<uintmax_t>(-1)) keys_.clear();
    loadedSize_ = static_cast<uintmax_t>(-1);
    return;
  }
  const auto time = std::filesystem::last_write_time(file_, ec);
  if (size == loadedSize_ && time == loadedTime_) return;
  keys_.clear();
  std::ifstream in(file_, std::ios::binary);
  std::string line;
  Key* current = nullptr;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string name = Normalize(Unescape(line.substr(1, line.size() - 2)));
      Key& key = keys_[ToUpperAscii(name)];
      key.name = name;
      current = &key;
      continue;
    }
    const size_t eq = line.find('=');
    if (!current || line.size() < 3 || line[1] != ' ' || eq == std::string::npos) continue;
    const std::string name = Unescape(line.substr(2, eq - 2));
    Value value;
    value.binary = line[0] == 'b';
    const std::string_view raw = std::string_view(line).substr(eq + 1);
    value.data = value.binary ? Unhex(raw) : Unescape(raw);
    current->values[ToUpperAscii(name)] = value;
    current->valueNames[ToUpperAscii(name)] = name;
  }
  loadedSize_ = size;
  loadedTime_ = time;
}

bool SettingsStore::EndBatch() {
  if (batch_ == 0 || --batch_ > 0 || !pending_) return true;
  pending_ = false;
  return Save();
}

bool SettingsStore::Save() {
  if (batch_ > 0) {
    pending_ = true;
    return true;
  }
  std::ostringstream out;
  for (const auto& [upper, key] : keys_) {
    out << '[' << Escape(key.name) << "]\n";
    for (const auto& [valueUpper, value] : key.values) {
      out << (value.binary ? "b " : "s ") << Escape(key.valueNames.at(valueUpper)) << '='
          << (value.binary ? Hex(value.data) : Escape(value.data)) << '\n';
    }
  }
  std::error_code ec;
  if (!ReplaceFile(file_, out.str())) {
    // The change did not reach the file: the next read takes the file as it
    // is, so nothing looks saved that was not.
    loadedSize_ = kUnsaved;
    return false;
  }
  loadedSize_ = std::filesystem::file_size(file_, ec);
  loadedTime_ = std::filesystem::last_write_time(file_, ec);
  return true;
}

const SettingsStore::Key* SettingsStore::FindKey(std::string_view key) const {
  Reload();
  const auto it = keys_.find(ToUpperAscii(Normalize(key)));
  return it == keys_.end() ? nullptr : &it->second;
}

SettingsStore::Key& SettingsStore::EnsureKey(std::string_view key) {
  Reload();
  const std::string name = Normalize(key);
  for (std::string path = name; !path.empty(); path = ParentOf(path)) {
    Key& entry = keys_[ToUpperAscii(path)];
    if (entry.name.empty()) entry.name = path;
  }
  return keys_[ToUpperAscii(name)];
}

bool SettingsStore::KeyExists(std::string_view key) const {
  return FindKey(key) != nullptr;
}

bool SettingsStore::CreateKey(std::string_view key) {
  EnsureKey(key);
  return Save();
}

bool SettingsStore::DeleteKey(std::string_view key) {
  Reload();
  const std::string upper = ToUpperAscii(Normalize(key));
  if (upper.empty() || !keys_.count(upper)) return false;
  const std::string prefix = upper + "\\";
  for (auto it = keys_.begin(); it != keys_.end();) {
    if (it->first == upper || it->first.starts_with(prefix)) {
      it = keys_.erase(it);
    } else {
      ++it;
    }
  }
  return Save();
}

std::vector<std::string> SettingsStore::SubKeys(std::string_view key) const {
  Reload();
  const std::string upper = ToUpperAscii(Normalize(key));
  const std::string prefix = upper.empty() ? std::string() : upper + "\\";
  std::vector<std::string> names;
  for (const auto& [path, entry] : keys_) {
    if (!path.starts_with(prefix) || path == upper) continue;
    const std::string rest = path.substr(prefix.size());
    if (rest.find('\\') != std::string::npos) continue;
    names.push_back(entry.name.substr(entry.name.size() - rest.size()));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return ToUpperAscii(a) < ToUpperAscii(b);
  });
  return names;
}

std::vector<std::string> SettingsStore::ValueNames(std::string_view key) const {
  std::vector<std::string> names;
  if (const Key* entry = FindKey(key))
    for (const auto& [upper, name] : entry->valueNames) names.push_back(name);
  return names;
}

std::optional<SettingsStore::Value> SettingsStore::GetValue(std::string_view key,
                                                            std::string_view name) const {
  const Key* entry = FindKey(key);
  if (!entry) return std::nullopt;
  const auto it = entry->values.find(ToUpperAscii(name));
  if (it == entry->values.end()) return std::nullopt;
  return it->second;
}

bool SettingsStore::SetValue(std::string_view key, std::string_view name, Value value) {
  Key& entry = EnsureKey(key);
  const std::string upper = ToUpperAscii(name);
  entry.values[upper] = std::move(value);
  entry.valueNames[upper] = std::string(name);
  return Save();
}

std::optional<std::string> SettingsStore::GetString(std::string_view key,
                                                    std::string_view name) const {
  auto value = GetValue(key, name);
  if (!value || value->binary) return std::nullopt;
  return value->data;
}

bool SettingsStore::SetString(std::string_view key, std::string_view name, std::string_view value) {
  return SetValue(key, name, Value{false, std::string(value)});
}

std::optional<std::vector<uint8_t>> SettingsStore::GetBinary(std::string_view key,
                                                             std::string_view name) const {
  auto value = GetValue(key, name);
  if (!value || !value->binary) return std::nullopt;
  return std::vector<uint8_t>(value->data.begin(), value->data.end());
}

bool SettingsStore::SetBinary(std::string_view key, std::string_view name,
                              const std::vector<uint8_t>& bytes) {
  return SetValue(key, name, Value{true, std::string(bytes.begin(), bytes.end())});
}

std::optional<double> SettingsStore::GetDouble(std::string_view key, std::string_view name) const {
  auto bytes = GetBinary(key, name);
  if (!bytes || bytes->size() != sizeof(double)) return std::nullopt;
  double value;
  std::memcpy(&value, bytes->data(), sizeof value);
  return value;
}

bool SettingsStore::SetDouble(std::string_view key, std::string_view name, double value) {
  std::vector<uint8_t> bytes(sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
  return SetBinary(key, name, bytes);
}

std::optional<int32_t> SettingsStore::GetInt(std::string_view key, std::string_view name) const {
  auto bytes = GetBinary(key, name);
  if (!bytes || bytes->size() != sizeof(int32_t)) return std::nullopt;
  int32_t value;
  std::memcpy(&value, bytes->data(), sizeof value);
  return value;
}

bool SettingsStore::SetInt(std::string_view key, std::string_view name, int32_t value) {
  std::vector<uint8_t> bytes(sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
  return SetBinary(key, name, bytes);
}

bool SettingsStore::DeleteValue(std::string_view key, std::string_view name) {
  Reload();
  const auto it = keys_.find(ToUpperAscii(Normalize(key)));
  if (it == keys_.end()) return false;
  const std::string upper = ToUpperAscii(name);
  if (!it->second.values.erase(upper)) return false;
  it->second.valueNames.erase(upper);
  return Save();
}

}  // namespace nuv
