#pragma once
// The application object of the core: it owns the configuration, the NUV.INI
// profile, the per-user store and the prompts, and (as the subsystems land)
// the connections, the station table, the phase-type table, the phase list
// and the current event. It is passed by reference to whoever needs them;
// tests build as many independent ones as they like.

#include "app/config.h"
#include "app/user_prompts.h"
#include "platform/profile_file.h"
#include "platform/settings_store.h"

namespace nuv {

class Workstation {
 public:
  Workstation(Config config, UserPrompts& prompts)
      : config_(std::move(config)),
        ini_(config_.IniPath()),
        store_(config_.StorePath()),
        prompts_(&prompts) {}
  Workstation(const Workstation&) = delete;
  Workstation& operator=(const Workstation&) = delete;

  Config& config() { return config_; }
  const Config& config() const { return config_; }
  ProfileFile& ini() { return ini_; }
  SettingsStore& store() { return store_; }
  UserPrompts& prompts() { return *prompts_; }
  void SetPrompts(UserPrompts& prompts) { prompts_ = &prompts; }

 private:
  Config config_;
  ProfileFile ini_;
  SettingsStore store_;
  UserPrompts* prompts_;
};

}  // namespace nuv
