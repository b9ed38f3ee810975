#include "zip/ZipRecords.h"

#include <gtest/gtest.h>

#include "platform/BufferedFileStream.h"
#include "platform/CodePage.h"
#include "platform/testing/TempDir.h"
#include "zip/ZipTestTools.h"

using platform::testing::TempDir;
using Mode = TBufferedFileStream::Mode;
using Origin = TBufferedFileStream::Origin;

namespace {

std::string Le16(uint16_t v) { return std::string{char(v & 0xFF), char(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(uint16_t(v)) + Le16(uint16_t(v >> 16)); }

TZipHeaderInfo GtlEntry() {
  TZipHeaderInfo e;
  e.SetFileName("GTL");
  e.DosDateTime = 0x58A76B2D;
  e.Crc32 = 0x12345678;
  e.CompressedSize = 1000;
  e.UncompressedSize = 4000;
  e.InternalAttributes = 1;
  e.LocalHeaderOffset = 777;
  return e;
}

template <class WriteFn>
std::string WrittenBytes(const TempDir& dir, WriteFn write, const std::string& prefix = "") {
  const std::string path = dir / "out.bin";
  TBufferedFileStream s(path, Mode::Create);
  s.Write(prefix.data(), prefix.size());
  write(s);
  s.Close();
  return ziptest::ReadBytes(path);
}

}  // namespace

TEST(ZipRecords, ClearGivesTheDefaults) {
  TZipHeaderInfo e = GtlEntry();
  e.SetDirectory("sub");
  e.SetFileComment(std::string("note"));
  e.Clear();
  EXPECT_EQ(e.VersionMadeBy, 20);
  EXPECT_EQ(e.VersionNeeded, 20);
  EXPECT_EQ(e.GeneralFlags, 0);
  EXPECT_EQ(e.CompressionMethod, 8);
  EXPECT_EQ(e.Crc32, 0xFFFFFFFFu);
  EXPECT_EQ(e.InternalAttributes, 1);
  EXPECT_EQ(e.ExternalAttributes, 0x20u);
  EXPECT_EQ(e.FileNameLength, 0);
  EXPECT_EQ(e.FileCommentLength, 0);
  EXPECT_EQ(e.StoredName(), "");
  EXPECT_FALSE(e.FileComment().has_value());
}

TEST(ZipRecords, NameSettersKeepTheLengthOfTheStoredBytes) {
  TZipHeaderInfo e;
  e.SetDirectory("sub");
  EXPECT_EQ(e.Directory(), "sub/");
  e.SetFileName("Contect.txt");
  EXPECT_EQ(e.FileNameLength, 15);
  EXPECT_EQ(e.LocalHeaderSize(), 45u);
  // A UTF-8 name is stored as GBK, so the length counts the GBK bytes.
  e.SetDirectory("");
  e.SetFileName("张三.txt");
  EXPECT_EQ(e.ArchiveNameBytes(), platform::Utf8ToGbk("张三.txt"));
  EXPECT_EQ(e.FileNameLength, 8);
  e.SetFileComment(std::string("abc"));
  EXPECT_EQ(e.CentralHeaderSize(), 46u + 8 + 3);
  e.SetFileComment(std::nullopt);
  EXPECT_EQ(e.FileCommentLength, 0);
}

TEST(ZipRecords, AssignCopiesTheCommentBytes) {
  TZipHeaderInfo a = GtlEntry();
  a.SetFileComment(std::string("first"));
  TZipHeaderInfo b;
  b.Assign(a);
  a.SetFileComment(std::string("changed"));
  EXPECT_EQ(*b.FileComment(), "first");
  EXPECT_EQ(b.FileName(), "GTL");
  EXPECT_EQ(b.Crc32, 0x12345678u);
}

TEST(ZipRecords, LocalHeaderByteForByte) {
  TempDir dir;
  TZipHeaderInfo e = GtlEntry();
  const std::string bytes = WrittenBytes(dir, [&](TBufferedFileStream& s) { e.WriteLocalHeader(s); },
                                         std::string(5, 'x'));
  const std::string expected = std::string(5, 'x') + "PK\x03\x04" + Le16(20) + Le16(0) + Le16(8) +
                               Le16(0x6B2D) + Le16(0x58A7) + Le32(0x12345678) + Le32(1000) +
                               Le32(4000) + Le16(3) + Le16(0) + "GTL";
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(bytes.size(), 5u + 33);
  EXPECT_EQ(e.LocalHeaderOffset, 5u);  // set to the stream position before writing
}

TEST(ZipRecords, CentralHeaderByteForByte) {
  TempDir dir;
  TZipHeaderInfo e = GtlEntry();
  e.SetDirectory("sub/");
  e.SetFileComment(std::string("hi"));
  const std::string bytes =
      WrittenBytes(dir, [&](TBufferedFileStream& s) { e.WriteCentralHeader(s); });
  const std::string expected = std::string("PK\x01\x02") + Le16(20) + Le16(20) + Le16(0) + Le16(8) +
                               Le16(0x6B2D) + Le16(0x58A7) + Le32(0x12345678) + Le32(1000) +
                               Le32(4000) + Le16(7) + Le16(0) + Le16(2) + Le16(0) + Le16(1) +
                               Le32(0x20) + Le32(777) + "sub/GTL" + "hi";
  EXPECT_EQ(bytes, expected);
}

TEST(ZipRecords, EmptyNameWritesNoNameBytes) {
  TempDir dir;
  TZipHeaderInfo e;
  const std::string local = WrittenBytes(dir, [&](TBufferedFileStream& s) { e.WriteLocalHeader(s); });
  const std::string central =
      WrittenBytes(dir, [&](TBufferedFileStream& s) { e.WriteCentralHeader(s); });
  EXPECT_EQ(local.size(), 30u);
  EXPECT_EQ(ziptest::Get16(local, 26), 0);
  EXPECT_EQ(central.size(), 46u);
  EXPECT_EQ(ziptest::Get16(central, 28), 0);
}

// Names written and read back come back byte for byte: folder split, GBK conversion both
// ways, and a UTF-8 name (flag bit 11, as other tools write) left as it is.
TEST(ZipRecords, StoredNamesRoundTrip) {
  struct Case {
    std::string directory, fileName;
    uint16_t flags;
    std::string onDisk;
  } cases[] = {
      {"sub/", "Contect.txt", 0, "sub/Contect.txt"},
      {"", "GTL", 0, "GTL"},
      {"a/b/", "x:y", 0, "a/b/x:y"},  // a colon is an ordinary character here
      {"目录/", "张三.txt", 0, platform::Utf8ToGbk("目录/张三.txt")},
      {"", "张三.txt", TZipHeaderInfo::kUtf8NameFlag, "张三.txt"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    TZipHeaderInfo e;
    e.GeneralFlags = c.flags;
    e.SetDirectory(c.directory);
    e.SetFileName(c.fileName);
    const std::string bytes = WrittenBytes(dir, [&](TBufferedFileStream& s) {
      e.WriteLocalHeader(s);
      e.WriteCentralHeader(s);
    });
    EXPECT_EQ(bytes.substr(30, c.onDisk.size()), c.onDisk) << c.fileName;
    TBufferedFileStream in(dir / "out.bin", Mode::OpenRead);
    TZipHeaderInfo local, central;
    ASSERT_TRUE(local.ReadLocalHeader(in));
    ASSERT_TRUE(central.ReadCentralHeader(in));
    for (const TZipHeaderInfo* r : {&local, &central}) {
      EXPECT_EQ(r->Directory(), c.directory);
      EXPECT_EQ(r->FileName(), c.fileName);
      EXPECT_EQ(r->FileNameLength, c.onDisk.size());
    }
    EXPECT_EQ(central.CentralHeaderOffset, 30 + c.onDisk.size());
  }
}

TEST(ZipRecords, ReadHeadersTakeTheFieldsAsWritten) {
  TempDir dir;
  TZipHeaderInfo e = GtlEntry();
  e.GeneralFlags = 2;
  e.DiskNumberStart = 0;
  e.ExternalAttributes = 0x81A40000;
  e.SetFileComment(std::string("comment"));
  WrittenBytes(dir, [&](TBufferedFileStream& s) {
    e.WriteLocalHeader(s);
    e.WriteCentralHeader(s);
    s.Write("tail", 4);
  });
  TBufferedFileStream in(dir / "out.bin", Mode::OpenRead);
  TZipHeaderInfo local, central;
  ASSERT_TRUE(local.ReadLocalHeader(in));
  EXPECT_EQ(in.Position(), 33);
  ASSERT_TRUE(central.ReadCentralHeader(in));
  EXPECT_EQ(in.Position(), 33 + 46 + 3 + 7);  // after the skipped comment
  EXPECT_EQ(local.VersionMadeBy, 0);
  EXPECT_EQ(local.ExternalAttributes, 0u);
  EXPECT_EQ(local.InternalAttributes, 0);
  EXPECT_EQ(local.LocalHeaderOffset, 0u);
  EXPECT_EQ(central.VersionMadeBy, 20);
  EXPECT_EQ(central.ExternalAttributes, 0x81A40000u);
  EXPECT_EQ(central.InternalAttributes, 1);
  EXPECT_EQ(central.LocalHeaderOffset, 0u);
  EXPECT_EQ(central.FileCommentLength, 7);
  EXPECT_FALSE(central.FileComment().has_value());  // loaded on demand
  for (const TZipHeaderInfo* r : {&local, &central}) {
    EXPECT_EQ(r->GeneralFlags, 2);
    EXPECT_EQ(r->CompressionMethod, 8);
    EXPECT_EQ(r->DosDateTime, 0x58A76B2Du);
    EXPECT_EQ(r->Crc32, 0x12345678u);
    EXPECT_EQ(r->CompressedSize, 1000u);
    EXPECT_EQ(r->UncompressedSize, 4000u);
  }
}

// Extra fields of another tool's entry are kept per header and written back with their
// own lengths, so each header's lengths match the bytes that follow it.
TEST(ZipRecords, ExtraFieldsAreKeptPerHeader) {
  TempDir dir;
  TZipHeaderInfo e = GtlEntry();
  e.SetLocalExtraField(std::string("\x55\x54\x05\x00\x01\x02\x03\x04\x05", 9));
  e.SetCentralExtraField(std::string("\x55\x54\x01\x00\x01", 5));
  const std::string bytes = WrittenBytes(dir, [&](TBufferedFileStream& s) {
    e.WriteLocalHeader(s);
    e.WriteCentralHeader(s);
  });
  EXPECT_EQ(ziptest::Get16(bytes, 28), 9);
  EXPECT_EQ(bytes.substr(33, 9), e.LocalExtraField());
  EXPECT_EQ(ziptest::Get16(bytes, 42 + 30), 5);
  EXPECT_EQ(bytes.substr(42 + 46 + 3, 5), e.CentralExtraField());
  EXPECT_EQ(bytes.size(), 42u + 46 + 3 + 5);
  TBufferedFileStream in(dir / "out.bin", Mode::OpenRead);
  TZipHeaderInfo local, central;
  ASSERT_TRUE(local.ReadLocalHeader(in));
  ASSERT_TRUE(central.ReadCentralHeader(in));
  EXPECT_EQ(local.LocalExtraField(), e.LocalExtraField());
  EXPECT_EQ(local.ExtraFieldLength, 9);
  EXPECT_EQ(central.CentralExtraField(), e.CentralExtraField());
  EXPECT_EQ(central.ExtraFieldLength, 5);
}

// Malformed records give false and leave the stream where it was.
TEST(ZipRecords, MalformedHeadersAreRefusedInPlace) {
  TempDir dir;
  TZipHeaderInfo e = GtlEntry();
  e.SetFileComment(std::string("comment"));
  const std::string good = WrittenBytes(dir, [&](TBufferedFileStream& s) { e.WriteCentralHeader(s); });
  std::string wrongSignature = good;
  wrongSignature[3] = 9;
  const std::string cases[] = {
      wrongSignature,
      good.substr(0, 45),                  // header cut short
      good.substr(0, 47),                  // name cut short
      good.substr(0, good.size() - 1),     // comment runs past the end of the file
  };
  for (const std::string& bytes : cases) {
    ziptest::WriteBytes(dir / "bad.bin", "xyz" + bytes);
    TBufferedFileStream in(dir / "bad.bin", Mode::OpenRead);
    in.Seek(3, Origin::Begin);
    TZipHeaderInfo r;
    EXPECT_FALSE(r.ReadCentralHeader(in)) << bytes.size();
    EXPECT_EQ(in.Position(), 3);
    EXPECT_FALSE(r.ReadLocalHeader(in));
    EXPECT_EQ(in.Position(), 3);
  }
}

TEST(ZipRecords, ValidDosDateTimeClampsEachField) {
  auto pack = [](uint32_t y, uint32_t mo, uint32_t d, uint32_t h, uint32_t mi, uint32_t s2) {
    return (((y - 1980) << 9 | mo << 5 | d) << 16) | (h << 11 | mi << 5 | s2);
  };
  struct Case {
    uint32_t in, out;
  } cases[] = {
      {pack(2024, 2, 29, 23, 59, 29), pack(2024, 2, 29, 23, 59, 29)},  // valid: unchanged
      {pack(2024, 0, 0, 10, 20, 5), pack(2024, 1, 1, 10, 20, 5)},     // month 0, day 0
      {pack(2024, 13, 5, 25, 60, 30), pack(2024, 12, 5, 24, 59, 29)}, // above range
      {pack(2100, 5, 5, 1, 1, 1), pack(2099, 5, 5, 1, 1, 1)},
      {pack(2024, 2, 30, 0, 0, 0), pack(2024, 2, 30, 0, 0, 0)},       // no calendar check
      {0xFFFFFFFF, pack(2099, 12, 31, 24, 59, 29)},
  };
  for (const Case& c : cases) EXPECT_EQ(ValidDosDateTime(c.in), c.out) << std::hex << c.in;
}

TEST(ZipRecords, EndRecordByteForByte) {
  TempDir dir;
  TEndCentral end;
  EXPECT_EQ(WrittenBytes(dir, [&](TBufferedFileStream& s) { end.WriteEndCentral(s); }),
            std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  end.EntriesThisDisk = end.TotalEntries = 3;
  end.CentralSize = 150;
  end.CentralOffset = 4000;
  end.SetZipComment(std::string("board"));
  EXPECT_EQ(end.EndCentralSize(), 27u);
  EXPECT_EQ(WrittenBytes(dir, [&](TBufferedFileStream& s) { end.WriteEndCentral(s); }),
            std::string("PK\x05\x06") + Le16(0) + Le16(0) + Le16(3) + Le16(3) + Le32(150) +
                Le32(4000) + Le16(5) + "board");
  // A length whose bytes are not held is not written: the record stays whole.
  TEndCentral unloaded;
  unloaded.ZipCommentLength = 9;
  const std::string bytes =
      WrittenBytes(dir, [&](TBufferedFileStream& s) { unloaded.WriteEndCentral(s); });
  EXPECT_EQ(bytes.size(), 22u);
  EXPECT_EQ(ziptest::Get16(bytes, 20), 0);
}
