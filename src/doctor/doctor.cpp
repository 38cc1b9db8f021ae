#include "doctor/doctor.h"

#include <map>
#include <string>
#include <vector>

#include "db/ini_document.h"
#include "db/ini_file.h"
#include "doctor/catalogue_entries.h"
#include "doctor/offline_check.h"
#include "doctor/web_answer.h"
#include "main_func/download_reason.h"
#include "main_func/files.h"
#include "main_func/out.h"
#include "trust/checksum_list.h"
#include "trust/digest.h"
#include "trust/download_check.h"

namespace {

// Bounded: a silent server must not hold the whole run (wget's defaults wait many minutes).
const std::vector<std::string> Bounded = {"--tries=1", "--timeout=20", "--max-redirect=10"};

std::vector<std::string> With(std::vector<std::string> options) {
  options.insert(options.end(), Bounded.begin(), Bounded.end());
  return options;
}

// The findings of one entry; the kinds are also what the summary counts.
struct Findings {
  std::vector<std::string> words;  // as shown
  std::vector<std::string> kinds;  // for the summary
  void Add(const std::string& kind, const std::string& text) {
    kinds.push_back(kind);
    words.push_back(text);
  }
};

// The verdict on an answer that is not a good one, or "" when it is good.
std::string AnswerProblem(const WebAnswer& a, std::string& kind) {
  if (a.exitCode == FetchTooLong) {
    kind = "NETWORK";
    return "NETWORK (no end within 2 minutes)";
  }
  if (a.exitCode == FetchTooLarge) {
    kind = "DEAD";
    return "DEAD (answer without end)";
  }
  if (!a.answered) {
    kind = "NETWORK";
    return "NETWORK";
  }
  if (a.status == 429 || a.status >= 500) {
    kind = "RETRY LATER";
    return "RETRY LATER " + std::to_string(a.status);
  }
  if ((a.status != 0 && (a.status < 200 || a.status >= 300)) || a.exitCode != 0) {
    kind = "DEAD";
    return "DEAD" + (a.status ? " " + std::to_string(a.status) : std::string());
  }
  return "";
}

class Doctor {
 public:
  explicit Doctor(const DoctorOptions& options) : o_(options) {}

  void Check(const CatalogueEntry& e) {
    Findings f;
    const std::string problem = OfflineProblem(e.os, e.hddManager);
    if (!problem.empty()) f.Add("BROKEN", "BROKEN (" + problem + ")");
    else if (!o_.offline) CheckOnline(e, f);
    Report(e, f);
  }

  int Finish(const std::vector<std::string>& folderProblems) {
    for (const std::string& p : folderProblems) {
      WriteLine(p + ": BROKEN");
      ++counts_["BROKEN"];
    }
    std::string summary = std::to_string(entries_) + " entries: " + std::to_string(ok_) + " OK";
    for (const char* kind : {"MOVED", "NO CHECKSUM", "PINNED", "HTML PAGE", "DEAD", "MISMATCH",
                             "BROKEN", "RETRY LATER", "NETWORK"}) {
      if (counts_[kind]) summary += ", " + std::to_string(counts_[kind]) + " " + kind;
    }
    WriteLine(summary + (o_.offline ? " (offline checks only)" : ""));
    if (counts_["BROKEN"] || counts_["DEAD"] || counts_["MISMATCH"] || counts_["HTML PAGE"])
      return 1;
    return counts_["NETWORK"] || counts_["RETRY LATER"] ? 3 : 0;
  }

 private:
  std::string Work(const std::string& name) const { return o_.workDir + "\\" + name; }

  void CheckOnline(const CatalogueEntry& e, Findings& f) {
    const WebAnswer link = AskWget(o_.wget, With({"--spider", "-S"}), e.os.download,
                                   Work("link.log"));
    std::string kind;
    const std::string bad = AnswerProblem(link, kind);
    if (!bad.empty()) {
      f.Add(kind, bad);
      return;
    }
    if (link.html) {
      f.Add("HTML PAGE", "HTML PAGE");
      return;
    }
    if (link.movedPermanently) f.Add("MOVED", "MOVED -> " + link.finalUrl);

    ListedHash listed;
    bool haveList = false;
    if (!e.os.checksums.empty()) {
      haveList = FetchList(e, listed, f);
      if (!haveList && f.kinds.size() && f.kinds.back() != "NO CHECKSUM") return;
    } else if (e.os.sha256.empty()) {
      f.Add("NO CHECKSUM", "NO CHECKSUM");
    }
    if (o_.pin && (haveList || !e.os.sha256.empty())) Pin(e, haveList ? &listed : nullptr, f);
  }

