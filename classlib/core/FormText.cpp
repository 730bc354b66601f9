#include "FormText.h"

#include <charconv>
#include <cmath>

#include "SysUtils.h"

namespace cl {

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// ---------------------------------------------------------------------------------------------------------
// Parser: text -> tree. Newlines only separate; line numbers are kept for the messages.

class Parser {
 public:
  Parser(std::string_view text, std::string context) : s_(text), context_(std::move(context)) {
    if (s_.substr(0, 3) == "\xEF\xBB\xBF") p_ = 3;
  }

  TFormObject Parse() {
    SkipBlanks();
    if (!Keyword("object")) Fail("\"object\" expected");
    TFormObject root = Object(1);
    SkipBlanks();
    if (p_ < s_.size()) Fail("text after the end of the description");
    return root;
  }

 private:
  [[noreturn]] void Fail(const char* what) { Fail(what, line_); }
  [[noreturn]] void Fail(const char* what, int line) {
    throw EReadError(Format("%s: %s (line %d)", context_.c_str(), what, line));
  }

  bool AtEnd() const { return p_ >= s_.size(); }
  char Peek() const { return p_ < s_.size() ? s_[p_] : '\0'; }

  void SkipBlanks() {
    while (p_ < s_.size()) {
      char c = s_[p_];
      if (c == '\n') {
        ++line_;
      } else if (c == '\r') {
        if (p_ + 1 >= s_.size() || s_[p_ + 1] != '\n') ++line_;
      } else if (c != ' ' && c != '\t') {
        return;
      }
      ++p_;
    }
  }

  // An identifier at the current position; with dotted, "Font.Name" is one identifier.
  std::string Ident(bool dotted, const char* what) {
    if (!IsIdentStart(Peek())) Fail(what);
    size_t start = p_;
    for (;;) {
      while (p_ < s_.size() && IsIdentChar(s_[p_])) ++p_;
      if (dotted && p_ + 1 < s_.size() && s_[p_] == '.' && IsIdentStart(s_[p_ + 1])) {
        ++p_;
        continue;
      }
      break;
    }
    return std::string(s_.substr(start, p_ - start));
  }

  // Consumes the keyword when the text continues with it as a whole word that does not name a property
  // ("end = 1" sets a property called end).
  bool Keyword(std::string_view word) {
    if (s_.size() - p_ < word.size() || !SameText(s_.substr(p_, word.size()), word)) return false;
    size_t end = p_ + word.size();
    if (end < s_.size() && (IsIdentChar(s_[end]) || s_[end] == '.')) return false;
    size_t next = s_.find_first_not_of(" \t\r\n", end);
    if (next != std::string_view::npos && s_[next] == '=') return false;
    p_ = end;
    return true;
  }

  // After "object".
  TFormObject Object(int depth) {
    if (depth > kMaxFormNesting) Fail("objects nested too deep");
    TFormObject obj;
    obj.Line = line_;
    SkipBlanks();
    std::string first = Ident(false, "object name or class expected");
    SkipBlanks();
    if (Peek() == ':') {
      ++p_;
      SkipBlanks();
      obj.Name = std::move(first);
      obj.ClassName = Ident(false, "class name expected");
    } else {
      obj.ClassName = std::move(first);
    }
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Fail("\"end\" expected", obj.Line);
      if (Keyword("end")) return obj;
      if (Keyword("object"))
        obj.Children.push_back(Object(depth + 1));
      else
        obj.Properties.push_back(Property(depth));
    }
  }

  TFormProperty Property(int depth) {
    TFormProperty prop;
    prop.Line = line_;
    prop.Name = Ident(true, "property name expected");
    SkipBlanks();
    if (Peek() != '=') Fail("\"=\" expected");
    ++p_;
    SkipBlanks();
    prop.Value = Value(depth);
    return prop;
  }

