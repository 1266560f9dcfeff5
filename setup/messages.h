// Every coded box the installer shows, of two kinds: a fixed text, or the
// system's own text for the error number the failing call left.  The caption
// is "ERROR " and the code.  Some boxes add a detail (a file, a number) below
// the text.  Each failure shows its box in one place: the
// function that knows its cause.
#pragma once

// The code is held in the message itself, not pointed at: an address in the
// program's data is one more the loader must adjust when it places the
// program.
enum { MessageCodeSize = 3 };       // two characters ("1A") and a NUL

struct FixedMessage {
    char code[MessageCodeSize];
    const char *text;
};

struct SystemTextMessage {
    char code[MessageCodeSize];
};

// Start-up.
inline const FixedMessage SetupAlreadyRunning = {"44", "Quillmark's setup is already running."};
inline const FixedMessage SetupDamaged = {"42",
    "This setup program is damaged: a file it carries is not as it was built.  "
    "Please get a new copy of the setup program."};
inline const FixedMessage LibraryMissing = {"45",
    "Setup cannot load a part of Windows that it needs."};
inline const SystemTextMessage SettingsKeyFailed = {"1"};
inline const FixedMessage CannotProceed = {"1A", "Unable to proceed with installation"};
inline const FixedMessage NoWindowsFolder = {"2", "Unable to locate Windows directory"};
inline const FixedMessage NoTempFolder = {"3", "Unable to locate temp path."};
inline const FixedMessage CannotInitialize = {"43", "Unable to initialize"};

// The folder rules.
inline const FixedMessage InvalidDrive = {"11", "Invalid drive specification"};
inline const FixedMessage RemovableDrive = {"12", "You can't install Quillmark to a removable disk."};
inline const FixedMessage FolderTooLong = {"27", "Folder name too long"};
inline const FixedMessage NotAFolder = {"13", "The install location is not a folder."};
inline const FixedMessage FolderReadOnly = {"14", "The folder is read only."};
inline const FixedMessage InvalidFolder = {"15", "Invalid folder"};
inline const FixedMessage CannotCreateFolder = {"16", "Could not create the specified folder."};
inline const FixedMessage NotEnoughRoom = {"28", "There is not enough room on the disk to install Quillmark."};

// Placing the main program.
inline const FixedMessage RunningCopyFound = {"4",
    "Your existing copy of Quillmark is running.  Installation aborted."};
inline const FixedMessage NewerCopyFound = {"5",
    "A more recent version of Quillmark already exists at the install location.  Installation aborted."};
inline const FixedMessage CopyNotVersion1 = {"17",
    "The copy of Quillmark already at the install location is not version 1.  It will be replaced."};
inline const SystemTextMessage ProgramNotExpanded = {"34"};
inline const SystemTextMessage ProgramNotMoved = {"37"};

// Writing the other files; the box names the file.
inline const SystemTextMessage FileNotWritten = {"35"};

// Registering.
inline const FixedMessage RegistryNotWritten = {"8",
    "Error encountered while writing to the system registry."};
inline const FixedMessage UninstallerNotRegistered = {"9", "Unable to register uninstall program."};
inline const SystemTextMessage FolderNotRemembered = {"10"};
