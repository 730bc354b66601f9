#include "FormReader.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "Collections.h"
#include "Colors.h"
#include "Lists.h"
#include "TypInfo.h"

namespace cl {

namespace {

// Integer properties named "Color" or "...Color" hold a TColor: descriptions give them as identifiers
// ("clBtnFace") where one exists.
bool IsColorProperty(const TPropInfo* pi) {
  const std::string_view name = pi->Name;
  return pi->Kind == TTypeKind::Integer && name.size() >= 5 && SameText(name.substr(name.size() - 5), "Color");
}

// ---------------------------------------------------------------------------------------------------------
// Defined properties every filer knows: the strings of a string list.

void CollectDefinitions(TPersistent* p, TFiler& filer) {
  if (auto* strings = dynamic_cast<TStrings*>(p)) {
    filer.DefineProperty(
        "Strings",
        [strings](const TFormValue& v) {
          if (v.Kind != TFormValueKind::List) InvalidFormValue();
          strings->BeginUpdate();
          try {
            strings->Clear();
            for (const std::string& s : v.Strings) strings->Add(s);
          } catch (...) {
            strings->EndUpdate();
            throw;
          }
          strings->EndUpdate();
        },
        [strings] {
          TFormValue v;
          v.Kind = TFormValueKind::List;
          for (int i = 0; i < strings->Count(); ++i) v.Strings.push_back(strings->Get(i));
          return v;
        },
        filer.Writing() && strings->Count() > 0);
  }
  p->DefineProperties(filer);
}

const TFiler::TDefinition* FindDefinition(const TFiler& filer, std::string_view name) {
  for (const TFiler::TDefinition& d : filer.Definitions())
    if (SameText(d.Name, name)) return &d;
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TFiler

void TFiler::DefineProperty(std::string name, TValueReader read, TValueWriter write, bool hasData) {
  TDefinition& d = definitions_.emplace_back();
  d.Name = std::move(name);
  d.HasData = hasData;
  d.ReadValue = std::move(read);
  d.WriteValue = std::move(write);
}

void TFiler::DefineBinaryProperty(std::string name, TStreamProc read, TStreamProc write, bool hasData) {
  TDefinition& d = definitions_.emplace_back();
  d.Name = std::move(name);
  d.Binary = true;
  d.HasData = hasData;
  d.ReadData = std::move(read);
  d.WriteData = std::move(write);
}

// ---------------------------------------------------------------------------------------------------------
// Reader: tree -> components.

class TFormReader {
 public:
  explicit TFormReader(TComponent* root) : root_(root), rootClass_(root->ClassName()) {}

  void Read(const TFormObject& tree) {
    root_->BeginLoading();
    try {
      SetRootName(tree);
      ApplyProperties(root_, tree.Properties, rootClass_, "", 1, {});
      for (const TFormObject& child : tree.Children) ReadChild(child, root_, 2);
      ResolveFixups();
      BindFields(root_);
      root_->EndLoading();
    } catch (...) {
      Abandon();
      throw;
    }
  }

 private:
  // A component reference, set once every component exists. `items` are the collection items on the
  // way to the instance: a collection cleared later in the description takes its fixups with it.
  struct Fixup {
    TObject* instance;
    const TPropInfo* prop;
    std::string name;
    std::string context;
    std::string display;
    int line;
    std::vector<const TCollectionItem*> items;
  };

  [[noreturn]] void Fail(const std::string& context, const std::string& what, int line) {
    throw EReadError(Format("%s: %s (line %d)", context.c_str(), what.c_str(), line));
  }

  // Runs an operation of the object being read, giving its error the place in the description.
  template <class F>
  void Guard(const std::string& context, const std::string& prefix, int line, F&& f) {
    try {
      f();
    } catch (const Exception& e) {
      Fail(context, prefix.empty() ? e.Message() : prefix + ": " + e.Message(), line);
    }
  }

  void SetRootName(const TFormObject& tree) {
    if (tree.Name.empty() || SameText(tree.Name, root_->Name())) return;
    std::string name = tree.Name;
    // Two instances of one form under one owner get "Name_1", "Name_2", ...
    if (TComponent* owner = root_->Owner()) {
      for (int n = 1; owner->FindComponent(name) && owner->FindComponent(name) != root_; ++n)
        name = tree.Name + "_" + std::to_string(n);
    }
    Guard(rootClass_, "", tree.Line, [&] { root_->SetName(name); });
  }

  void ReadChild(const TFormObject& node, TComponent* parent, int depth) {
    std::string context =
        rootClass_ + "." + (node.Name.empty() ? "(" + node.ClassName + ")" : node.Name);
    if (depth > kMaxFormNesting) Fail(context, "objects nested too deep", node.Line);
    TClass cls = GetClass(node.ClassName);
    if (!cls) Fail(context, "class " + node.ClassName + " not found", node.Line);
    if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->Factory())
      Fail(context, "class " + node.ClassName + " is not a component class", node.Line);
    TComponent* c = nullptr;
    Guard(context, "", node.Line, [&] { c = cls->CreateComponent(root_); });
    created_.push_back(c);
    c->BeginLoading();
    if (!node.Name.empty()) Guard(context, "", node.Line, [&] { c->SetName(node.Name); });
    if (c->HasParent()) Guard(context, "", node.Line, [&] { c->SetParentComponent(parent); });
    ApplyProperties(c, node.Properties, context, "", depth, {});
    for (const TFormObject& child : node.Children) ReadChild(child, c, depth + 1);
  }

  void ApplyProperties(TObject* obj, const std::vector<TFormProperty>& props, const std::string& context,
                       const std::string& prefix, int depth, const std::vector<const TCollectionItem*>& items) {
    for (const TFormProperty& prop : props) ApplyProperty(obj, prop, context, prefix, depth, items);
  }

  void ApplyProperty(TObject* obj, const TFormProperty& prop, const std::string& context,
                     const std::string& prefix, int depth, const std::vector<const TCollectionItem*>& items) {
    const std::string display = prefix + prop.Name;
    const int line = prop.Line;
    auto missing = [&]() { Fail(context, "property " + display + " does not exist", line); };

    // Walk "Font.Name" through the owned objects.
    TObject* target = obj;
    std::string_view path = prop.Name;
    for (size_t dot; (dot = path.find('.')) != std::string_view::npos; path.remove_prefix(dot + 1)) {
      const TPropInfo* pi = GetPropInfo(target, path.substr(0, dot));
      if (!pi || pi->Kind != TTypeKind::Class) missing();
      TObject* sub = pi->GetObject(target);
      if (!sub || dynamic_cast<TComponent*>(sub)) missing();
      target = sub;
    }
    if (path.empty()) missing();

    const TPropInfo* pi = GetPropInfo(target, path);
    if (!pi) {
      auto* persistent = dynamic_cast<TPersistent*>(target);
      if (!persistent) missing();
      TFiler filer(false);
      Guard(context, "property " + display, line, [&] { CollectDefinitions(persistent, filer); });
      const TFiler::TDefinition* def = FindDefinition(filer, path);
      if (!def) missing();
      const TFormValue& v = prop.Value;
      if (def->Binary) {
        if (v.Kind != TFormValueKind::Binary) Fail(context, "invalid value for property " + display, line);
        Guard(context, "property " + display, line, [&] {
          TMemoryStream stream(v.Text);
          if (def->ReadData) def->ReadData(stream);
        });
      } else {
        Guard(context, "property " + display, line, [&] {
          if (def->ReadValue) def->ReadValue(v);
        });
      }
      return;
    }
    SetValue(target, pi, prop.Value, context, display, line, depth, items);
  }

  void SetValue(TObject* target, const TPropInfo* pi, const TFormValue& v, const std::string& context,
                const std::string& display, int line, int depth,
                const std::vector<const TCollectionItem*>& items) {
    auto invalid = [&]() { Fail(context, "invalid value for property " + display, line); };
    const std::string where = "property " + display;
    switch (pi->Kind) {
      case TTypeKind::Integer:
      case TTypeKind::Int64: {
        int64_t value = v.Int;
        if (v.Kind == TFormValueKind::Ident && IsColorProperty(pi)) {
          TColor color = 0;
          if (!IdentToColor(v.Text, color)) invalid();
          Guard(context, where, line, [&] { SetOrdProp(target, pi, static_cast<int32_t>(color)); });
          break;
        }
        if (v.Kind != TFormValueKind::Integer) invalid();
        // $FF00000F for a 32-bit property is the bit pattern (colours are written so).
        if (pi->Kind == TTypeKind::Integer && v.Hex && value > INT32_MAX && value <= int64_t{UINT32_MAX})
          value -= int64_t{1} << 32;
        Guard(context, where, line, [&] { SetOrdProp(target, pi, value); });
        break;
      }
      case TTypeKind::Boolean:
      case TTypeKind::Enumeration:
        if (v.Kind != TFormValueKind::Ident) invalid();
        Guard(context, where, line, [&] { SetEnumProp(target, pi, v.Text); });
        break;
      case TTypeKind::Set: {
        if (v.Kind != TFormValueKind::Set) invalid();
        uint64_t mask = 0;
        for (const std::string& element : v.Strings) {
          size_t i = 0;
          while (i < pi->ElementNames.size() && !SameText(pi->ElementNames[i], element)) ++i;
          if (i == pi->ElementNames.size() || i >= 64)
            Fail(context, where + ": unknown element " + element, line);
          mask |= uint64_t{1} << i;
        }
        Guard(context, where, line, [&] { SetOrdProp(target, pi, static_cast<int64_t>(mask)); });
        break;
      }
      case TTypeKind::String:
        if (v.Kind != TFormValueKind::String) invalid();
        Guard(context, where, line, [&] { SetStrProp(target, pi, v.Text); });
        break;
      case TTypeKind::Float: {
        double value = 0;
        if (v.Kind == TFormValueKind::Float)
          value = v.Float;
        else if (v.Kind == TFormValueKind::Integer)
          value = static_cast<double>(v.Int);
        else
          invalid();
        Guard(context, where, line, [&] { SetFloatProp(target, pi, value); });
        break;
      }
      case TTypeKind::Method: {
        if (v.Kind != TFormValueKind::Ident) invalid();
        TMethod m = root_->MethodAddress(v.Text);
        if (!m) Fail(context, "event " + display + ": handler " + v.Text + " not found", line);
        try {
          SetMethodProp(target, pi, m);
        } catch (const EPropertyError&) {
          Fail(context, "event " + display + ": handler " + v.Text + " takes other parameters", line);
        } catch (const Exception& e) {
          Fail(context, where + ": " + e.Message(), line);
        }
        break;
      }
      case TTypeKind::Class:
        if (v.Kind == TFormValueKind::Ident) {
          if (!pi->PropClass || !pi->PropClass->InheritsFrom(TComponent::StaticClass()) || !pi->SetObject)
            invalid();
          fixups_.push_back({target, pi, v.Text, context, display, line, items});
        } else if (v.Kind == TFormValueKind::Collection) {
          auto* coll = dynamic_cast<TCollection*>(pi->GetObject(target));
          if (!coll) invalid();
          ReadCollection(coll, v, context, display, line, depth, items);
        } else {
          invalid();
        }
        break;
    }
  }

  void ReadCollection(TCollection* coll, const TFormValue& v, const std::string& context,
                      const std::string& display, int line, int depth,
                      const std::vector<const TCollectionItem*>& items) {
    if (depth + 1 > kMaxFormNesting) Fail(context, "objects nested too deep", line);
    // The items about to go take their pending references with them.
    std::set<const TCollectionItem*> old;
    for (int i = 0; i < coll->Count(); ++i) old.insert(coll->Items(i));
    std::erase_if(fixups_, [&](const Fixup& f) {
      for (const TCollectionItem* it : f.items)
        if (old.count(it)) return true;
      return false;
    });
    coll->BeginUpdate();
    try {
      Guard(context, "property " + display, line, [&] { coll->Clear(); });
      for (size_t i = 0; i < v.Items.size(); ++i) {
        const TFormItem& item = v.Items[i];
        TCollectionItem* ci = nullptr;
        Guard(context, "property " + display, item.Line, [&] { ci = coll->Add(); });
        std::vector<const TCollectionItem*> path = items;
        path.push_back(ci);
        ApplyProperties(ci, item.Properties, context, display + "[" + std::to_string(i) + "].", depth + 1,
                        path);
      }
    } catch (...) {
      try {
        coll->EndUpdate();
      } catch (...) {
        // The first error is the one to report.
      }
      throw;
    }
    Guard(context, "property " + display, line, [&] { coll->EndUpdate(); });
  }

  void ResolveFixups() {
    for (const Fixup& f : fixups_) {
      TComponent* target = !root_->Name().empty() && SameText(f.name, root_->Name())
                               ? root_
                               : root_->FindComponent(f.name);
      if (!target) Fail(f.context, "property " + f.display + ": component " + f.name + " not found", f.line);
      Guard(f.context, "property " + f.display, f.line, [&] { SetObjectProp(f.instance, f.prop, target); });
    }
    fixups_.clear();
  }

  // After an error: frees what the reader created and takes the rest out of the loading state.
  void Abandon() noexcept {
    fixups_.clear();
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      bool alive = false;
      for (int i = 0; i < root_->ComponentCount() && !alive; ++i) alive = root_->Components(i) == *it;
      if (alive) delete *it;
    }
    created_.clear();
    ClearLoading(root_);
  }

