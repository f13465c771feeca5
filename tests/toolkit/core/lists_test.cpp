#include "toolkit/core/lists.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/toolkit/core/core_test_support.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"

namespace {

int a = 1, b = 2, c = 3;

TEST(TStringListTest, ObjectsTravelWithTheirLines) {
  TStringList list;
  list.AddObject("one", &a);
  list.AddObject("two", &b);
  list.Add("three");
  list.InsertObject(0, "zero", &c);
  EXPECT_EQ(list.Objects(3), nullptr);
  list.Exchange(0, 2);
  EXPECT_EQ(Lines(list), (Texts{"two", "one", "zero", "three"}));
  EXPECT_EQ(list.Objects(0), &b);
  EXPECT_EQ(list.Objects(2), &c);
  list.Move(0, 3);
  EXPECT_EQ(Lines(list), (Texts{"one", "zero", "three", "two"}));
  EXPECT_EQ(list.Objects(3), &b);
  list.Put(3, "deux");
  EXPECT_EQ(list.Objects(3), &b);
  EXPECT_EQ(list.IndexOfObject(&c), 1);
}

TEST(TStringListTest, SortedListsInsertInOrder) {
  TStringList list;
  list.SetSorted(true);
  for (const char* name : {"german.lng", "French.lng", "english.lng", "FRENCH.LNG"}) list.Add(name);
  EXPECT_EQ(Lines(list), (Texts{"english.lng", "French.lng", "german.lng"}));
  EXPECT_EQ(list.Add("GERMAN.lng"), 2);
  EXPECT_EQ(list.IndexOf("FRENCH.lng"), 1);
  int index = -1;
  EXPECT_FALSE(list.Find("fr", index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(RaisedMessage<EListError>([&] { list.Insert(0, "a"); }),
            "Opération non autorisée sur des listes de chaînes triées");
  EXPECT_THROW(list.Put(0, "a"), EListError);
  EXPECT_THROW(list.Move(0, 1), EListError);
  list.SetDuplicates(dupError);
  EXPECT_EQ(RaisedMessage<EListError>([&] { list.Add("ENGLISH.LNG"); }),
            "La liste de chaînes n'autorise pas les doublons");
  list.SetDuplicates(dupAccept);
  list.AddObject("ENGLISH.LNG", &a);
  EXPECT_EQ(Lines(list), (Texts{"english.lng", "ENGLISH.LNG", "French.lng", "german.lng"}));
  EXPECT_EQ(list.Objects(1), &a);
}

TEST(TStringListTest, CaseIsIgnoredUnlessAskedInIndexOfAndSorting) {
  TStringList list;
  for (const char* name : {"b", "C", "a", "B"}) list.AddObject(name, &a);
  EXPECT_EQ(list.IndexOf("c"), 1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("c"), -1);
  list.SetCaseSensitive(false);
  // The sort is stable; a sorted list is sorted again when the comparison changes.
  list.Sort();
  EXPECT_EQ(Lines(list), (Texts{"a", "b", "B", "C"}));
  list.SetSorted(true);
  list.SetCaseSensitive(true);
  EXPECT_EQ(Lines(list), (Texts{"B", "C", "a", "b"}));
  EXPECT_EQ(list.Objects(0), &a);
  EXPECT_EQ(list.IndexOf("c"), -1);
  EXPECT_EQ(list.IndexOf("C"), 1);
}

TEST(TStringListTest, TextNamesAndValues) {
  TStringList list;
  // A final line break starts no line.
  list.SetText("a\r\nb\nc\rd\n\re\r\n");
  EXPECT_EQ(Lines(list), (Texts{"a", "b", "c", "d", "", "e"}));
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  list.SetText("count = 3\nname=C:\\a=b\nplain");
  EXPECT_EQ(list.Names(0), "count ");
  EXPECT_EQ(list.Values("NAME"), "C:\\a=b");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.IndexOfName("plain"), -1);
  list.SetValue("name", "x");
  list.SetValue("new", "1");
  EXPECT_EQ(Lines(list), (Texts{"count = 3", "name=x", "plain", "new=1"}));
  list.SetValue("name", "");
  EXPECT_EQ(Lines(list), (Texts{"count = 3", "plain", "new=1"}));
}

TEST(TStringListTest, AddStringsAssignFilesAndStreams) {
  TStringList source;
  source.AddObject("first", &a);
  source.AddObject("", &b);
  source.Add("été");
  TStringList list;
  list.Add("o");
  list.AddStrings(source);
  EXPECT_EQ(Lines(list), (Texts{"o", "first", "", "été"}));
  EXPECT_EQ(list.Objects(2), &b);
  list.Assign(source);
  list.Assign(list);
  EXPECT_EQ(Lines(list), Lines(source));

  TempDir dir;
  list.SaveToFile(dir.File("l.txt"));
  EXPECT_EQ(ReadWholeFile(dir.File("l.txt")), Bytes("first\r\n\r\nété\r\n"));
  TStringList loaded;
  loaded.LoadFromFile(dir.File("l.txt"));
  EXPECT_EQ(Lines(loaded), Lines(list));
  // A stream is read from its position on.
  TMemoryStream stream;
  stream.WriteBuffer("skip|a\rb", 8);
  stream.SetPosition(5);
  loaded.LoadFromStream(stream);
  EXPECT_EQ(Lines(loaded), (Texts{"a", "b"}));
}

// A TStrings that keeps only texts, as a list widget without objects would.
class TTextOnlyStrings : public TStrings {
 public:
  int Count() const override { return static_cast<int>(FLines.size()); }
  std::string Get(int index) const override {
    CheckIndex(index);
    return FLines[static_cast<size_t>(index)];
  }
  void Insert(int index, const std::string& text) override {
    if (index < 0 || index > Count()) CheckIndex(index);
    FLines.insert(FLines.begin() + index, text);
  }
  void Delete(int index) override {
    CheckIndex(index);
    FLines.erase(FLines.begin() + index);
  }
  void Clear() override { FLines.clear(); }

 private:
  Texts FLines;
};

TEST(TStringsTest, DefaultsBuildOnTheAbstractOperations) {
  TTextOnlyStrings list;
  list.SetText("c\nA\nb");
  EXPECT_EQ(list.IndexOf("a"), 1);
  list.Exchange(0, 2);
  EXPECT_EQ(Lines(list), (Texts{"b", "A", "c"}));
  list.Move(0, 2);
  list.Put(1, "C");
  EXPECT_EQ(Lines(list), (Texts{"A", "C", "b"}));
  EXPECT_EQ(list.Objects(0), nullptr);
  // The target is checked before the line is taken out.
  EXPECT_THROW(list.Move(0, 3), EListError);
  EXPECT_EQ(Lines(list), (Texts{"A", "C", "b"}));
}

}  // namespace
