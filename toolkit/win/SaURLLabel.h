// A link label: its look comes from one of three styles (active, visited, inactive), each with a colour,
// a colour while the mouse is over it and a font; a click opens its URL and can mark the link visited.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "Graphics.h"
#include "StdCtrls.h"

namespace toolkit {

class TSaURLLabel;

// One look of a link. Every change re-applies the look of the label that owns the style.
class TSaURLLabelStyle : public cl::TPersistent {
  CL_CLASS(TSaURLLabelStyle, cl::TPersistent)

  TSaURLLabelStyle(TSaURLLabel* label, cl::TColor color, cl::TColor hoverColor, cl::TFontStyles fontStyle);
  ~TSaURLLabelStyle() override;

  cl::TColor Color() const noexcept { return color_; }
  void SetColor(cl::TColor value);
  cl::TColor HoverColor() const noexcept { return hoverColor_; }
  void SetHoverColor(cl::TColor value);
  cl::TFont* Font() const noexcept { return font_.get(); }
  void SetFont(cl::TFont* value) { font_->Assign(value); }

  // Copies Color, HoverColor and Font of another style.
  void Assign(const cl::TPersistent* source) override;

 private:
  void Changed();
  TSaURLLabel* label_;
  cl::TColor color_ = cl::clNavy;
  cl::TColor hoverColor_ = cl::clBlue;
  std::unique_ptr<cl::TFont> font_;
};

class TSaURLLabel : public cl::TLabel {
  CL_CLASS(TSaURLLabel, cl::TLabel)

  // What opens a URL: the shell by default; tests put a recorder in its place.
  using TOpener = std::function<void(const std::string& url)>;
  static void ShellOpenUrl(const std::string& url);

  explicit TSaURLLabel(cl::TComponent* owner);
  ~TSaURLLabel() override;

  TSaURLLabelStyle* ActiveStyle() const noexcept { return activeStyle_.get(); }
  void SetActiveStyle(TSaURLLabelStyle* value) { activeStyle_->Assign(value); }
  TSaURLLabelStyle* VisitedStyle() const noexcept { return visitedStyle_.get(); }
  void SetVisitedStyle(TSaURLLabelStyle* value) { visitedStyle_->Assign(value); }
  TSaURLLabelStyle* InactiveStyle() const noexcept { return inactiveStyle_.get(); }
  void SetInactiveStyle(TSaURLLabelStyle* value) { inactiveStyle_->Assign(value); }
  bool Active() const noexcept { return active_; }
  void SetActive(bool value);
  bool AutoVisited() const noexcept { return autoVisited_; }
  void SetAutoVisited(bool value) { autoVisited_ = value; }
  bool Visited() const noexcept { return visited_; }
  void SetVisited(bool value);
  const std::string& URL() const noexcept { return url_; }
  void SetURL(const std::string& value) { url_ = value; }
  bool Hovering() const noexcept { return hovering_; }

  void SetOpener(TOpener opener) { opener_ = std::move(opener); }

  // Shows the style of the current state in the label's font.
  void ApplyStyle();

  // OnClick, then (active, with a URL) marks the link visited when AutoVisited and opens it.
  void Click() override;

  cl::TNotifyEvent OnMouseEnter;
  cl::TNotifyEvent OnMouseExit;

  void Dispatch(cl::TMessage& message) override;

 protected:
  void Loaded() override;

 private:
  std::unique_ptr<TSaURLLabelStyle> activeStyle_;
  std::unique_ptr<TSaURLLabelStyle> visitedStyle_;
  std::unique_ptr<TSaURLLabelStyle> inactiveStyle_;
  TOpener opener_{ShellOpenUrl};
  std::string url_;
  bool active_ = true;
  bool autoVisited_ = true;
  bool visited_ = false;
  bool hovering_ = false;
};

}  // namespace toolkit
