#include "toolkit/core/string_list.h"

#include <algorithm>

#include "toolkit/core/file_replace.h"
#include "toolkit/core/list_errors.h"
#include "toolkit/core/streams.h"
#include "toolkit/core/string_utils.h"

// --- TStrings ---

void TStrings::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) list_errors::IndexError(index);
}

void* TStrings::GetObject(int index) const {
  CheckIndex(index);
  return nullptr;
}

void TStrings::PutObject(int index, void*) {
  CheckIndex(index);
}

void TStrings::Put(int index, const std::string& text) {
  void* object = GetObject(index);
  BeginUpdate();
  Delete(index);
  InsertObject(index, text, object);
  EndUpdate();
}

void TStrings::InsertObject(int index, const std::string& text, void* object) {
  Insert(index, text);
  PutObject(index, object);
}

int TStrings::Add(const std::string& text) {
  const int index = Count();
  Insert(index, text);
  return index;
}

int TStrings::AddObject(const std::string& text, void* object) {
  const int index = Add(text);
  PutObject(index, object);
  return index;
}

void TStrings::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  const std::string text1 = Get(index1);
  void* object1 = GetObject(index1);
  BeginUpdate();
  Put(index1, Get(index2));
  PutObject(index1, GetObject(index2));
  Put(index2, text1);
  PutObject(index2, object1);
  EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
  // Both indices are checked first, so that a bad target does not lose the line.
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  if (curIndex == newIndex) return;
  const std::string text = Get(curIndex);
  void* object = GetObject(curIndex);
  BeginUpdate();
  Delete(curIndex);
  InsertObject(newIndex, text, object);
  EndUpdate();
}

int TStrings::IndexOf(std::string_view text) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), text) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(void* object) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

void TStrings::AddStrings(const TStrings& source) {
  BeginUpdate();
  for (int i = 0; i < source.Count(); ++i) AddObject(source.Get(i), source.GetObject(i));
  EndUpdate();
}

void TStrings::Assign(const TStrings& source) {
  if (&source == this) return;
  BeginUpdate();
  Clear();
  AddStrings(source);
  EndUpdate();
}

std::string TStrings::Names(int index) const {
  const std::string line = Get(index);
  const size_t equals = line.find('=');
  return equals == std::string::npos ? std::string() : line.substr(0, equals);
}

std::string TStrings::ValueFromIndex(int index) const {
  const std::string line = Get(index);
  const size_t equals = line.find('=');
  return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

int TStrings::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string line = Get(i);
    const size_t equals = line.find('=');
    if (equals != std::string::npos && CompareStrings(std::string_view(line).substr(0, equals), name) == 0)
      return i;
  }
  return -1;
}

std::string TStrings::Values(std::string_view name) const {
  const int index = IndexOfName(name);
  return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStrings::SetValue(std::string_view name, const std::string& value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  const std::string line = std::string(name) + "=" + value;
  if (index < 0)
    Add(line);
  else
    Put(index, line);
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) text += Get(i) + "\r\n";
  return text;
}

void TStrings::SetText(std::string_view text) {
  BeginUpdate();
  Clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    Add(std::string(text.substr(start, end - start)));
    // Past the line end: CR LF, a lone CR or a lone LF.
    if (end < text.size() && text[end++] == '\r' && end < text.size() && text[end] == '\n') ++end;
    start = end;
  }
  EndUpdate();
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TStrings::SaveToFile(const std::string& fileName) const {
  TFileReplacement file(fileName);
  SaveToStream(file.Stream());
  file.Commit();
}

void TStrings::LoadFromStream(TStream& stream) {
  const int64_t left = std::max<int64_t>(stream.Size() - stream.Position(), 0);
  std::string text(static_cast<size_t>(left), '\0');
  stream.ReadBuffer(text.data(), left);
  SetText(text);
}

void TStrings::SaveToStream(TStream& stream) const {
  const std::string text = Text();
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const {
  return CompareText(a, b);
}

// --- TStringList ---

std::string TStringList::Get(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Text;
}

void* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Object;
}

void TStringList::Put(int index, const std::string& text) {
  if (FSorted) list_errors::SortedListError();
  CheckIndex(index);
  Changing();
  FItems[static_cast<size_t>(index)].Text = text;
  Changed();
}

void TStringList::PutObject(int index, void* object) {
  CheckIndex(index);
  Changing();
  FItems[static_cast<size_t>(index)].Object = object;
  Changed();
}

void TStringList::Insert(int index, const std::string& text) {
  InsertObject(index, text, nullptr);
}

void TStringList::InsertObject(int index, const std::string& text, void* object) {
  if (FSorted) list_errors::SortedListError();
  if (index < 0 || index > Count()) list_errors::IndexError(index);
  InsertItem(index, text, object);
}

void TStringList::InsertItem(int index, const std::string& text, void* object) {
  Changing();
  FItems.insert(FItems.begin() + index, TItem{text, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  Changing();
  FItems.clear();
  Changed();
}

int TStringList::Add(const std::string& text) {
  return AddObject(text, nullptr);
}

int TStringList::AddObject(const std::string& text, void* object) {
  if (!FSorted) {
    InsertItem(Count(), text, object);
    return Count() - 1;
  }
  int index = 0;
  if (Find(text, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) list_errors::DuplicateError();
    // Equal lines keep the order in which they came.
    while (index < Count() && CompareStrings(FItems[static_cast<size_t>(index)].Text, text) == 0) ++index;
  }
  InsertItem(index, text, object);
  return index;
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  if (curIndex == newIndex) return;
  if (FSorted) list_errors::SortedListError();
  Changing();
  TItem item = std::move(FItems[static_cast<size_t>(curIndex)]);
  FItems.erase(FItems.begin() + curIndex);
  FItems.insert(FItems.begin() + newIndex, std::move(item));
  Changed();
}

int TStringList::IndexOf(std::string_view text) const {
  if (!FSorted) return TStrings::IndexOf(text);
  int index = 0;
  return Find(text, index) ? index : -1;
}

bool TStringList::Find(std::string_view text, int& index) const {
  const auto at = std::lower_bound(
      FItems.begin(), FItems.end(), text,
      [this](const TItem& item, std::string_view t) { return CompareStrings(item.Text, t) < 0; });
  index = static_cast<int>(at - FItems.begin());
  return at != FItems.end() && CompareStrings(at->Text, text) == 0;
}

void TStringList::Sort() {
  Changing();
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const TItem& a, const TItem& b) { return CompareStrings(a.Text, b.Text) < 0; });
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == FSorted) return;
  if (sorted) Sort();
  FSorted = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == FCaseSensitive) return;
  FCaseSensitive = caseSensitive;
  if (FSorted) Sort();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
  return FCaseSensitive ? CompareStr(a, b) : CompareText(a, b);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging();
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange();
}
