// The about box: product name, version, the animated key, the web and e-mail links. Shown modally.
#pragma once
#include <functional>
#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "SaAniPlay.h"
#include "SaURLLabel.h"
#include "StdCtrls.h"

namespace hk {

class TfrmAbout : public cl::TForm {
  CL_CLASS(TfrmAbout, cl::TForm)

  // Use NewAbout: the settings file must be known before the creation handler runs.
  explicit TfrmAbout(cl::TComponent* owner);

  // What opens the e-mail link ("mailto:..."): the shell by default.
  using TOpener = std::function<void(HWND owner, const std::string& target)>;
  void SetOpener(TOpener opener) { FOpener = std::move(opener); }
  void SetIniFileName(const std::string& name) { FIniFileName = name; }

  toolkit::TSaURLLabel* HomepageLink() const noexcept { return urlHomepage; }
  cl::TLabel* EmailLabel() const noexcept { return lblEmail2; }
  toolkit::TSaAnimatedIconPlayer* Player() const noexcept { return AnimIcon; }
  cl::TTimer* ReplayTimer() const noexcept { return timStart; }

 private:
  void FormCreate(cl::TObject* sender);
  void FormShow(cl::TObject* sender);
  void FormClose(cl::TObject* sender, cl::TCloseAction& action);
  void FormKeyDown(cl::TObject* sender, uint16_t& key, cl::TShiftState shift);
  void AnimIconStopped(cl::TObject* sender);
  void AnimIconDblClick(cl::TObject* sender);
  void timStartTimer(cl::TObject* sender);
  void lblEmail2Click(cl::TObject* sender);
  void lblEmail2MouseMove(cl::TObject* sender, cl::TShiftState shift, int x, int y);
  void pnlAboutMouseMove(cl::TObject* sender, cl::TShiftState shift, int x, int y);
  void btnOkClick(cl::TObject* sender);

  CL_FIELDS((toolkit::TSaAnimatedIconPlayer, AnimIcon),
            (toolkit::TSaURLLabel, urlHomepage),
            (cl::TLabel, lblEmail2),
            (cl::TTimer, timStart))
  TOpener FOpener;
  std::string FIniFileName;
};

// Creates the about box with its settings in iniFileName; the caller shows it modally and frees it.
TfrmAbout* NewAbout(cl::TComponent* owner, const std::string& iniFileName);

}  // namespace hk
