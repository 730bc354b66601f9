#include "hkAutorun.h"

#include <windows.h>

#include "IniFiles.h"
#include "Registry.h"
#include "SysUtils.h"

namespace hk {

namespace {

constexpr char kRunKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Calderine";

class RegistryStore final : public AutorunStore {
 public:
  bool Write(const std::string& programFile) override {
    cl::TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(kRunKey, true)) return false;
    try {
      registry.WriteString(kRunValue, "\"" + programFile + "\"");
    } catch (const cl::Exception&) {
      return false;
    }
    return true;
  }

  bool Remove() override {
    cl::TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(kRunKey, true)) return false;
    registry.DeleteValue(kRunValue);
    return true;
  }
};

}  // namespace

std::unique_ptr<AutorunStore> RegistryAutorun() { return std::make_unique<RegistryStore>(); }

bool ApplyAutorun(AutorunStore& store, bool on, const std::string& programFile, const std::string& iniFile,
                  const std::function<void(const std::string& text)>& tell) {
  if (on && !store.Write(programFile)) {
    // Recorded before the user is told: the setting must not say on while the message is up.
    cl::TIniFile(iniFile).WriteBool("Settings", "AutoRun", false);
    if (tell) tell(AutorunFailedText);
    return false;
  }
  if (!on) store.Remove();
  cl::TIniFile(iniFile).WriteBool("Settings", "AutoRun", on);
  return on;
}

}  // namespace hk
