#include "qemu_front/demo_image.h"

#include <map>
#include <stdexcept>

namespace {

constexpr uint16_t LoadAddress = 0x7c00;  // where the BIOS puts the boot sector

// Real-mode 8086 code written as bytes, with labels for the jumps and the message
// address so that no offset is counted by hand.
class Code {
 public:
  void Bytes(std::initializer_list<uint8_t> bytes) { out_.insert(out_.end(), bytes); }
  void Label(const std::string& name) { labels_[name] = out_.size(); }
  // A short jump's 8-bit displacement to a label.
  void Rel8(const std::string& label) {
    fixups_.push_back({out_.size(), label, true});
    out_.push_back(0);
  }
  // A 16-bit address of a label once loaded.
  void Abs16(const std::string& label) {
    fixups_.push_back({out_.size(), label, false});
    out_.push_back(0);
    out_.push_back(0);
  }
  void Text(const std::string& text) { out_.insert(out_.end(), text.begin(), text.end()); }

  std::vector<uint8_t> Finish() {
    for (const Fixup& f : fixups_) {
      size_t target = labels_.at(f.label);
      if (f.rel8) {
        long displacement = static_cast<long>(target) - static_cast<long>(f.at + 1);
        if (displacement < -128 || displacement > 127) throw std::logic_error("jump too far");
        out_[f.at] = static_cast<uint8_t>(displacement & 0xff);
      } else {
        uint16_t address = static_cast<uint16_t>(LoadAddress + target);
        out_[f.at] = static_cast<uint8_t>(address & 0xff);
        out_[f.at + 1] = static_cast<uint8_t>(address >> 8);
      }
    }
    return out_;
  }

 private:
  struct Fixup {
    size_t at;
    std::string label;
    bool rel8;
  };
  std::vector<uint8_t> out_;
  std::map<std::string, size_t> labels_;
  std::vector<Fixup> fixups_;
};

}  // namespace

const std::vector<std::string>& DemoGreeting() {
  static const std::vector<std::string> lines = {
      "Hello from the Quillhaven demo OS!",
      "This system booted from a floppy image made by the build.",
      "Press any key to switch the machine off."};
  return lines;
}

std::vector<uint8_t> DemoBootSector() {
  Code c;
  c.Bytes({0xfa});                    // cli
  c.Bytes({0x31, 0xc0});              // xor ax, ax
  c.Bytes({0x8e, 0xd8});              // mov ds, ax
  c.Bytes({0x8e, 0xc0});              // mov es, ax
  c.Bytes({0x8e, 0xd0});              // mov ss, ax
  c.Bytes({0xbc, 0x00, 0x7c});        // mov sp, 0x7c00
  c.Bytes({0xfb});                    // sti
  c.Bytes({0xfc});                    // cld
  c.Bytes({0xb8, 0xe3, 0x00});        // mov ax, 0x00e3    ; COM1: 9600 baud, 8N1
  c.Bytes({0x31, 0xd2});              // xor dx, dx
  c.Bytes({0xcd, 0x14});              // int 0x14
  c.Bytes({0xbe});                    // mov si, message
  c.Abs16("message");
  c.Label("next");
  c.Bytes({0xac});                    // lodsb
  c.Bytes({0x84, 0xc0});              // test al, al
  c.Bytes({0x74});                    // jz done
  c.Rel8("done");
  c.Bytes({0x88, 0xc1});              // mov cl, al
  c.Bytes({0xb4, 0x0e});              // mov ah, 0x0e      ; teletype output
  c.Bytes({0xbb, 0x07, 0x00});        // mov bx, 0x0007    ; page 0, grey
  c.Bytes({0xcd, 0x10});              // int 0x10
  c.Bytes({0xba, 0xfd, 0x03});        // mov dx, 0x3fd     ; COM1 line status
  c.Label("wait_thr");
  c.Bytes({0xec});                    // in al, dx
  c.Bytes({0xa8, 0x20});              // test al, 0x20     ; transmit register empty
  c.Bytes({0x74});                    // jz wait_thr
  c.Rel8("wait_thr");
  c.Bytes({0xba, 0xf8, 0x03});        // mov dx, 0x3f8     ; COM1 data
  c.Bytes({0x88, 0xc8});              // mov al, cl
  c.Bytes({0xee});                    // out dx, al
  c.Bytes({0xeb});                    // jmp next
  c.Rel8("next");
  c.Label("done");
  c.Bytes({0xba, 0xfd, 0x03});        // mov dx, 0x3fd
  c.Label("drain");
  c.Bytes({0xec});                    // in al, dx
  c.Bytes({0xa8, 0x40});              // test al, 0x40     ; last character sent
  c.Bytes({0x74});                    // jz drain
  c.Rel8("drain");
  c.Bytes({0x30, 0xc0});              // xor al, al
  c.Bytes({0xe6, 0xf4});              // out 0xf4, al      ; isa-debug-exit, when present
  c.Bytes({0x30, 0xe4});              // xor ah, ah
  c.Bytes({0xcd, 0x16});              // int 0x16          ; wait for a key
  c.Bytes({0xba, 0x04, 0x06});        // mov dx, 0x604     ; ACPI PM1a control (SeaBIOS)
  c.Bytes({0xb8, 0x00, 0x20});        // mov ax, 0x2000    ; sleep enable, type 0: off
  c.Bytes({0xef});                    // out dx, ax
  c.Label("halt");
  c.Bytes({0xfa});                    // cli
  c.Bytes({0xf4});                    // hlt
  c.Bytes({0xeb});                    // jmp halt
  c.Rel8("halt");
  c.Label("message");
  for (const std::string& line : DemoGreeting()) c.Text(line + "\r\n");
  c.Bytes({0x00});

  std::vector<uint8_t> sector = c.Finish();
  if (sector.size() > BootSectorSize - 2) throw std::logic_error("boot sector too large");
  sector.resize(BootSectorSize - 2, 0);
  sector.push_back(0x55);
  sector.push_back(0xaa);
  return sector;
}

std::vector<uint8_t> DemoFloppyImage() {
  std::vector<uint8_t> image = DemoBootSector();
  image.resize(FloppySize, 0);
  return image;
}
