// The catalogue doctor: checks every entry of a db folder and reports one line for each.
#pragma once
#include <string>

struct DoctorOptions {
  std::string dbDir;
  std::string wget;      // the wget program to run
  std::string workDir;   // where lists and images are fetched to; removed again
  bool pin = false;      // download each image, check it and write its sha256
  bool offline = false;  // only the checks that need no network
};

// Exit codes: 0 every entry is sound; 1 an entry is broken, dead or does not match its
// checksum; 3 nothing of that, but some entries could not be checked (no answer, or the
// server asked to come back later).
int RunDoctor(const DoctorOptions& options);
