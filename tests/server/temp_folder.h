#pragma once
// A fresh folder under the temporary directory for one test, removed with
// everything in it when the owner goes away.
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Full path with a trailing backslash; empty when the folder could not be made.
  const std::string& path() const { return path_; }
  // Files and folders left behind because they could not be removed (still in use).
  int undeletable() const { return undeletable_; }
  // Removes everything in the folder now, counting what could not be removed.
  void Clear();

 private:
  void ClearFolder(const std::string& folder);

  std::string path_;
  int undeletable_ = 0;
};

// Copies `from` to `to`, replacing what is there; false on failure.
bool CopyInto(const std::string& from, const std::string& to);
// Writes `text` into a new file at `path`; false on failure.
bool WriteTextFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
