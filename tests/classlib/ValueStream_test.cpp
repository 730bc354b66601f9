#include "ValueStream.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "SysUtils.h"
#include "Unicode.h"

using namespace cl;

namespace {
std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

template <typename F>
std::string Written(F f, size_t bufSize = 4096) {
  TMemoryStream m;
  TWriter w(m, bufSize);
  f(w);
  w.FlushBuffer();
  return std::string(m.Bytes());
}

template <typename F>
std::string ReadErrorOf(const std::string& data, F f) {
  TMemoryStream m(data);
  TReader r(m);
  try { f(r); } catch (const EReadError& e) { return e.Message(); }
  return "<no error>";
}

const int32_t kBoundaries[] = {-129, -128, 127, 128, -32769, -32768, 32767, 32768, INT32_MIN, INT32_MAX};
}  // namespace

TEST(Writer, BytesFollowTheTagTable) {
  const std::string s255(255, 'a'), s256(256, 'b'), s300(300, 'c');
  auto script = [&](TWriter& w) {
    for (int32_t v : kBoundaries) w.WriteInteger(v);
    for (const std::string& s : {std::string(), s255, s256, s300, std::string("caf\xC3\xA9")}) w.WriteString(s);
    w.WriteListBegin();
    w.WriteBoolean(true);
    w.WriteBoolean(false);
    w.WriteListEnd();
  };
  const std::string expected =
      Bytes({0x03, 0x7F, 0xFF, 0x02, 0x80, 0x02, 0x7F, 0x03, 0x80, 0x00,  // -129 -128 127 128
             0x04, 0xFF, 0x7F, 0xFF, 0xFF, 0x03, 0x00, 0x80, 0x03, 0xFF, 0x7F,  // -32769 -32768 32767
             0x04, 0x00, 0x80, 0x00, 0x00,                                  // 32768
             0x04, 0x00, 0x00, 0x00, 0x80, 0x04, 0xFF, 0xFF, 0xFF, 0x7F,    // INT32_MIN INT32_MAX
             0x06, 0x00, 0x06, 0xFF}) + s255 +
      Bytes({0x0C, 0x00, 0x01, 0x00, 0x00}) + s256 + Bytes({0x0C, 0x2C, 0x01, 0x00, 0x00}) + s300 +
      Bytes({0x14, 0x05, 0x00, 0x00, 0x00}) + "caf\xC3\xA9" + Bytes({0x01, 0x09, 0x08, 0x00});
  EXPECT_EQ(Written(script), expected);
  EXPECT_EQ(Written(script, 16), expected);  // buffer boundaries change nothing
}

TEST(Writer, PositionFlushAndWriteErrors) {
  TMemoryStream m;
  m.WriteBuffer("pre", 3);
  {
    TWriter w(m, 16);
    w.WriteInteger(1000);
    EXPECT_EQ(w.Position(), 6);
    EXPECT_EQ(m.Size(), 3);  // still buffered; the destructor flushes
  }
  EXPECT_EQ(m.Bytes(), "pre" + Bytes({0x03, 0xE8, 0x03}));

  struct Refusing : TStream {
    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
    void SetSize(int64_t) override {}
  } target;
  TWriter w(target);
  w.WriteString("abc");
  EXPECT_THROW(w.FlushBuffer(), EWriteError);  // and the destructor stays quiet
}

TEST(Reader, RoundTripsEveryKind) {
  const std::string long300(300, 'L'), wide = "\xE4\xB8\xAD\xE6\x96\x87 \xC3\xA9";
  const std::string data = Written([&](TWriter& w) {
    for (int32_t v : kBoundaries) w.WriteInteger(v);
    w.WriteBoolean(true);
    w.WriteBoolean(false);
    w.WriteListBegin();
    for (const std::string& s : {std::string(), long300, wide}) w.WriteString(s);
    w.WriteListEnd();
  });
  for (size_t bufSize : {4096u, 16u}) {
    TMemoryStream m(data);
    TReader r(m, bufSize);
    for (int32_t v : kBoundaries) EXPECT_EQ(r.ReadInteger(), v);
    EXPECT_TRUE(r.ReadBoolean());
    EXPECT_FALSE(r.ReadBoolean());
    r.ReadListBegin();
    EXPECT_EQ(r.NextValue(), vaString);  // a peek consumes nothing
    EXPECT_FALSE(r.EndOfList());
    for (const std::string& s : {std::string(), long300, wide}) EXPECT_EQ(r.ReadString(), s);
    EXPECT_TRUE(r.EndOfList());
    r.ReadListEnd();
    EXPECT_EQ(r.BytesRemaining(), 0);
  }
}

TEST(Reader, AnsiAndUtf16Strings) {
  const std::string ansi = "na\xEFve";
  TMemoryStream m(Bytes({0x06, 0x05}) + ansi + Bytes({0x0C, 0x05, 0, 0, 0}) + ansi +
                  // "A", U+1F600 as a surrogate pair, U+00E9
                  Bytes({0x12, 0x04, 0, 0, 0, 0x41, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0xE9, 0x00}));
  TReader r(m);
  const std::string expected = CodePageToUtf8(ansi, AnsiCodePage());
  if (AnsiCodePage() == 1252) {
    EXPECT_EQ(expected, "na\xC3\xAFve");
  }
  EXPECT_EQ(r.ReadString(), expected);
  EXPECT_EQ(r.ReadString(), expected);
  EXPECT_EQ(r.ReadString(), "A\xF0\x9F\x98\x80\xC3\xA9");
}

