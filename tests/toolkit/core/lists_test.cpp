#include "toolkit/core/lists.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/test_files.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"

namespace {

// The EListError message a call raises, or "" when it raises nothing.
template <class F>
std::string ListErrorOf(F call) {
  try {
    call();
  } catch (const EListError& e) {
    return e.Message();
  }
  return {};
}

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
  return lines;
}

using Texts = std::vector<std::string>;

int a = 1, b = 2, c = 3;

TEST(TListTest, AddDeleteRemoveGet) {
  TList list;
  EXPECT_EQ(list.Add(&a), 0);
  EXPECT_EQ(list.Add(&b), 1);
  list.Insert(0, &c);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Get(0), &c);
  EXPECT_EQ(*list.As<int>(1), 1);
  EXPECT_EQ(list.IndexOf(&b), 2);
  EXPECT_EQ(list.Remove(&a), 1);
  EXPECT_EQ(list.Remove(&a), -1);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], &b);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(TListTest, BadIndicesRaiseListIndexError) {
  TList list;
  list.Add(&a);
  EXPECT_EQ(ListErrorOf([&] { list.Delete(1); }), "Index de liste hors limites (1)");
  EXPECT_EQ(ListErrorOf([&] { list.Get(-1); }), "Index de liste hors limites (-1)");
  EXPECT_FALSE(ListErrorOf([&] { list.Insert(2, &b); }).empty());
  EXPECT_FALSE(ListErrorOf([&] { list.Exchange(0, 1); }).empty());
  EXPECT_FALSE(ListErrorOf([&] { list.Move(0, 1); }).empty());
  EXPECT_FALSE(ListErrorOf([&] { list.Put(1, &b); }).empty());
  EXPECT_EQ(list.Count(), 1);
  list.Insert(1, &b);
  EXPECT_EQ(list.Get(1), &b);
}

TEST(TListTest, ExchangeMoveAndSort) {
  TList list;
  for (int* p : {&c, &a, &b}) list.Add(p);
  list.Exchange(0, 2);
  EXPECT_EQ(list.Get(0), &b);
  EXPECT_EQ(list.Get(2), &c);
  list.Move(2, 0);
  EXPECT_EQ(list.Get(0), &c);
  EXPECT_EQ(list.Get(1), &b);
  list.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
  EXPECT_EQ(list.Get(0), &a);
  EXPECT_EQ(list.Get(1), &b);
  EXPECT_EQ(list.Get(2), &c);
}

TEST(TStringListTest, ObjectsTravelWithTheirLines) {
  TStringList list;
  list.AddObject("one", &a);
  list.AddObject("two", &b);
  list.Add("three");
  list.InsertObject(0, "zero", &c);
  EXPECT_EQ(Lines(list), (Texts{"zero", "one", "two", "three"}));
  EXPECT_EQ(list.Objects(0), &c);
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
  list.Delete(1);
  EXPECT_EQ(list.IndexOfObject(&c), -1);
}

TEST(TStringListTest, BadIndicesLeaveTheListAlone) {
  TStringList list;
  list.Add("a");
  list.Add("b");
  for (auto call : std::vector<std::function<void()>>{
           [&] { list.Get(2); }, [&] { list.Delete(-1); }, [&] { list.Put(5, "x"); },
           [&] { list.Objects(2); }, [&] { list.Exchange(0, 2); }, [&] { list.Insert(3, "x"); },
           [&] { list.Move(0, 2); }, [&] { list.PutObject(2, &a); }})
    EXPECT_FALSE(ListErrorOf(call).empty());
  EXPECT_EQ(Lines(list), (Texts{"a", "b"}));
}

TEST(TStringListTest, IndexOfIgnoresCaseUnlessAsked) {
  TStringList list;
  list.Add("Night.BMP");
  list.Add("dark.bmp");
  EXPECT_EQ(list.IndexOf("night.bmp"), 0);
  EXPECT_EQ(list.IndexOf("DARK.BMP"), 1);
  EXPECT_EQ(list.IndexOf("flat.bmp"), -1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("night.bmp"), -1);
  EXPECT_EQ(list.IndexOf("Night.BMP"), 0);
}

