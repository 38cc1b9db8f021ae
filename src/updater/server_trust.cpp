#include "updater/server_trust.h"

#include "db/layout.h"
#include "main_func/out.h"
#include "trust/signed_release.h"
#include "updater/func.h"

ServerTrust CheckServerVersionFile(void (*fetch)(const std::string&, const std::string&)) {
  const std::vector<std::string> keys = TrustedKeys(UpdaterBaseDir);
  if (keys.empty()) return ServerTrust::Unchecked;
  const std::string verIni = UpdaterBaseDir + UpdaterTempFolder + VersionFileName;
  fetch("ver.ini.sig", "ver.ini.sig");
  const ReleaseCheck check = CheckRelease(keys, verIni, UpdaterBaseDir + ReleaseFile);
  RemoveFile(verIni + ".sig");
  // A version file that did not arrive gives only the defaults, and with every hash
  // required nothing is installed from them: the run ends as one that found nothing.
  if (check == ReleaseCheck::Accepted || check == ReleaseCheck::Missing)
    return ServerTrust::Verified;
  RemoveFile(verIni);
  WriteLine(" > The update server's version file " + ReleaseProblem(check) +
            ". Nothing was updated. ");
  return ServerTrust::Refused;
}

void RequireSha256(UpdateVersions& versions) {
  for (PackageVersion* p : {&versions.program, &versions.database, &versions.updater, &versions.tools})
    p->sha256Required = true;
}
