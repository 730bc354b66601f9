#include "hkAbout.h"

#include <windows.h>

#include <shellapi.h>

#include "IniFiles.h"
#include "SysUtils.h"
#include "WinString.h"
#include "hkLaunch.h"

namespace hk {

namespace {

constexpr char kSettings[] = "Settings";
constexpr char kHomepageVisited[] = "HomepageVisited";

void ShellOpenHidden(HWND owner, const std::string& target) {
  ShellExecuteW(owner, L"open", cl::ToWide(target).c_str(), nullptr, nullptr, SW_HIDE);
}

}  // namespace

TfrmAbout::TfrmAbout(cl::TComponent* owner) : TForm(owner), FOpener(ShellOpenHidden) {
  LoadDescription();
  // The hand belongs to the label itself: the rest of the program keeps its own cursors.
  lblEmail2->SetCursor(cl::crHandPoint);
  urlHomepage->SetOpener([](const std::string& url) { ShellOpen(nullptr, url); });
}

TfrmAbout* NewAbout(cl::TComponent* owner, const std::string& iniFileName) {
  return cl::NewForm<TfrmAbout>(owner, [&](TfrmAbout* form) { form->SetIniFileName(iniFileName); });
}

void TfrmAbout::FormCreate(cl::TObject*) {
  if (FIniFileName.empty()) return;
  urlHomepage->SetVisited(cl::TIniFile(FIniFileName).ReadInteger(kSettings, kHomepageVisited, 0) == 1);
}

void TfrmAbout::FormShow(cl::TObject*) { AnimIcon->Play(); }

void TfrmAbout::FormClose(cl::TObject*, cl::TCloseAction&) {
  timStart->SetEnabled(false);
  if (FIniFileName.empty()) return;
  try {
    cl::TIniFile(FIniFileName).WriteInteger(kSettings, kHomepageVisited, urlHomepage->Visited() ? 1 : 0);
  } catch (const cl::Exception&) {
    // A read-only settings file only forgets the visit.
  }
}

void TfrmAbout::FormKeyDown(cl::TObject*, uint16_t& key, cl::TShiftState) {
  if (key == VK_ESCAPE) Close();
}

void TfrmAbout::btnOkClick(cl::TObject*) { Close(); }

// One pass, then a pause of the timer's interval, then the next pass.
void TfrmAbout::AnimIconStopped(cl::TObject*) { timStart->SetEnabled(true); }

void TfrmAbout::timStartTimer(cl::TObject*) {
  timStart->SetEnabled(false);
  AnimIcon->Play();
}

void TfrmAbout::AnimIconDblClick(cl::TObject*) { AnimIcon->Play(); }

void TfrmAbout::lblEmail2Click(cl::TObject*) {
  if (FOpener) FOpener(Handle(), "mailto:" + lblEmail2->Caption());
}

void TfrmAbout::lblEmail2MouseMove(cl::TObject*, cl::TShiftState, int, int) { lblEmail2->Font()->SetColor(cl::clBlue); }

void TfrmAbout::pnlAboutMouseMove(cl::TObject*, cl::TShiftState, int, int) { lblEmail2->Font()->SetColor(cl::clNavy); }

CL_BEGIN_CLASS(TfrmAbout)
    .Method("FormCreate", &TfrmAbout::FormCreate)
    .Method("FormShow", &TfrmAbout::FormShow)
    .Method("FormClose", &TfrmAbout::FormClose)
    .Method("FormKeyDown", &TfrmAbout::FormKeyDown)
    .Method("AnimIconStopped", &TfrmAbout::AnimIconStopped)
    .Method("AnimIconDblClick", &TfrmAbout::AnimIconDblClick)
    .Method("timStartTimer", &TfrmAbout::timStartTimer)
    .Method("lblEmail2Click", &TfrmAbout::lblEmail2Click)
    .Method("lblEmail2MouseMove", &TfrmAbout::lblEmail2MouseMove)
    .Method("pnlAboutMouseMove", &TfrmAbout::pnlAboutMouseMove)
    .Method("btnOkClick", &TfrmAbout::btnOkClick)
CL_END_CLASS

}  // namespace hk
