// Signed update servers in tests: key pairs and signatures made with the openssl command at
// run time (tests/support/test_keys.sh), since the programs themselves only verify.
#pragma once
#include <string>

#include "support/fixture.h"

// Why this test run cannot sign, or "" when it can. A Windows test program under Wine never
// learns how a Linux program (openssl) ended, so it cannot sign.
std::string CannotSign();
// Makes the key pair NAME beside the installation ("..\NAME.pem") and returns its public
// key in the form options.ini [update] key takes (130 hexadecimal digits).
std::string MakeTestKey(const Fixture& fx, const std::string& name);
// Writes the fake server's PATH.sig: the signature of its file PATH by the key pair NAME.
void SignServerFile(const Fixture& fx, const std::string& name, const std::string& path);