  static void ClearLoading(TComponent* c) noexcept {
    c->state_.Exclude(csLoading).Exclude(csReading);
    for (TComponent* owned : c->components_) ClearLoading(owned);
  }

  TComponent* root_;
  std::string rootClass_;
  std::vector<TComponent*> created_;
  std::vector<Fixup> fixups_;
};

void ReadRootComponent(TComponent* root, const TFormObject& tree) {
  if (!root) throw EReadError("Form description: no root component");
  if (!SameText(tree.ClassName, root->ClassName()))
    throw EReadError(Format("%s: the description is of class %s (line %d)", root->ClassName().c_str(),
                            tree.ClassName.c_str(), tree.Line));
  TFormReader(root).Read(tree);
}

void ReadRootComponent(TComponent* root, std::string_view text) {
  if (!root) throw EReadError("Form description: no root component");
  ReadRootComponent(root, ParseFormText(text, root->ClassName()));
}

TComponent* CreateFromFormText(std::string_view text, TComponent* owner) {
  TFormObject tree = ParseFormText(text);
  TClass cls = GetClass(tree.ClassName);
  if (!cls)
    throw EReadError(
        Format("%s: class %s not found (line %d)", tree.ClassName.c_str(), tree.ClassName.c_str(), tree.Line));
  if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->Factory())
    throw EReadError(Format("%s: class %s is not a component class (line %d)", tree.ClassName.c_str(),
                            tree.ClassName.c_str(), tree.Line));
  TComponent* root = nullptr;
  try {
    root = cls->CreateComponent(owner);
  } catch (const Exception& e) {
    throw EReadError(Format("%s: %s (line %d)", tree.ClassName.c_str(), e.Message().c_str(), tree.Line));
  }
  try {
    TFormReader(root).Read(tree);
  } catch (...) {
    delete root;
    throw;
  }
  return root;
}