  TFormValue Value(int depth) {
    TFormValue v;
    char c = Peek();
    if (c == '\'' || c == '#') {
      v.Kind = TFormValueKind::String;
      v.Text = StringExpr();
    } else if (c == '-' || c == '$' || IsDigit(c)) {
      Number(v);
    } else if (IsIdentStart(c)) {
      v.Kind = TFormValueKind::Ident;
      v.Text = Ident(true, "value expected");
    } else if (c == '[') {
      v.Kind = TFormValueKind::Set;
      ++p_;
      SkipBlanks();
      if (Peek() != ']') {
        for (;;) {
          v.Strings.push_back(Ident(false, "set element expected"));
          SkipBlanks();
          if (Peek() == ']') break;
          if (Peek() != ',') Fail("\",\" or \"]\" expected");
          ++p_;
          SkipBlanks();
        }
      }
      ++p_;
    } else if (c == '(') {
      v.Kind = TFormValueKind::List;
      ++p_;
      for (;;) {
        SkipBlanks();
        if (Peek() == ')') break;
        if (Peek() != '\'' && Peek() != '#') Fail(AtEnd() ? "\")\" expected" : "string expected");
        v.Strings.push_back(StringExpr());
      }
      ++p_;
    } else if (c == '<') {
      v.Kind = TFormValueKind::Collection;
      ++p_;
      for (;;) {
        SkipBlanks();
        if (Peek() == '>') break;
        if (!Keyword("item")) Fail("\"item\" or \">\" expected");
        if (depth + 1 > kMaxFormNesting) Fail("objects nested too deep");
        TFormItem item;
        item.Line = line_;
        for (;;) {
          SkipBlanks();
          if (AtEnd()) Fail("\"end\" expected", item.Line);
          if (Keyword("end")) break;
          item.Properties.push_back(Property(depth + 1));
        }
        v.Items.push_back(std::move(item));
      }
      ++p_;
    } else if (c == '{') {
      v.Kind = TFormValueKind::Binary;
      int startLine = line_;
      ++p_;
      int high = -1;
      for (;;) {
        SkipBlanks();
        if (AtEnd()) Fail("\"}\" expected", startLine);
        char h = s_[p_++];
        if (h == '}') break;
        int d = HexValue(h);
        if (d < 0) Fail("hexadecimal digit expected");
        if (high < 0) {
          high = d;
        } else {
          v.Text += static_cast<char>(high * 16 + d);
          high = -1;
        }
      }
      if (high >= 0) Fail("odd number of hexadecimal digits");
    } else {
      Fail("value expected");
    }
    return v;
  }

  // Quoted pieces and #codes, joined when adjacent or by "+".
  std::string StringExpr() {
    std::string out;
    for (;;) {
      char c = Peek();
      if (c == '\'') {
        ++p_;
        for (;;) {
          if (AtEnd() || s_[p_] == '\n' || s_[p_] == '\r') Fail("unterminated string");
          char ch = s_[p_++];
          if (ch == '\'') {
            if (Peek() != '\'') break;
            ++p_;
          }
          out += ch;
        }
      } else if (c == '#') {
        ++p_;
        uint32_t code = 0;
        bool hex = Peek() == '$';
        if (hex) ++p_;
        size_t start = p_;
        for (;;) {
          int d = hex ? HexValue(Peek()) : (IsDigit(Peek()) ? Peek() - '0' : -1);
          if (d < 0) break;
          code = code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
          if (code > 0x10FFFF) Fail("character code out of range");
          ++p_;
        }
        if (p_ == start) Fail("character code expected");
        if (code >= 0xD800 && code <= 0xDFFF) Fail("character code out of range");
        AppendUtf8(out, code);
      } else {
        Fail("string expected");
      }
      c = Peek();
      if (c == '\'' || c == '#') continue;
      size_t save = p_;
      int line = line_;
      SkipBlanks();
      if (Peek() == '+') {
        ++p_;
        SkipBlanks();
        if (Peek() != '\'' && Peek() != '#') Fail("string expected");
        continue;
      }
      p_ = save;
      line_ = line;
      return out;
    }
  }

  void Number(TFormValue& v) {
    v.Kind = TFormValueKind::Integer;
    size_t start = p_;
    if (Peek() == '$') {
      ++p_;
      uint64_t value = 0;
      int digits = 0;
      for (int d; (d = HexValue(Peek())) >= 0; ++p_) {
        if (++digits > 16) Fail("number out of range");
        value = value * 16 + static_cast<uint64_t>(d);
      }
      if (digits == 0) Fail("hexadecimal digit expected");
      v.Int = static_cast<int64_t>(value);
      v.Hex = true;
    } else {
      if (Peek() == '-') ++p_;
      if (!IsDigit(Peek())) Fail("number expected");
      while (IsDigit(Peek())) ++p_;
      bool isFloat = false;
      if (Peek() == '.' && p_ + 1 < s_.size() && IsDigit(s_[p_ + 1])) {
        isFloat = true;
        ++p_;
        while (IsDigit(Peek())) ++p_;
      }
      if (Peek() == 'e' || Peek() == 'E') {
        size_t q = p_ + 1;
        if (q < s_.size() && (s_[q] == '+' || s_[q] == '-')) ++q;
        if (q < s_.size() && IsDigit(s_[q])) {
          isFloat = true;
          p_ = q;
          while (IsDigit(Peek())) ++p_;
        }
      }
      std::string_view digits = s_.substr(start, p_ - start);
      if (isFloat) {
        // from_chars takes no leading '+' but does take '-'; it ignores the locale.
        double d = 0;
        auto r = std::from_chars(digits.data(), digits.data() + digits.size(), d);
        if (r.ec != std::errc() || r.ptr != digits.data() + digits.size() || !std::isfinite(d))
          Fail("number out of range");
        v.Kind = TFormValueKind::Float;
        v.Float = d;
      } else {
        auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v.Int);
        if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) Fail("number out of range");
      }
    }
    if (IsIdentChar(Peek()) || Peek() == '.') Fail("malformed number");
  }

  std::string_view s_;
  std::string context_;
  size_t p_ = 0;
  int line_ = 1;
};

