// Form descriptions: the text that names a form's components, their stored properties and event handlers,
// embedded in the programs as resources; the reader that builds (or fills) a form from it and the writer
// that turns components back into it. The text itself and its tree: FormText.h.
//
// The writer puts the published properties in declaration order (ancestors' first), then the defined
// properties, then the child objects; a property equal to its declared default, or otherwise not stored,
// is left out. Objects and collection items together may nest at most 64 levels deep.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Classes.h"
#include "FormText.h"
#include "Streams.h"

namespace cl {

// ---------------------------------------------------------------------------------------------------------
// Data stored besides the published properties: an object's DefineProperties declares it on the filer
// it is given, with callbacks that read it from and write it to the description.

class TFiler {
 public:
  using TValueReader = std::function<void(const TFormValue& value)>;
  using TValueWriter = std::function<TFormValue()>;
  using TStreamProc = std::function<void(TStream& stream)>;

  struct TDefinition {
    std::string Name;
    bool Binary = false;
    bool HasData = false;  // written only when true
    TValueReader ReadValue;
    TValueWriter WriteValue;
    TStreamProc ReadData;   // reads the bytes of the block from the start of the stream
    TStreamProc WriteData;  // writes the bytes of the block
  };

  explicit TFiler(bool writing) : writing_(writing) {}
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;

  // True while a description is written (hasData is asked then), false while one is read.
  bool Writing() const noexcept { return writing_; }

  // A single value ("SavedAtRunTime = True").
  void DefineProperty(std::string name, TValueReader read, TValueWriter write, bool hasData);
  // A block of bytes ("Icons = {...}"). A reader that asks for more bytes than the block holds gets the
  // stream's EReadError, and the description fails to load.
  void DefineBinaryProperty(std::string name, TStreamProc read, TStreamProc write, bool hasData);

  const std::vector<TDefinition>& Definitions() const noexcept { return definitions_; }

 private:
  bool writing_;
  std::vector<TDefinition> definitions_;
};

// ---------------------------------------------------------------------------------------------------------
// Reading and writing components.

// Reads a description into root, an object already constructed (a form's constructor reads its own
// description). The text's class must be root's class. Children are created by their registered class
// owned by root; component references and event handlers are resolved against root, and root's fields
// are bound (BindFields); then Loaded runs on root and every component it owns. Errors are EReadError
// naming the form, the component, the property and the line: "TfrmHotkeyEdit.lvHotkeys: property Colums
// does not exist (line 12)"; a field the description does not give raises BindFields' EComponentError. On
// error the components the reader created are freed, and the exception propagates.
void ReadRootComponent(TComponent* root, std::string_view text);
void ReadRootComponent(TComponent* root, const TFormObject& tree);
// Creates the root by its registered class, with the given owner, and reads it; on error it is freed.
TComponent* CreateFromFormText(std::string_view text, TComponent* owner);

// The description of root and everything it owns.
TFormObject WriteFormObject(TComponent* root);
std::string WriteFormText(TComponent* root);

// The component of root named name, as a T.
// EComponentError "TfrmX: component lvHotkeys not found" or "TfrmX: component lvHotkeys is a TListView,
// not a TComboBox".
[[noreturn]] void ComponentAsError(const TComponent* root, std::string_view name, const TComponent* found,
                                   TClass wanted);
template <class T>
T* ComponentAs(const TComponent* root, std::string_view name) {
  TComponent* c = root->FindComponent(name);
  T* result = dynamic_cast<T*>(c);
  if (!result) ComponentAsError(root, name, c, T::StaticClass());
  return result;
}

}  // namespace cl
