// Group 0: shell scripts by their interpreter line, and "ar" archives.
#include "recognizer/Recognition.h"
#include "recognizer/SignatureTable.h"

namespace quiddity {

namespace {

constexpr SignatureRow kScriptsAndArchives[] = {
    // One text per interpreter line: the first shell that matches, else the
    // general one.
    Row(At(0, "#!/bin/sh"), "Bourne shell script (Unix)"),
    Otherwise(At(0, "#!/bin/bash"), "Bash shell script (GNU Bourne again shell)"),
    Otherwise(At(0, "#!/bin/csh"), "C shell script (Unix)"),
    Otherwise(At(0, "#!/bin/tcsh"), "Turbo C shell script (Unix)"),
    Otherwise(At(0, "#!/bin/ksh"), "Korn shell script (Unix)"),
    Otherwise(At(0, "#!/bin"), "Unix/Linux shell script"),
    // A Debian package is an ar archive whose first member is debian-binary.
    Row(At(0, "!<arch>"), And, At(8, "debian-binary"), "Debian Ar archive (DEB)", kEnds),
    Otherwise(At(0, "!<arch>"), "Ar archive (Unix) (or Visual C++ Compiler Library)", kEnds),
};

}  // namespace

ETest RunScriptsAndArchives(CRecognition& r) { return MatchRows(r, kScriptsAndArchives); }

std::span<const SignatureRow> ScriptsAndArchivesRows() { return kScriptsAndArchives; }

}  // namespace quiddity
