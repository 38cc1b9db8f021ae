#include "support/signing.h"

#include <gtest/gtest.h>

#include <cctype>

#include "main_func/process.h"

namespace {

// The output of one run of the key script, without its line end.
std::string RunKeyScript(const Fixture& fx, const std::string& args) {
  const std::string out = fx.Path("..\\test_keys.out");
  const std::string err = fx.Path("..\\test_keys.err");
  const int rc = RunRedirected(std::string("bash ") + QH_TEST_KEYS_SCRIPT + " " + args, "", "",
                               out, err);
  EXPECT_EQ(rc, 0) << args << "\n" << fx.Read("..\\test_keys.err");
  std::string text = fx.Read("..\\test_keys.out");
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

}  // namespace

std::string CannotSign() {
#ifdef _WIN32
  return "a Windows test under Wine cannot run openssl to sign";
#else
  return "";
#endif
}

std::string MakeTestKey(const Fixture& fx, const std::string& name) {
  const std::string key = RunKeyScript(fx, "key " + fx.Path("..\\" + name + ".pem"));
  EXPECT_EQ(key.size(), 130u) << key;
  return key;
}

void SignServerFile(const Fixture& fx, const std::string& name, const std::string& path) {
  const std::string signature =
      RunKeyScript(fx, "sign " + fx.Path("..\\" + name + ".pem") + " " + fx.Path("..\\srv\\" + path));
  EXPECT_EQ(signature.size(), 128u) << signature;
  fx.Write("..\\srv\\" + path + ".sig", signature + "\n");
}