// ---------------------------------------------------------------------------------------------------------
// Writer: components -> tree.

namespace {

class Writer {
 public:
  explicit Writer(TComponent* root) : root_(root) {}

  TFormObject Write() {
    TFormObject obj = Header(root_);
    WriteProperties(root_, obj.Properties, "", 1);
    // Children nest under their parent component; the rest sit directly in the form.
    std::map<const TComponent*, std::vector<TComponent*>> children;
    std::vector<TComponent*> top;
    for (int i = 0; i < root_->ComponentCount(); ++i) {
      TComponent* c = root_->Components(i);
      TComponent* parent = c->HasParent() ? c->GetParentComponent() : nullptr;
      if (parent && parent != root_ && parent != c && parent->Owner() == root_)
        children[parent].push_back(c);
      else
        top.push_back(c);
    }
    for (TComponent* c : top) obj.Children.push_back(WriteComponent(c, children, 2));
    // A parent cycle leaves components unreached; they still belong in the description.
    for (int i = 0; i < root_->ComponentCount(); ++i) {
      TComponent* c = root_->Components(i);
      if (!written_.count(c)) obj.Children.push_back(WriteComponent(c, children, 2));
    }
    return obj;
  }

 private:
  static TFormObject Header(const TComponent* c) {
    TFormObject obj;
    obj.Name = c->Name();
    obj.ClassName = c->ClassName();
    return obj;
  }

