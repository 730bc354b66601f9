// Anchors, inner margins, label accelerators and the picture control.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ExtCtrls.h"
#include "FormReader.h"
#include "Forms.h"
#include "FormsTestSupport.h"
#include "Graphics.h"
#include "PaintSurface.h"
#include "StdClasses.h"
#include "StdCtrls.h"
#include "Streams.h"

namespace {

using formstest::AppTest;

class LayoutTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    form_->SetBounds(50, 50, 400, 300);
  }
  template <class T>
  T* Child(cl::TWinControl* parent, int left, int top, int width, int height) {
    auto* c = new T(form_);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
  }
  cl::TForm* form_ = nullptr;
};

// The colour at (x, y) of the form's client area as its windowless children paint it.
COLORREF PaintedPixel(cl::TWinControl* form, int x, int y) {
  const hktest::PaintSurface surface(form->ClientWidth(), form->ClientHeight());
  form->Perform(WM_PRINTCLIENT, reinterpret_cast<uintptr_t>(surface.DC()), PRF_CLIENT | PRF_ERASEBKGND);
  return surface.Pixel(x, y);
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

// A 2 x 2 bitmap: red, green / blue, white (top row first).
std::string SmallBmp() {
  cl::TBitmap bmp;
  bmp.SetPixelFormat(cl::pf24bit);
  bmp.SetSize(2, 2);
  bmp.Canvas()->SetPixels(0, 0, cl::clRed);
  bmp.Canvas()->SetPixels(1, 0, cl::clLime);
  bmp.Canvas()->SetPixels(0, 1, cl::clBlue);
  bmp.Canvas()->SetPixels(1, 1, cl::clWhite);
  cl::TMemoryStream s;
  bmp.SaveToStream(s);
  return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

TEST_F(LayoutTest, AnchoredControlsKeepTheirDistancesWhenTheParentIsResized) {
  form_->HandleNeeded();
  const int w = form_->ClientWidth();
  const int h = form_->ClientHeight();
  auto* right = Child<cl::TButton>(form_, w - 85, h - 35, 75, 25);
  right->SetAnchors({cl::akRight, cl::akBottom});
  auto* wide = Child<cl::TEdit>(form_, 10, 10, w - 20, 21);
  wide->SetAnchors({cl::akLeft, cl::akTop, cl::akRight});
  auto* plain = Child<cl::TEdit>(form_, 10, 40, 100, 21);
  auto* middle = Child<cl::TEdit>(form_, 100, 80, 50, 21);
  middle->SetAnchors({});

  form_->SetClientSize(w + 60, h + 40);
  ASSERT_EQ(form_->ClientWidth(), w + 60);
  EXPECT_EQ(right->BoundsRect(), cl::Bounds(w + 60 - 85, h + 40 - 35, 75, 25));
  EXPECT_EQ(wide->BoundsRect(), cl::Bounds(10, 10, w + 40, 21));
  EXPECT_EQ(plain->BoundsRect(), cl::Bounds(10, 40, 100, 21));
  EXPECT_EQ(middle->BoundsRect(), cl::Bounds(130, 100, 50, 21));
  // The windows went along.
  RECT r;
  GetWindowRect(right->Handle(), &r);
  MapWindowPoints(HWND_DESKTOP, form_->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, w + 60 - 85);
  EXPECT_EQ(r.top, h + 40 - 35);

  // Growing back restores the first layout.
  form_->SetClientSize(w, h);
  EXPECT_EQ(wide->BoundsRect(), cl::Bounds(10, 10, w - 20, 21));
  EXPECT_EQ(right->BoundsRect(), cl::Bounds(w - 85, h - 35, 75, 25));

  // Moving the control in code makes its new place the one kept.
  right->SetLeft(20);
  form_->SetClientSize(w + 10, h);
  EXPECT_EQ(right->Left(), 30);

  // Shrinking a container past the size never makes a negative width.
  auto* panel = Child<cl::TPanel>(form_, 0, 0, 100, 50);
  auto* inner = Child<cl::TEdit>(panel, 10, 10, 80, 21);
  inner->SetAnchors({cl::akLeft, cl::akRight});
  panel->SetWidth(10);
  EXPECT_EQ(inner->BoundsRect(), cl::Bounds(10, 10, 0, 21));
  panel->SetWidth(120);
  EXPECT_EQ(inner->BoundsRect(), cl::Bounds(10, 10, 100, 21));
}

TEST_F(LayoutTest, BorderWidthInsetsAlignedChildren) {
  auto* panel = Child<cl::TPanel>(form_, 0, 0, 200, 100);
  panel->SetBevelOuter(cl::bvNone);
  panel->SetBorderWidth(4);
  auto* top = Child<cl::TPanel>(panel, 0, 0, 10, 20);
  top->SetAlign(cl::alTop);
  auto* client = Child<cl::TPanel>(panel, 0, 0, 10, 10);
  client->SetAlign(cl::alClient);
  EXPECT_EQ(top->BoundsRect(), cl::Bounds(4, 4, 192, 20));
  EXPECT_EQ(client->BoundsRect(), cl::Bounds(4, 24, 192, 72));
  panel->SetBorderWidth(0);
  EXPECT_EQ(client->BoundsRect(), cl::Bounds(0, 20, 200, 80));
  panel->SetBorderWidth(-3);  // no negative margin
  EXPECT_EQ(panel->BorderWidth(), 0);
}

TEST_F(LayoutTest, DescriptionsLayOutAnchorsFromTheirOwnSizes) {
  // The button row is aligned to the bottom only when the reading is done; its button keeps the distance
  // the description gives to the right edge of the row, whatever width the row then gets.
  cl::ReadRootComponent(form_,
                        "object frmLayout: TForm\n"
                        "  Width = 300\n"
                        "  Height = 200\n"
                        "  object pnlBottom: TPanel\n"
                        "    Left = 0\n"
                        "    Top = 150\n"
                        "    Width = 250\n"
                        "    Height = 33\n"
                        "    Align = alBottom\n"
                        "    BorderWidth = 2\n"
                        "    BevelOuter = bvNone\n"
                        "    object btnClose: TButton\n"
                        "      Left = 165\n"
                        "      Top = 4\n"
                        "      Width = 75\n"
                        "      Height = 25\n"
                        "      Anchors = [akTop, akRight]\n"
                        "      Caption = '&Close'\n"
                        "    end\n"
                        "  end\n"
                        "  object pnlClient: TPanel\n"
                        "    Align = alClient\n"
                        "    BorderWidth = 4\n"
                        "    object lvTable: TListView\n"
                        "      Align = alClient\n"
                        "      ViewStyle = vsReport\n"
                        "    end\n"
                        "  end\n"
                        "end\n");
  auto* bottom = cl::ComponentAs<cl::TPanel>(form_, "pnlBottom");
  auto* close = cl::ComponentAs<cl::TButton>(form_, "btnClose");
  auto* client = cl::ComponentAs<cl::TPanel>(form_, "pnlClient");
  auto* table = cl::ComponentAs<cl::TWinControl>(form_, "lvTable");
  EXPECT_EQ(bottom->BorderWidth(), 2);
  EXPECT_EQ(close->Anchors(), (cl::TAnchors{cl::akTop, cl::akRight}));
  const int w = form_->ClientWidth();
  const int h = form_->ClientHeight();
  EXPECT_EQ(bottom->BoundsRect(), cl::Bounds(0, h - 33, w, 33));
  EXPECT_EQ(close->BoundsRect(), cl::Bounds(w - 85, 4, 75, 25));
  EXPECT_EQ(client->BoundsRect(), cl::Bounds(0, 0, w, h - 33));
  EXPECT_EQ(table->BoundsRect(), cl::Bounds(4, 4, w - 8, h - 41));

  form_->SetClientSize(w + 100, h + 50);
  EXPECT_EQ(close->BoundsRect(), cl::Bounds(w + 100 - 85, 4, 75, 25));
  EXPECT_EQ(table->BoundsRect(), cl::Bounds(4, 4, w + 92, h + 9));

  // Only what differs from the defaults is written back.
  const std::string text = cl::WriteFormText(form_);
  EXPECT_NE(text.find("Anchors = [akTop, akRight]"), std::string::npos) << text;
  EXPECT_NE(text.find("BorderWidth = 4"), std::string::npos);
  EXPECT_EQ(text.find("Anchors = [akLeft, akTop]"), std::string::npos);
}

TEST_F(LayoutTest, AnchorsOfAFormGivenByItsClientSize) {
  cl::ReadRootComponent(form_,
                        "object frmClient: TForm\n"
                        "  BorderStyle = bsDialog\n"
                        "  ClientHeight = 150\n"
                        "  ClientWidth = 420\n"
                        "  object btnOk: TButton\n"
                        "    Left = 335\n"
                        "    Top = 115\n"
                        "    Anchors = [akRight, akBottom]\n"
                        "  end\n"
                        "end\n");
  EXPECT_EQ(form_->ClientWidth(), 420);
  EXPECT_EQ(form_->ClientHeight(), 150);
  EXPECT_EQ(cl::ComponentAs<cl::TButton>(form_, "btnOk")->BoundsRect(), cl::Bounds(335, 115, 75, 25));
}

TEST_F(LayoutTest, LabelAcceleratorFocusesItsControl) {
  EXPECT_TRUE(cl::IsAccel(L'v', "Number of &Virtual Clipboards:"));
  EXPECT_TRUE(cl::IsAccel(L'V', "Number of &Virtual Clipboards:"));
  EXPECT_FALSE(cl::IsAccel(L'n', "Number of &Virtual Clipboards:"));
  EXPECT_FALSE(cl::IsAccel(L'a', "Fish && &Chips"));
  EXPECT_TRUE(cl::IsAccel(L'c', "Fish && &Chips"));
  EXPECT_FALSE(cl::IsAccel(L'x', "Trailing &"));

  cl::ReadRootComponent(form_,
                        "object frmAccel: TForm\n"
                        "  object grpOptions: TGroupBox\n"
                        "    Width = 300\n"
                        "    Height = 100\n"
                        "    object lblCount: TLabel\n"
                        "      Left = 8\n"
                        "      Top = 20\n"
                        "      Caption = 'Number of &Virtual Clipboards:'\n"
                        "      FocusControl = edtCount\n"
                        "    end\n"
                        "    object edtCount: TEdit\n"
                        "      Left = 200\n"
                        "      Top = 16\n"
                        "      Width = 40\n"
                        "    end\n"
                        "  end\n"
                        "  object edtOther: TEdit\n"
                        "    Left = 8\n"
                        "    Top = 120\n"
                        "  end\n"
                        "end\n");
  auto* label = cl::ComponentAs<cl::TLabel>(form_, "lblCount");
  auto* count = cl::ComponentAs<cl::TEdit>(form_, "edtCount");
  auto* other = cl::ComponentAs<cl::TEdit>(form_, "edtOther");
  ASSERT_EQ(label->FocusControl(), count);
  form_->Show();
  Pump();
  other->SetFocus();
  ASSERT_TRUE(other->Focused());

  // Alt and another letter leave the focus where it is; Alt+V moves it to the label's control.
  PostMessageW(other->Handle(), WM_SYSCHAR, 'q', 0x20000001);
  Pump();
  EXPECT_TRUE(other->Focused());
  PostMessageW(other->Handle(), WM_SYSCHAR, 'v', 0x20000001);
  Pump();
  EXPECT_TRUE(count->Focused());

  // Buttons and check boxes answer theirs; a disabled button does not.
  auto* button = Child<cl::TButton>(form_, 8, 150, 75, 25);
  button->SetCaption("&New");
  int clicks = 0;
  button->OnClick = [&](cl::TObject*) { ++clicks; };
  auto* check = Child<cl::TCheckBox>(form_, 100, 150, 120, 17);
  check->SetCaption("Auto Startup with &Windows");
  PostMessageW(other->Handle(), WM_SYSCHAR, 'n', 0x20000001);
  PostMessageW(other->Handle(), WM_SYSCHAR, 'W', 0x20000001);
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(check->Checked());
  EXPECT_TRUE(check->Focused());
  button->SetEnabled(false);
  EXPECT_EQ(form_->Perform(cl::CM_DIALOGCHAR, 'n', 0x20000001), 0);
  EXPECT_EQ(clicks, 1);

  // A hidden label answers no accelerator; a freed control is forgotten.
  other->SetFocus();
  label->SetVisible(false);
  EXPECT_EQ(form_->Perform(cl::CM_DIALOGCHAR, 'v', 0x20000001), 0);
  label->SetVisible(true);
  delete count;
  EXPECT_EQ(label->FocusControl(), nullptr);
  EXPECT_EQ(form_->Perform(cl::CM_DIALOGCHAR, 'v', 0x20000001), 0);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(LayoutTest, GroupBoxesPaintTheirWindowlessChildren) {
  auto* group = Child<cl::TGroupBox>(form_, 10, 10, 200, 100);
  auto* label = new cl::TLabel(form_);
  label->SetParent(group);
  label->SetAutoSize(false);
  label->SetBounds(20, 30, 40, 15);
  label->SetColor(cl::clRed);
  form_->HandleNeeded();
  const hktest::PaintSurface surface(200, 100);
  PatBlt(surface.DC(), 0, 0, 200, 100, WHITENESS);
  SendMessageW(group->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()), 0);
  EXPECT_EQ(surface.Pixel(25, 35), RGB(255, 0, 0));
  EXPECT_NE(surface.Pixel(70, 35), RGB(255, 0, 0));
}

TEST_F(LayoutTest, ImageReadsItsPictureFromADescriptionAndPaintsIt) {
  const std::string bmp = SmallBmp();
  const std::string block = std::string("\x07") + "TBitmap" + bmp;
  cl::ReadRootComponent(form_,
                        "object frmImage: TForm\n"
                        "  Width = 200\n"
                        "  Height = 150\n"
                        "  Color = clBlack\n"
                        "  object imgPlain: TImage\n"
                        "    Left = 10\n"
                        "    Top = 10\n"
                        "    Width = 50\n"
                        "    Height = 50\n"
                        "    AutoSize = True\n"
                        "    Picture.Data = {" +
                            Hex(block) +
                            "}\n"
                            "  end\n"
                            "  object imgStretched: TImage\n"
                            "    Left = 100\n"
                            "    Top = 10\n"
                            "    Width = 20\n"
                            "    Height = 20\n"
                            "    Stretch = True\n"
                            "    Picture.Data = {" +
                            Hex(block) +
                            "}\n"
                            "  end\n"
                            "end\n");
  auto* plain = cl::ComponentAs<cl::TImage>(form_, "imgPlain");
  auto* stretched = cl::ComponentAs<cl::TImage>(form_, "imgStretched");
  ASSERT_NE(dynamic_cast<cl::TBitmap*>(plain->Picture()->Graphic()), nullptr);
  EXPECT_EQ(plain->BoundsRect(), cl::Bounds(10, 10, 2, 2));  // AutoSize
  EXPECT_EQ(stretched->BoundsRect(), cl::Bounds(100, 10, 20, 20));
  form_->HandleNeeded();
  EXPECT_EQ(PaintedPixel(form_, 10, 10), RGB(255, 0, 0));
  EXPECT_EQ(PaintedPixel(form_, 11, 10), RGB(0, 255, 0));
  EXPECT_EQ(PaintedPixel(form_, 10, 11), RGB(0, 0, 255));
  EXPECT_EQ(PaintedPixel(form_, 12, 12), RGB(0, 0, 0));  // the form around it
  EXPECT_EQ(PaintedPixel(form_, 100 + 4, 10 + 4), RGB(255, 0, 0));
  EXPECT_EQ(PaintedPixel(form_, 100 + 15, 10 + 15), RGB(255, 255, 255));

  // Centred, the picture sits in the middle; transparent, its bottom-left colour (blue) is left out.
  stretched->SetStretch(false);
  stretched->SetCenter(true);
  EXPECT_EQ(stretched->DestRect(), cl::Bounds(9, 9, 2, 2));
  EXPECT_EQ(PaintedPixel(form_, 109, 19), RGB(255, 0, 0));
  EXPECT_EQ(PaintedPixel(form_, 109, 20), RGB(0, 0, 255));
  stretched->SetTransparent(true);
  EXPECT_EQ(PaintedPixel(form_, 109, 20), RGB(0, 0, 0));
  EXPECT_EQ(PaintedPixel(form_, 110, 19), RGB(0, 255, 0));

  // Written back as the same block.
  const cl::TFormObject tree = cl::WriteFormObject(form_);
  ASSERT_EQ(tree.Children.size(), 2u);
  const cl::TFormProperty* data = nullptr;
  for (const auto& p : tree.Children[0].Properties)
    if (p.Name == "Picture.Data") data = &p;
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->Value.Text, block);
}

TEST_F(LayoutTest, IconPicturesAndBadPictureData) {
  cl::TPicture picture;
  int changes = 0;
  picture.OnChange = [&](cl::TObject*) { ++changes; };
  HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  picture.Icon()->SetHandle(CopyIcon(icon));
  EXPECT_GE(changes, 1);
  EXPECT_GT(picture.Width(), 0);
  auto* image = new cl::TImage(form_);
  image->SetParent(form_);
  image->Picture()->Assign(&picture);
  ASSERT_NE(dynamic_cast<cl::TIcon*>(image->Picture()->Graphic()), nullptr);
  const cl::TFormObject tree = cl::WriteFormObject(form_);
  ASSERT_EQ(tree.Children.size(), 1u);
  ASSERT_EQ(tree.Children[0].Properties.back().Name, "Picture.Data");
  const std::string& block = tree.Children[0].Properties.back().Value.Text;
  EXPECT_EQ(block.substr(0, 6), std::string("\x05TIcon"));
  EXPECT_EQ(block.substr(6, 4), std::string("\0\0\1\0", 4));  // an icon file follows

  // An unknown class or a cut-off file is refused, and the image keeps the picture it had.
  const std::string bmp = SmallBmp();
  auto load = [&](const std::string& block) {
    cl::TForm* other = cl::NewForm<cl::TForm>(app_.get());
    std::string message;
    try {
      cl::ReadRootComponent(other, "object frmBad: TForm\n  object img: TImage\n    Picture.Data = {" + Hex(block) +
                                       "}\n  end\nend\n");
    } catch (const cl::EReadError& e) {
      message = e.what();
    }
    delete other;
    return message;
  };
  EXPECT_NE(load(std::string("\x05TFont") + bmp).find("Unknown picture class TFont"), std::string::npos);
  EXPECT_NE(load(std::string("\x07TBitmap") + bmp.substr(0, 20)), "");
  EXPECT_NE(load(std::string("\x20TBi")), "");
  EXPECT_EQ(load(std::string("\x07TBitmap") + bmp), "");

  EXPECT_THROW(picture.LoadFromFile("picture.png"), cl::EInvalidGraphic);
  EXPECT_NE(dynamic_cast<cl::TIcon*>(picture.Graphic()), nullptr);
  picture.Assign(nullptr);
  EXPECT_EQ(picture.Graphic(), nullptr);
}

}  // namespace
