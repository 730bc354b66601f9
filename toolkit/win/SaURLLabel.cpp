#include "SaURLLabel.h"

#include <windows.h>

#include <shellapi.h>

#include "Colors.h"
#include "WinString.h"

namespace toolkit {

// ------------------------------------------------------------------------------------------- the style

CL_BEGIN_CLASS(TSaURLLabelStyle)
    .Int("Color", &TSaURLLabelStyle::Color, &TSaURLLabelStyle::SetColor)
    .Int("HoverColor", &TSaURLLabelStyle::HoverColor, &TSaURLLabelStyle::SetHoverColor)
    .Object("Font", &TSaURLLabelStyle::Font, &TSaURLLabelStyle::SetFont)
CL_END_CLASS

TSaURLLabelStyle::TSaURLLabelStyle(TSaURLLabel* label, cl::TColor color, cl::TColor hoverColor,
                                   cl::TFontStyles fontStyle)
    : color_(color), hoverColor_(hoverColor), font_(std::make_unique<cl::TFont>()) {
  font_->SetStyle(fontStyle);
  font_->OnChange = [this](cl::TObject*) { Changed(); };
  label_ = label;
}

TSaURLLabelStyle::~TSaURLLabelStyle() = default;

void TSaURLLabelStyle::SetColor(cl::TColor value) {
  if (value == color_) return;
  color_ = value;
  Changed();
}

void TSaURLLabelStyle::SetHoverColor(cl::TColor value) {
  if (value == hoverColor_) return;
  hoverColor_ = value;
  Changed();
}

void TSaURLLabelStyle::Assign(const cl::TPersistent* source) {
  if (auto* other = dynamic_cast<const TSaURLLabelStyle*>(source)) {
    color_ = other->color_;
    hoverColor_ = other->hoverColor_;
    font_->Assign(other->font_.get());  // re-applies through the font's change event
    Changed();
    return;
  }
  inherited::Assign(source);
}

void TSaURLLabelStyle::Changed() {
  if (label_) label_->ApplyStyle();
}

// ------------------------------------------------------------------------------------------- the label

CL_BEGIN_CLASS(TSaURLLabel)
    .Object("ActiveStyle", &TSaURLLabel::ActiveStyle, &TSaURLLabel::SetActiveStyle)
    .Object("VisitedStyle", &TSaURLLabel::VisitedStyle, &TSaURLLabel::SetVisitedStyle)
    .Object("InactiveStyle", &TSaURLLabel::InactiveStyle, &TSaURLLabel::SetInactiveStyle)
    .Bool("Active", &TSaURLLabel::Active, &TSaURLLabel::SetActive, true)
    .Bool("AutoVisited", &TSaURLLabel::AutoVisited, &TSaURLLabel::SetAutoVisited, true)
    .Str("URL", &TSaURLLabel::URL, &TSaURLLabel::SetURL)
    .Bool("Visited", &TSaURLLabel::Visited, &TSaURLLabel::SetVisited, false)
    .Event("OnMouseEnter", &TSaURLLabel::OnMouseEnter)
    .Event("OnMouseExit", &TSaURLLabel::OnMouseExit)
CL_END_CLASS

void TSaURLLabel::ShellOpenUrl(const std::string& url) {
  // A link without a handler on this machine opens nothing; there is nobody to tell.
  ShellExecuteW(nullptr, L"open", cl::ToWide(url).c_str(), nullptr, nullptr, SW_SHOW);
}

TSaURLLabel::TSaURLLabel(cl::TComponent* owner) : TLabel(owner) {
  const cl::TFontStyles underlined{cl::fsUnderline};
  activeStyle_ = std::make_unique<TSaURLLabelStyle>(this, cl::clNavy, cl::clBlue, underlined);
  visitedStyle_ = std::make_unique<TSaURLLabelStyle>(this, cl::clPurple, cl::clBlue, underlined);
  inactiveStyle_ = std::make_unique<TSaURLLabelStyle>(this, cl::clBlack, cl::clBlack, cl::TFontStyles{});
  ApplyStyle();
}

TSaURLLabel::~TSaURLLabel() = default;

void TSaURLLabel::Loaded() {
  inherited::Loaded();
  ApplyStyle();
}

void TSaURLLabel::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  ApplyStyle();
}

void TSaURLLabel::SetVisited(bool value) {
  if (value == visited_) return;
  visited_ = value;
  ApplyStyle();
}

void TSaURLLabel::ApplyStyle() {
  // Called by the styles while the label is still making them.
  if (!activeStyle_ || !visitedStyle_ || !inactiveStyle_) return;
  const TSaURLLabelStyle* style =
      !active_ ? inactiveStyle_.get() : visited_ ? visitedStyle_.get() : activeStyle_.get();
  cl::TFont font;
  font.Assign(style->Font());
  // The style font's own colour is never shown.
  font.SetColor(hovering_ ? style->HoverColor() : style->Color());
  Font()->Assign(&font);
  // The label's own cursor: the hand over a live link, the window's cursor elsewhere. The application's
  // cursor is never touched, so leaving the label needs no reset.
  SetCursor(active_ ? cl::crHandPoint : cl::crDefault);
}

void TSaURLLabel::Click() {
  inherited::Click();
  if (!active_ || url_.empty()) return;
  if (autoVisited_) SetVisited(true);
  if (opener_) opener_(url_);
}

void TSaURLLabel::Dispatch(cl::TMessage& m) {
  switch (m.Msg) {
    case cl::CM_MOUSEENTER:
      inherited::Dispatch(m);
      hovering_ = true;
      OnMouseEnter(this);
      ApplyStyle();
      return;
    case cl::CM_MOUSELEAVE:
      inherited::Dispatch(m);
      hovering_ = false;
      OnMouseExit(this);
      ApplyStyle();
      return;
    case WM_MOUSEMOVE:
      // Not passed on: the link's own mouse-move is the cursor.
      if (active_) ::SetCursor(cl::CursorHandle(cl::crHandPoint));
      return;
  }
  inherited::Dispatch(m);
}

}  // namespace toolkit
