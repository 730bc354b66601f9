// The virtual clipboards against the real system clipboard, and the tray icon's clipboard number.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "DeviceContext.h"
#include "Graphics.h"
#include "KernelHandle.h"
#include "TestSupport.h"
#include "hkClpbrd.h"

namespace {

using Pixels = std::vector<uint32_t>;  // 0x00RRGGBB, top row first

bool OpenWithRetry() {
  for (int i = 0; i < 50; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

void EmptySystemClipboard() {
  ASSERT_TRUE(OpenWithRetry());
  EmptyClipboard();
  CloseClipboard();
}

HGLOBAL MemoryOf(const void* data, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(h), data, size);
  GlobalUnlock(h);
  return h;
}

std::vector<uint8_t> BytesOf(HGLOBAL h) {
  std::vector<uint8_t> bytes(GlobalSize(h));
  std::memcpy(bytes.data(), GlobalLock(h), bytes.size());
  GlobalUnlock(h);
  return bytes;
}

// The text of CF_UNICODETEXT, nullopt when the clipboard has none.
std::optional<std::wstring> ClipboardText() {
  if (!OpenWithRetry()) return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

void PutText(const std::wstring& text) {
  ASSERT_TRUE(OpenWithRetry());
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, MemoryOf(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
  CloseClipboard();
}

// A packed 3 x 2 DIB, 24 bits per pixel, bottom-up rows padded to 4 bytes, built byte by byte.
std::vector<uint8_t> SmallDib() {
  std::vector<uint8_t> dib(40 + 2 * 12, 0);
  const uint8_t header[40] = {40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
  std::memcpy(dib.data(), header, sizeof(header));
  const uint8_t rows[24] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0, 0, 0,
                            0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0, 0x01, 0x02, 0x03, 0, 0, 0};
  std::memcpy(dib.data() + 40, rows, sizeof(rows));
  return dib;
}

// The pixels of any bitmap, read through a 32-bit top-down DIB.
Pixels ReadPixels(HBITMAP bitmap) {
  BITMAP bm{};
  GetObjectW(bitmap, sizeof(bm), &bm);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = bm.bmWidth;
  info.bmiHeader.biHeight = -bm.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  Pixels pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
  GetDIBits(cl::TWindowDC(nullptr).Get(), bitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
  for (auto& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

const Pixels kBitmapPixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000, 0x808080, 0xABCDEF};

HBITMAP MakeBitmap() {  // 4 x 2, a device-dependent bitmap as programs usually put it
  const cl::TWindowDC screen(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), 4, 2);
  const cl::TDCHandle dc(CreateCompatibleDC(screen.Get()));
  const cl::TSelectedObject selected(dc.Get(), bitmap);
  for (int i = 0; i < 8; ++i) {
    const uint32_t c = kBitmapPixels[i];
    SetPixel(dc.Get(), i % 4, i / 4, RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
  }
  return bitmap;  // out of the context once `selected` goes
}

std::vector<uint8_t> MetafileBits(HENHMETAFILE emf) {
  std::vector<uint8_t> bits(GetEnhMetaFileBits(emf, 0, nullptr));
  GetEnhMetaFileBits(emf, static_cast<UINT>(bits.size()), bits.data());
  return bits;
}

class ClipboardsTest : public ::testing::Test {
 protected:
  void SetUp() override { EmptySystemClipboard(); }
  void TearDown() override { EmptySystemClipboard(); }
};

TEST_F(ClipboardsTest, RoundTripKeepsTextBitmapsAndMetafiles) {
  const std::vector<uint8_t> dib = SmallDib();
  HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  Rectangle(recorder, 1, 2, 30, 40);
  HENHMETAFILE emf = CloseEnhMetaFile(recorder);
  const std::vector<uint8_t> emfBits = MetafileBits(emf);
  ASSERT_FALSE(emfBits.empty());
  {
    ASSERT_TRUE(OpenWithRetry());
    EmptyClipboard();
    const std::wstring text = L"Grüße, clipboard 1";
    SetClipboardData(CF_UNICODETEXT, MemoryOf(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
    SetClipboardData(CF_DIB, MemoryOf(dib.data(), dib.size()));
    SetClipboardData(CF_BITMAP, MakeBitmap());
    SetClipboardData(CF_ENHMETAFILE, emf);
    CloseClipboard();
  }

  hk::TClipboards clipboards;
  ASSERT_TRUE(clipboards.SelectClipboard(1, false));
  EXPECT_EQ(clipboards.Current(), 1);
  EXPECT_FALSE(hk::TClipboards::ClipboardHasData());  // clipboard 2 was empty
  EXPECT_GE(clipboards.History(0).Count(), 4);
  ASSERT_TRUE(clipboards.SelectClipboard(0, false));
  EXPECT_EQ(clipboards.Current(), 0);
  EXPECT_TRUE(clipboards.History(0).Empty());
  EXPECT_TRUE(hk::TClipboards::ClipboardHasData());

  EXPECT_EQ(ClipboardText(), std::wstring(L"Grüße, clipboard 1"));
  ASSERT_TRUE(OpenWithRetry());
  HANDLE gotDib = GetClipboardData(CF_DIB);
  HANDLE gotBitmap = GetClipboardData(CF_BITMAP);
  HANDLE gotEmf = GetClipboardData(CF_ENHMETAFILE);
  ASSERT_NE(gotDib, nullptr);
  ASSERT_NE(gotBitmap, nullptr);
  ASSERT_NE(gotEmf, nullptr);
  std::vector<uint8_t> dibBack = BytesOf(gotDib);
  dibBack.resize(std::min(dibBack.size(), dib.size()));
  EXPECT_EQ(dibBack, dib);
  EXPECT_EQ(ReadPixels(static_cast<HBITMAP>(gotBitmap)), kBitmapPixels);
  EXPECT_EQ(MetafileBits(static_cast<HENHMETAFILE>(gotEmf)), emfBits);
  CloseClipboard();
}

TEST_F(ClipboardsTest, SwitchingToTheCurrentOneOrOutOfRange) {
  PutText(L"stays");
  hk::TClipboards clipboards;
  const DWORD sequence = GetClipboardSequenceNumber();
  EXPECT_TRUE(clipboards.SelectClipboard(0, false));
  EXPECT_TRUE(clipboards.SelectClipboard(0, true));
  EXPECT_EQ(GetClipboardSequenceNumber(), sequence);  // not even emptied and refilled
  EXPECT_EQ(ClipboardText(), std::wstring(L"stays"));
  EXPECT_TRUE(clipboards.History(0).Empty());

  EXPECT_EQ(testsupport::MessageOf<hk::EClipboardError>([&] { clipboards.SelectClipboard(5, true); }),
            "5 is not a valid clipboard");
  EXPECT_EQ(testsupport::MessageOf<hk::EClipboardError>([&] { clipboards.SelectClipboard(-1, true); }),
            "-1 is not a valid clipboard");
  EXPECT_EQ(clipboards.Current(), 0);

  // Without raising, a bad index means clipboard 1.
  ASSERT_TRUE(clipboards.SelectClipboard(3, false));
  EXPECT_FALSE(ClipboardText());
  EXPECT_TRUE(clipboards.SelectClipboard(99, false));
  EXPECT_EQ(clipboards.Current(), 0);
  EXPECT_EQ(ClipboardText(), std::wstring(L"stays"));
}

TEST_F(ClipboardsTest, CountRules) {
  hk::TClipboards clipboards;
  EXPECT_EQ(clipboards.Count(), 5);
  EXPECT_EQ(clipboards.Current(), 0);
  for (int bad : {0, 101, -3}) {
    EXPECT_EQ(testsupport::MessageOf<hk::EClipboardError>([&] { clipboards.SetCount(bad); }),
              "Number of clipboards must be between 1 and 100");
    EXPECT_EQ(clipboards.Count(), 5);
  }

  PutText(L"one");
  ASSERT_TRUE(clipboards.SelectClipboard(2, false));
  PutText(L"three");
  ASSERT_TRUE(clipboards.SelectClipboard(4, false));
  PutText(L"five");
  const DWORD sequence = GetClipboardSequenceNumber();
  clipboards.SetCount(5);  // the present count: nothing happens
  EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
  EXPECT_EQ(clipboards.Current(), 4);

  // Cutting off the current clipboard makes the last one left current; "five" is dropped.
  clipboards.SetCount(3);
  EXPECT_EQ(clipboards.Count(), 3);
  EXPECT_EQ(clipboards.Current(), 2);
  EXPECT_EQ(ClipboardText(), std::wstring(L"three"));

  clipboards.SetCount(100);
  EXPECT_EQ(clipboards.Count(), 100);
  EXPECT_EQ(clipboards.Current(), 2);
  EXPECT_TRUE(clipboards.History(99).Empty());
  EXPECT_EQ(ClipboardText(), std::wstring(L"three"));

  ASSERT_TRUE(clipboards.SelectClipboard(0, false));
  EXPECT_EQ(ClipboardText(), std::wstring(L"one"));
  ASSERT_TRUE(clipboards.SelectClipboard(2, false));
  EXPECT_EQ(ClipboardText(), std::wstring(L"three"));
}

TEST_F(ClipboardsTest, ClipboardHeldByAnotherThreadChangesNothing) {
  PutText(L"mine");
  hk::TClipboards clipboards;
  ASSERT_TRUE(clipboards.SelectClipboard(1, false));
  PutText(L"second");

  const cl::TKernelHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const cl::TKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  // Another program's window holds the clipboard open until released.
  std::thread holder([&] {
    HWND window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr);
    bool opened = false;
    for (int i = 0; i < 50 && !(opened = OpenClipboard(window)); ++i) Sleep(20);
    SetEvent(held.Get());
    WaitForSingleObject(release.Get(), 10000);
    if (opened) CloseClipboard();
    DestroyWindow(window);
  });
  WaitForSingleObject(held.Get(), 10000);

  const DWORD sequence = GetClipboardSequenceNumber();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(clipboards.SelectClipboard(0, false));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(testsupport::MessageOf<hk::EClipboardError>([&] { clipboards.SelectClipboard(0, true); }),
            "Cannot open clipboard");
  // Cutting off the current clipboard needs the clipboard too: the count stays.
  EXPECT_THROW(clipboards.SetCount(1), hk::EClipboardError);
  EXPECT_EQ(clipboards.Count(), 5);
  EXPECT_EQ(clipboards.Current(), 1);
  EXPECT_GT(clipboards.History(0).Count(), 0);  // clipboard 1 kept "mine"
  EXPECT_EQ(GetClipboardSequenceNumber(), sequence);

  SetEvent(release.Get());
  holder.join();

  EXPECT_EQ(ClipboardText(), std::wstring(L"second"));
  ASSERT_TRUE(clipboards.SelectClipboard(0, false));
  EXPECT_EQ(ClipboardText(), std::wstring(L"mine"));
  ASSERT_TRUE(clipboards.SelectClipboard(1, false));
  EXPECT_EQ(ClipboardText(), std::wstring(L"second"));
}

TEST_F(ClipboardsTest, HistoryKeepsItsCopyUntilTheClipboardTakesIt) {
  PutText(L"kept");
  hk::TClipboardHistory history;
  {
    hk::TClipboardOpen open;
    ASSERT_TRUE(open);
    history.SaveFromClipboard();
  }
  ASSERT_GT(history.Count(), 0);
  const int count = history.Count();
  EmptySystemClipboard();
  EXPECT_FALSE(history.RestoreToClipboard());  // the clipboard is not open: refused, nothing handed over
  EXPECT_EQ(history.Count(), count);
  {
    hk::TClipboardOpen open;
    ASSERT_TRUE(open);
    EXPECT_TRUE(history.RestoreToClipboard());
  }
  EXPECT_TRUE(history.Empty());
  EXPECT_EQ(ClipboardText(), std::wstring(L"kept"));
}

// ---------------------------------------------------------------------------------------------------------
// The tray icon.

struct IconImages {
  Pixels color;
  Pixels mask;  // 0xFFFFFF where transparent
};

IconImages ReadIcon(HICON icon) {
  ICONINFO info{};
  EXPECT_TRUE(GetIconInfo(icon, &info));
  IconImages images{ReadPixels(info.hbmColor), ReadPixels(info.hbmMask)};
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return images;
}

// A 16 x 16 picture: lime background (the key colour), a red square in the middle.
void MakeBase(cl::TBitmap& base) {
  base.SetSize(16, 16);
  base.Canvas()->Brush()->SetColor(cl::clLime);
  base.Canvas()->FillRect(cl::TRect{0, 0, 16, 16});
  base.Canvas()->Brush()->SetColor(cl::clRed);
  base.Canvas()->FillRect(cl::TRect{4, 4, 8, 8});
}

int CountIn(const Pixels& pixels, uint32_t rgb, int fromX, int fromY) {
  int n = 0;
  for (int y = fromY; y < 16; ++y)
    for (int x = fromX; x < 16; ++x) n += pixels[y * 16 + x] == rgb;
  return n;
}

TEST(ClipboardIcon, NumberOnBlueOrNavyAndKeyColourTransparent) {
  cl::TBitmap base;
  MakeBase(base);
  for (bool hasData : {true, false}) {
    SCOPED_TRACE(hasData);
    auto icon = hk::CreateClipboardIcon(base, 7, hasData);
    ASSERT_TRUE(icon && icon->Handle());
    const IconImages images = ReadIcon(icon->Handle());
    ASSERT_EQ(images.color.size(), 256u);
    ASSERT_EQ(images.mask.size(), 256u);
    const uint32_t wanted = hasData ? 0x0000FF : 0x000080;
    const uint32_t other = hasData ? 0x000080 : 0x0000FF;
    EXPECT_GT(CountIn(images.color, wanted, 8, 6), 5);
    EXPECT_EQ(CountIn(images.color, other, 0, 0), 0);
    EXPECT_GT(CountIn(images.color, 0xFFFFFF, 8, 6), 0);  // the white number
    // Key colour: transparent in the mask, black in the colour image; the square is opaque.
    EXPECT_EQ(images.mask[0], 0xFFFFFFu);
    EXPECT_EQ(images.color[0], 0u);
    EXPECT_EQ(images.mask[5 * 16 + 5], 0u);
    EXPECT_EQ(images.color[5 * 16 + 5], 0xFF0000u);
    // The ellipse is opaque where it covers the key colour.
    EXPECT_EQ(images.mask[15 * 16 + 15 - 2], 0u);
  }

  // Made again from an icon, the transparent pixels stay transparent.
  auto first = hk::CreateClipboardIcon(base, 1, true);
  auto second = hk::CreateClipboardIcon(first->Handle(), 2, false);
  const IconImages images = ReadIcon(second->Handle());
  EXPECT_EQ(images.mask[0], 0xFFFFFFu);
  EXPECT_EQ(images.mask[5 * 16 + 5], 0u);
  EXPECT_EQ(images.color[5 * 16 + 5], 0xFF0000u);
  EXPECT_GT(CountIn(images.color, 0x000080, 8, 6), 5);
}

TEST(ClipboardIcon, NoHandleLeakOverManyIcons) {
  cl::TBitmap base;
  MakeBase(base);
  hk::CreateClipboardIcon(base, 1, true);  // first-use allocations (fonts, contexts) out of the count
  const long before = cl::GdiHandlesHeld();
  for (int i = 1; i <= 100; ++i) {
    auto icon = hk::CreateClipboardIcon(base, i, i % 2 == 0);
    ASSERT_TRUE(icon->Handle());
    auto again = hk::CreateClipboardIcon(icon->Handle(), i, false);
    ASSERT_TRUE(again->Handle());
  }
  EXPECT_EQ(cl::GdiHandlesHeld(), before);
}

}  // namespace
