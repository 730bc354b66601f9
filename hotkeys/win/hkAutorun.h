// The "Auto Startup with Windows" option: the autorun value in the registry and the AutoRun setting.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace hk {

// Where the autorun value lives. The program's own store writes under HKEY_LOCAL_MACHINE, which needs
// rights the user may not have; tests put a store of their own in its place.
class AutorunStore {
 public:
  virtual ~AutorunStore() = default;
  // Writes the value (the program's path in double quotes); false when it could not be written.
  virtual bool Write(const std::string& programFile) = 0;
  // Removes the value; false when the key could not be opened (a missing value is no failure).
  virtual bool Remove() = 0;
};

// The value "Calderine" of the Run key under HKEY_LOCAL_MACHINE.
std::unique_ptr<AutorunStore> RegistryAutorun();

// Applies the option's new state to the store and records it as AutoRun in the settings file `iniFile`.
// Returns the state the option must show: when the value cannot be written the program would not start
// with Windows, so the option is off, AutoRun=0 is written and the user is told through `tell`. A failed
// removal changes nothing that the option could show and stays silent.
bool ApplyAutorun(AutorunStore& store, bool on, const std::string& programFile, const std::string& iniFile,
                  const std::function<void(const std::string& text)>& tell);

inline constexpr char AutorunFailedText[] =
    "Calderine could not be set to start with Windows: the registry key cannot be written.";

}  // namespace hk
