// One running copy per user: a second start ends at once and silently.

#include <QProcess>
#include <QProcessEnvironment>

#include "app/ui/nuv_app.h"
#include "frame_fixture.h"

namespace nuv::test {
namespace {

TEST(SingleInstance, SecondLockOnTheSameSettingsFails) {
  FrameTestApp();
  TempDir dir;
  SingleInstanceLock first(dir / "settings");
  ASSERT_TRUE(first.Acquire());
  EXPECT_TRUE(std::filesystem::exists(first.path()));
  SingleInstanceLock second(dir / "settings");
  EXPECT_FALSE(second.Acquire());
  // Another user's settings folder is another workstation.
  SingleInstanceLock other(dir / "other");
  EXPECT_TRUE(other.Acquire());
}

TEST(SingleInstance, InitInstanceRefusesASecondCopy) {
  FrameTestApp();
  TempDir dir;
  SingleInstanceLock running(dir / "settings");
  ASSERT_TRUE(running.Acquire());
  ScriptedPrompts prompts;
  CNuvApp app;
  StartupOptions options;
  options.settingsDir = dir / "settings";
  options.executableDir = dir.path().string() + "/";
  FrameServices services = DefaultFrameServices();
  services.openDatabases = nullptr;
  EXPECT_FALSE(app.InitInstance(options, services, &prompts));
  EXPECT_EQ(app.mainFrame(), nullptr);
  EXPECT_TRUE(prompts.records.empty());
}

TEST(SingleInstance, SecondProgramExitsSilently) {
  FrameTestApp();
  TempDir dir;
  SingleInstanceLock running(dir / "settings");
  ASSERT_TRUE(running.Acquire());
  QProcess nuv;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("NUV_CONFIG_DIR", QString::fromStdString((dir / "settings").string()));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  nuv.setProcessEnvironment(env);
  nuv.start(QString(NUV_BINARY_DIR) + "/app/nuv", {});
  ASSERT_TRUE(nuv.waitForStarted(10000));
  // A refused copy ends by itself; a started workstation would wait for the user.
  ASSERT_TRUE(nuv.waitForFinished(30000));
  EXPECT_EQ(nuv.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(nuv.exitCode(), 0);
  EXPECT_TRUE(nuv.readAllStandardOutput().isEmpty());
}

}  // namespace
}  // namespace nuv::test
