// The words of the help screens, kept apart from the screen flow.
#include "help/help_text.h"

const char* const CreditCreator = " Created by The Quillhaven developers";
const char* const CreditContact =
    " Web: quillhaven.example.org/programs   E-mail: developers@quillhaven.example.org";

const char* const HelpIntroLine =
    "Quillhaven is manager & launcher of Operating systems. Do you want to try Linux or other "
    "OS? With Quillhaven is it simple & safe. Just select your OS and Quillhaven will download "
    "& run it.";

const TextLines HelpStartingOs = {
    "",
    " 1 - Starting OS",
    " ===============",
    "",
    "If you want to start OS you must do:",
    "",
    "Select category and OS. If you don`t have selected OS you must download it from",
    "the internet - select option `1) Download and run`. When OS is successfully",
    "downloaded, you must choose RAM for virtual PC. Recommended is 384MB of RAM.",
    "If everything is OK, then you`ll see something like this:",
    "",
    "> +----------------------------------------+",
    "> |        Damn Small Linux 4.4.10         |",
    "> +----------------------------------------+",
    ">",
    "> Host OS: 32-bit",
    "> Starting kqemu ... [ OK ]",
    "> Ram for qemu: 384mb [ OK ]",
    ">",
    "> Damn Small Linux is now running,",
    "> do NOT close this window",
    "",
    "And OS is starting booting in a new window.",
    "If you want to cancel virtualization, close QEMU window.",
};

const char* const OptionsNumberMark = "#";

const TextLines HelpVirtualHdd = {
    "",
    " 2 - Virtual HDD",
    " ===============",
    "",
    "You`ll need virtual hdd:",
    "",
    "If you want to save something from live OS or",
    "if you want to install live os to hdd.",
    "",
    "Creating virtual HDD:",
    "",
    "Go to #) Options > 1) Virtual HDD setup > 1) Add / Edit virtual HDD.",
    "Then enter the size of the virtual HDD.",
    "For example: if you want to have 1 gigabyte HDD - enter 1G.",
    "If HDD is created successfully, Quillhaven will ask you if you want to format it.",
    "If you want to install OS on virtual HDD, select option 2) No.",
    "But if you want to have virtual HDD for saving files, you must format it,",
    "so select 1) Yes. Quillhaven will download Partition manager and then",
    "you can format it.",
    "",
    "Deleting virtual HDD:",
    "",
    "Go to #) Options > 1) Virtual HDD setup > 3) Delete virtual HDD",
    "or manually delete file hdb.img",
};

const TextLines HelpOptionsIni = {
    "",
    " 3 - options.ini",
    " ===============",
    "",
    "If you have 32-bit OS and QEMU is crashing or freezing,",
    "you can try to disable accelerated driver - kqemu.",
    "Create file options.ini and write into it these lines:",
    "",
    "[options]",
    "disablekqemu=1",
    "",
    "On 64-bit OS is kqemu disabled.",
    "",
    "You can set path to database and to images.",
    "Create file options.ini and write into it these lines:",
    "",
    "[paths]",
    "db=..\\..\\Data\\db",
    "images=..\\..\\Data\\images",
    "",
    "",
};

// The program's own licence (MIT) in short form; the full text is the file LICENSE.
const TextLines LicenseLines = {
    " Quillhaven - MIT License",
    " ========================",
    "",
    " > Permission is hereby granted, free of charge, to any person obtaining a copy",
    "   of this software, to deal in it without restriction: to use, copy, modify,",
    "   merge, publish, distribute, sublicense and/or sell copies of it.",
    " > The copyright notice and this permission notice shall be included in all",
    "   copies or substantial portions of the software.",
    " > The software is provided \"as is\", without warranty of any kind.",
    " > Copyright (c) 2026 The Quillhaven developers",
    " > The full licence text is in the file LICENSE ",
    " > You must read licenses attached to third-party applications",
    "   that are distributed with this software.",
    " > Before downloading any os with this software you must read license of that os",
    "",
};
