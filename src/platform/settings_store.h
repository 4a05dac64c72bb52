#pragma once
// The per-user settings store that stands in for the registry. Keys are paths
// with backslash separators ("NUV\Time\ABC\BHZ"), compared without regard to
// letter case; a key holds named string and binary values and subkeys.
// Everything lives in one text file that is rewritten (atomically) on every
// change, so nothing waits for the end of the run; the file is read again
// when another process has changed it.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {

class SettingsStore {
 public:
  explicit SettingsStore(std::filesystem::path file);

  const std::filesystem::path& file() const { return file_; }

  bool KeyExists(std::string_view key) const;
  // Creates the key and its parents. Returns false when the file cannot be written.
  bool CreateKey(std::string_view key);
  // Deletes the key with every subkey and value. Returns false when it did not exist.
  bool DeleteKey(std::string_view key);
  // Names of the direct subkeys, in name order (case-insensitive).
  std::vector<std::string> SubKeys(std::string_view key) const;
  std::vector<std::string> ValueNames(std::string_view key) const;

  std::optional<std::string> GetString(std::string_view key, std::string_view name) const;
  bool SetString(std::string_view key, std::string_view name, std::string_view value);

  std::optional<std::vector<uint8_t>> GetBinary(std::string_view key, std::string_view name) const;
  bool SetBinary(std::string_view key, std::string_view name, const std::vector<uint8_t>& bytes);

  // An 8-byte binary value holding a double (native byte order, as stored by
  // the original program); nullopt when absent or of another size.
  std::optional<double> GetDouble(std::string_view key, std::string_view name) const;
  bool SetDouble(std::string_view key, std::string_view name, double value);

  // A 4-byte binary value holding a signed integer.
  std::optional<int32_t> GetInt(std::string_view key, std::string_view name) const;
  bool SetInt(std::string_view key, std::string_view name, int32_t value);

  bool DeleteValue(std::string_view key, std::string_view name);

  // While a batch is open, changes stay in memory (and are what reads
  // return); the outermost batch writes them in one rewrite when it closes.
  // Many small changes in a row (the windows of every pane after a shift)
  // then cost one write instead of one each.
  class Batch {
   public:
    explicit Batch(SettingsStore& store) : store_(store) { ++store_.batch_; }
    ~Batch() { store_.EndBatch(); }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    SettingsStore& store_;
  };

 private:
  struct Value {
    bool binary = false;
    std::string data;  // text, or the raw bytes of a binary value
  };
  struct Key {
    std::string name;                     // as first created (letter case kept)
    std::map<std::string, Value> values;  // by upper-cased name
    std::map<std::string, std::string> valueNames;
  };

  void Reload() const;
  bool Save();
  // Closes a batch; the outermost writes what changed (false when that fails).
  bool EndBatch();
  static std::string Normalize(std::string_view key);
  const Key* FindKey(std::string_view key) const;
  Key& EnsureKey(std::string_view key);
  std::optional<Value> GetValue(std::string_view key, std::string_view name) const;
  bool SetValue(std::string_view key, std::string_view name, Value value);

  // loadedSize_ after a failed save: never a real size, so the file is read again.
  static constexpr uintmax_t kUnsaved = static_cast<uintmax_t>(-2);

  std::filesystem::path file_;
  mutable std::map<std::string, Key> keys_;  // by normalised (upper-case) path
  mutable std::filesystem::file_time_type loadedTime_{};
  mutable uintmax_t loadedSize_ = static_cast<uintmax_t>(-1);
  int batch_ = 0;
  bool pending_ = false;  // changes of an open batch not written yet
};

}  // namespace nuv
