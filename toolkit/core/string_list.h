#pragma once
// TStrings: the abstract list of strings, each with a non-owning object pointer, that list widgets and
// TStringList implement; TStringList: the plain one, optionally sorted. A bad index raises EListError
// (SListIndexError).
//
// Line text: Text() ends every line with CR LF; SetText() and LoadFrom... split at CR, LF or CR LF (a
// final line break does not start another line). Names and values: a line "name=value" has the name
// before its first "=" and the value after it.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings {
 public:
  virtual ~TStrings() = default;

  // --- What an implementation provides ---
  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  virtual void Insert(int index, const std::string& text) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // Lists without objects may keep these defaults (no object; setting one is ignored).
  virtual void* GetObject(int index) const;
  virtual void PutObject(int index, void* object);
  // Replaces a line's text, keeping its object.
  virtual void Put(int index, const std::string& text);
  virtual void InsertObject(int index, const std::string& text, void* object);
  // Appends (or, in a sorted list, inserts in order); returns the line's index.
  virtual int Add(const std::string& text);
  virtual int AddObject(const std::string& text, void* object);
  // Objects travel with their lines.
  virtual void Exchange(int index1, int index2);
  // Moves the line at curIndex so that it ends at newIndex; both must be valid indices.
  virtual void Move(int curIndex, int newIndex);
  // Index of the first line equal to text (letter case ignored unless the list says otherwise), or -1.
  virtual int IndexOf(std::string_view text) const;

  // --- Built on the above ---
  std::string Strings(int index) const { return Get(index); }
  std::string operator[](int index) const { return Get(index); }
  void* Objects(int index) const { return GetObject(index); }
  int IndexOfObject(void* object) const;
  void AddStrings(const TStrings& source);
  // Replaces the content by a copy of source's lines and objects.
  void Assign(const TStrings& source);

  int IndexOfName(std::string_view name) const;
  // The name of line index ("" when it holds no "=").
  std::string Names(int index) const;
  // The value of line index ("" when it holds no "=").
  std::string ValueFromIndex(int index) const;
  // The value of the first line with that name, or "".
  std::string Values(std::string_view name) const;
  // Sets the value of the line with that name (appending "name=value" when there is none); an empty
  // value deletes the line.
  void SetValue(std::string_view name, const std::string& value);

  std::string Text() const;
  void SetText(std::string_view text);

  // Updates nest; the list hears of the first begin and the last end (SetUpdateState).
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // Raise EFOpenError / EFCreateError when the file cannot be opened or created. Saving replaces an
  // existing file only once the new one is written wholly.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;
  // Reads from the stream's position to its end.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;

 protected:
  virtual void SetUpdateState(bool /*updating*/) {}
  // How IndexOf and the name lookups compare: CompareText unless overridden.
  virtual int CompareStrings(std::string_view a, std::string_view b) const;
  void CheckIndex(int index) const;

 private:
  int FUpdateCount = 0;
};

class TStringList : public TStrings {
 public:
  int Count() const override { return static_cast<int>(FItems.size()); }
  std::string Get(int index) const override;
  void* GetObject(int index) const override;
  // Put, Insert, InsertObject and Move raise EListError (SSortedListError) on a sorted list.
  void Put(int index, const std::string& text) override;
  void PutObject(int index, void* object) override;
  void Insert(int index, const std::string& text) override;
  void InsertObject(int index, const std::string& text, void* object) override;
  void Delete(int index) override;
  void Clear() override;
  // In a sorted list: inserts in order; an equal line already there is returned (dupIgnore), raises
  // EListError with SDuplicateString (dupError) or is kept, the new line going after it (dupAccept).
  int Add(const std::string& text) override;
  int AddObject(const std::string& text, void* object) override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;
  int IndexOf(std::string_view text) const override;

  // Binary search of a sorted list: true when found; index is the match or the insertion place.
  bool Find(std::string_view text, int& index) const;
  // Stable sort by CompareStrings.
  void Sort();

  bool Sorted() const { return FSorted; }
  // Turning it on sorts the list.
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates duplicates) { FDuplicates = duplicates; }
  bool CaseSensitive() const { return FCaseSensitive; }
  // A sorted list is sorted again under the new comparison.
  void SetCaseSensitive(bool caseSensitive);

  // Called before and after every change (once around a BeginUpdate / EndUpdate block).
  std::function<void()> OnChanging;
  std::function<void()> OnChange;

 protected:
  void SetUpdateState(bool updating) override;
  int CompareStrings(std::string_view a, std::string_view b) const override;

 private:
  struct TItem {
    std::string Text;
    void* Object = nullptr;
  };

  void Changing();
  void Changed();
  void InsertItem(int index, const std::string& text, void* object);

  std::vector<TItem> FItems;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
};
