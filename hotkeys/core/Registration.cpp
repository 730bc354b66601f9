#include "Registration.h"

#include "HotkeyText.h"

namespace hk {

HotkeyCommand CommandFromRecord(const DefinitionRecord& record) {
  HotkeyCommand command;
  command.action = record.action;
  command.data = record.data;
  if (record.action == haOpenProgram) {
    command.show = record.show;
    command.startIn = record.startIn;
  }
  return command;
}

std::string CommandText(const HotkeyCommand& command) {
  std::string text = std::to_string(command.action);
  text += '=';
  text += command.data;
  if (command.action == haOpenProgram) {
    text += ';';
    text += command.show;
    text += ';';
    text += command.startIn;
  }
  return text;
}

RegistrationPlan PlanRegistration(const std::vector<DefinitionRecord>& records) {
  RegistrationPlan plan;
  for (const DefinitionRecord& record : records) {
    if (!IsRegistrable(record)) continue;
    const int id = static_cast<int>(plan.commands.size());
    plan.commands.push_back(CommandFromRecord(record));
    plan.combinations.push_back({KeyCodeFromText(record.hotkey), ModifiersFromText(record.hotkey)});
    switch (record.action) {
      case haOpenProgram:
      case haExecuteMultiple:
      case haOpenFolder:
        plan.hotPrograms.push_back({record.description + '\t' + record.hotkey, id});
        break;
      case haEditHotkeys:
        plan.editCaption = std::string(EditHotkeysCaption) + '\t' + record.hotkey;
        break;
      case haViewHotkeyList:
        plan.listCaption = std::string(ListHotkeysCaption) + '\t' + record.hotkey;
        break;
      default:
        break;
    }
  }
  return plan;
}

}  // namespace hk