TEST(Reader, WrongTagsAndBooleans) {
  EXPECT_EQ(ReadErrorOf(Bytes({0x06, 0x00}), [](TReader& r) { r.ReadInteger(); }), "Invalid property value");
  EXPECT_EQ(ReadErrorOf(Bytes({0x02, 0x05}), [](TReader& r) { r.ReadString(); }), "Invalid property value");
  EXPECT_EQ(ReadErrorOf(Bytes({0x00}), [](TReader& r) { r.ReadListBegin(); }), "Invalid property value");
  EXPECT_EQ(ReadErrorOf(Bytes({0x01}), [](TReader& r) { r.ReadListEnd(); }), "Invalid property value");
  EXPECT_EQ(ReadErrorOf("", [](TReader& r) { r.EndOfList(); }), "Stream read error");

  // A Boolean is one byte, whatever it holds: 0x09 is true, anything else false, no payload read.
  TMemoryStream m(Bytes({0x09, 0x08, 0x02, 0x00}));
  TReader r(m);
  EXPECT_TRUE(r.ReadBoolean());
  EXPECT_FALSE(r.ReadBoolean());
  EXPECT_FALSE(r.ReadBoolean());
  EXPECT_TRUE(r.EndOfList());
}

TEST(Reader, HostileLengthsFailBeforeAnyAllocation) {
  // The length check must come before the bytes are read, so the reader stops right after the length
  // field; one that allocated and read first would stand at the end of the data.
  const std::string tail(40, 'z');
  const std::pair<std::string, const char*> cases[] = {
      {Bytes({0x0C, 0xFF, 0xFF, 0xFF, 0xFF}), "Invalid property value"},  // -1
      {Bytes({0x0C, 0xFF, 0xFF, 0xFF, 0x7F}), "Stream read error"},
      {Bytes({0x14, 0xFF, 0xFF, 0xFF, 0x7F}), "Stream read error"},
      {Bytes({0x12, 0xFF, 0xFF, 0xFF, 0x7F}), "Stream read error"},
      {Bytes({0x12, 0x15, 0x00, 0x00, 0x00}), "Stream read error"},  // 21 units = 42 bytes > 40
      {Bytes({0x14, 0x29, 0x00, 0x00, 0x00}), "Stream read error"},  // 41 > 40
  };
  for (const auto& [head, message] : cases) {
    TMemoryStream m(head + tail);
    TReader r(m);
    EXPECT_EQ(ReadErrorOf(head + tail, [](TReader& r) { r.ReadString(); }), message);
    EXPECT_THROW(r.ReadString(), EReadError);
    EXPECT_EQ(r.Position(), 5);
  }
  TMemoryStream m(Bytes({0x14, 0x28, 0x00, 0x00, 0x00}) + tail);  // exactly what remains is fine
  EXPECT_EQ(TReader(m).ReadString(), tail);
}

TEST(Reader, TruncationAtEveryOffsetIsAReadError) {
  const std::string data = Written([](TWriter& w) {
    w.WriteString("Hdr");
    w.WriteInteger(-1);
    w.WriteBoolean(true);
    w.WriteListBegin();
    w.WriteString(std::string(260, 'q'));
    w.WriteInteger(300);
    w.WriteInteger(100000);
    w.WriteString("\xC3\xA9t\xC3\xA9");
  }) + Bytes({0x12, 0x02, 0, 0, 0, 0x3D, 0xD8, 0x00, 0xDE, 0x00});
  auto readAll = [](TReader& r) {
    r.ReadString();
    r.ReadInteger();
    r.ReadBoolean();
    r.ReadListBegin();
    while (!r.EndOfList()) {
      if (r.NextValue() <= vaInt32) r.ReadInteger();
      else r.ReadString();
    }
    r.ReadListEnd();
  };
  EXPECT_EQ(ReadErrorOf(data, readAll), "<no error>");
  for (size_t len = 0; len < data.size(); ++len) {
    for (size_t bufSize : {4096u, 16u}) {
      TMemoryStream m(data.substr(0, len));
      TReader r(m, bufSize);
      EXPECT_THROW(readAll(r), EReadError) << "length " << len;
    }
  }
}

TEST(Reader, LeavesStreamRightAfterWhatItConsumed) {
  const std::string values = Written([](TWriter& w) {
    w.WriteInteger(70000);
    w.WriteString("abc");
  });
  TMemoryStream m(values + Bytes({0x02, 0x2A}) + "TRAILER");
  {
    TReader r(m);
    EXPECT_EQ(r.ReadInteger(), 70000);
    EXPECT_EQ(r.ReadString(), "abc");
    EXPECT_EQ(m.Position(), m.Size());  // read ahead
  }
  EXPECT_EQ(m.Position(), static_cast<int64_t>(values.size()));
  TReader r(m);  // a second reader carries on from there
  EXPECT_EQ(r.Position(), static_cast<int64_t>(values.size()));
  EXPECT_EQ(r.ReadInteger(), 42);
  r.FlushBuffer();
  char trailer[7];
  m.ReadBuffer(trailer, 7);
  EXPECT_EQ(std::string(trailer, 7), "TRAILER");
}
