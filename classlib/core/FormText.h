// Form description text and its tree: the parser (text -> tree) and the formatter (tree -> text). The
// reader and writer of components (FormReader.h) work on the tree.
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
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cl {

// ---------------------------------------------------------------------------------------------------------
// The parsed description.

// Objects and collection items together may nest at most this deep.
constexpr int kMaxFormNesting = 64;

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

// EReadError "Invalid property value".
[[noreturn]] void InvalidFormValue();

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
// The same, with context in place of "Form description" (the reader names the form's class there).
TFormObject ParseFormText(std::string_view text, const std::string& context);
// The text of a tree, as the writer formats it.
std::string FormatFormText(const TFormObject& root);

}  // namespace cl
