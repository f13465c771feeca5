#pragma once
// Writing a file so that a failure never costs the file that was there: the new contents go into a
// temporary file beside the target, which takes the target's place by a rename only once it has been
// written wholly (and, when it replaces a file, flushed to disk). A failure removes the temporary file
// and raises; the target is then exactly as it was. A replaced file keeps its permissions.
//
// The temporary file has a name of its own for each replacement, "<name>.<8 random letters>.tmp" (the
// name part shortened so that the whole stays within the 255 bytes a name may have), and is made only
// where no file stands: two saves of one name at once never meet, and a file of the user's own, a
// "<name>.tmp" say, is never opened nor deleted. Only the file the replacement made is removed.
//
// Only a regular file is replaced: a name that stands for a folder, a pipe or a device is refused
// before anything is opened, so nothing blocks on a pipe nor writes into a device. An existing file
// that may not be written is refused as well, as opening it for writing would be; a file whose mode
// lets no one write it is refused also for the superuser, whom the system would let write it.

#include <sys/types.h>

#include <memory>
#include <string>
#include <string_view>

#include "toolkit/core/streams.h"

// What a name that is a symbolic link stands for when it is replaced.
enum class TLinkReplace {
  // The file the link points to takes the new contents, and is made when it does not exist yet; the
  // link stays (a person editing a file).
  lrFollowLink,
  // The name itself takes the new file, and what it pointed to is never touched (the program's own
  // files, which a user may have linked to a file of theirs).
  lrReplaceLink,
};

// One replacement: write the new contents into Stream(), then Commit(). Dropped uncommitted (an
// exception while writing, say), it removes its temporary file and leaves the target alone.
class TFileReplacement {
 public:
  // Raises EFCreateError, naming the file and the reason, when the target is no regular file, may not
  // be written, or the temporary file cannot be made.
  explicit TFileReplacement(const std::string& fileName, TLinkReplace links = TLinkReplace::lrFollowLink);
  ~TFileReplacement();
  TFileReplacement(const TFileReplacement&) = delete;
  TFileReplacement& operator=(const TFileReplacement&) = delete;

  // Writes go to the temporary file; a short write raises EWriteError naming the target and the
  // system's reason.
  TStream& Stream();
  // Puts the written file in the target's place. Raises EWriteError when it cannot be flushed wholly,
  // EFCreateError when it cannot take the target's place; the target is then as it was.
  void Commit();

 private:
  // Deletes the temporary file, provided the name still stands for the file this replacement made.
  void RemoveTemporary();

  std::string FFileName;  // the name the user gave, for messages
  std::string FTarget;    // the file replaced (a followed link's file)
  std::string FTemporary;
  dev_t FTemporaryDevice = 0;  // the temporary file's identity, so that only it is ever removed
  ino_t FTemporaryInode = 0;
  bool FReplacesFile = false;
  bool FCommitted = false;
  std::unique_ptr<TFileStream> FStream;
};

// Raises EFCreateError when the temporary file cannot be made or cannot take the target's place, and
// EWriteError when it cannot be written wholly.
void WriteFileReplacing(const std::string& fileName, std::string_view contents,
                        TLinkReplace links = TLinkReplace::lrFollowLink);
// Copies the source's bytes over the target the same way; raises EFOpenError when the source cannot
// be read (no regular file, or missing).
void CopyFileReplacing(const std::string& source, const std::string& target,
                       TLinkReplace links = TLinkReplace::lrFollowLink);
