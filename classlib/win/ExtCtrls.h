// Helpers of forms: the timer, the panel, the picture and the image control.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "HiddenWindow.h"

namespace cl {

// Raises OnTimer every Interval milliseconds through the message loop of the thread that made it. A
// system timer exists only while the timer is Enabled, Interval is above 0 and OnTimer is assigned; while
// the component is being loaded it waits for Loaded. Changing Enabled, Interval or OnTimer starts the
// count again.
class TTimer : public TComponent {
  CL_CLASS(TTimer, TComponent)
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t interval);
  // The event is set through SetOnTimer so that the timer can start or stop with it.
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);

  // Whether a system timer runs at the moment.
  bool Running() const { return running_; }

 protected:
  void Loaded() override;
  // Raises OnTimer.
  virtual void Timer();

 private:
  void UpdateTimer();

  bool enabled_ = true;
  uint32_t interval_ = 1000;
  bool running_ = false;
  TNotifyEvent onTimer_;
  THiddenWindow window_;
};

enum TPanelBevel { bvNone, bvLowered, bvRaised };

// A container with a raised or lowered edge and a caption in its middle.
class TPanel : public TCustomControl {
  CL_CLASS(TPanel, TCustomControl)

  explicit TPanel(TComponent* owner);

  TPanelBevel BevelOuter() const noexcept { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel value);
  TPanelBevel BevelInner() const noexcept { return bevelInner_; }
  void SetBevelInner(TPanelBevel value);
  // BorderWidth (TWinControl) is published here: the margin between the edge and aligned children.

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;

 private:
  TPanelBevel bevelOuter_ = bvRaised;
  TPanelBevel bevelInner_ = bvNone;
};

// A bitmap or an icon, as a control shows it. In a description it is the block "Data": the class name of
// the picture (a length byte and the name, "TBitmap" or "TIcon") followed by the picture's file (BMP or
// ICO).
class TPicture : public TPersistent {
  CL_PLAIN_CLASS(TPicture, TPersistent)

  TPicture();
  ~TPicture() override;

  // Null when empty.
  TGraphic* Graphic() const noexcept { return graphic_.get(); }
  // Copies graphic (a TBitmap or a TIcon); null empties the picture.
  void SetGraphic(const TGraphic* graphic);
  // The picture as a bitmap / an icon; an empty one of that kind replaces a picture of the other kind.
  TBitmap* Bitmap();
  TIcon* Icon();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // A .bmp or .ico file, by its extension; EInvalidGraphic "Unknown picture file extension (.x)" else.
  void LoadFromFile(const std::string& fileName);
  void Assign(const TPersistent* source) override;
  void DefineProperties(TFiler& filer) override;

  // Raised when the picture or the graphic in it changes.
  TNotifyEvent OnChange;

 private:
  void Take(std::unique_ptr<TGraphic> graphic);
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);
  void Changed() { OnChange(this); }
  std::unique_ptr<TGraphic> graphic_;
};

// Shows a picture: at the top-left corner, centred (Center) or stretched to the control (Stretch). With
// AutoSize the control takes the picture's size. Transparent leaves out the transparent colour of a
// bitmap (icons always keep their mask).
class TImage : public TGraphicControl {
  CL_CLASS(TImage, TGraphicControl)

  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* Picture() const noexcept { return picture_.get(); }
  void SetPicture(TPicture* value) { picture_->Assign(value); }
  bool AutoSize() const noexcept { return autoSize_; }
  void SetAutoSize(bool value);
  bool Center() const noexcept { return center_; }
  void SetCenter(bool value);
  bool Stretch() const noexcept { return stretch_; }
  void SetStretch(bool value);
  bool Transparent() const noexcept { return transparent_; }
  void SetTransparent(bool value);

  // Where the picture is drawn, in client coordinates.
  TRect DestRect() const;

 protected:
  void Paint() override;
  void Loaded() override;

 private:
  void PictureChanged();
  void AdjustSize();
  std::unique_ptr<TPicture> picture_;
  bool autoSize_ = false;
  bool center_ = false;
  bool stretch_ = false;
  bool transparent_ = false;
};

}  // namespace cl

