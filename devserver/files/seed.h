// Filling a database with the demo data: the users, the ZWR data file, the file of files
// (file 1) built from the dictionary, and every index. --seed-scale N multiplies the demo
// files' records with generated copies for load and performance work.
#pragma once

#include <string>

#include "devserver/files/dictionary.h"
#include "devserver/storage/global_store.h"

namespace vorn::devserver {

struct SeedFiles {
    std::string dataZwr;    // devserver/data/demo.zwr
    std::string usersFile;  // devserver/data/users.txt
};

// The folder of the server's data files as built into the program.
std::string DefaultSeedFolder();
SeedFiles SeedFilesIn(const std::string& folder);

// True when the database holds seeded data.
bool IsSeeded(GlobalStore& store);
// Empties the database and seeds it, in one transaction; `scale` >= 1.
void Seed(GlobalStore& store, const Dictionary& dict, const SeedFiles& files, int scale);

// Builds every index of the file and its sub-files (under every record) again.
void ReindexTree(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                 const GlobalRef& fileRoot);

}  // namespace vorn::devserver
