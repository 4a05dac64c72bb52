// The subsystems stand in one declared order, lowest first, written in the
// README's code map. A core folder includes only core folders at or below
// its own height and never a ui/ header; a ui/ folder may use every core
// folder and the ui/ folders at or below its own height.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSourceRoot = fs::path(NUV_SOURCE_DIR) / "src";

// The order from the README line "Order, lowest first: a → b → ...".
std::vector<std::string> DeclaredOrder() {
  std::ifstream readme(fs::path(NUV_SOURCE_DIR) / "README.md");
  std::string line;
  const std::string marker = "Order, lowest first:";
  while (std::getline(readme, line)) {
    const auto at = line.find(marker);
    if (at == std::string::npos) continue;
    std::vector<std::string> order;
    static const std::regex word("[a-z]+");
    const std::string rest = line.substr(at + marker.size());
    for (std::sregex_iterator it(rest.begin(), rest.end(), word), end; it != end; ++it)
      order.push_back(it->str());
    return order;
  }
  return {};
}

int Height(const std::vector<std::string>& order, const std::string& folder) {
  for (size_t i = 0; i < order.size(); ++i)
    if (order[i] == folder) return static_cast<int>(i);
  return -1;
}

struct Include {
  std::string folder;  // subsystem folder of the included header
  bool ui = false;     // the header lies in that folder's ui/
};

std::vector<Include> ProjectIncludes(const fs::path& file) {
  std::vector<Include> found;
  std::ifstream in(file);
  std::string line;
  static const std::regex include(R"(^\s*#\s*include\s+"([a-z_]+)/(ui/)?[^"]+")");
  while (std::getline(in, line)) {
    std::smatch m;
    if (std::regex_search(line, m, include)) found.push_back({m[1].str(), m[2].matched});
  }
  return found;
}

TEST(IncludeOrder, ReadmeDeclaresEverySubsystemFolder) {
  const auto order = DeclaredOrder();
  ASSERT_FALSE(order.empty()) << "README.md has no \"Order, lowest first:\" line";
  for (const auto& entry : fs::directory_iterator(kSourceRoot)) {
    if (!entry.is_directory()) continue;
    const std::string name = entry.path().filename().string();
    EXPECT_GE(Height(order, name), 0) << "src/" << name << " is missing from the README's order";
  }
}

TEST(IncludeOrder, NoFolderIncludesOneAboveIt) {
  const auto order = DeclaredOrder();
  ASSERT_FALSE(order.empty());
  std::ostringstream violations;
  for (const auto& entry : fs::recursive_directory_iterator(kSourceRoot)) {
    const auto ext = entry.path().extension();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
    const fs::path rel = fs::relative(entry.path(), kSourceRoot);
    const std::string folder = rel.begin()->string();
    const bool inUi =
        std::next(rel.begin()) != rel.end() && std::next(rel.begin())->string() == "ui";
    const int height = Height(order, folder);
    for (const Include& inc : ProjectIncludes(entry.path())) {
      const int target = Height(order, inc.folder);
      if (target < 0) {
        violations << rel.string() << ": includes unknown folder " << inc.folder << "\n";
      } else if (!inUi && inc.ui) {
        violations << rel.string() << ": core file includes " << inc.folder << "/ui\n";
      } else if (inc.ui || !inUi) {
        // Same-tier include: must not point upward.
        if (target > height)
          violations << rel.string() << ": includes " << inc.folder << (inc.ui ? "/ui" : "")
                     << ", which stands above " << folder << "\n";
      }
    }
  }
  EXPECT_EQ(violations.str(), "");
}

}  // namespace