  [[noreturn]] static void TooDeep(const TComponent* root) {
    throw EWriteError(Format("%s: objects nested too deep", root->ClassName().c_str()));
  }

  TFormObject WriteComponent(TComponent* c, const std::map<const TComponent*, std::vector<TComponent*>>& children,
                             int depth) {
    if (depth > kMaxFormNesting) TooDeep(root_);
    written_.insert(c);
    TFormObject obj = Header(c);
    WriteProperties(c, obj.Properties, "", depth);
    auto it = children.find(c);
    if (it != children.end())
      for (TComponent* child : it->second)
        if (!written_.count(child)) obj.Children.push_back(WriteComponent(child, children, depth + 1));
    return obj;
  }

  void WriteProperties(TObject* obj, std::vector<TFormProperty>& out, const std::string& prefix, int depth) {
    if (depth > kMaxFormNesting) TooDeep(root_);
    for (const TPropInfo* pi : GetPropList(obj)) {
      if (!IsStoredProp(obj, pi)) continue;
      const std::string name = prefix + pi->Name;
      TFormValue v;
      switch (pi->Kind) {
        case TTypeKind::Integer:
        case TTypeKind::Int64:
          if (!pi->SetOrd) continue;
          if (std::string ident; IsColorProperty(pi) && ColorToIdent(static_cast<TColor>(pi->GetOrd(obj)), ident)) {
            v = TFormValue::FromIdent(std::move(ident));
            break;
          }
          v = TFormValue::FromInteger(pi->GetOrd(obj));
          break;
        case TTypeKind::Boolean:
        case TTypeKind::Enumeration: {
          if (!pi->SetOrd) continue;
          std::string ident = GetEnumName(pi, pi->GetOrd(obj));
          if (ident.empty()) continue;  // out of range: not expressible
          v = TFormValue::FromIdent(std::move(ident));
          break;
        }
        case TTypeKind::Set: {
          if (!pi->SetOrd) continue;
          v.Kind = TFormValueKind::Set;
          auto mask = static_cast<uint64_t>(pi->GetOrd(obj));
          for (size_t i = 0; i < pi->ElementNames.size() && i < 64; ++i)
            if (mask & (uint64_t{1} << i)) v.Strings.push_back(pi->ElementNames[i]);
          break;
        }
        case TTypeKind::String:
          if (!pi->SetStr) continue;
          v = TFormValue::FromString(pi->GetStr(obj));
          break;
        case TTypeKind::Float: {
          if (!pi->SetFloat) continue;
          double d = pi->GetFloat(obj);
          if (!std::isfinite(d)) continue;
          v.Kind = TFormValueKind::Float;
          v.Float = d;
          break;
        }
        case TTypeKind::Method: {
          TMethod m = pi->GetMethod(obj);
          if (!pi->SetMethod || m.Data != root_ || !m.Code) continue;  // only the form's own handlers
          v = TFormValue::FromIdent(m.Code->Name);
          break;
        }
        case TTypeKind::Class: {
          TObject* sub = pi->GetObject(obj);
          if (auto* c = dynamic_cast<TComponent*>(sub)) {
            if (!pi->SetObject || c->Name().empty() || (c != root_ && c->Owner() != root_)) continue;
            v = TFormValue::FromIdent(c->Name());
          } else if (auto* coll = dynamic_cast<TCollection*>(sub)) {
            if (coll->Count() == 0) continue;
            if (depth + 1 > kMaxFormNesting) TooDeep(root_);
            v.Kind = TFormValueKind::Collection;
            for (int i = 0; i < coll->Count(); ++i) {
              TFormItem& item = v.Items.emplace_back();
              WriteProperties(coll->Items(i), item.Properties, "", depth + 1);
            }
          } else {
            WriteProperties(sub, out, name + ".", depth + 1);
            continue;
          }
          break;
        }
      }
      out.push_back({name, 0, std::move(v)});
    }
    auto* persistent = dynamic_cast<TPersistent*>(obj);
    if (!persistent) return;
    TFiler filer(true);
    CollectDefinitions(persistent, filer);
    for (const TFiler::TDefinition& def : filer.Definitions()) {
      if (!def.HasData) continue;
      TFormValue v;
      if (def.Binary) {
        if (!def.WriteData) continue;
        TMemoryStream stream;
        def.WriteData(stream);
        v.Kind = TFormValueKind::Binary;
        v.Text = std::string(stream.Bytes());
      } else {
        if (!def.WriteValue) continue;
        v = def.WriteValue();
      }
      out.push_back({prefix + def.Name, 0, std::move(v)});
    }
  }

  TComponent* root_;
  std::set<const TComponent*> written_;
};

}  // namespace

TFormObject WriteFormObject(TComponent* root) { return Writer(root).Write(); }

std::string WriteFormText(TComponent* root) { return FormatFormText(WriteFormObject(root)); }

void ComponentAsError(const TComponent* root, std::string_view name, const TComponent* found, TClass wanted) {
  const std::string n(name);
  if (!found)
    throw EComponentError(Format("%s: component %s not found", root->ClassName().c_str(), n.c_str()));
  throw EComponentError(Format("%s: component %s is a %s, not a %s", root->ClassName().c_str(), n.c_str(),
                               found->ClassName().c_str(), wanted->ClassName().c_str()));
}

}  // namespace cl
