#include "SaRegister.h"

#include "SaAniPlay.h"
#include "SaAniTray.h"
#include "SaSysHot.h"

namespace toolkit {

// The timer pool is left out on purpose: the program has exactly one, made on first use.
void RegisterToolkitClasses() {
  cl::RegisterClasses({TSaSysHotKey::StaticClass(), TSaAnimatedTrayIcon::StaticClass(),
                       TSaAnimatedIconPlayer::StaticClass()});
}

}  // namespace toolkit
