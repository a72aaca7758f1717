#pragma once
// Sync clients that meet two changes of one file at once keep both: the other one
// under a name of their own beside the file. These names are recognised here, so
// that what such a copy holds can be taken back into the memos.

#include <optional>
#include <string>

// The name of the file that `name` is a sync client's conflict copy of, or none:
//   OneDrive           "001-LAPTOP.txt"
//   Dropbox, Nextcloud "001 (Anna's conflicted copy 2026-03-05).txt",
//                      "001 (conflicted copy 2026-03-05 091501).txt"
//   Syncthing          "001.sync-conflict-20260305-091501-ABCDEFG.txt"
//   numbered copies    "001 (1).txt"
// Only names the program keeps are looked for: memo files ("001.txt"), the memo
// index and the settings file (the names given); the answer is "001.txt",
// "zkPostIt.ini" and so on, spelled as the program spells them.
std::optional<std::string> ConflictCopyOf(const std::string& name, const std::string& indexName,
                                          const std::string& settingsName);

// The memo number a memo file's name gives ("007.txt" -> 7, "1234.txt" -> 1234);
// none for any other name ("7.txt", "007.TXT.new", "0.txt").
std::optional<int> MemoNumberOfFileName(const std::string& name);
