# The demo OS image every build makes, and the installation tree:
#   cmake --install <build> --prefix DIR
# lays out a working Quillhaven installation in DIR.

# ---- The demo OS ---------------------------------------------------------------------------
# A floppy image made by our own generator, so that a first launch needs no download.
add_executable(make_demo_image ${PROJECT_SOURCE_DIR}/tools/make_demo_image.cpp)
target_compile_options(make_demo_image PRIVATE ${QH_WARNINGS})
target_link_libraries(make_demo_image PRIVATE qh_qemu_front)

# Adds the Demo category to an installation's catalogue (scripts/demo-install).
add_executable(demo_catalogue ${PROJECT_SOURCE_DIR}/tools/demo_catalogue.cpp)
target_compile_options(demo_catalogue PRIVATE ${QH_WARNINGS})
target_link_libraries(demo_catalogue PRIVATE qh_db qh_main_func)

# A cross build cannot run the generator without an emulator at build time; the image is
# the same on every platform, so packaging takes it from a native build (or runs the
# generator under Wine).
if(NOT CMAKE_CROSSCOMPILING)
  set(QH_DEMO_IMAGE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/demo.img)
  add_custom_command(OUTPUT ${QH_DEMO_IMAGE}
                     COMMAND make_demo_image ${QH_DEMO_IMAGE}
                     DEPENDS make_demo_image
                     COMMENT "Making the demo OS floppy image")
  add_custom_target(demo_image ALL DEPENDS ${QH_DEMO_IMAGE})
endif()

# The UEFI demo OS: an EFI application from our own C source, built with the host's gcc and
# linked by its ld straight into PE32+ (emulation i386pep), on a FAT disk made by our own
# generator. Built where the host toolchain targets x86-64 and its ld can write PE files.
add_executable(make_uefi_demo_image ${PROJECT_SOURCE_DIR}/tools/make_uefi_demo_image.cpp)
target_compile_options(make_uefi_demo_image PRIVATE ${QH_WARNINGS})
target_link_libraries(make_uefi_demo_image PRIVATE qh_qemu_front)
if(NOT CMAKE_CROSSCOMPILING AND NOT WIN32 AND CMAKE_HOST_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  find_program(QH_HOST_GCC gcc)
  find_program(QH_HOST_LD ld)
  set(ld_emulations "")
  if(QH_HOST_LD)
    execute_process(COMMAND ${QH_HOST_LD} -V OUTPUT_VARIABLE ld_emulations ERROR_QUIET)
  endif()
  if(QH_HOST_GCC AND ld_emulations MATCHES "i386pep")
    set(uefi_source ${PROJECT_SOURCE_DIR}/tools/uefi_demo/demo.c)
    set(uefi_object ${CMAKE_BINARY_DIR}/uefi_demo/demo.o)
    set(uefi_application ${CMAKE_BINARY_DIR}/uefi_demo/BOOTX64.EFI)
    set(QH_UEFI_DEMO_IMAGE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/demo-uefi.img)
    add_custom_command(
      OUTPUT ${uefi_application}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/uefi_demo
      COMMAND ${QH_HOST_GCC} -std=gnu11 -O2 -Wall -Wextra -ffreestanding -fno-stack-protector
              -fpie -fvisibility=hidden -mno-red-zone -mgeneral-regs-only -fshort-wchar
              -fno-asynchronous-unwind-tables -fno-ident -c ${uefi_source} -o ${uefi_object}
      COMMAND ${QH_HOST_LD} -m i386pep --subsystem 10 -e efi_main -nostdlib -s
              ${uefi_object} -o ${uefi_application}
      DEPENDS ${uefi_source}
      COMMENT "Building the UEFI demo application")
    add_custom_command(OUTPUT ${QH_UEFI_DEMO_IMAGE}
                       COMMAND make_uefi_demo_image ${uefi_application} ${QH_UEFI_DEMO_IMAGE}
                       DEPENDS make_uefi_demo_image ${uefi_application}
                       COMMENT "Making the UEFI demo OS disk")
    add_custom_target(uefi_demo_image ALL DEPENDS ${QH_UEFI_DEMO_IMAGE})
  endif()
endif()

# The whole-program tests copy the front end (and boot the demo) in their fixtures.
if(TARGET program_tests)
  add_dependencies(program_tests qemu_front_exe)
  if(TARGET demo_image)
    add_dependencies(program_tests demo_image)
    if(TARGET uefi_demo_image)
      add_dependencies(program_tests uefi_demo_image)
    endif()
    target_compile_definitions(program_tests PRIVATE
                               QH_CATALOGUE_DIR="${PROJECT_SOURCE_DIR}/catalogue")
  endif()
endif()

# ---- The installation ----------------------------------------------------------------------
# Everything cmake --install needs, built by one target (scripts use it before installing).
add_custom_target(installation)
add_dependencies(installation quillhaven_exe qemu_front_exe)
# Everything scripts/make-release needs from a build: the installation and the catalogue
# doctor that checks the catalogue before it is packaged (docs/releasing.md).
add_custom_target(release-tools)
add_dependencies(release-tools installation catalogue_doctor_exe)

install(TARGETS quillhaven_exe RUNTIME DESTINATION .)
install(TARGETS qemu_front_exe RUNTIME DESTINATION qemu)
foreach(program updater_exe upt_exe)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION updater)
    add_dependencies(installation ${program})
  endif()
