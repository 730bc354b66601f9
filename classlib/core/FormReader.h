// Form descriptions: the text that names a form's components, their stored properties and event handlers,
// embedded in the programs as resources; the reader that builds (or fills) a form from it and the writer
// that turns components back into it.
//
// The text format, one item per line, indented by two spaces per level (indentation is not significant):
//
//   object frmHotkeyEdit: TfrmHotkeyEdit       an object: "object Name: Class" (or "object Class" unnamed)
//     Left = 200                               integer: decimal, negative, or $hex (at most 16 digits;
//                                              $80000000..$FFFFFFFF given to a 32-bit property is taken
//                                              as the 32-bit pattern, so colours can be written in hex)
//     Ratio = 1.5                              float: digits with "." and/or an exponent (1E-3)
//     Caption = 'Calderine Editor'             string: single quotes, '' for a quote inside; #nnn (decimal)
//     Text = 'Line 1'#13#10'Line 2'            or #$hh is the character with that code, UTF-8 encoded above
//     Hint = 'first half ' +                   127; pieces next to each other join, and "+" joins pieces
//       'second half'                          across lines. Text between quotes is kept byte for byte
//                                              (UTF-8), but a string cannot run past the end of its line.
//     Font.Name = 'Tahoma'                     a property of an owned object (nested to any depth)
//     Visible = False                          identifier: enumeration value or True/False; for an event
//     OnCreate = FormCreate                    the name of a published method of the root; for a
//     PopupMenu = ppmTray                      component property the name of a component of the form
//                                              (the form's own name for the form), resolved after the
//                                              whole description is read
//     Anchors = [akLeft, akTop]                set: element names in brackets
//     object lvHotkeys: TListView              child objects follow the properties; a child is owned by
//       Columns = <                            the root and put under the enclosing object through
//         item                                 SetParentComponent
//           Caption = 'Description'          collection: items, each with its own properties
//           Width = 120
//         end>
//       Items.Strings = (                      string list: strings in parentheses, one per line
//         'a'
//         'b')
//     end
//     object atiTray: TSaAnimatedTrayIcon
//       Animation.Icons = {                    binary data (a property the object defines in
//         0A0B0C...                            DefineProperties): hexadecimal digit pairs in braces,
//         }                                    32 bytes per line
//     end
//   end
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
#include "Streams.h"

namespace cl {

// ---------------------------------------------------------------------------------------------------------
// The parsed description.

enum class TFormValueKind { Integer, Float, String, Ident, Set, List, Collection, Binary };

struct TFormProperty;

// One item of a collection value: its properties.
struct TFormItem {
  int Line = 0;
  std::vector<TFormProperty> Properties;
};

struct TFormValue {
  TFormValueKind Kind = TFormValueKind::Integer;
  int64_t Int = 0;
  bool Hex = false;                  // Integer written in hexadecimal
  double Float = 0;
  std::string Text;                  // String (UTF-8), Ident (the identifier) or Binary (the bytes)
  std::vector<std::string> Strings;  // Set (element names) or List (the strings)
  std::vector<TFormItem> Items;      // Collection

  static TFormValue FromInteger(int64_t value);
  static TFormValue FromBoolean(bool value);
  static TFormValue FromString(std::string value);
  static TFormValue FromIdent(std::string identifier);
  // The kind it must be, or EReadError "Invalid property value".
  int64_t AsInteger() const;
  bool AsBoolean() const;  // the identifier True or False
  const std::string& AsString() const;
};

struct TFormProperty {
  std::string Name;  // may be a path: "Font.Name"
  int Line = 0;
  TFormValue Value;
};

struct TFormObject {
  std::string Name;  // empty for an unnamed object
  std::string ClassName;
  int Line = 0;
  std::vector<TFormProperty> Properties;
  std::vector<TFormObject> Children;
};

// Parses a description into its tree. EReadError "Form description: <what> (line N)" for text that does
// not follow the format.
TFormObject ParseFormText(std::string_view text);
// The text of a tree, as the writer formats it.
std::string FormatFormText(const TFormObject& root);

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
