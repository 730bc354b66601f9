#include "StdClasses.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Menus.h"
#include "Spin.h"
#include "StdCtrls.h"
#include "Tabs.h"

namespace cl {

void RegisterStandardClasses() {
  RegisterClasses({TButton::StaticClass(), TCheckBox::StaticClass(), TEdit::StaticClass(), TMemo::StaticClass(), TTimer::StaticClass(),
                   TImageList::StaticClass(), TLabel::StaticClass(), TGroupBox::StaticClass(),
                   TPanel::StaticClass(), TComboBox::StaticClass(),
                   TUpDown::StaticClass(), TListView::StaticClass(), TImage::StaticClass()});
  RegisterClasses({TOpenDialog::StaticClass()});
  RegisterClasses({TRadioButton::StaticClass(), TSpinEdit::StaticClass(), TStatusBar::StaticClass(),
                   TProgressBar::StaticClass(), TSpeedButton::StaticClass(), TBitBtn::StaticClass(),
                   TTrackBar::StaticClass(), TTabSet::StaticClass()});
  RegisterMenuClasses();
}

}  // namespace cl