// ---------------------------------------------------------------------------------------------------------
// Formatter: tree -> text.

std::string QuoteString(std::string_view s) {
  if (s.empty()) return "''";
  std::string out;
  bool open = false;
  for (char ch : s) {
    auto u = static_cast<unsigned char>(ch);
    if (u < 32 || u == 127) {
      if (open) out += '\'';
      open = false;
      out += '#';
      out += std::to_string(u);
    } else {
      if (!open) out += '\'';
      open = true;
      out += ch;
      if (ch == '\'') out += '\'';
    }
  }
  if (open) out += '\'';
  return out;
}

void FormatProperties(std::string& out, const std::vector<TFormProperty>& props, const std::string& indent);

void FormatValue(std::string& out, const TFormValue& v, const std::string& indent) {
  switch (v.Kind) {
    case TFormValueKind::Integer:
      if (v.Hex) {
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, static_cast<uint64_t>(v.Int), 16);
        out += '$';
        for (char* q = buf; q != r.ptr; ++q) out += static_cast<char>(*q >= 'a' ? *q - 'a' + 'A' : *q);
      } else {
        out += std::to_string(v.Int);
      }
      break;
    case TFormValueKind::Float: {
      char buf[64];
      auto r = std::to_chars(buf, buf + sizeof buf, v.Float);
      std::string text(buf, r.ptr);
      // Keep it a float when read again.
      if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
      out += text;
      break;
    }
    case TFormValueKind::String:
      out += QuoteString(v.Text);
      break;
    case TFormValueKind::Ident:
      out += v.Text;
      break;
    case TFormValueKind::Set:
      out += '[';
      for (size_t i = 0; i < v.Strings.size(); ++i) {
        if (i) out += ", ";
        out += v.Strings[i];
      }
      out += ']';
      break;
    case TFormValueKind::List:
      out += '(';
      for (const std::string& s : v.Strings) {
        out += '\n';
        out += indent;
        out += "  ";
        out += QuoteString(s);
      }
      out += ')';
      break;
    case TFormValueKind::Collection:
      out += '<';
      for (const TFormItem& item : v.Items) {
        out += '\n';
        out += indent;
        out += "  item\n";
        FormatProperties(out, item.Properties, indent + "    ");
        out += indent;
        out += "  end";
      }
      out += '>';
      break;
    case TFormValueKind::Binary: {
      static const char digits[] = "0123456789ABCDEF";
      out += '{';
      for (size_t i = 0; i < v.Text.size(); ++i) {
        if (i % 32 == 0) {
          out += '\n';
          out += indent;
          out += "  ";
        }
        auto u = static_cast<unsigned char>(v.Text[i]);
        out += digits[u >> 4];
        out += digits[u & 15];
      }
      out += '}';
      break;
    }
  }
}

void FormatProperties(std::string& out, const std::vector<TFormProperty>& props, const std::string& indent) {
  for (const TFormProperty& p : props) {
    out += indent;
    out += p.Name;
    out += " = ";
    FormatValue(out, p.Value, indent);
    out += '\n';
  }
}

void FormatObject(std::string& out, const TFormObject& obj, const std::string& indent) {
  out += indent;
  out += "object ";
  if (!obj.Name.empty()) {
    out += obj.Name;
    out += ": ";
  }
  out += obj.ClassName;
  out += '\n';
  FormatProperties(out, obj.Properties, indent + "  ");
  for (const TFormObject& child : obj.Children) FormatObject(out, child, indent + "  ");
  out += indent;
  out += "end\n";
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TFormValue

TFormValue TFormValue::FromInteger(int64_t value) {
  TFormValue v;
  v.Int = value;
  return v;
}

TFormValue TFormValue::FromBoolean(bool value) { return FromIdent(value ? "True" : "False"); }

TFormValue TFormValue::FromString(std::string value) {
  TFormValue v;
  v.Kind = TFormValueKind::String;
  v.Text = std::move(value);
  return v;
}

TFormValue TFormValue::FromIdent(std::string identifier) {
  TFormValue v;
  v.Kind = TFormValueKind::Ident;
  v.Text = std::move(identifier);
  return v;
}

int64_t TFormValue::AsInteger() const {
  if (Kind != TFormValueKind::Integer) InvalidFormValue();
  return Int;
}

bool TFormValue::AsBoolean() const {
  if (Kind == TFormValueKind::Ident) {
    if (SameText(Text, "True")) return true;
    if (SameText(Text, "False")) return false;
  }
  InvalidFormValue();
}

const std::string& TFormValue::AsString() const {
  if (Kind != TFormValueKind::String) InvalidFormValue();
  return Text;
}

void InvalidFormValue() { throw EReadError("Invalid property value"); }

TFormObject ParseFormText(std::string_view text) { return ParseFormText(text, "Form description"); }

TFormObject ParseFormText(std::string_view text, const std::string& context) { return Parser(text, context).Parse(); }

std::string FormatFormText(const TFormObject& root) {
  std::string out;
  FormatObject(out, root, "");
  return out;
}

}  // namespace cl
