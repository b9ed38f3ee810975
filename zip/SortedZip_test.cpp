#include "zip/SortedZip.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Counted {
  explicit Counted(int* alive) : alive_(alive) { ++*alive_; }
  ~Counted() { --*alive_; }
  int* alive_;
};

TZipHeaderInfo* Rec(const std::string& name, uint32_t offset = 0) {
  auto* r = new TZipHeaderInfo;
  r->SetFileName(name);
  r->LocalHeaderOffset = offset;
  return r;
}

std::vector<std::string> Names(const TSortedZip& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]->StoredName());
  return out;
}

}  // namespace

TEST(ObjectList, CapacityGrowsBy4Then8Then16) {
  TObjectList<int> list(false);
  std::vector<int> capacities;
  int value = 0;
  for (int i = 0; i < 40; ++i) {
    if (list.Count() == list.Capacity()) capacities.push_back(list.Capacity());
    list.Add(&value);
  }
  EXPECT_EQ(capacities, (std::vector<int>{0, 4, 8, 16, 32}));
  EXPECT_EQ(list.Capacity(), 48);
  list.SetCapacity(5);  // never below the count
  EXPECT_EQ(list.Capacity(), 40);
}

TEST(ObjectList, OwningListFreesWhatItRemovesAndHolds) {
  int alive = 0;
  {
    TObjectList<Counted> list;
    for (int i = 0; i < 4; ++i) list.Add(new Counted(&alive));
    list.Delete(0);
    EXPECT_EQ(alive, 3);
    list.Put(0, new Counted(&alive));  // the replaced one is freed
    EXPECT_EQ(alive, 3);
    list.SetCount(2);
    EXPECT_EQ(alive, 2);
    list.SetCount(4);
    EXPECT_EQ(list[3], nullptr);
  }
  EXPECT_EQ(alive, 0);
  Counted kept(&alive);
  {
    TObjectList<Counted> borrowed(false);
    borrowed.Add(&kept);
    borrowed.Insert(0, &kept);
    EXPECT_EQ(borrowed.IndexOf(&kept), 0);
  }
  EXPECT_EQ(alive, 1);
}

TEST(SortedZip, ByNameRefusesDuplicatesIgnoringAsciiCase) {
  TSortedZip list(TZipSortMode::ByName, TDuplicates::Error, true);
  list.Add(Rec("GTL"));
  list.Add(Rec("Contect.txt"));
  std::unique_ptr<TZipHeaderInfo> lower(Rec("gtl"));
  try {
    list.Add(lower.get());
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "Duplicate Object index");
  }
  std::unique_ptr<TZipHeaderInfo> key(Rec("Gtl"));
  int index = -1;
  EXPECT_TRUE(list.Find(key.get(), index));
  EXPECT_EQ(index, 1);
  key.reset(Rec("GTM"));
  EXPECT_FALSE(list.Find(key.get(), index));
  EXPECT_EQ(index, 2);
  try {
    list.Put(0, key.get());
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "Cannot <Put> an Object in a sorted list!");
  }
}

TEST(SortedZip, DuplicatePolicies) {
  TSortedZip ignoring(TZipSortMode::ByName, TDuplicates::Ignore, true);
  EXPECT_EQ(ignoring.AddOwned(std::unique_ptr<TZipHeaderInfo>(Rec("a"))), 0);
  EXPECT_EQ(ignoring.AddOwned(std::unique_ptr<TZipHeaderInfo>(Rec("A"))), -1);
  EXPECT_EQ(ignoring.Count(), 1);

  // Accept inserts before the equal items: equal names end up in reverse order.
  TSortedZip accepting(TZipSortMode::ByName, TDuplicates::Accept, true);
  accepting.Add(Rec("b", 1));
  accepting.Add(Rec("a", 2));
  accepting.Add(Rec("B", 3));
  accepting.Add(Rec("b", 4));
  std::vector<uint32_t> offsets;
  for (int i = 0; i < accepting.Count(); ++i) offsets.push_back(accepting[i]->LocalHeaderOffset);
  EXPECT_EQ(offsets, (std::vector<uint32_t>{2, 4, 3, 1}));
}

TEST(SortedZip, SortModes) {
  auto make = [](const char* dir, const char* name, uint32_t offset, uint32_t dos, uint32_t csize,
                 uint32_t usize) {
    TZipHeaderInfo* r = Rec(name, offset);
    r->SetDirectory(dir);
    r->DosDateTime = dos;
    r->CompressedSize = csize;
    r->UncompressedSize = usize;
    return r;
  };
  const uint32_t jan = 0x58210000, feb = 0x58410000, mar = 0x58610000;
  struct Case {
    TZipSortMode mode;
    std::vector<std::string> order;
  } cases[] = {
      {TZipSortMode::ByNone, {"b/z", "a/y", "c/x", "a/w"}},
      {TZipSortMode::ByName, {"a/w", "a/y", "b/z", "c/x"}},
      {TZipSortMode::ByFileName, {"a/w", "c/x", "a/y", "b/z"}},
      {TZipSortMode::ByDirectoryName, {"a/w", "a/y", "b/z", "c/x"}},  // equal: reverse order
      {TZipSortMode::ByDate, {"a/y", "c/x", "a/w", "b/z"}},           // newest first, ties kept
      {TZipSortMode::ByCompressedSize, {"a/w", "c/x", "b/z", "a/y"}},
      {TZipSortMode::ByUnCompressedSize, {"a/w", "c/x", "b/z", "a/y"}},
      {TZipSortMode::ByRate, {"c/x", "b/z", "a/w", "a/y"}},  // highest rate first
  };
  for (const Case& c : cases) {
    TSortedZip list(c.mode, TDuplicates::Accept, true);
    // Added out of offset order; rates 67 (rounded), 0 (empty), 50, 13.
    list.Add(make("c", "x", 300, feb, 20, 30));
    list.Add(make("a", "y", 100, mar, 0, 0));
    list.Add(make("b", "z", 0, jan, 10, 20));
    list.Add(make("a", "w", 400, feb, 80, 600));
    EXPECT_EQ(Names(list), c.order) << static_cast<int>(c.mode);
  }
}

TEST(SortedZip, ByNoneOrdersByVolumeThenOffset) {
  TSortedZip list(TZipSortMode::ByNone, TDuplicates::Error, true);
  list.Add(Rec("a", 500));
  list.Add(Rec("b", 0));
  list.Add(Rec("c", 120));
  TZipHeaderInfo* onDisk1 = Rec("d", 10);
  onDisk1->DiskNumberStart = 1;
  list.Add(onDisk1);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"b", "c", "a", "d"}));
  std::unique_ptr<TZipHeaderInfo> same(Rec("other", 120));
  EXPECT_THROW(list.Add(same.get()), EListError);
}

TEST(SortedZip, CompareTextAsciiFoldsOnlyAsciiLetters) {
  EXPECT_EQ(CompareTextAscii("gtl", "GTL"), 0);
  EXPECT_LT(CompareTextAscii("GTL", "GTLx"), 0);
  EXPECT_GT(CompareTextAscii("_", "A"), 0);  // '_' (0x5F) above 'A', and above 'a' folded
  EXPECT_NE(CompareTextAscii("\xC3\xA4", "\xC3\x84"), 0);  // non-ASCII bytes by value
}
