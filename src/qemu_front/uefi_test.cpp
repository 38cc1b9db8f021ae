#include "qemu_front/uefi.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

std::string Descriptor(const std::string& code, const std::string& vars,
                       const std::string& features, const std::string& arch = "x86_64",
                       const std::string& device = "flash") {
  return "{\"description\": \"x\", \"interface-types\": [\"uefi\"],\n"
         " \"mapping\": {\"device\": \"" + device + "\", \"executable\": {\"filename\": \"" +
         code + "\", \"format\": \"raw\"},\n \"nvram-template\": {\"filename\": \"" + vars +
         "\", \"format\": \"raw\"}},\n \"targets\": [{\"architecture\": \"" + arch +
         "\", \"machines\": [\"pc-i440fx-*\"]}],\n \"features\": [" + features + "]}\n";
}

TEST(Uefi, DescriptorsWithoutSecureBootAreTaken) {
  FirmwarePair pair;
  EXPECT_TRUE(ParseFirmwareDescriptor(Descriptor("/a/CODE.fd", "/a/VARS.fd", "\"acpi-s3\""), pair));
  EXPECT_EQ(pair.code, "/a/CODE.fd");
  EXPECT_EQ(pair.vars, "/a/VARS.fd");
  for (const std::string& bad :
       {Descriptor("/c", "/v", "\"acpi-s3\", \"secure-boot\", \"requires-smm\""),
        Descriptor("/c", "/v", "\"enrolled-keys\""), Descriptor("/c", "/v", "", "aarch64"),
        Descriptor("/c", "/v", "", "x86_64", "memory"), Descriptor("", "/v", ""),
        std::string("{\"interface-types\": [\"bios\"]}"), std::string("{\"mapping\": {{{"),
        std::string("\"interface-types\":"), std::string()})
    EXPECT_FALSE(ParseFirmwareDescriptor(bad, pair)) << bad;
}

TEST(Uefi, TheSettingWinsThenDescriptorsInOrderThenDebian) {
  TempDir temp;
  temp.Write("fw/CODE.fd", "code");
  temp.Write("fw/VARS.fd", "vars");
  temp.Write("deb/OVMF_CODE_4M.fd", "dcode");
  temp.Write("deb/OVMF_VARS_4M.fd", "dvars");
  const std::string code = temp.File("fw/CODE.fd"), vars = temp.File("fw/VARS.fd");
  temp.Write("desc/50-secure.json", Descriptor("/x", "/y", "\"secure-boot\""));
  temp.Write("desc/60-plain.json", Descriptor(code, vars, ""));
  temp.Write("desc/40-missing.json", Descriptor(temp.File("gone.fd"), vars, ""));
  const std::vector<std::string> dirs = {temp.File("none"), temp.File("desc")};
  FirmwarePair pair;
  std::string error;

  ASSERT_TRUE(FindUefiFirmware({}, dirs, temp.File("deb"), pair, error));
  EXPECT_EQ(pair.code, code);
  ASSERT_TRUE(FindUefiFirmware({}, {temp.File("none")}, temp.File("deb"), pair, error));
  EXPECT_EQ(pair.code, temp.File("deb") + "/OVMF_CODE_4M.fd");
  ASSERT_TRUE(FindUefiFirmware({vars, code}, dirs, "", pair, error));
  EXPECT_EQ(pair.code, vars);

  // A named file that is missing is refused, not replaced by what the search would find.
  EXPECT_FALSE(FindUefiFirmware({temp.File("gone.fd"), vars}, dirs, temp.File("deb"), pair, error));
  EXPECT_EQ(error, "qemu: UEFI firmware not found: [qemu] uefi=" + temp.File("gone.fd"));
  EXPECT_FALSE(FindUefiFirmware({code, ""}, dirs, "", pair, error));
  EXPECT_FALSE(FindUefiFirmware({}, {temp.File("none")}, temp.File("none"), pair, error));
  EXPECT_EQ(error, "qemu: no UEFI firmware found; install OVMF (Debian: ovmf) or set [qemu] "
                   "uefi= and uefivars= in qemu.ini");
}

TEST(Uefi, VariablesAreCopiedOnceAndNeverOverwritten) {
  TempDir temp;
  temp.Write("CODE,1.fd", "code");
  temp.Write("VARS.fd", "template");
  const FirmwarePair firmware{temp.File("CODE,1.fd"), temp.File("VARS.fd")};
  const std::string vars = temp.File("img.iso.vars.fd");

  Translation t = UefiArgs(firmware, vars);
  ASSERT_TRUE(t.ok) << t.error;
  EXPECT_EQ(t.args, (std::vector<std::string>{
                        "-drive", "if=pflash,format=raw,unit=0,readonly=on,file=" +
                                      temp.File("CODE,,1.fd"),
                        "-drive", "if=pflash,format=raw,unit=1,file=" + vars}));
  EXPECT_EQ(ReadBinary(vars), "template");
  WriteBinary(vars, "boot entries");
  EXPECT_TRUE(UefiArgs(firmware, vars).ok);
  EXPECT_EQ(ReadBinary(vars), "boot entries");
  EXPECT_FALSE(UefiArgs({firmware.code, temp.File("gone")}, temp.File("new.vars.fd")).ok);
  temp.Write("dir.vars.fd/x", "");
  EXPECT_EQ(UefiArgs(firmware, temp.File("dir.vars.fd")).error,
            "qemu: " + temp.File("dir.vars.fd") + " is refused: not a regular file");

  std::vector<std::string> args = {"-m", "128", "-uefi", "images//a.vars.fd", "-boot", "once=d"};
  std::string taken, error;
  ASSERT_TRUE(TakeUefiOption(args, taken, error));
  EXPECT_EQ(taken, "images//a.vars.fd");
  EXPECT_EQ(args, (std::vector<std::string>{"-m", "128", "-boot", "once=d"}));
  for (std::vector<std::string> bad : {std::vector<std::string>{"-uefi"},
                                       {"-uefi", "-m", "1"}, {"-uefi", "a", "-uefi", "b"}})
    EXPECT_FALSE(TakeUefiOption(bad, taken, error));
}

}  // namespace
