// The public keys trusted to sign the built-in update server's version file, in one place.
// A key is replaced in two releases: the first, still signed with the old key, carries
// programs that trust both; the releases after it are signed with the new key, and a later
// one drops the old key from this list. Keys are made by scripts/make-release-key
// (docs/releasing.md); the private halves never enter the repository.
#pragma once

inline constexpr const char* ReleaseKeys[] = {
    // Made 2026-12-08.
    "048ba400e4350389f909368cb18a050094a0df45d5b8643de6e09166499eac3fec"
    "b7c7090ff0b5042337c10240db12e65cf00f9043ad80c1cefd4d2bd5660f3e4a",
};
