// The application's files as the installer writes them, in the order they are
// written.  Shared by the installer and the uninstaller, so that the uninstaller
// removes exactly what the installer puts down.
#pragma once

enum PayloadMethod { Expand, Raw };

struct PayloadEntry {
    unsigned short id;      // number of the "FILE" resource
    const char *name;       // file name inside the install folder
    PayloadMethod method;   // Expand: through LZ32; Raw: bytes as stored
    bool readOnly;          // Raw rows only
};

enum { ManifestRows = 28 };

static const PayloadEntry g_manifest[ManifestRows] = {
    {111, "Sample.scp", Expand, false},
    {148, "Sample3Cam.scp", Expand, false},
    {149, "SampleTapeLive.scp", Expand, false},
    {163, "tips.txt", Expand, false},
    {159, "license.txt", Raw, false},
    {112, "main.dct", Expand, false},
    {116, "bucket.bin", Expand, false},
    {152, "table1.bin", Expand, false},
    {153, "table2.bin", Expand, false},
    {147, "Quillmark.hlp", Expand, false},
    {117, "thes.bin", Raw, false},
    {125, "BlackWhite.scm", Raw, true},
    {121, "Blue.scm", Raw, true},
    {122, "Brown.scm", Raw, true},
    {123, "Green.scm", Raw, true},
    {124, "Purple.scm", Raw, true},
    {120, "White.scm", Raw, true},
    {133, "Feature_Loose.stp", Raw, true},
    {142, "Feature.stp", Raw, true},
    {134, "Feature_Tight.stp", Raw, true},
    {136, "Play_Alternate.stp", Raw, true},
    {135, "Play.stp", Raw, true},
    {137, "Proof_DblSpc.stp", Raw, true},
    {138, "Proof_Left.stp", Raw, true},
    {139, "Proof_Right.stp", Raw, true},
    {140, "TV-TapeLive.stp", Raw, true},
    {132, "TV-ThreeCamera2.stp", Raw, true},
    {141, "TV-ThreeCamera.stp", Raw, true},
};

// Entries written outside the table.
enum { MainProgramEntry = 106, UninstallerEntry = 119, LicenceEntry = 159 };
