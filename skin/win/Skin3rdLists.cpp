#include "WinSkinData.h"

// The Skin3rd lists: the default one, and the one that Pellwick's form stores in its place.
namespace skin {

const std::vector<std::string>& DefaultSkin3rd() {
  static const std::vector<std::string> lines{
      "TAdvPanelGroup=embedscrollbar", "TComboboxex=combobox", "TRxSpeedButton=speedbutton",
      "TControlBar=Panel", "TTBDock=Panel", "TTBToolbar=Panel",
      "TAdvPageControl=nil", "TImageEnMView=scrollbar", "TImageEnView=scrollbar",
      "TAdvMemo=scrollbar", "TDBAdvMemo=scrollbar", "TcxDBLookupComboBox=combobox",
      "TcxDBComboBox=combobox", "TcxDBDateEdit=combobox", "TcxDBImageComboBox=combobox",
      "TcxDBCalcEdit=combobox", "TcxDBBlobEdit=combobox", "TcxDBPopupEdit=combobox",
      "TcxDBFontNameComboBox=combobox", "TcxDBShellComboBox=combobox", "TRxLookupEdit=combobox",
      "TRxDBLookupCombo=combobox", "TRzButton=button", "TRzBitbtn=bitbtn",
      "TRzMenuButton=bitbtn", "TRzCheckGroup=CheckGroup", "TRzRadioGroup=Radiogroup",
      "TRzRadioButton=Radiobutton", "TRzCheckBox=Checkbox", "TRzButtonEdit=Edit",
      "TRzDBRadioGroup=Radiogroup", "TRzDBRadioButton=Radiobutton", "TRzDateTimeEdit=combobox",
      "TRzColorEdit=combobox", "TRzDateTimePicker=combobox", "TRzDBDateTimeEdit=combobox",
      "TRzDbColorEdit=combobox", "TRzDBDateTimePicker=combobox", "TLMDGroupBox=Groupbox",
      "TDBCheckboxEh=Checkbox", "TDBCheckboxEh=Checkbox", "TLMDCHECKBOX=Checkbox",
      "TLMDDBCHECKBOX=Checkbox", "TLMDRadiobutton=Radiobutton", "TLMDCalculator=panel",
      "TLMDGROUPBOX=Panel", "TLMDSIMPLEPANEL=Panel", "TLMDDBCalendar=Panel",
      "TLMDButtonPanel=Panel", "TLMDLMDCalculator=Panel", "TLMDHeaderPanel=Panel",
      "TLMDTechnicalLine=Panel", "TLMDLMDClock=Panel", "TLMDTrackbar=panel",
      "TLMDListCombobox=combobox", "TLMDCheckListCombobox=combobox", "TLMDHeaderListCombobox=combobox",
      "TLMDImageCombobox=combobox", "TLMDColorCombobox=combobox", "TLMDFontCombobox=combobox",
      "TLMDFontSizeCombobox=combobox", "TLMDFontSizeCombobox=combobox", "TLMDPrinterCombobox=combobox",
      "TLMDDriveCombobox=combobox", "TLMDCalculatorComboBox=combobox", "TLMDTrackBarComboBox=combobox",
      "TLMDCalendarComboBox=combobox", "TLMDTreeComboBox=combobox", "TLMDRADIOGROUP=radiogroup",
      "TLMDCheckGroup=CheckGroup", "TLMDDBRADIOGROUP=radiogroup", "TLMDDBCheckGroup=CheckGroup",
      "TLMDCalculatorEdit=edit", "TLMDEDIT=Edit", "TLMDMASKEDIT=Edit",
      "TLMDBROWSEEDIT=Edit", "TLMDEXTSPINEDIT=Edit", "TLMDCALENDAREDIT=Edit",
      "TLMDFILEOPENEDIT=Edit", "TLMDFILESAVEEDIT=Edit", "TLMDCOLOREDIT=Edit",
      "TLMDDBEDIT=Edit", "TLMDDBMASKEDIT=Edit", "TLMDDBEXTSPINEDIT=Edit",
      "TLMDDBSPINEDIT=Edit", "TLMDDBEDITDBLookup=Edit", "TLMDEDITDBLookup=Edit",
      "TDBLookupCombobox=Combobox", "TWWDBCombobox=Combobox", "TWWDBLookupCombo=Combobox",
      "TWWDBCombobox=Combobox", "TWWKeyCombo=Combobox", "TWWTempKeyCombo=combobox",
      "TWWDBDateTimePicker=Combobox", "TWWRADIOGROUP=radiogroup", "TWWDBEDIT=Edit",
      "TcxButton=bitbtn", "TcxDBCheckBox=checkbox", "TcxDBRadioGroup=radiogroup",
      "TcxRadioGroup=radiogroup", "TcxCheckBox=checkbox", "TOVCPICTUREFIELD=Edit",
      "TOVCDBPICTUREFIELD=Edit", "TOVCSLIDEREDIT=Edit", "TOVCDBSLIDEREDIT=Edit",
      "TOVCSIMPLEFIELD=Edit", "TOVCDBSIMPLEFIELD=Edit", "TO32DBFLEXEDIT=Edit",
      "TOVCNUMERICFIELD=Edit", "TOVCDBNUMERICFIELD=Edit",
  };
  return lines;
}

const std::vector<std::string>& PellwickSkin3rd() {
  static const std::vector<std::string> lines{
      "TTBDock=Panel", "TTBToolbar=Panel", "TImageEnMView=scrollbar",
      "TImageEnView=scrollbar", "TRzButton=button", "TRzCheckGroup=CheckGroup",
      "TRzRadioGroup=Radiogroup", "TRzRadioButton=Radiobutton", "TRzCheckBox=Checkbox",
      "TRzButtonEdit=Edit", "TRzDBRadioGroup=Radiogroup", "TRzDBRadioButton=Radiobutton",
      "TRzDBCheckBox=Checkbox", "TDBCheckboxEh=Checkbox", "TDBCheckboxEh=Checkbox",
      "TLMDCHECKBOX=Checkbox", "TLMDDBCHECKBOX=Checkbox", "TLMDRadiobutton=Radiobutton",
      "TLMDGROUPBOX=Panel", "TLMDSIMPLEPANEL=Panel", "TLMDDBCalendar=Panel",
      "TLMDButtonPanel=Panel", "TLMDLMDCalculator=Panel", "TLMDHeaderPanel=Panel",
      "TLMDTechnicalLine=Panel", "TLMDLMDClock=Panel", "TLMDTrackbar=trackbar",
      "TLMDListCombobox=combobox", "TLMDCheckListCombobox=combobox", "TLMDHeaderListCombobox=combobox",
      "TLMDImageCombobox=combobox", "TLMDColorCombobox=combobox", "TLMDFontCombobox=combobox",
      "TLMDFontSizeCombobox=combobox", "TLMDFontSizeCombobox=combobox", "TLMDPrinterCombobox=combobox",
      "TLMDDriveCombobox=combobox", "TLMDCalculatorComboBox=combobox", "TLMDTrackBarComboBox=combobox",
      "TLMDCalendarComboBox=combobox", "TLMDRADIOGROUP=radiogroup", "TLMDCheckGroup=CheckGroup",
      "TLMDDBRADIOGROUP=radiogroup", "TLMDDBCheckGroup=CheckGroup", "TLMDEDIT=Edit",
      "TLMDMASKEDIT=Edit", "TLMDBROWSEEDIT=Edit", "TLMDEXTSPINEDIT=Edit",
      "TLMDCALENDAREDIT=Edit", "TLMDFILEOPENEDIT=Edit", "TLMDFILESAVEEDIT=Edit",
      "TLMDCOLOREDIT=Edit", "TLMDDBEDIT=Edit", "TLMDDBMASKEDIT=Edit",
      "TLMDDBEXTSPINEDIT=Edit", "TLMDDBSPINEDIT=Edit", "TLMDDBEDITDBLookup=Edit",
      "TLMDEDITDBLookup=Edit", "TDBLookupCombobox=Combobox", "TWWDBCombobox=Combobox",
      "TWWDBLookupCombo=Combobox", "TWWDBCombobox=Combobox", "TWWKeyCombo=Combobox",
      "TWWTempKeyCombo=combobox", "TWWDBDateTimePicker=Combobox", "TWWRADIOGROUP=radiogroup",
      "TDXDBPICKEDIT=Combobox", "TDXDBCALCEDIT=Combobox", "TDXDBIMAGEEDIT=Combobox",
      "TDXDBPOPUPEDIT=Combobox", "TDXDBEXTLOOKUPEDIT=Combobox", "TDXDBLOOKUPEDIT=Combobox",
      "TDXDBDATEEDIT=Combobox", "TDXDATEEDIT=Combobox", "TDXPICKEDIT=Combobox",
      "TDXPOPUPEDIT=Combobox", "TDXDBCURRENCYEDIT=Edit", "TDXDBEDIT=Edit",
      "TDXDBMASKEDIT=Edit", "TDXDBHYPERLINKEDIT=Edit", "TDXEDIT=Edit",
      "TDXMASKEDIT=Edit", "TWWDBEDIT=Edit", "TDXBUTTONEDIT=Edit",
      "TDXCURRENCYEDIT=Edit", "TDXHYPERLINKEDIT=Edit", "TOVCPICTUREFIELD=Edit",
      "TOVCDBPICTUREFIELD=Edit", "TOVCSLIDEREDIT=Edit", "TOVCDBSLIDEREDIT=Edit",
      "TOVCSIMPLEFIELD=Edit", "TOVCDBSIMPLEFIELD=Edit", "TO32DBFLEXEDIT=Edit",
      "TOVCNUMERICFIELD=Edit", "TOVCDBNUMERICFIELD=Edit",
  };
  return lines;
}

}  // namespace skin
