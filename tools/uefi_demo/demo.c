/* The UEFI demo OS: an EFI application (EFI/BOOT/BOOTX64.EFI on a FAT disk) that greets the
 * user on the first serial port and on the firmware's console, then writes 0 to I/O port
 * 0xf4: on a QEMU started with -device isa-debug-exit,iobase=0xf4 that ends QEMU, which lets
 * tests boot it headless. Otherwise it waits for a key and switches the machine off through
 * the firmware's runtime services.
 *
 * Built with the host's gcc and binutils (cmake/install.cmake): freestanding, position
 * independent (every address is relative to the instruction, so the image needs no
 * relocations wherever the firmware loads it), linked by ld straight into a PE32+ EFI
 * application. Only the few firmware structures it touches are declared, laid out as the
 * firmware lays them out; firmware calls use the Microsoft x64 convention (ms_abi). */

typedef unsigned long long u64;
typedef unsigned short char16;

#define EFIAPI __attribute__((ms_abi))

struct input_key {
  unsigned short scan_code;
  char16 unicode_char;
};

struct simple_text_input {
  void* reset;
  EFIAPI u64 (*read_key_stroke)(struct simple_text_input*, struct input_key*);
  void* wait_for_key;
};

struct simple_text_output {
  void* reset;
  EFIAPI u64 (*output_string)(struct simple_text_output*, const char16*);
};

struct runtime_services {
  char header[24];
  void* before_reset[10]; /* GetTime .. GetNextHighMonotonicCount */
  EFIAPI void (*reset_system)(int type, u64 status, u64 data_size, void* data);
};

struct system_table {
  char header[24];
  void* firmware_vendor;
  unsigned firmware_revision;
  void* console_in_handle;
  struct simple_text_input* con_in;
  void* console_out_handle;
  struct simple_text_output* con_out;
  void* standard_error_handle;
  void* std_err;
  struct runtime_services* runtime_services;
};

enum { reset_shutdown = 2 };

static inline void out_byte(unsigned short port, unsigned char value) {
  __asm__ volatile("outb %0, %1" : : "a"(value), "Nd"(port));
}

/* The first line is what tests look for on the serial port. */
static const char serial_text[] = "Hello from the Quillhaven UEFI demo!\r\n";
static const char16 screen_text[] =
    u"Hello from the Quillhaven UEFI demo!\r\nPress a key to switch the machine off.\r\n";

EFIAPI u64 efi_main(void* image, struct system_table* system) {
  (void)image;
  for (const char* p = serial_text; *p; ++p) out_byte(0x3f8, (unsigned char)*p);
  system->con_out->output_string(system->con_out, screen_text);
  out_byte(0xf4, 0);
  struct input_key key;
  while (system->con_in->read_key_stroke(system->con_in, &key) != 0) {
  }
  system->runtime_services->reset_system(reset_shutdown, 0, 0, 0);
  for (;;) __asm__ volatile("hlt");
}
