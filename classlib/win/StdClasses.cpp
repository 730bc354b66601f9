#include "StdClasses.h"

#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Menus.h"
#include "StdCtrls.h"

namespace cl {

void RegisterStandardClasses() {
  RegisterClasses({TButton::StaticClass(), TCheckBox::StaticClass(), TEdit::StaticClass(), TTimer::StaticClass(),
                   TImageList::StaticClass(), TLabel::StaticClass(), TGroupBox::StaticClass(),
                   TPanel::StaticClass(), TComboBox::StaticClass(),
                   TUpDown::StaticClass(), TListView::StaticClass(), TImage::StaticClass()});
  RegisterClasses({TOpenDialog::StaticClass()});
  RegisterMenuClasses();
}

}  // namespace cl
