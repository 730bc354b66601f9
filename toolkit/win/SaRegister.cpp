#include "SaRegister.h"

#include "SaAniPlay.h"
#include "SaAniTray.h"
#include "SaBrowseEdit.h"
#include "SaBrowseFolder.h"
#include "SaPathLabel.h"
#include "SaSortListView.h"
#include "SaSysHot.h"
#include "SaURLLabel.h"
#include "ToolDock.h"

namespace toolkit {

// The timer pool is left out on purpose: the program has exactly one, made on first use.
void RegisterToolkitClasses() {
  cl::RegisterClasses({TSaSysHotKey::StaticClass(), TSaAnimatedTrayIcon::StaticClass(),
                       TSaAnimatedIconPlayer::StaticClass(), TSaSortListView::StaticClass()});
  cl::RegisterClasses({TSaBrowseForFolder::StaticClass(), TSaBrowseEdit::StaticClass()});
  cl::RegisterClasses({dock::TToolWin::StaticClass(), dock::TToolDock::StaticClass()});
  cl::RegisterClasses({TSaURLLabel::StaticClass(), TSaPathLabel::StaticClass()});
}

}  // namespace toolkit