endforeach()

# The catalogue. Own.ini holds what the user adds to the Own category, so an existing one is
# never replaced by the empty one we ship.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/catalogue/ DESTINATION db
        FILES_MATCHING PATTERN "*.ini" PATTERN "Own.ini" EXCLUDE PATTERN ".*" EXCLUDE)
install(CODE "
  set(own \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/db/Own.ini\")
  if(NOT EXISTS \"\${own}\")
    file(INSTALL \"${PROJECT_SOURCE_DIR}/catalogue/Own.ini\" DESTINATION \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/db\")
  endif()")
install(DIRECTORY DESTINATION images)

# Version files of the packages the updater compares (program, updater, 3rd party apps).
set(QH_GEN ${CMAKE_BINARY_DIR}/installation)
file(WRITE ${QH_GEN}/ver.ini "[version]\r\naver=1\r\nversion=${PROJECT_VERSION}\r\n")
file(WRITE ${QH_GEN}/updater/ver.ini "[version]\r\naver=1\r\nversion=${PROJECT_VERSION}\r\n")
file(WRITE ${QH_GEN}/updater/3ver.ini "[version]\r\naver=1\r\nversion=1.0\r\n")
install(FILES ${QH_GEN}/ver.ini DESTINATION .)
install(FILES ${QH_GEN}/updater/ver.ini ${QH_GEN}/updater/3ver.ini DESTINATION updater)

# qemu.ini: where the front end finds the real QEMU. On Windows QEMU's own files are put
# beside the front end by scripts/package-windows, so no path is written.
if(WIN32)
  set(QH_QEMU_SYSTEM "")
else()
  find_program(QH_QEMU_SYSTEM_FOUND qemu-system-x86_64)
  if(QH_QEMU_SYSTEM_FOUND)
    set(QH_QEMU_SYSTEM ${QH_QEMU_SYSTEM_FOUND})
  else()
    set(QH_QEMU_SYSTEM /usr/bin/qemu-system-x86_64)
  endif()
endif()
file(WRITE ${QH_GEN}/qemu/qemu.ini
     "; Settings of the QEMU front end (qemu\\qemu).\r\n"
     "[qemu]\r\n"
     "; The real QEMU. When empty, qemu-system-x86_64 beside the front end or on the PATH.\r\n"
     "system=${QH_QEMU_SYSTEM}\r\n"
     "; Words added to every launch, for instance -display none -serial file:serial.txt\r\n"
     "extra=\r\n"
     "; QEMU's display (sdl, gtk, curses, none ...). When empty, QEMU's own window, or the\r\n"
     "; terminal (curses) on Linux without a desktop.\r\n"
     "display=\r\n"
     "; Audio back end (pa, alsa, dsound, none ...). When empty, the host's sound output.\r\n"
     "audio=\r\n"
     "; Accelerator (kvm, whpx, tcg, hvf). When empty, the best the host and QEMU offer.\r\n"
     "accel=\r\n"
     "; Processors of every guest, from 1 to the host's count. When empty, half the host's\r\n"
     "; logical processors, at least 2 where the host has 2 or more, at most 8.\r\n"
     "cpus=\r\n")
# wget\wgetrc: the bounds of every fetch, named to wget through WGETRC by both programs. A
# server that accepts the connection and never answers ends an update check within about a
# minute; an image download that stalls is continued by wget itself on the next try.
file(WRITE ${QH_GEN}/wget/wgetrc
     "# Bounds of every download of Quillhaven and its updater.\n"
     "timeout = 20\n"
     "tries = 3\n"
     "waitretry = 1\n")
install(FILES ${QH_GEN}/wget/wgetrc DESTINATION wget)
# The user may have edited it: an existing one stays.
install(CODE "
  set(ini \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/qemu/qemu.ini\")
  if(NOT EXISTS \"\${ini}\")
    file(INSTALL \"${QH_GEN}/qemu/qemu.ini\" DESTINATION \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/qemu\")
  endif()")

# On Linux the tools are Debian's, linked where the installation expects them; the ".exe"
# names the program tests and starts map to these.
if(NOT WIN32)
  set(QH_TOOL_LINKS
      "qemu/qemu-img=qemu-img"
      "wget/wget=wget"
      "7z/7za=7za")
  foreach(pair IN LISTS QH_TOOL_LINKS)
    string(REPLACE "=" ";" parts ${pair})
    list(GET parts 0 link)
    list(GET parts 1 tool)
    string(MAKE_C_IDENTIFIER "QH_TOOL_${tool}" var)
    find_program(${var} ${tool})
    if(${var})
      set(target ${${var}})
    else()
      set(target /usr/bin/${tool})
    endif()
    install(CODE "
      set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\")
      get_filename_component(dir \"\${link}\" DIRECTORY)
      file(MAKE_DIRECTORY \"\${dir}\")
      message(STATUS \"Linking: \${link} -> ${target}\")
      file(CREATE_LINK \"${target}\" \"\${link}\" SYMBOLIC)")
  endforeach()
endif()

# The installation end to end (Linux, with Debian's QEMU; skipped without it).
if(QH_TESTS AND NOT WIN32 AND TARGET demo_image)
  add_test(NAME install_test COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install_test.sh
                                     ${CMAKE_BINARY_DIR})
  set_tests_properties(install_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 LABELS slow)
endif()