  bool FetchList(const CatalogueEntry& e, ListedHash& listed, Findings& f) {
    const std::string path = Work("list.txt");
    RemoveFile(path);
    const WebAnswer answer = AskWget(o_.wget, With({"-q", "-S", "-O", path}), e.os.checksums,
                                     Work("list.log"), {true, path, MaxChecksumListSize});
    if (answer.exitCode == FetchTooLarge) {
      RemoveFile(path);
      f.Add("NO CHECKSUM", "NO CHECKSUM (the list is too large)");
      return false;
    }
    std::string kind;
    const std::string bad = AnswerProblem(answer, kind);
    std::string list;
    const bool read = bad.empty() && FileSize64(path) <= MaxChecksumListSize && ReadWholeFile(path, list);
    RemoveFile(path);
    if (kind == "NETWORK" || kind == "RETRY LATER") {
      f.Add(kind, bad + " (checksum list)");
      return false;
    }
    if (!bad.empty()) {
      f.Add("NO CHECKSUM", "NO CHECKSUM (list " + bad + ")");
      return false;
    }
    if (!read || !FindListedHash(list, e.os.filename, listed)) {
      f.Add("NO CHECKSUM", "NO CHECKSUM (no SHA-256/512 line in the list)");
      return false;
    }
    return true;
  }

  // Downloads the image, checks it against the list (or the pinned hash) and pins it.
  void Pin(const CatalogueEntry& e, const ListedHash* listed, Findings& f) {
    const std::string image = Work("image");
    RemoveFile(image);
    // An image may take long: only wget's own timeout bounds it.
    const WebAnswer answer = AskWget(o_.wget, {"-q", "--tries=2", "--timeout=60", "-O", image},
                                     e.os.download, Work("image.log"), {false, "", 0});
    std::string kind;
    const std::string bad = AnswerProblem(answer, kind);
    std::string head;
    if (!bad.empty() || !FileExists(image)) {
      f.Add(kind.empty() ? "NETWORK" : kind, (bad.empty() ? "NETWORK" : bad) + " (download)");
    } else if (ReadFileHead(image, WebPageHeadSize, head) && IsWebPageText(head)) {
      f.Add("HTML PAGE", "HTML PAGE");
    } else {
      std::string sha256, other;
      const bool hashed = DigestFile(image, DigestKind::Sha256, sha256) &&
                          (!listed || listed->kind == DigestKind::Sha256 ||
                           DigestFile(image, listed->kind, other));
      const std::string& listedActual =
          listed && listed->kind == DigestKind::Sha512 ? other : sha256;
      if (!hashed) {
        f.Add("NETWORK", "NETWORK (download unreadable)");
      } else if ((listed && !SameHash(listed->kind, listed->hex, listedActual)) ||
                 (!e.os.sha256.empty() && !SameHash(DigestKind::Sha256, e.os.sha256, sha256))) {
        f.Add("MISMATCH", "MISMATCH");
      } else if (e.os.sha256 != sha256) {
        WritePin(e, sha256, f);
      }
    }
    RemoveFile(image);
  }

  void WritePin(const CatalogueEntry& e, const std::string& sha256, Findings& f) {
    try {
      IniDocument doc;
      if (!doc.Load(e.file)) throw IniWriteError(e.file);
      doc.WriteString(e.section, "sha256", sha256);
      doc.Save(e.file);
      f.Add("PINNED", "PINNED");
    } catch (const IniWriteError&) {
      f.Add("BROKEN", "BROKEN (cannot write " + NativePath(e.file) + ")");
    }
  }

  void Report(const CatalogueEntry& e, const Findings& f) {
    ++entries_;
    std::string verdict;
    for (const std::string& word : f.words) verdict += (verdict.empty() ? "" : ", ") + word;
    bool ok = true;
    for (const std::string& kind : f.kinds) {
      ++counts_[kind];
      if (kind != "PINNED") ok = false;
    }
    if (ok) {
      ++ok_;
      verdict = verdict.empty() ? "OK" : "OK, " + verdict;
    }
    const std::string title = e.os.version.empty() ? e.os.name : e.os.name + " " + e.os.version;
    WriteLine(e.label + " " + title + ": " + verdict);
  }

  const DoctorOptions& o_;
  int entries_ = 0;
  int ok_ = 0;
  std::map<std::string, int> counts_;
};

}  // namespace

int RunDoctor(const DoctorOptions& options) {
  std::vector<std::string> problems;
  const std::vector<CatalogueEntry> entries = ReadCatalogue(options.dbDir, problems);
  Doctor doctor(options);
  for (const CatalogueEntry& e : entries) doctor.Check(e);
  return doctor.Finish(problems);
}
