#include "qemu_front/front_config.h"

#include "db/ini_file.h"

FrontConfig ReadFrontConfig(const std::string& iniPath) {
  IniFile ini(iniPath);
  FrontConfig config;
  config.system = ini.ReadString("qemu", "system", "");
  config.extra = ini.ReadString("qemu", "extra", "");
  config.display = ini.ReadString("qemu", "display", "");
  config.audio = ini.ReadString("qemu", "audio", "");
  config.accel = ini.ReadString("qemu", "accel", "");
  config.cpus = ini.ReadString("qemu", "cpus", "");
  return config;
}