TEST(TStringListTest, SortedListsInsertInOrder) {
  TStringList list;
  list.SetSorted(true);
  list.SetCaseSensitive(false);
  list.SetDuplicates(dupIgnore);
  for (const char* name : {"german.lng", "French.lng", "english.lng", "FRENCH.LNG"}) list.Add(name);
  EXPECT_EQ(Lines(list), (Texts{"english.lng", "French.lng", "german.lng"}));
  EXPECT_EQ(list.Add("GERMAN.lng"), 2);
  EXPECT_EQ(list.IndexOf("FRENCH.lng"), 1);
  int index = -1;
  EXPECT_FALSE(list.Find("fr", index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(ListErrorOf([&] { list.Insert(0, "a"); }),
            "Opération non autorisée sur des listes de chaînes triées");
  EXPECT_FALSE(ListErrorOf([&] { list.Put(0, "a"); }).empty());
  EXPECT_FALSE(ListErrorOf([&] { list.Move(0, 1); }).empty());
  EXPECT_EQ(Lines(list), (Texts{"english.lng", "French.lng", "german.lng"}));

  list.SetDuplicates(dupError);
  EXPECT_EQ(ListErrorOf([&] { list.Add("ENGLISH.LNG"); }), "La liste de chaînes n'autorise pas les doublons");
  list.SetDuplicates(dupAccept);
  list.AddObject("ENGLISH.LNG", &a);
  EXPECT_EQ(Lines(list), (Texts{"english.lng", "ENGLISH.LNG", "French.lng", "german.lng"}));
  EXPECT_EQ(list.Objects(1), &a);
}

TEST(TStringListTest, SortingAndCaseSensitivity) {
  TStringList list;
  for (const char* name : {"b", "C", "a", "B"}) list.AddObject(name, &a);
  list.Sort();
  EXPECT_EQ(Lines(list), (Texts{"a", "b", "B", "C"}));
  list.SetSorted(true);
  list.SetCaseSensitive(true);
  EXPECT_EQ(Lines(list), (Texts{"B", "C", "a", "b"}));
  EXPECT_EQ(list.Objects(0), &a);
  EXPECT_EQ(list.IndexOf("c"), -1);
  EXPECT_EQ(list.IndexOf("C"), 1);
}

TEST(TStringListTest, TextSplitsAtCrLfOrCrLf) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(Lines(list), (Texts{"a", "b", "c", "d"}));
  list.SetText("a\r\n");
  EXPECT_EQ(Lines(list), (Texts{"a"}));
  list.SetText("\r\n\n\r");
  EXPECT_EQ(Lines(list), (Texts{"", "", ""}));
  list.SetText("a\n\rb");
  EXPECT_EQ(Lines(list), (Texts{"a", "", "b"}));
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  list.SetText("x\r\ny");
  EXPECT_EQ(list.Text(), "x\r\ny\r\n");
}

TEST(TStringListTest, NamesAndValues) {
  TStringList list;
  list.SetText("count = 3\nname=C:\\a=b\nplain");
  EXPECT_EQ(list.Names(0), "count ");
  EXPECT_EQ(list.Values("NAME"), "C:\\a=b");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.ValueFromIndex(2), "");
  EXPECT_EQ(list.IndexOfName("plain"), -1);
  list.SetValue("name", "x");
  EXPECT_EQ(list[1], "name=x");
  list.SetValue("new", "1");
  EXPECT_EQ(list[3], "new=1");
  list.SetValue("name", "");
  EXPECT_EQ(Lines(list), (Texts{"count = 3", "plain", "new=1"}));
}

TEST(TStringListTest, UpdatesAndChangeEvents) {
  TStringList list;
  int changes = 0, changings = 0;
  list.OnChange = [&] { ++changes; };
  list.OnChanging = [&] { ++changings; };
  list.Add("a");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(changings, 1);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.EndUpdate();
  EXPECT_EQ(changes, 1);
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(changings, 2);
  list.SetText("x\ny");
  EXPECT_EQ(changes, 3);
}

TEST(TStringListTest, AddStringsAndAssign) {
  TStringList source;
  source.AddObject("p", &a);
  source.AddObject("q", &b);
  TStringList target;
  target.Add("o");
  target.AddStrings(source);
  EXPECT_EQ(Lines(target), (Texts{"o", "p", "q"}));
  EXPECT_EQ(target.Objects(2), &b);
  target.Assign(source);
  EXPECT_EQ(Lines(target), (Texts{"p", "q"}));
  target.Assign(target);
  EXPECT_EQ(Lines(target), (Texts{"p", "q"}));
}

TEST(TStringListTest, FilesAndStreams) {
  TempDir dir;
  TStringList list;
  list.Add("first");
  list.Add("");
  list.Add("été");
  list.SaveToFile(dir.File("l.txt"));
  const std::string expected = "first\r\n\r\nété\r\n";
  EXPECT_EQ(ReadWholeFile(dir.File("l.txt")), std::vector<uint8_t>(expected.begin(), expected.end()));
  TStringList loaded;
  loaded.LoadFromFile(dir.File("l.txt"));
  EXPECT_EQ(Lines(loaded), Lines(list));
  EXPECT_THROW(loaded.LoadFromFile(dir.File("missing.txt")), EFOpenError);
  EXPECT_THROW(list.SaveToFile(dir.File("no/such/folder.txt")), EFCreateError);
  EXPECT_EQ(Lines(loaded), Lines(list));

  TMemoryStream stream;
  stream.WriteBuffer("skip|a\rb", 8);
  stream.SetPosition(5);
  loaded.LoadFromStream(stream);
  EXPECT_EQ(Lines(loaded), (Texts{"a", "b"}));
  TMemoryStream out;
  loaded.SaveToStream(out);
  EXPECT_EQ(out.Size(), 6);
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
  std::vector<std::string> FLines;
};

TEST(TStringsTest, DefaultsBuildOnTheAbstractOperations) {
  TTextOnlyStrings list;
  list.SetText("c\nA\nb");
  EXPECT_EQ(list.IndexOf("a"), 1);
  list.Exchange(0, 2);
  EXPECT_EQ(Lines(list), (Texts{"b", "A", "c"}));
  list.Move(0, 2);
  EXPECT_EQ(Lines(list), (Texts{"A", "c", "b"}));
  list.Put(1, "C");
  EXPECT_EQ(list.Text(), "A\r\nC\r\nb\r\n");
  EXPECT_EQ(list.Objects(0), nullptr);
  EXPECT_FALSE(ListErrorOf([&] { list.Move(0, 3); }).empty());
  EXPECT_EQ(Lines(list), (Texts{"A", "C", "b"}));
  TStringList copy;
  copy.Assign(list);
  EXPECT_EQ(Lines(copy), Lines(list));
}

}  // namespace
