#include "archive/archive_paths.h"

#include <gtest/gtest.h>

namespace nuv {
namespace {

TEST(ArchivePaths, RelativeFileListPathsLieBelowTheDataDirectory) {
  EXPECT_EQ(FileListFullPath("/data", "ABC\\175641-05082009.BHZ"), "/data/ABC/175641-05082009.BHZ");
  EXPECT_EQ(FileListFullPath("/data/", "ABC/175641-05082009.BHZ"), "/data/ABC/175641-05082009.BHZ");
  // One leading backslash of older rows is dropped.
  EXPECT_EQ(FileListFullPath("/data", "\\ABC\\x.BHZ"), "/data/ABC/x.BHZ");
  // The default data directory "\" is the root.
  EXPECT_EQ(FileListFullPath("/", "ABC\\x.BHZ"), "/ABC/x.BHZ");
}

TEST(ArchivePaths, AbsoluteFileListPathsStayAsTheyAre) {
  EXPECT_EQ(FileListFullPath("/data", "//server/share/x.wfd"), "//server/share/x.wfd");
  EXPECT_EQ(FileListFullPath("/data", "\\\\server\\share\\x.wfd"), "//server/share/x.wfd");
  EXPECT_EQ(FileListFullPath("/data", "C:\\arc\\x.wfd"), "C:/arc/x.wfd");
  EXPECT_EQ(FileListFullPath("/data", "/srv/arc/x.wfd"), "/srv/arc/x.wfd");
  EXPECT_FALSE(IsAbsoluteFileListPath("ABC/x"));
  EXPECT_FALSE(IsAbsoluteFileListPath("\\ABC\\x"));
}

TEST(ArchivePaths, WfdiscDirectoriesGoThroughTheDirectoryMapFirst) {
  const DirectoryMap map = {{"/net/css/2009", "/mnt/css2009"}, {"arch", "/local/arch/"}};
  EXPECT_EQ(WfdiscFullPath("/data", map, "/net/css/2009", "a.w"), "/mnt/css2009/a.w");
  EXPECT_EQ(WfdiscFullPath("/data", map, "arch", "a.w"), "/local/arch/a.w");
  // The map matches the exact text only.
  EXPECT_EQ(WfdiscFullPath("/data", map, "Arch", "a.w"), "/data/Arch/a.w");
  EXPECT_EQ(WfdiscFullPath("/data", map, "sub\\dir", "a.w"), "/data/sub/dir/a.w");
  EXPECT_EQ(WfdiscFullPath("/data", map, ".", "a.w"), "/data/./a.w");
  // An unmapped absolute directory is used as it is.
  EXPECT_EQ(WfdiscFullPath("/data", map, "/other/css", "a.w"), "/other/css/a.w");
}

TEST(ArchivePaths, DirectoryAndBareNameSplitAtEitherSeparator) {
  EXPECT_EQ(DirectoryOf("C:\\css\\x.wfdisc"), "C:\\css\\");
  EXPECT_EQ(DirectoryOf("/css/x.wfdisc"), "/css/");
  EXPECT_EQ(DirectoryOf("x.wfdisc"), "");
  EXPECT_EQ(BareFileName("ABC/175641-05082009.BHZ"), "175641-05082009.BHZ");
  EXPECT_EQ(BareFileName("ABC\\x"), "x");
}

TEST(ArchivePaths, OnlyARealFolderIsADataDirectory) {
  EXPECT_FALSE(HasDataDirectory(""));
  EXPECT_FALSE(HasDataDirectory("/"));
  EXPECT_FALSE(HasDataDirectory("\\"));
  EXPECT_FALSE(HasDataDirectory(" // "));
  EXPECT_TRUE(HasDataDirectory("/data"));
  EXPECT_TRUE(HasDataDirectory("D:\\data"));
  EXPECT_TRUE(HasDataDirectory("data"));
}

}  // namespace
}  // namespace nuv
